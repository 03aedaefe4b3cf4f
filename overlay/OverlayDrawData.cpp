#include "overlay/OverlayDrawData.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <unordered_map>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#include <xmmintrin.h>
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif
#endif

namespace OverlayDrawData {

void Topology::clear()
{
    renderVertexDrivers.clear();
    patchRanges.clear();
    triangleIndices.clear();
    edgeIndices.clear();
}

void HighlightPartition::reset()
{
    baseIndices.clear();
    selectedIndices.clear();
    hoverIndices.clear();
    cachedHoveredPatch = INT32_MIN;
    cachedSelectedPatches.clear();
}

namespace {

// Numbers driver vertices as render vertices in order of first use. Driver ids are
// usually dense, so a flat table indexed by id serves when it is not much larger than the
// number of patch vertices; sparse or huge ids fall back to a hash map.
class RenderVertexNumbering {
public:
    RenderVertexNumbering(std::vector<int>& drivers, const int* ids, int64_t count) : fDrivers(drivers)
    {
        int maxId = -1;
        for (int64_t i = 0; i < count; ++i) {
            maxId = std::max(maxId, ids[i]);
        }
        const int64_t tableSize = static_cast<int64_t>(maxId) + 1;
        if (tableSize <= 4 * count + 65536) {
            fTable.assign(static_cast<size_t>(tableSize), kUnnumbered);
        } else {
            fUseMap = true;
            fIndexOf.reserve(static_cast<size_t>(count));
        }
    }

