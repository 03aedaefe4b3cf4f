#pragma once

// Host-free part of "pellixDataBind": appends bound and copied patches to the
// eight per-overlay int arrays, and words the command's per-patch messages and
// summaries. Vertex matching itself is PatchMatching's.

#include "overlay/PatchMatching.h"

#include <cstdint>
#include <string>
#include <vector>

namespace PatchBinding {

// The eight int arrays an overlay stores, one slice per patch.
struct PatchArrays {
    std::vector<int> vertexCounts;
    std::vector<int> driverVertexIndices;
    std::vector<int> triangleOffsets;
    std::vector<int> triangleCounts;
    std::vector<int> triangleIndices;
    std::vector<int> edgeOffsets;
    std::vector<int> edgeCounts;
    std::vector<int> edgeIndices;

    int64_t patchCount() const { return static_cast<int64_t>(vertexCounts.size()); }
    // Read-only view, in the form the stored-slice checks take.
    PatchMatching::StoredPatchArrays view() const;
};

// A patch's own topology: its triangulation and its edges as local vertex
// index pairs, both as flat lists.
struct PatchTopology {
    const int* triangleVertices = nullptr;
    int64_t triangleVertexCount = 0;
    const int* edgeVertices = nullptr;
    int64_t edgeVertexCount = 0;
};

// Appends a patch whose vertex k binds to driverIds[k]. Returns false,
// appending nothing, when a count is negative or an array would outgrow what
// a stored 32-bit offset can address.
bool appendBoundPatch(PatchArrays& out, const int* driverIds, int64_t vertexCount, const PatchTopology& topology);

enum class CopyResult { kCopied, kIncomplete, kInvalid };

// Appends patch p of stored arrays whose driver-index slice starts at
// vertexStart (-1 once an earlier count was invalid), with fresh offsets.
// Nothing is appended unless the result is kCopied.
CopyResult copyStoredPatch(const PatchMatching::StoredPatchArrays& stored,
                           int64_t p,
                           int64_t vertexStart,
                           PatchArrays& out);

// Numbers as the default stream writes them: 0.0001, 1e-05, 42.
std::string formatNumber(double value);
std::string formatNumber(int64_t value);

std::string outsideToleranceError(const std::string& patchPath, int64_t outside, int64_t vertexCount, double tolerance);
std::string sharedVerticesWarning(const std::string& patchPath, int64_t shared);
std::string copyFailureError(CopyResult result);
std::string fullBindSummary(int64_t patchCount, int64_t vertexTotal, double tolerance);
std::string partialRebindSummary(int64_t reboundCount, int64_t patchCount, int64_t vertexTotal, double tolerance);

}  // namespace PatchBinding
