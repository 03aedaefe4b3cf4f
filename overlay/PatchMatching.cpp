#include "overlay/PatchMatching.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace PatchMatching {

namespace {

constexpr uint64_t kBucketMix = 0x9E3779B97F4A7C15ull;
constexpr int64_t kMaxPoints = int64_t(1) << 30;
constexpr double kExactHitFloor = 1e-100;
constexpr int64_t kPointsPerBucket = 8;

// 2^63 as a double: the first value that no longer fits a signed 64-bit integer.
constexpr double kInt64Limit = 9223372036854775808.0;

constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();

// The body of cellCoordinate, in this file so that the hot loops inline it.
inline bool floorToCell(double scaled, int64_t& cell)
{
    if (std::isnan(scaled))
        return false;
    const double f = std::floor(scaled);
    if (f >= kInt64Limit)
        cell = kInt64Max;
    else if (f < -kInt64Limit)
        cell = kInt64Min;
    else
        cell = static_cast<int64_t>(f);
    return true;
}

inline uint64_t hashOfCell(const CellKey& key)
{
    return (static_cast<uint64_t>(key.x) * 73856093ull) ^ (static_cast<uint64_t>(key.y) * 19349663ull) ^
           (static_cast<uint64_t>(key.z) * 83492791ull);
}

// A point with an infinite or NaN coordinate has no cell: it is nowhere on a
// mesh, and in the end cell it would match another point at the same infinity
// through the exact-hit test. A finite coordinate whose scaled value overflows
// saturates.
inline bool cellOf(double inverse, double x, double y, double z, CellKey& key)
{
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(z) && floorToCell(x * inverse, key.x) &&
           floorToCell(y * inverse, key.y) && floorToCell(z * inverse, key.z);
}

// Block of a cell along one axis: floor(cell / 4), also below zero.
inline int64_t blockOf(int64_t cell)
{
    return cell >= 0 ? cell / 4 : -1 - (-(cell + 1)) / 4;
}

// Where a block's vertices are listed.
struct BlockSlot {
    uint32_t bucket;
    uint8_t tag;
};

// A block's hash picks its bucket in the top bits and its tag in the eight
// below; the cell hash varies mostly in its low bits, and a multiplicative
// step spreads it over the top ones.
inline BlockSlot slotOfBlock(const CellKey& block, int bucketShift)
{
    const uint64_t mixed = hashOfCell(block) * kBucketMix;
    return BlockSlot{static_cast<uint32_t>(mixed >> bucketShift), static_cast<uint8_t>(mixed >> (bucketShift - 8))};
}

inline BlockSlot slotOfCell(const CellKey& cell, int bucketShift)
{
    return slotOfBlock(CellKey{blockOf(cell.x), blockOf(cell.y), blockOf(cell.z)}, bucketShift);
}

// The one or two blocks that hold the cells around a centre coordinate along
// one axis, without stepping past the ends of the 64-bit range that saturated
// coordinates sit on.
struct AxisBlocks {
    int64_t blocks[2];
    int count;
};

AxisBlocks axisBlocks(int64_t centre)
{
    AxisBlocks a;
    a.blocks[0] = blockOf(centre == kInt64Min ? centre : centre - 1);
    a.blocks[1] = blockOf(centre == kInt64Max ? centre : centre + 1);
    a.count = a.blocks[0] == a.blocks[1] ? 1 : 2;
    return a;
}

// Position of a cell among the centre's neighbours along one axis: 0 below,
// 1 the centre, 2 above; -1 when it is not a neighbour.
int axisRank(int64_t cell, int64_t centre)
{
    if (cell == centre)
        return 1;
    if (cell < centre)
        return cell == centre - 1 ? 0 : -1;
    return cell == centre + 1 ? 2 : -1;
}

}  // namespace

bool cellCoordinate(double scaled, int64_t& cell)
{
    return floorToCell(scaled, cell);
}

uint64_t cellHash(const CellKey& key)
{
    return hashOfCell(key);
}