    // The render vertex of a driver id that is not negative.
    uint32_t indexOf(int driverId)
    {
        const uint32_t next = static_cast<uint32_t>(fDrivers.size());
        if (!fUseMap) {
            uint32_t& slot = fTable[static_cast<size_t>(driverId)];
            if (slot == kUnnumbered) {
                slot = next;
                fDrivers.push_back(driverId);
            }
            return slot;
        }
        const auto inserted = fIndexOf.emplace(driverId, next);
        if (inserted.second) {
            fDrivers.push_back(driverId);
        }
        return inserted.first->second;
    }

private:
    static constexpr uint32_t kUnnumbered = UINT32_MAX;
    std::vector<int>& fDrivers;
    bool fUseMap = false;
    std::vector<uint32_t> fTable;
    std::unordered_map<int, uint32_t> fIndexOf;
};

// A stored offset or count as used: negative reads as 0, widened to 64 bits so that
// offset + count cannot wrap however large the stored values are.
int64_t notNegative(int value)
{
    return value > 0 ? value : 0;
}

} // namespace

bool buildTopology(const PatchArrays& arrays, Topology& topology)
{
    topology.clear();
    const int64_t patchCount = arrays.vertexCounts.length;
    if (arrays.vertexCounts.data == nullptr || patchCount <= 0) {
        return false;
    }
    if (arrays.triangleOffsets.length < patchCount || arrays.triangleCounts.length < patchCount ||
        arrays.edgeOffsets.length < patchCount || arrays.edgeCounts.length < patchCount) {
        return false;
    }
    int64_t totalVertices = 0;
    for (int64_t i = 0; i < patchCount; ++i) {
        const int count = arrays.vertexCounts.data[i];
        if (count < 0) {
            return false;
        }
        totalVertices += count;
    }
    if (arrays.driverVertexIndices.length < totalVertices) {
        return false;
    }

    const int* drivers = arrays.driverVertexIndices.data;
    const IntSpan& triangles = arrays.triangleIndices;
    const IntSpan& edges = arrays.edgeIndices;
    RenderVertexNumbering numbering(topology.renderVertexDrivers, drivers, totalVertices);
    topology.patchRanges.reserve(static_cast<size_t>(patchCount));
    topology.triangleIndices.reserve(static_cast<size_t>(std::max<int64_t>(triangles.length, 0)));
    topology.edgeIndices.reserve(static_cast<size_t>(std::max<int64_t>(edges.length, 0)));

    int64_t vertexBase = 0;
    for (int64_t i = 0; i < patchCount; ++i) {
        const int64_t patchVertices = arrays.vertexCounts.data[i];
        const int* patchDrivers = drivers + vertexBase;
        // A corner counts when it is one of the patch's vertices bound to a real driver vertex.
        auto usable = [&](int local) {
            return local >= 0 && local < patchVertices && patchDrivers[local] >= 0;
        };

        PatchRange range;
        range.triStart = static_cast<uint32_t>(topology.triangleIndices.size());
        const int64_t triStart = notNegative(arrays.triangleOffsets.data[i]);
        const int64_t triCount = notNegative(arrays.triangleCounts.data[i]);
        for (int64_t k = 0; k + 2 < triCount; k += 3) {
            const int64_t at = triStart + k;
            if (at + 2 >= triangles.length) {
                break;
            }
            const int a = triangles.data[at];
            const int b = triangles.data[at + 1];
            const int c = triangles.data[at + 2];
            if (usable(a) && usable(b) && usable(c)) {
                topology.triangleIndices.push_back(numbering.indexOf(patchDrivers[a]));
                topology.triangleIndices.push_back(numbering.indexOf(patchDrivers[b]));
                topology.triangleIndices.push_back(numbering.indexOf(patchDrivers[c]));
            }
        }
        range.triCount = static_cast<uint32_t>(topology.triangleIndices.size() - range.triStart);

        range.edgeStart = static_cast<uint32_t>(topology.edgeIndices.size());
        const int64_t edgeStart = notNegative(arrays.edgeOffsets.data[i]);
        const int64_t edgeCount = notNegative(arrays.edgeCounts.data[i]);
        for (int64_t k = 1; k < edgeCount; k += 2) {
            const int64_t at = edgeStart + k;
            if (at >= edges.length) {
                break;
            }
            const int a = edges.data[at - 1];
            const int b = edges.data[at];
            if (usable(a) && usable(b)) {
                topology.edgeIndices.push_back(numbering.indexOf(patchDrivers[a]));
                topology.edgeIndices.push_back(numbering.indexOf(patchDrivers[b]));
            }
        }
        range.edgeCount = static_cast<uint32_t>(topology.edgeIndices.size() - range.edgeStart);

        topology.patchRanges.push_back(range);
        vertexBase += patchVertices;
    }
    return !topology.patchRanges.empty() && !topology.renderVertexDrivers.empty();
}

bool partitionHighlight(const Topology& topology, int32_t hoveredPatch, const int* selectedPatches,
                        int64_t selectedCount, HighlightPartition& partition)
{
    const int64_t count = std::max<int64_t>(selectedCount, 0);
    if (hoveredPatch == partition.cachedHoveredPatch &&
        static_cast<int64_t>(partition.cachedSelectedPatches.size()) == count &&
        (count == 0 || std::equal(selectedPatches, selectedPatches + count, partition.cachedSelectedPatches.begin()))) {
        return false;
    }

    partition.baseIndices.clear();
    partition.selectedIndices.clear();
    partition.hoverIndices.clear();

    const int64_t patchCount = static_cast<int64_t>(topology.patchRanges.size());
    std::vector<bool> selected(static_cast<size_t>(patchCount), false);
    for (int64_t k = 0; k < count; ++k) {
        const int patch = selectedPatches[k];
        if (patch >= 0 && patch < patchCount) {
            selected[static_cast<size_t>(patch)] = true;
        }
    }
    const int64_t hovered = (hoveredPatch >= 0 && hoveredPatch < patchCount) ? hoveredPatch : -1;

    const uint32_t* indices = topology.triangleIndices.data();
    const uint64_t indexCount = topology.triangleIndices.size();
    for (int64_t p = 0; p < patchCount; ++p) {
        const PatchRange& range = topology.patchRanges[static_cast<size_t>(p)];
        const uint64_t begin = std::min<uint64_t>(range.triStart, indexCount);
        const uint64_t end = std::min<uint64_t>(uint64_t(range.triStart) + range.triCount, indexCount);
        std::vector<uint32_t>& target = selected[static_cast<size_t>(p)] ? partition.selectedIndices
                                        : p == hovered                  ? partition.hoverIndices
                                                                        : partition.baseIndices;
        target.insert(target.end(), indices + begin, indices + end);
    }

    partition.cachedHoveredPatch = hoveredPatch;
    partition.cachedSelectedPatches.assign(selectedPatches, selectedPatches + count);
    return true;
}

void splitColouredPatches(const Topology& topology, const std::vector<int>& colourGroup, int groupCount,
                          HighlightPartition& partition, std::vector<std::vector<uint32_t>>& groups)
{
    groups.assign(static_cast<size_t>(std::max(groupCount, 0)), std::vector<uint32_t>());
    if (groups.empty()) {
        return;
    }
    const int64_t patchCount = static_cast<int64_t>(topology.patchRanges.size());
    std::vector<bool> highlighted(static_cast<size_t>(patchCount), false);
    for (const int patch : partition.cachedSelectedPatches) {
        if (patch >= 0 && patch < patchCount) {
            highlighted[static_cast<size_t>(patch)] = true;
        }
    }
    if (partition.cachedHoveredPatch >= 0 && partition.cachedHoveredPatch < patchCount) {
        highlighted[static_cast<size_t>(partition.cachedHoveredPatch)] = true;
    }
    partition.baseIndices.clear();
    const uint32_t* indices = topology.triangleIndices.data();
    const uint64_t indexCount = topology.triangleIndices.size();
    for (int64_t p = 0; p < patchCount; ++p) {
        if (highlighted[static_cast<size_t>(p)]) {
            continue;
        }
        const PatchRange& range = topology.patchRanges[static_cast<size_t>(p)];
        const uint64_t begin = std::min<uint64_t>(range.triStart, indexCount);
        const uint64_t end = std::min<uint64_t>(uint64_t(range.triStart) + range.triCount, indexCount);
        const int group = p < static_cast<int64_t>(colourGroup.size()) ? colourGroup[static_cast<size_t>(p)] : -1;
        std::vector<uint32_t>& target =
            group >= 0 && group < groupCount ? groups[static_cast<size_t>(group)] : partition.baseIndices;
        target.insert(target.end(), indices + begin, indices + end);
    }
}

bool readoutAnchor(const Topology& topology, const float* positions, int64_t positionCount, int patch,
                   double anchor[3])
{
    if (patch < 0 || static_cast<size_t>(patch) >= topology.patchRanges.size() || positions == nullptr) {
        return false;
    }
    const PatchRange& range = topology.patchRanges[static_cast<size_t>(patch)];
    const uint64_t indexCount = topology.triangleIndices.size();
    const uint64_t begin = std::min<uint64_t>(range.triStart, indexCount);
    const uint64_t end = std::min<uint64_t>(uint64_t(range.triStart) + range.triCount, indexCount);

    double low[3] = {0.0, 0.0, 0.0};
    double high[3] = {0.0, 0.0, 0.0};
    bool any = false;
    for (uint64_t e = begin; e < end; ++e) {
        const uint32_t vertex = topology.triangleIndices[e];
        if (static_cast<int64_t>(vertex) >= positionCount) {
            continue;
        }
        const float* point = positions + 3 * static_cast<size_t>(vertex);
        for (int axis = 0; axis < 3; ++axis) {
            const double value = point[axis];
            if (!any) {
                low[axis] = high[axis] = value;
            } else {
                low[axis] = std::min(low[axis], value);
                high[axis] = std::max(high[axis], value);
            }
        }
        any = true;
    }
    if (!any) {
        return false;
    }
    const double dx = high[0] - low[0];
    const double dy = high[1] - low[1];
    const double dz = high[2] - low[2];
    const double lift = std::max(0.04 * std::sqrt(dx * dx + dy * dy + dz * dz), 0.05);
    anchor[0] = 0.5 * (low[0] + high[0]);
    anchor[1] = high[1] + lift;
    anchor[2] = 0.5 * (low[2] + high[2]);
    return true;
}

bool isIdentity(const double matrix[4][4])
{
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const double expected = row == column ? 1.0 : 0.0;
            if (!(std::fabs(matrix[row][column] - expected) <= 1e-10)) {
                return false;
            }
        }
    }
    return true;
}

