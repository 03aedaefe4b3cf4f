#pragma once
// The overlay mouse filter's world-space pick data per overlay node. It follows the driver, not
// the clock: rebuilt when the node's patches change, refitted to the driver's points and
// placement when the node says its geometry changed, untouched otherwise.

#include "overlay/PatchPickData.h"

#include <maya/MApiNamespace.h>
#include <maya/MObjectHandle.h>

#include <cstdint>
#include <memory>
#include <vector>

struct PickCacheEntry
{
    MObjectHandle node;
    PatchPick::PickData data;
    uint64_t topologyCounter = 0;
    uint64_t geometryCounter = 0;
    bool built = false;
    bool valid = false;
};

// Places the node's patches in world space: its "evaluatedMesh" points through the driver's
// world matrix, with the eight patch arrays. False when any of them cannot be read or the
// arrays do not describe the patches.
bool buildNodePickData(const MObject& node, PatchPick::PickData& data);

class PatchPickCache
{
public:
    // The node's pick data, brought up to date; null when it cannot be built (the node is then
    // skipped for the event).
    const PickCacheEntry* entryFor(const MObject& node);

    // Forgets the entries of nodes that are gone.
    void dropDeadEntries();

    size_t size() const { return entries_.size(); }

private:
    // Held by pointer so that an entry handed out stays put while others are added.
    std::vector<std::unique_ptr<PickCacheEntry>> entries_;
};
