#include "overlay/PatchPickCache.h"

#include "overlay/PellixDataOverlay.h"

#include <maya/MAnimControl.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>

#include <algorithm>

namespace {

OverlayDrawData::IntSpan spanOf(const MIntArray& values)
{
    OverlayDrawData::IntSpan span;
    span.length = values.length();
    span.data = span.length > 0 ? &values[0] : nullptr;
    return span;
}

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
    const MObject* attributes[8] = {
        &PellixDataOverlay::patchVertexCounts,    &PellixDataOverlay::patchDriverVertexIndices,
        &PellixDataOverlay::patchTriangleOffsets, &PellixDataOverlay::patchTriangleCounts,
        &PellixDataOverlay::patchTriangleIndices, &PellixDataOverlay::patchEdgeOffsets,
        &PellixDataOverlay::patchEdgeCounts,      &PellixDataOverlay::patchEdgeIndices};
    MIntArray arrays[8];
    for (int i = 0; i < 8; ++i) {
        if (!PellixDataOverlay::readIntArray(node, *attributes[i], arrays[i])) {
            return false;
        }
    }

    MStatus status;
    const MObject mesh = MPlug(node, PellixDataOverlay::evaluatedMesh).asMObject(&status);
    if (!status || mesh.isNull() || !(mesh.hasFn(MFn::kMeshData) || mesh.hasFn(MFn::kMesh))) {
        return false;
    }
    MFnMesh fnMesh(mesh, &status);
    if (!status) {
        return false;
    }
    const float* rawPoints = fnMesh.getRawPoints(&status);
    if (!status || rawPoints == nullptr) {
        return false;
    }
    const int vertexCount = fnMesh.numVertices(&status);
    if (!status || vertexCount <= 0) {
        return false;
    }

    OverlayDrawData::PatchArrays patchArrays;
    patchArrays.vertexCounts = spanOf(arrays[0]);
    patchArrays.driverVertexIndices = spanOf(arrays[1]);
    patchArrays.triangleOffsets = spanOf(arrays[2]);
    patchArrays.triangleCounts = spanOf(arrays[3]);
    patchArrays.triangleIndices = spanOf(arrays[4]);
    patchArrays.edgeOffsets = spanOf(arrays[5]);
    patchArrays.edgeCounts = spanOf(arrays[6]);
    patchArrays.edgeIndices = spanOf(arrays[7]);
    return PatchPick::buildPickData(patchArrays, rawPoints, vertexCount, driverMatrix.matrix, data);
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
    const MTime now = MAnimControl::currentTime();
    if (entry.built && entry.valid && entry.time == now && entry.topologyCounter == topology &&
        entry.geometryCounter == geometry) {
        return &entry;
    }
    entry.valid = buildNodePickData(node, entry.data);
    entry.built = true;
    entry.topologyCounter = topology;
    entry.geometryCounter = geometry;
    entry.time = now;
    return entry.valid ? &entry : nullptr;
}

void PatchPickCache::dropDeadEntries()
{
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), isGone), entries_.end());
}