namespace {

#if defined(__SSE2__) || defined(_M_X64)
#define PELLIX_OVERLAY_SIMD 1

// Where a driver point is read: its own x y z, followed in memory by at least one more
// float so that a 16-byte load stays inside the array; the last point is read from a
// padded copy instead, and an id out of range from a zero point.
struct PointReader {
    const float* rawPoints;
    uint64_t limit;      // driver vertex count
    const float* tail;   // the last point, padded, then four zeros

    const float* address(int64_t id) const
    {
        const uint64_t u = static_cast<uint64_t>(id);
        const uint64_t lastId = limit - 1;
        const float* beyond = u == lastId ? tail : tail + 4;
        return u < lastId ? rawPoints + 3 * id : beyond;
    }
};

// Four vertices packed as twelve floats: x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3.
struct Packed {
    __m128 first;
    __m128 second;
    __m128 third;
};

// Packs four x y z _ vectors.
inline Packed pack(__m128 a, __m128 b, __m128 c, __m128 d)
{
    const __m128 ab = _mm_shuffle_ps(a, b, _MM_SHUFFLE(0, 0, 2, 2));
    const __m128 cd = _mm_shuffle_ps(c, d, _MM_SHUFFLE(0, 0, 2, 2));
    return {_mm_shuffle_ps(a, ab, _MM_SHUFFLE(2, 0, 1, 0)), _mm_shuffle_ps(b, c, _MM_SHUFFLE(1, 0, 2, 1)),
            _mm_shuffle_ps(cd, d, _MM_SHUFFLE(2, 1, 2, 0))};
}

// Streaming stores (16-byte aligned output only) skip reading the output lines into the
// cache first; the buffer is far larger than the cache and only written here.
inline void store(float* out, const Packed& packed, bool stream)
{
    if (stream) {
        _mm_stream_ps(out, packed.first);
        _mm_stream_ps(out + 4, packed.second);
        _mm_stream_ps(out + 8, packed.third);
    } else {
        _mm_storeu_ps(out, packed.first);
        _mm_storeu_ps(out + 4, packed.second);
        _mm_storeu_ps(out + 8, packed.third);
    }
}

inline void storeFour(float* out, __m128 a, __m128 b, __m128 c, __m128 d, bool stream)
{
    store(out, pack(a, b, c, d), stream);
}

// The identity: points copied four vertices at a time. Returns the vertices done.
int64_t copyBlocks(const int* drivers, int64_t blocks, PointReader reader, float* positions, bool stream)
{
    for (int64_t i = 0; i < blocks; i += 4) {
        storeFour(positions + 3 * i, _mm_loadu_ps(reader.address(drivers[i])),
                  _mm_loadu_ps(reader.address(drivers[i + 1])), _mm_loadu_ps(reader.address(drivers[i + 2])),
                  _mm_loadu_ps(reader.address(drivers[i + 3])), stream);
    }
    return blocks;
}

// The matrix as four float rows x y z 0; translations[1] is the last row and
// translations[0] zero, the translation of an id out of range (whose point is zero too).
struct FloatRows {
    alignas(16) float rows[3][4];
    alignas(16) float translations[2][4];