void DriverGrid::clear()
{
    fPoints = nullptr;
    fTolerance = 0.0;
    fInverse = 0.0;
    fToleranceSquared = 0.0;
    fPointCount = 0;
    fBucketShift = 63;
    fBucketStart.clear();
    fBucketTags.clear();
    fIds.clear();
    fTags.clear();
}

bool DriverGrid::build(const double* xyz, int64_t pointCount, double tolerance)
{
    clear();
    if (!(tolerance > 0.0) || !std::isfinite(tolerance) || pointCount < 0 || pointCount > kMaxPoints)
        return false;
    const double inverse = 1.0 / tolerance;
    if (!std::isfinite(inverse))
        return false;
    fPoints = xyz;
    fTolerance = tolerance;
    fInverse = inverse;
    fToleranceSquared = tolerance * tolerance;
    fPointCount = pointCount;

    // A few vertices per bucket keeps the per-bucket arrays small enough to
    // stay in cache; a driver sparse for the tolerance has one vertex per
    // block. Bucket and tag bits must fit below the hash's 64.
    int bucketBits = 1;
    while ((int64_t(kPointsPerBucket) << bucketBits) < pointCount)
        ++bucketBits;
    fBucketShift = 64 - bucketBits;
    const size_t bucketCount = size_t(1) << bucketBits;

    // Counting sort by bucket. The slot is worked out twice rather than kept
    // per vertex: fresh memory costs more than the arithmetic.
    fBucketStart.assign(bucketCount + 1, 0);
    fBucketTags.assign(bucketCount, 0);
    size_t indexed = 0;
    for (int64_t i = 0; i < pointCount; ++i) {
        CellKey cell;
        if (!cellOf(fInverse, xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2], cell))
            continue;
        const BlockSlot slot = slotOfCell(cell, fBucketShift);
        ++fBucketStart[slot.bucket + 1];
        fBucketTags[slot.bucket] |= uint64_t(1) << (slot.tag >> 2);
        ++indexed;
    }
    for (size_t b = 1; b <= bucketCount; ++b)
        fBucketStart[b] += fBucketStart[b - 1];
    // Ids in ascending order, so every bucket lists its ids ascending. Each
    // bucket's start advances past its ids as they are placed, ending where
    // the next one starts; shifting by one entry restores them.
    fIds.resize(indexed);
    fTags.resize(indexed);
    for (int64_t i = 0; i < pointCount; ++i) {
        CellKey cell;
        if (!cellOf(fInverse, xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2], cell))
            continue;
        const BlockSlot slot = slotOfCell(cell, fBucketShift);
        const uint32_t at = fBucketStart[slot.bucket]++;
        fIds[at] = static_cast<uint32_t>(i);
        fTags[at] = slot.tag;
    }
    std::copy_backward(fBucketStart.begin(), fBucketStart.end() - 2, fBucketStart.end() - 1);
    fBucketStart[0] = 0;
    return true;
}

void DriverGrid::scanBlock(uint32_t bucket, uint8_t tag, const CellKey& centre, double x, double y, double z,
                           Nearest& best) const
{
    const uint32_t end = fBucketStart[bucket + 1];
    for (uint32_t j = fBucketStart[bucket]; j != end; ++j) {
        if (fTags[j] != tag)
            continue;
        const uint32_t id = fIds[j];
        const double* p = fPoints + 3 * static_cast<size_t>(id);
        const double dx = x - p[0];
        const double dy = y - p[1];
        const double dz = z - p[2];
        const double d2 = dx * dx + dy * dy + dz * dz;
        if (!(d2 <= best.d2))
            continue;
        // Rare: a candidate close enough to compete. A tag may be shared by
        // other blocks and a block has more cells than the 27 visited, so
        // the vertex's cell decides whether it is visited at all, and where.
        CellKey cell;
        if (!cellOf(fInverse, p[0], p[1], p[2], cell))
            continue;
        const int rx = axisRank(cell.x, centre.x);
        const int ry = axisRank(cell.y, centre.y);
        const int rz = axisRank(cell.z, centre.z);
        if (rx < 0 || ry < 0 || rz < 0)
            continue;
        const int rank = 9 * rz + 3 * ry + rx;
        const int candidate = static_cast<int>(id);
        // An equal distance is won by the earlier cell, then the lower id;
        // nothing wins at exactly the tolerance.
        if (d2 < best.d2 ||
            (best.id >= 0 && (rank < best.rank || (rank == best.rank && candidate < best.id))))
            best = Nearest{d2, rank, candidate};
    }
}

