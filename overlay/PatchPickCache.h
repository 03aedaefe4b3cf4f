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

// The driver's own triangles in world space, for the driver hiding the patches on its far side:
// one tree over every triangle, built once per driver topology and refitted when its points or
// placement change.
struct DriverTriangles
{
    PatchPick::PickData tree; // a single patch of every driver vertex and triangle
    std::vector<int> faces;   // per triangle, the polygon it belongs to
    // The triangle corners at each driver vertex (a run per vertex; corner / 3 is its
    // triangle): the polygons a moved vertex may split another way.
    std::vector<uint32_t> vertexCornerStart;
    std::vector<uint32_t> vertexCorners;
};

struct PickCacheEntry
{
    MObjectHandle node;
    PatchPick::PickData data;
    uint64_t topologyCounter = 0;
    uint64_t geometryCounter = 0;
    bool built = false;
    bool valid = false;
    // The overlay's evaluation whose points the data was placed from (0: not known).
    uint64_t evaluation = 0;
    // The driver vertices the last refit found moved, from geometry counter `changedFrom` on.
    PatchPick::ChangedVertices changed;
    uint64_t changedFrom = 0;

    DriverTriangles driver;
    MObjectHandle driverNode;
    uint64_t driverGeometryCounter = 0;
    int driverPolygons = -1;
    int driverFaceVertices = -1;
    bool driverValid = false;
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

    // The driver triangles of a node `entryFor` handed out, brought up to date; null when the
    // driver mesh cannot be read.
    const DriverTriangles* driverTrianglesFor(const MObject& node, const MObject& driver);

    // The world box of the driver triangles of a node that has pick data, brought up to date
    // (a refit of what moved); false for a node without pick data or triangles.
    bool driverBox(const MObject& node, const MObject& driver, MBoundingBox& worldBox);

    // Brings up to date ahead of the next mouse move, pick data and driver triangles alike, the
    // entries whose driver moved within at most `vertexSpan` consecutive vertices since they were
    // placed; the others wait until a move needs them.
    void followFewMovedVertices(int64_t vertexSpan);

    // Forgets the entries of nodes that are gone.
    void dropDeadEntries();

    size_t size() const { return entries_.size(); }

private:
    // Held by pointer so that an entry handed out stays put while others are added.
    std::vector<std::unique_ptr<PickCacheEntry>> entries_;
};