    explicit FloatRows(const double matrix[4][4])
    {
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
                rows[r][c] = static_cast<float>(matrix[r][c]);
                translations[1][c] = static_cast<float>(matrix[3][c]);
                translations[0][c] = 0.0f;
            }
            rows[r][3] = 0.0f;
        }
        translations[0][3] = translations[1][3] = 0.0f;
    }
};

// A general matrix on plain SSE2: one row-vector product per vertex.
int64_t transformBlocks(const int* drivers, int64_t blocks, PointReader reader, const FloatRows& m,
                        float* positions, bool stream)
{
    const __m128 row0 = _mm_load_ps(m.rows[0]);
    const __m128 row1 = _mm_load_ps(m.rows[1]);
    const __m128 row2 = _mm_load_ps(m.rows[2]);
    auto place = [&](int64_t id) {
        const __m128 p = _mm_loadu_ps(reader.address(id));
        __m128 sum = _mm_load_ps(m.translations[static_cast<uint64_t>(id) < reader.limit]);
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_shuffle_ps(p, p, _MM_SHUFFLE(0, 0, 0, 0)), row0));
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_shuffle_ps(p, p, _MM_SHUFFLE(1, 1, 1, 1)), row1));
        return _mm_add_ps(sum, _mm_mul_ps(_mm_shuffle_ps(p, p, _MM_SHUFFLE(2, 2, 2, 2)), row2));
    };
    for (int64_t i = 0; i < blocks; i += 4) {
        storeFour(positions + 3 * i, place(drivers[i]), place(drivers[i + 1]), place(drivers[i + 2]),
                  place(drivers[i + 3]), stream);
    }
    return blocks;
}

