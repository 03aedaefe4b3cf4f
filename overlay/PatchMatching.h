#pragma once

// Host-free part of patch binding: matches patch vertices to driver vertices
// through a uniform grid of cells as large as the bind tolerance, and checks
// the stored per-patch slices that a partial rebind copies. Plain arrays in,
// plain results out; no Maya types, so the node code and the tests share it.

#include <cstdint>
#include <vector>

namespace PatchMatching {

// Integer cell of a point: (floor(x / t), floor(y / t), floor(z / t)) with the
// division done as a product by 1 / t.
struct CellKey {
    int64_t x;
    int64_t y;
    int64_t z;
};

// Cell coordinate of one value already scaled by 1 / t. Values beyond the
// 64-bit range (infinity too, as a huge coordinate times 1 / t can give)
// saturate to its ends; a NaN has no cell (returns false). Points with an
// infinite coordinate are kept out of the grid before they get here.
bool cellCoordinate(double scaled, int64_t& cell);

// Hash of a cell key: the three coordinates times three primes, XOR-ed, in
// wrapping (unsigned) 64-bit arithmetic.
uint64_t cellHash(const CellKey& key);

// The driver's vertices bucketed by cell. Cells are grouped in blocks of
// 4x4x4; a block's hash picks a bucket of a few vertices and, within it, a
// one-byte tag. The vertex ids are counting-sorted by bucket into one flat
// array, with every bucket's ids ascending, and a bit mask per bucket says
// which groups of tags it holds, so a lookup skips most empty blocks without
// touching the ids and reads at most eight short runs of them otherwise. The grid keeps a
// pointer to the driver points it was built from; they must stay alive and
// unchanged while the grid is used. Lookups only read the grid, so several
// threads may share one.
class DriverGrid {
public:
    DriverGrid() = default;

    // Clears the grid and fills it with the points (xyz triples, indexed by
    // vertex id). Returns false, leaving the grid empty, when the tolerance is
    // not finite and positive, its reciprocal overflows, or there are more
    // than 2^30 points. Points with a non-finite coordinate are left out: no
    // query could match them.
    bool build(const double* xyz, int64_t pointCount, double tolerance);

    void clear();

    // The driver vertex that a query point binds to: the smallest squared
    // distance strictly below t² over the 3x3x3 cells around the query's cell,
    // visited z-cell, y-cell, x-cell (each ascending) and ascending vertex id,
    // the first one met winning a tie. -1 when there is none or the query has
    // a non-finite coordinate.
    int findDriverVertex(double x, double y, double z) const;

    // findDriverVertex for count query points (xyz triples) into driverIds.
    // Works on a few queries at a time so that their memory reads overlap;
    // the answers are the same.
    void findDriverVertices(const double* xyz, int64_t count, int* driverIds) const;

    double tolerance() const { return fTolerance; }
    int64_t pointCount() const { return fPointCount; }
    // Points placed in the grid: those with finite coordinates.
    int64_t indexedPointCount() const { return static_cast<int64_t>(fIds.size()); }

private:
    // Closest candidate so far; rank is the position of its cell in the
    // z, y, x visiting order.
    struct Nearest {
        double d2;
        int rank;
        int id;
    };

    // Whether a bucket may list vertices with the tag; false means surely not.
    bool mayHold(uint32_t bucket, uint8_t tag) const { return (fBucketTags[bucket] >> (tag >> 2)) & 1u; }
    // Offers every vertex listed in the bucket with the tag whose cell lies
    // around the centre.
    void scanBlock(uint32_t bucket, uint8_t tag, const CellKey& centre, double x, double y, double z,
                   Nearest& best) const;

    const double* fPoints = nullptr;
    double fTolerance = 0.0;
    double fInverse = 0.0;
    double fToleranceSquared = 0.0;
    int64_t fPointCount = 0;
    int fBucketShift = 63;
    // Per bucket: where its run starts in fIds (one more entry closes the
    // last), and a bit for every group of four tags that it holds.
    std::vector<uint32_t> fBucketStart;
    std::vector<uint64_t> fBucketTags;
    // Vertex ids by bucket, and the tag of each.
    std::vector<uint32_t> fIds;
    std::vector<uint8_t> fTags;
};

// Outcome of matching one patch's vertices.
struct PatchMatch {
    int64_t outside = 0;  // vertices with no driver vertex within tolerance
    int64_t shared = 0;   // repeated matches of one driver vertex (three on one count 2)
};

// Fills driverIds[k] with the driver vertex of patch vertex k (xyz triples) or
// -1, and counts the vertices outside tolerance and the shared matches.
// scratch is reused working memory.
PatchMatch matchPatchVertices(const DriverGrid& grid,
                              const double* xyz,
                              int64_t vertexCount,
                              int* driverIds,
                              std::vector<int>& scratch);

// Read-only view of the stored arrays of a bound overlay.
struct IntSpan {
    const int* data = nullptr;
    int64_t length = 0;
};

struct StoredPatchArrays {
    IntSpan vertexCounts;
    IntSpan driverVertexIndices;
    IntSpan triangleOffsets;
    IntSpan triangleCounts;
    IntSpan triangleIndices;
    IntSpan edgeOffsets;
    IntSpan edgeCounts;
    IntSpan edgeIndices;
};

enum class StoredPatchState { kValid, kIncomplete, kInvalid };

// Where patch p's data sits in the stored arrays.
struct StoredPatchSlice {
    StoredPatchState state = StoredPatchState::kInvalid;
    int64_t vertexStart = 0;
    int64_t vertexCount = 0;
    int64_t triangleOffset = 0;
    int64_t triangleCount = 0;
    int64_t edgeOffset = 0;
    int64_t edgeCount = 0;
};

// Running start of a patch's driver-index slice: the start of patch p + 1
// given the start of patch p. Once a count is negative or missing the start
// stays invalid (-1), so every later copy is refused.
int64_t nextVertexStart(const IntSpan& vertexCounts, int64_t p, int64_t vertexStart);

// Checks patch p of the stored arrays, whose driver-index slice starts at
// vertexStart (-1 when an earlier count was invalid). Incomplete when p is
// beyond any of the five per-patch arrays; invalid when a count or offset is
// negative or a slice runs past its array. Sums are 64-bit, so no stored value
// can wrap around into range.
StoredPatchSlice locateStoredPatch(const StoredPatchArrays& arrays, int64_t p, int64_t vertexStart);

}  // namespace PatchMatching