int DriverGrid::findDriverVertex(double x, double y, double z) const
{
    if (fIds.empty() || !(fToleranceSquared > 0.0))
        return -1;
    CellKey centre;
    if (!cellOf(fInverse, x, y, z, centre))
        return -1;

    // Most patch vertices sit exactly on a driver vertex, which is then in the
    // query's own cell and wins without visiting the cells before it, as long
    // as no vertex of another cell can be at distance 0 too: with every
    // coordinate at least kExactHitFloor in size, a vertex that differs in any
    // coordinate is at a distance whose square is a normal, non-zero number.
    // A bucket lists its ids ascending, so the first hit is the lowest id.
    if (std::fabs(x) >= kExactHitFloor && std::fabs(y) >= kExactHitFloor && std::fabs(z) >= kExactHitFloor) {
        const BlockSlot home = slotOfCell(centre, fBucketShift);
        if (mayHold(home.bucket, home.tag)) {
            const uint32_t end = fBucketStart[home.bucket + 1];
            for (uint32_t j = fBucketStart[home.bucket]; j != end; ++j) {
                if (fTags[j] != home.tag)
                    continue;
                const double* p = fPoints + 3 * static_cast<size_t>(fIds[j]);
                if (p[0] == x && p[1] == y && p[2] == z)
                    return static_cast<int>(fIds[j]);
            }
        }
    }

    // Every vertex of the up to eight blocks that hold the 3x3x3 cells around
    // the centre; ranks keep the z, y, x visiting order for ties.
    const AxisBlocks ax = axisBlocks(centre.x);
    const AxisBlocks ay = axisBlocks(centre.y);
    const AxisBlocks az = axisBlocks(centre.z);
    Nearest best{fToleranceSquared, 27, -1};
    for (int bz = 0; bz < az.count; ++bz) {
        for (int by = 0; by < ay.count; ++by) {
            for (int bx = 0; bx < ax.count; ++bx) {
                const CellKey block{ax.blocks[bx], ay.blocks[by], az.blocks[bz]};
                const BlockSlot slot = slotOfBlock(block, fBucketShift);
                if (mayHold(slot.bucket, slot.tag))
                    scanBlock(slot.bucket, slot.tag, centre, x, y, z, best);
            }
        }
    }
    return best.id;
}

void DriverGrid::findDriverVertices(const double* xyz, int64_t count, int* driverIds) const
{
    // Each query's first vertex listed with its home block's tag, found in
    // passes over a batch: every pass issues one independent memory read per
    // query, so their cache misses overlap instead of queueing. That vertex
    // is the lowest id of the block and so answers an exact hit; anything
    // else takes the full lookup.
    constexpr int kBatch = 16;
    constexpr uint32_t kNone = ~uint32_t(0);
    const bool usable = !fIds.empty() && fToleranceSquared > 0.0;
    for (int64_t first = 0; first < count; first += kBatch) {
        const int n = static_cast<int>(std::min<int64_t>(kBatch, count - first));
        const double* q = xyz + 3 * first;
        BlockSlot slots[kBatch];
        uint32_t begin[kBatch];
        uint32_t end[kBatch];
        for (int i = 0; i < n; ++i) {
            CellKey cell;
            slots[i] = BlockSlot{0, 0};
            begin[i] = end[i] = 0;
            if (!usable || !(std::fabs(q[3 * i]) >= kExactHitFloor && std::fabs(q[3 * i + 1]) >= kExactHitFloor &&
                             std::fabs(q[3 * i + 2]) >= kExactHitFloor) ||
                !cellOf(fInverse, q[3 * i], q[3 * i + 1], q[3 * i + 2], cell))
                continue;
            slots[i] = slotOfCell(cell, fBucketShift);
            if (mayHold(slots[i].bucket, slots[i].tag)) {
                begin[i] = fBucketStart[slots[i].bucket];
                end[i] = fBucketStart[slots[i].bucket + 1];
            }
        }
        uint32_t candidate[kBatch];
        for (int i = 0; i < n; ++i) {
            candidate[i] = kNone;
            for (uint32_t j = begin[i]; j != end[i]; ++j) {
                if (fTags[j] == slots[i].tag) {
                    candidate[i] = fIds[j];
                    break;
                }
            }
        }
        for (int i = 0; i < n; ++i) {
            if (candidate[i] != kNone) {
                const double* p = fPoints + 3 * static_cast<size_t>(candidate[i]);
                if (p[0] == q[3 * i] && p[1] == q[3 * i + 1] && p[2] == q[3 * i + 2]) {
                    driverIds[first + i] = static_cast<int>(candidate[i]);
                    continue;
                }
            }
            driverIds[first + i] = findDriverVertex(q[3 * i], q[3 * i + 1], q[3 * i + 2]);
        }
    }
}