#if defined(__GNUC__) && defined(__x86_64__)
#define PELLIX_OVERLAY_FMA 1
// The same on processors with AVX2 and FMA, eight vertices at a time. A block whose ids
// are all in range and below the last point (nearly every block) reads each point with one
// 16-byte load, transposes them to x, y and z lanes and places all eight with nine fused
// multiply-adds. Any other block places each vertex alone with broadcast loads, which read
// exactly x y z; an id out of range gets a zero point and a zero translation.
__attribute__((target("avx2,fma"))) int64_t transformBlocksFma(const int* drivers, int64_t blocks,
                                                               const float* rawPoints, uint64_t limit,
                                                               const FloatRows& m, float* positions, bool stream)
{
    alignas(16) static const float zero[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const __m128 row0 = _mm_load_ps(m.rows[0]);
    const __m128 row1 = _mm_load_ps(m.rows[1]);
    const __m128 row2 = _mm_load_ps(m.rows[2]);
    const float* const translation = m.translations[1];
    auto place = [&](int64_t id) __attribute__((target("avx2,fma"))) {
        const bool inside = static_cast<uint64_t>(id) < limit;
        const float* p = inside ? rawPoints + 3 * id : zero;
        const float* shift = inside ? translation : zero;
        __m128 sum = _mm_fmadd_ps(_mm_broadcast_ss(p), row0, _mm_load_ps(shift));
        sum = _mm_fmadd_ps(_mm_broadcast_ss(p + 1), row1, sum);
        return _mm_fmadd_ps(_mm_broadcast_ss(p + 2), row2, sum);
    };

    const __m256 m00 = _mm256_set1_ps(m.rows[0][0]), m01 = _mm256_set1_ps(m.rows[0][1]),
                 m02 = _mm256_set1_ps(m.rows[0][2]);
    const __m256 m10 = _mm256_set1_ps(m.rows[1][0]), m11 = _mm256_set1_ps(m.rows[1][1]),
                 m12 = _mm256_set1_ps(m.rows[1][2]);
    const __m256 m20 = _mm256_set1_ps(m.rows[2][0]), m21 = _mm256_set1_ps(m.rows[2][1]),
                 m22 = _mm256_set1_ps(m.rows[2][2]);
    const __m256 t0 = _mm256_set1_ps(translation[0]), t1 = _mm256_set1_ps(translation[1]),
                 t2 = _mm256_set1_ps(translation[2]);
    // Ids below the last point: a 16-byte load from any of them stays inside the array.
    const uint64_t lastId = limit - 1;
    const bool everyIdBelow = lastId > uint64_t(INT32_MAX);
    const __m256i lastLanes = _mm256_set1_epi32(everyIdBelow ? INT32_MAX : static_cast<int32_t>(lastId));
    const __m256i belowAll = _mm256_set1_epi32(everyIdBelow ? -1 : 0);

    int64_t i = 0;
    for (; i + 8 <= blocks; i += 8) {
        const __m256i ids = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(drivers + i));
        const __m256i below = _mm256_or_si256(_mm256_cmpgt_epi32(lastLanes, ids), belowAll);
        const __m256i readable = _mm256_andnot_si256(_mm256_srai_epi32(ids, 31), below);
        float* out = positions + 3 * i;
        if (_mm256_movemask_ps(_mm256_castsi256_ps(readable)) != 0xFF) {
            storeFour(out, place(drivers[i]), place(drivers[i + 1]), place(drivers[i + 2]), place(drivers[i + 3]),
                      stream);
            storeFour(out + 12, place(drivers[i + 4]), place(drivers[i + 5]), place(drivers[i + 6]),
                      place(drivers[i + 7]), stream);
            continue;
        }
        // Lane k of the low half holds vertex k, of the high half vertex k + 4.
        auto pair = [&](int k) __attribute__((target("avx2,fma"))) {
            const __m128 low = _mm_loadu_ps(rawPoints + 3 * int64_t(drivers[i + k]));
            const __m128 high = _mm_loadu_ps(rawPoints + 3 * int64_t(drivers[i + k + 4]));
            return _mm256_insertf128_ps(_mm256_castps128_ps256(low), high, 1);
        };
        const __m256 v0 = pair(0), v1 = pair(1), v2 = pair(2), v3 = pair(3);
        const __m256 xy01 = _mm256_unpacklo_ps(v0, v1);
        const __m256 xy23 = _mm256_unpacklo_ps(v2, v3);
        const __m256 zw01 = _mm256_unpackhi_ps(v0, v1);
        const __m256 zw23 = _mm256_unpackhi_ps(v2, v3);
        const __m256 x = _mm256_shuffle_ps(xy01, xy23, _MM_SHUFFLE(1, 0, 1, 0));
        const __m256 y = _mm256_shuffle_ps(xy01, xy23, _MM_SHUFFLE(3, 2, 3, 2));
        const __m256 z = _mm256_shuffle_ps(zw01, zw23, _MM_SHUFFLE(1, 0, 1, 0));
        const __m256 tx = _mm256_fmadd_ps(x, m00, _mm256_fmadd_ps(y, m10, _mm256_fmadd_ps(z, m20, t0)));
        const __m256 ty = _mm256_fmadd_ps(x, m01, _mm256_fmadd_ps(y, m11, _mm256_fmadd_ps(z, m21, t1)));
        const __m256 tz = _mm256_fmadd_ps(x, m02, _mm256_fmadd_ps(y, m12, _mm256_fmadd_ps(z, m22, t2)));
        // Back to x y z per vertex, in each half: x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3.
        const __m256 xyLow = _mm256_unpacklo_ps(tx, ty);
        const __m256 xyHigh = _mm256_unpackhi_ps(tx, ty);
        const __m256 zxLow = _mm256_unpacklo_ps(tz, tx);
        const __m256 zxHigh = _mm256_unpackhi_ps(tz, tx);
        const __m256 yzLow = _mm256_unpacklo_ps(ty, tz);
        const __m256 yzHigh = _mm256_unpackhi_ps(ty, tz);
        const __m256 first = _mm256_shuffle_ps(xyLow, zxLow, _MM_SHUFFLE(3, 0, 1, 0));
        const __m256 second = _mm256_shuffle_ps(yzLow, xyHigh, _MM_SHUFFLE(1, 0, 3, 2));
        const __m256 third = _mm256_shuffle_ps(zxHigh, yzHigh, _MM_SHUFFLE(3, 2, 3, 0));
        store(out, {_mm256_castps256_ps128(first), _mm256_castps256_ps128(second), _mm256_castps256_ps128(third)},
              stream);
        store(out + 12,
              {_mm256_extractf128_ps(first, 1), _mm256_extractf128_ps(second, 1), _mm256_extractf128_ps(third, 1)},
              stream);
    }
    for (; i < blocks; i += 4) {
        storeFour(positions + 3 * i, place(drivers[i]), place(drivers[i + 1]), place(drivers[i + 2]),
                  place(drivers[i + 3]), stream);
    }
    return blocks;
}

