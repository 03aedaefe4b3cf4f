#pragma once

// Host-free part of overlay drawing: turns the eight stored patch arrays into one
// compact set of render vertices with triangle and edge index lists, splits the
// triangles by highlight state, places the render vertices at the driver's points
// and finds where a patch's readout text goes. Plain arrays in, plain results out;
// no Maya types, so the geometry override, the tests and the benchmarks share it.

#include <cstdint>
#include <vector>

namespace OverlayDrawData {

// A read-only run of ints (one stored int array).
struct IntSpan {
    const int* data = nullptr;
    int64_t length = 0;
};

// The eight stored patch arrays, in storage order.
struct PatchArrays {
    IntSpan vertexCounts;        // one per patch
    IntSpan driverVertexIndices; // one per patch vertex, patch slices back to back
    IntSpan triangleOffsets;     // one per patch
    IntSpan triangleCounts;      // one per patch, three entries per triangle
    IntSpan triangleIndices;     // patch-local vertex indices
    IntSpan edgeOffsets;         // one per patch
    IntSpan edgeCounts;          // one per patch, two entries per edge
    IntSpan edgeIndices;         // patch-local vertex indices
};

// A patch's slices of the triangle and edge index lists, in index entries.
struct PatchRange {
    uint32_t triStart = 0;
    uint32_t triCount = 0;
    uint32_t edgeStart = 0;
    uint32_t edgeCount = 0;
};

struct Topology {
    std::vector<int> renderVertexDrivers; // driver vertex id shown by each render vertex
    std::vector<PatchRange> patchRanges;  // one per patch, in patch order
    std::vector<uint32_t> triangleIndices; // three render-vertex indices per triangle
    std::vector<uint32_t> edgeIndices;     // two render-vertex indices per edge

    void clear();
};

// Builds the render topology. Render vertices are numbered in order of first use, so
// a driver vertex shared by several patches is drawn once. A triangle or edge with a
// corner outside its patch's vertices or bound to a negative driver id is left out.
// Returns false (with `topology` empty or holding nothing drawable) when the arrays
// cannot describe any patch: no patches, a per-patch array shorter than the patch
// count, a negative vertex count, or fewer driver indices than vertices.
bool buildTopology(const PatchArrays& arrays, Topology& topology);

// The triangles split by highlight state, and the state they were split for.
struct HighlightPartition {
    std::vector<uint32_t> baseIndices;
    std::vector<uint32_t> selectedIndices;
    std::vector<uint32_t> hoverIndices;
    int32_t cachedHoveredPatch = INT32_MIN;
    std::vector<int> cachedSelectedPatches;

    // Forgets the lists and the state they were made for (after a topology build).
    void reset();
};

// Splits `topology`'s triangles: selected patches, then the hovered one, then the rest.
// A patch both hovered and selected counts as selected; indices outside the patches are
// ignored. Returns false and leaves the lists alone when the state is the one the
// lists were last made for.
bool partitionHighlight(const Topology& topology, int32_t hoveredPatch, const int* selectedPatches,
                        int64_t selectedCount, HighlightPartition& partition);

// Moves the base triangles of the patches that have a colour of their own (colourGroup[p]
// in [0, groupCount)) out of `partition`'s base list into groups[colourGroup[p]], each list in
// patch order; hovered and selected patches keep the overlay's highlight colours. Works on
// the state the partition was last made for.
void splitColouredPatches(const Topology& topology, const std::vector<int>& colourGroup, int groupCount,
                          HighlightPartition& partition, std::vector<std::vector<uint32_t>>& groups);

// Where the readout of patch `patch` is drawn: above the centre of the box around the
// positions (xyz, three floats per render vertex) its triangles use, lifted by 4% of
// the box diagonal but at least 0.05. False when the patch does not exist or none of
// its triangle corners has a position.
bool readoutAnchor(const Topology& topology, const float* positions, int64_t positionCount, int patch,
                   double anchor[3]);

// Where a readout box (half sizes in pixels) centred at `anchor` goes so that it stays clear of
// the disc of `radius` pixels around `pivot`, where a transform manipulator is drawn: where it
// is when it is clear already; else pushed out of the disc along the direction from the pivot
// to the anchor (down when they coincide), or, when the box would leave the viewport (x, y,
// width, height) that way, along the first of down, up, right and left that keeps it inside.
// All in viewport pixels, y up.
void placeReadoutClear(const double anchor[2], const double pivot[2], double radius, double halfWidth,
                       double halfHeight, const double viewport[4], double placed[2]);

// Whether a row-major 4x4 matrix equals the identity within 1e-10 in every entry.
bool isIdentity(const double matrix[4][4]);

// Places render vertices: output i (three floats) is the raw point (three floats)
// of driver vertex drivers[i] times `matrix` as a row vector, or the origin when that
// id is not in [0, driverVertexCount). An identity matrix copies the points unchanged.
void transformPositions(const int* drivers, int64_t renderVertexCount, const float* rawPoints,
                        int64_t driverVertexCount, const double matrix[4][4], float* positions);

} // namespace OverlayDrawData