PatchMatch matchPatchVertices(const DriverGrid& grid,
                              const double* xyz,
                              int64_t vertexCount,
                              int* driverIds,
                              std::vector<int>& scratch)
{
    PatchMatch match;
    scratch.clear();
    scratch.reserve(static_cast<size_t>(std::max<int64_t>(vertexCount, 0)));
    grid.findDriverVertices(xyz, vertexCount, driverIds);
    for (int64_t k = 0; k < vertexCount; ++k) {
        if (driverIds[k] < 0)
            ++match.outside;
        else
            scratch.push_back(driverIds[k]);
    }
    // Every match beyond the first of a driver vertex counts as shared.
    std::sort(scratch.begin(), scratch.end());
    for (size_t i = 1; i < scratch.size(); ++i) {
        if (scratch[i] == scratch[i - 1])
            ++match.shared;
    }
    return match;
}

int64_t nextVertexStart(const IntSpan& vertexCounts, int64_t p, int64_t vertexStart)
{
    if (vertexStart < 0 || p < 0 || p >= vertexCounts.length || vertexCounts.data[p] < 0)
        return -1;
    return vertexStart + vertexCounts.data[p];
}

StoredPatchSlice locateStoredPatch(const StoredPatchArrays& arrays, int64_t p, int64_t vertexStart)
{
    StoredPatchSlice slice;
    if (p < 0 || p >= arrays.vertexCounts.length || p >= arrays.triangleOffsets.length ||
        p >= arrays.triangleCounts.length || p >= arrays.edgeOffsets.length || p >= arrays.edgeCounts.length) {
        slice.state = StoredPatchState::kIncomplete;
        return slice;
    }
    slice.vertexStart = vertexStart;
    slice.vertexCount = arrays.vertexCounts.data[p];
    slice.triangleOffset = arrays.triangleOffsets.data[p];
    slice.triangleCount = arrays.triangleCounts.data[p];
    slice.edgeOffset = arrays.edgeOffsets.data[p];
    slice.edgeCount = arrays.edgeCounts.data[p];

    // Every term is a 32-bit value or an array length, so these 64-bit sums
    // cannot overflow.
    const bool valid = vertexStart >= 0 && slice.vertexCount >= 0 &&
                       vertexStart + slice.vertexCount <= arrays.driverVertexIndices.length &&
                       slice.triangleOffset >= 0 && slice.triangleCount >= 0 &&
                       slice.triangleOffset + slice.triangleCount <= arrays.triangleIndices.length &&
                       slice.edgeOffset >= 0 && slice.edgeCount >= 0 &&
                       slice.edgeOffset + slice.edgeCount <= arrays.edgeIndices.length;
    slice.state = valid ? StoredPatchState::kValid : StoredPatchState::kInvalid;
    return slice;
}

}  // namespace PatchMatching