bool hasFma()
{
    static const bool supported = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return supported;
}
#endif
#endif

} // namespace

void transformPositions(const int* drivers, int64_t renderVertexCount, const float* rawPoints,
                        int64_t driverVertexCount, const double matrix[4][4], float* positions)
{
    if (renderVertexCount <= 0) {
        return;
    }
    if (driverVertexCount <= 0 || rawPoints == nullptr) {
        std::memset(positions, 0, static_cast<size_t>(renderVertexCount) * 3 * sizeof(float));
        return;
    }
    // The id check is one unsigned compare; an id out of range reads a zero point (and a
    // zero translation), so the loops have no other per-vertex branch.
    const uint64_t limit = static_cast<uint64_t>(driverVertexCount);
    const bool identity = isIdentity(matrix);
    int64_t done = 0;

#if defined(PELLIX_OVERLAY_SIMD)
    alignas(16) float tail[8] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    std::memcpy(tail, rawPoints + 3 * (limit - 1), 3 * sizeof(float));
    const PointReader reader{rawPoints, limit, tail};
    const int64_t blocks = renderVertexCount / 4 * 4;
    const bool stream = (reinterpret_cast<uintptr_t>(positions) & 15) == 0;
    if (identity) {
        done = copyBlocks(drivers, blocks, reader, positions, stream);
    } else {
        const FloatRows rows(matrix);
#if defined(PELLIX_OVERLAY_FMA)
        done = hasFma() ? transformBlocksFma(drivers, blocks, rawPoints, limit, rows, positions, stream)
                        : transformBlocks(drivers, blocks, reader, rows, positions, stream);
#else
        done = transformBlocks(drivers, blocks, reader, rows, positions, stream);
#endif
    }
    if (stream) {
        _mm_sfence();
    }
#endif

    const float m00 = float(matrix[0][0]), m01 = float(matrix[0][1]), m02 = float(matrix[0][2]);
    const float m10 = float(matrix[1][0]), m11 = float(matrix[1][1]), m12 = float(matrix[1][2]);
    const float m20 = float(matrix[2][0]), m21 = float(matrix[2][1]), m22 = float(matrix[2][2]);
    const float m30 = float(matrix[3][0]), m31 = float(matrix[3][1]), m32 = float(matrix[3][2]);
    for (; done < renderVertexCount; ++done) {
        const int64_t id = drivers[done];
        const bool inside = static_cast<uint64_t>(id) < limit;
        const float* point = rawPoints + 3 * (inside ? id : 0);
        const float x = point[0];
        const float y = point[1];
        const float z = point[2];
        float* out = positions + 3 * done;
        if (identity) {
            out[0] = inside ? x : 0.0f;
            out[1] = inside ? y : 0.0f;
            out[2] = inside ? z : 0.0f;
        } else {
            out[0] = inside ? x * m00 + y * m10 + z * m20 + m30 : 0.0f;
            out[1] = inside ? x * m01 + y * m11 + z * m21 + m31 : 0.0f;
            out[2] = inside ? x * m02 + y * m12 + z * m22 + m32 : 0.0f;
        }
    }
}

