#include "overlay/PatchPickCache.h"

#include "overlay/PellixDataOverlay.h"

#include <maya/MMatrix.h>

#include <algorithm>

namespace {

bool isGone(const std::unique_ptr<PickCacheEntry>& entry)
{
    const MObjectHandle& handle = entry->node;
    return !handle.isValid() || !handle.isAlive() || handle.object().isNull();
}

} // namespace

bool buildNodePickData(const MObject& node, PatchPick::PickData& data)
{
    data.clear();
    const PellixDataOverlay* overlay = PellixDataOverlay::fromObject(node);
    if (overlay == nullptr) {
        return false;
    }
    // Copied under the node's mutex; nothing below holds it.
    const MMatrix driverMatrix = overlay->driverMatrix();

    // Unreadable arrays or mesh fail the build silently: the node is just not pickable now.
    PellixDataOverlay::StoredPatchArrays arrays;
    PellixDataOverlay::EvaluatedPoints driver;
    if (!PellixDataOverlay::readPatchArrays(node, arrays) || !PellixDataOverlay::readEvaluatedPoints(node, driver)) {
        return false;
    }
    return PatchPick::buildPickData(arrays.spans(), driver.points, driver.count, driverMatrix.matrix, data);
}

const PickCacheEntry* PatchPickCache::entryFor(const MObject& node)
{
    const PellixDataOverlay* overlay = PellixDataOverlay::fromObject(node);
    if (overlay == nullptr) {
        return nullptr;
    }
    auto found = std::find_if(entries_.begin(), entries_.end(), [&node](const std::unique_ptr<PickCacheEntry>& entry) {
        return entry->node.isAlive() && entry->node.object() == node;
    });
    if (found == entries_.end()) {
        entries_.push_back(std::make_unique<PickCacheEntry>());
        entries_.back()->node = MObjectHandle(node);
        found = entries_.end() - 1;
    }
    PickCacheEntry& entry = **found;

    const uint64_t topology = overlay->topologyCounter();
    const uint64_t geometry = overlay->geometryCounter();
    if (entry.built && entry.valid && entry.topologyCounter == topology) {
        if (entry.geometryCounter == geometry) {
            return &entry;
        }
        // The same patches on a driver that may have moved: only moved points are placed again.
        const MMatrix driverMatrix = overlay->driverMatrix();
        PellixDataOverlay::EvaluatedPoints driver;
        if (PellixDataOverlay::readEvaluatedPoints(node, driver) &&
            PatchPick::refitPickData(entry.data, driver.points, driver.count, driverMatrix.matrix) !=
                PatchPick::Refit::kNeedsRebuild) {
            entry.geometryCounter = geometry;
            return &entry;
        }
    }
    entry.valid = buildNodePickData(node, entry.data);
    entry.built = true;
    entry.topologyCounter = topology;
    entry.geometryCounter = geometry;
    return entry.valid ? &entry : nullptr;
}

void PatchPickCache::dropDeadEntries()
{
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), isGone), entries_.end());
}
