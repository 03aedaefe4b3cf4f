#pragma once
// Linear blend skinning on plain arrays, as a skinCluster deforms: each point moves by the
// weighted sum of its influences' matrices, out = in + envelope * (sum_j w_j * in * M_j - in).
// No host types: the skinCluster node and the benchmarks call the same code.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace host {

// Per-point influences in compressed rows: the influences of point p are
// entries [offsets[p], offsets[p + 1]) of `influences` and `weights`.
struct SkinWeightTable
{
    std::vector<uint32_t> offsets{0};
    std::vector<uint32_t> influences;
    std::vector<float> weights;

    size_t pointCount() const { return offsets.size() - 1; }
    void clear()
    {
        offsets.assign(1, 0);
        influences.clear();
        weights.clear();
    }
    // Appends the next point's entries.
    void addPoint(const uint32_t* influence, const float* weight, size_t count);
    // Divides each point's weights by their sum (points whose weights sum to zero keep them).
    void normalize();
};

// One influence's matrix for row vectors, the 4x4's first three columns row by row:
// m[r * 3 + c] is element (r, c), rows 0-2 the linear part and row 3 the translation.
struct SkinMatrix
{
    double m[12];
};

// Deforms `count` points (x y z each) from `in` to `out` (which may be `in`). A point with no
// entries (or past the table's end) keeps its place; an influence past `matrixCount` counts with
// the identity. Runs in parallel over ranges of points.
void skinPoints(const float* in, float* out, size_t count, const SkinWeightTable& table,
                const SkinMatrix* matrices, size_t matrixCount, float envelope);
void skinPoints(const double* in, double* out, size_t count, const SkinWeightTable& table,
                const SkinMatrix* matrices, size_t matrixCount, float envelope);

} // namespace host