void placeReadoutClear(const double anchor[2], const double pivot[2], double radius, double halfWidth,
                       double halfHeight, const double viewport[4], double placed[2])
{
    placed[0] = anchor[0];
    placed[1] = anchor[1];
    // The box's nearest point to the pivot.
    const double nearX = std::clamp(pivot[0], anchor[0] - halfWidth, anchor[0] + halfWidth);
    const double nearY = std::clamp(pivot[1], anchor[1] - halfHeight, anchor[1] + halfHeight);
    if (std::hypot(nearX - pivot[0], nearY - pivot[1]) >= radius) {
        return;
    }
    const double awayX = anchor[0] - pivot[0];
    const double awayY = anchor[1] - pivot[1];
    const double away = std::hypot(awayX, awayY);
    const double directions[5][2] = {{away > 1e-6 ? awayX / away : 0.0, away > 1e-6 ? awayY / away : -1.0},
                                     {0.0, -1.0},
                                     {0.0, 1.0},
                                     {1.0, 0.0},
                                     {-1.0, 0.0}};
    for (int d = 0; d < 5; ++d) {
        const double ux = directions[d][0];
        const double uy = directions[d][1];
        // Far enough out that the box's support towards the pivot clears the disc.
        const double reach = radius + std::abs(ux) * halfWidth + std::abs(uy) * halfHeight;
        const double x = pivot[0] + ux * reach;
        const double y = pivot[1] + uy * reach;
        const bool inside = x - halfWidth >= viewport[0] && x + halfWidth <= viewport[0] + viewport[2] &&
                            y - halfHeight >= viewport[1] && y + halfHeight <= viewport[1] + viewport[3];
        if (d == 0 || inside) {
            placed[0] = x;
            placed[1] = y;
        }
        if (inside) {
            return;
        }
    }
}

} // namespace OverlayDrawData
