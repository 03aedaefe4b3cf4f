#include "overlay/PatchBinding.h"

#include <limits>
#include <sstream>

namespace PatchBinding {

namespace {

constexpr int64_t kMaxStored = std::numeric_limits<int>::max();

PatchMatching::IntSpan spanOf(const std::vector<int>& values)
{
    return {values.data(), static_cast<int64_t>(values.size())};
}

// Whether `extra` more entries still leave every index of the array storable as an int.
bool fits(const std::vector<int>& values, int64_t extra)
{
    return extra >= 0 && extra <= kMaxStored - static_cast<int64_t>(values.size());
}

void appendSlice(std::vector<int>& offsets, std::vector<int>& counts, std::vector<int>& indices,
                 const int* slice, int64_t count)
{
    offsets.push_back(static_cast<int>(indices.size()));
    counts.push_back(static_cast<int>(count));
    indices.insert(indices.end(), slice, slice + count);
}

template <typename Number>
std::string streamed(Number value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

}  // namespace

PatchMatching::StoredPatchArrays PatchArrays::view() const
{
    PatchMatching::StoredPatchArrays arrays;
    arrays.vertexCounts = spanOf(vertexCounts);
    arrays.driverVertexIndices = spanOf(driverVertexIndices);
    arrays.triangleOffsets = spanOf(triangleOffsets);
    arrays.triangleCounts = spanOf(triangleCounts);
    arrays.triangleIndices = spanOf(triangleIndices);
    arrays.edgeOffsets = spanOf(edgeOffsets);
    arrays.edgeCounts = spanOf(edgeCounts);
    arrays.edgeIndices = spanOf(edgeIndices);
    return arrays;
}

bool appendBoundPatch(PatchArrays& out, const int* driverIds, int64_t vertexCount, const PatchTopology& topology)
{
    // The per-patch arrays grow by one entry each, so the vertex-count array is checked for them all.
    if (!fits(out.vertexCounts, 1) || !fits(out.driverVertexIndices, vertexCount) ||
        !fits(out.triangleIndices, topology.triangleVertexCount) || !fits(out.edgeIndices, topology.edgeVertexCount))
        return false;

    out.vertexCounts.push_back(static_cast<int>(vertexCount));
    out.driverVertexIndices.insert(out.driverVertexIndices.end(), driverIds, driverIds + vertexCount);
    appendSlice(out.triangleOffsets, out.triangleCounts, out.triangleIndices, topology.triangleVertices,
                topology.triangleVertexCount);
    appendSlice(out.edgeOffsets, out.edgeCounts, out.edgeIndices, topology.edgeVertices, topology.edgeVertexCount);
    return true;
}

CopyResult copyStoredPatch(const PatchMatching::StoredPatchArrays& stored,
                           int64_t p,
                           int64_t vertexStart,
                           PatchArrays& out)
{
    const PatchMatching::StoredPatchSlice slice = PatchMatching::locateStoredPatch(stored, p, vertexStart);
    if (slice.state == PatchMatching::StoredPatchState::kIncomplete)
        return CopyResult::kIncomplete;
    if (slice.state != PatchMatching::StoredPatchState::kValid)
        return CopyResult::kInvalid;

    PatchTopology topology;
    topology.triangleVertices = stored.triangleIndices.data + slice.triangleOffset;
    topology.triangleVertexCount = slice.triangleCount;
    topology.edgeVertices = stored.edgeIndices.data + slice.edgeOffset;
    topology.edgeVertexCount = slice.edgeCount;
    // A valid slice lies inside stored arrays whose lengths are ints, so only the
    // output's growth can refuse it.
    if (!appendBoundPatch(out, stored.driverVertexIndices.data + slice.vertexStart, slice.vertexCount, topology))
        return CopyResult::kInvalid;
    return CopyResult::kCopied;
}

std::string formatNumber(double value)
{
    return streamed(value);
}

std::string formatNumber(int64_t value)
{
    return streamed(value);
}

std::string outsideToleranceError(const std::string& patchPath, int64_t outside, int64_t vertexCount, double tolerance)
{
    return "pellixDataBind: patch '" + patchPath + "' has " + formatNumber(outside) + " of " +
           formatNumber(vertexCount) + " vertices outside bind tolerance " + formatNumber(tolerance) +
           ". Increase Bind Tolerance or align the patch with the driver.";
}

std::string sharedVerticesWarning(const std::string& patchPath, int64_t shared)
{
    return "pellixDataBind: patch '" + patchPath + "' has " + formatNumber(shared) +
           " patch vertices sharing driver vertices.";
}

std::string copyFailureError(CopyResult result)
{
    if (result == CopyResult::kIncomplete)
        return "pellixDataBind: existing overlay topology is incomplete; use a full Rebind.";
    return "pellixDataBind: existing overlay topology is invalid; use a full Rebind.";
}

std::string fullBindSummary(int64_t patchCount, int64_t vertexTotal, double tolerance)
{
    return "pellixDataBind created data overlay with " + formatNumber(patchCount) + " patch(es); " +
           formatNumber(vertexTotal) + " vertices matched at bind tolerance " + formatNumber(tolerance) + ".";
}

std::string partialRebindSummary(int64_t reboundCount, int64_t patchCount, int64_t vertexTotal, double tolerance)
{
    return "pellixDataBind rebound " + formatNumber(reboundCount) + " selected patch(es); preserved " +
           formatNumber(patchCount - reboundCount) + " unchanged patch(es); " + formatNumber(vertexTotal) +
           " vertices rematched at bind tolerance " + formatNumber(tolerance) + ".";
}

}  // namespace PatchBinding
