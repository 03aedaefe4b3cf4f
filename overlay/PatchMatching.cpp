#include "overlay/PatchMatching.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace PatchMatching {

namespace {

constexpr uint64_t kSlotMix = 0x9E3779B97F4A7C15ull;
constexpr int64_t kMaxPoints = int64_t(1) << 30;
constexpr double kExactHitFloor = 1e-100;

// 2^63 as a double: the first value that no longer fits a signed 64-bit integer.
constexpr double kInt64Limit = 9223372036854775808.0;

constexpr uint64_t kLowBytes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

uint64_t bucketTags(const uint8_t* tags, uint64_t bucket)
{
    // Assembled byte by byte so that byte k is bits 8k..8k+7 on any machine;
    // compilers turn this into one load.
    const uint8_t* p = tags + 8 * bucket;
    uint64_t word = 0;
    for (int k = 7; k >= 0; --k)
        word = (word << 8) | p[k];
    return word;
}

// High bit set in every byte of the word equal to value. Bytes above a true
// match may be flagged falsely (a borrow), so callers check the slot itself.
uint64_t bytesEqual(uint64_t word, uint8_t value)
{
    const uint64_t x = word ^ (kLowBytes * value);
    return (x - kLowBytes) & ~x & kHighBits;
}

// Position of the lowest flagged byte; flags must not be 0.
unsigned lowestByte(uint64_t flags)
{
#if defined(__GNUC__)
    return static_cast<unsigned>(__builtin_ctzll(flags)) >> 3;
#else
    unsigned n = 0;
    while (!(flags & 0x80u)) {
        flags >>= 8;
        ++n;
    }
    return n;
#endif
}

bool sameKey(const CellKey& a, const CellKey& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// The cells around a centre coordinate along one axis, ascending, without
// stepping past the ends of the 64-bit range that saturated coordinates sit
// on; with each its position in the visiting order (0 below the centre, 1 the
// centre, 2 above) and which of the axis's one or two blocks it lies in.
struct AxisCells {
    int64_t cells[3];
    int rank[3];
    int block[3];
    int count;
    int64_t blocks[2];
    int blockCount;
};

AxisCells axisCells(int64_t centre)
{
    AxisCells a;
    a.count = 0;
    if (centre != std::numeric_limits<int64_t>::min()) {
        a.cells[a.count] = centre - 1;
        a.rank[a.count++] = 0;
    }
    a.cells[a.count] = centre;
    a.rank[a.count++] = 1;
    if (centre != std::numeric_limits<int64_t>::max()) {
        a.cells[a.count] = centre + 1;
        a.rank[a.count++] = 2;
    }
    a.blockCount = 0;
    for (int i = 0; i < a.count; ++i) {
        const int64_t b = a.cells[i] >> 1;
        if (a.blockCount == 0 || a.blocks[a.blockCount - 1] != b)
            a.blocks[a.blockCount++] = b;
        a.block[i] = a.blockCount - 1;
    }
    return a;
}

unsigned cornerOf(const CellKey& key)
{
    return static_cast<unsigned>((key.x & 1) | ((key.y & 1) << 1) | ((key.z & 1) << 2));
}

}  // namespace

bool cellCoordinate(double scaled, int64_t& cell)
{
    if (std::isnan(scaled))
        return false;
    const double f = std::floor(scaled);
    if (f >= kInt64Limit)
        cell = std::numeric_limits<int64_t>::max();
    else if (f < -kInt64Limit)
        cell = std::numeric_limits<int64_t>::min();
    else
        cell = static_cast<int64_t>(f);
    return true;
}

uint64_t cellHash(const CellKey& key)
{
    return (static_cast<uint64_t>(key.x) * 73856093ull) ^ (static_cast<uint64_t>(key.y) * 19349663ull) ^
           (static_cast<uint64_t>(key.z) * 83492791ull);
}

void DriverGrid::clear()
{
    fPoints = nullptr;
    fTolerance = 0.0;
    fInverse = 0.0;
    fToleranceSquared = 0.0;
    fPointCount = 0;
    fCellCount = 0;
    fBucketBits = 0;
    fTags.clear();
    fRecords.clear();
}

bool DriverGrid::cellOf(double x, double y, double z, CellKey& key) const
{
    return cellCoordinate(x * fInverse, key.x) && cellCoordinate(y * fInverse, key.y) &&
           cellCoordinate(z * fInverse, key.z);
}

bool DriverGrid::pointInCell(uint32_t id, const CellKey& key) const
{
    const double* p = fPoints + 3 * static_cast<size_t>(id);
    CellKey other;
    return cellOf(p[0], p[1], p[2], other) && sameKey(other, key);
}

DriverGrid::Probe DriverGrid::blockProbe(const CellKey& block) const
{
    // The block hash varies mostly in its low bits; a multiplicative step
    // spreads it over the top bits, which pick the bucket.
    const uint64_t mixed = cellHash(block) * kSlotMix;
    Probe probe;
    probe.bucket = mixed >> (64 - fBucketBits);
    probe.tag = static_cast<uint8_t>((mixed >> 16) % 31 + 1);
    return probe;
}

DriverGrid::Probe DriverGrid::probeOf(const CellKey& key) const
{
    // Arithmetic shifts floor the coordinates to their block, also below zero.
    Probe probe = blockProbe(CellKey{key.x >> 1, key.y >> 1, key.z >> 1});
    probe.tag |= static_cast<uint8_t>(cornerOf(key) << 5);
    return probe;
}

bool DriverGrid::findSlot(const Probe& probe, const CellKey& key, uint64_t& slot) const
{
    const uint64_t bucketMask = (uint64_t(1) << fBucketBits) - 1;
    for (uint64_t b = probe.bucket;; b = (b + 1) & bucketMask) {
        const uint64_t tags = bucketTags(fTags.data(), b);
        for (uint64_t m = bytesEqual(tags, probe.tag); m; m &= m - 1) {
            const uint64_t s = 8 * b + lowestByte(m);
            // A cell is recognised by its first vertex: no keys are stored.
            if (fTags[s] == probe.tag && pointInCell(fRecords[s].firstId, key)) {
                slot = s;
                return true;
            }
        }
        if (bytesEqual(tags, 0))
            return false;
    }
}

void DriverGrid::scanSlot(uint64_t slot, int rank, double x, double y, double z, Nearest& best) const
{
    const SlotRecord& record = fRecords[slot];
    uint32_t id = record.firstId;
    for (uint32_t k = 1;; ++k) {
        const double* p = fPoints + 3 * static_cast<size_t>(id);
        const double dx = x - p[0];
        const double dy = y - p[1];
        const double dz = z - p[2];
        const double d2 = dx * dx + dy * dy + dz * dz;
        // Ids within a cell ascend, so an equal distance in the same cell
        // keeps the earlier vertex.
        if (d2 < best.d2 || (d2 == best.d2 && rank < best.rank))
            best = Nearest{d2, rank, static_cast<int>(id)};
        if (k == record.count)
            return;
        id = fNext[id];
    }
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

    // At least twice as many slots as points, so buckets rarely fill up.
    fBucketBits = 1;
    while ((int64_t(8) << fBucketBits) < pointCount * 2)
        ++fBucketBits;
    const uint64_t bucketMask = (uint64_t(1) << fBucketBits) - 1;
    const uint64_t slotCount = uint64_t(8) << fBucketBits;
    fTags.assign(slotCount, 0);
    fRecords.resize(slotCount);
    if (fNextCapacity < pointCount) {
        fNext.reset(new uint32_t[static_cast<size_t>(pointCount)]);
        fNextCapacity = pointCount;
    }

    // Vertices in id order, so every cell lists its ids ascending.
    for (int64_t i = 0; i < pointCount; ++i) {
        CellKey key;
        if (!cellOf(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2], key))
            continue;
        const uint32_t id = static_cast<uint32_t>(i);
        const Probe probe = probeOf(key);
        bool found = false;
        for (uint64_t b = probe.bucket; !found; b = (b + 1) & bucketMask) {
            const uint64_t tags = bucketTags(fTags.data(), b);
            for (uint64_t m = bytesEqual(tags, probe.tag); m; m &= m - 1) {
                const uint64_t s = 8 * b + lowestByte(m);
                SlotRecord& record = fRecords[s];
                if (fTags[s] == probe.tag && pointInCell(record.firstId, key)) {
                    fNext[record.lastId] = id;
                    record.lastId = id;
                    ++record.count;
                    found = true;
                    break;
                }
            }
            if (found)
                break;
            // The cell is new; it takes the first free slot on its way.
            for (uint64_t m = bytesEqual(tags, 0); m; m &= m - 1) {
                const uint64_t s = 8 * b + lowestByte(m);
                if (fTags[s] == 0) {
                    fTags[s] = probe.tag;
                    fRecords[s] = SlotRecord{id, id, 1};
                    ++fCellCount;
                    found = true;
                    break;
                }
            }
        }
    }
    return true;
}

int DriverGrid::findDriverVertex(double x, double y, double z) const
{
    if (fCellCount == 0)
        return -1;
    CellKey centre;
    if (!cellOf(x, y, z, centre))
        return -1;

    // Starting at rank -1, a candidate at exactly the tolerance never wins.
    Nearest best{fToleranceSquared, -1, -1};
    uint64_t slot;
    // Most patch vertices sit exactly on a driver vertex, which is then in the
    // query's own cell. Such a hit can be taken without visiting the cells
    // before it, as long as no vertex of another cell can be at distance 0
    // too: with every coordinate at least kExactHitFloor in size, a vertex
    // that differs in any coordinate is at a distance whose square is a
    // normal, non-zero number.
    if (std::fabs(x) >= kExactHitFloor && std::fabs(y) >= kExactHitFloor && std::fabs(z) >= kExactHitFloor &&
        findSlot(probeOf(centre), centre, slot)) {
        scanSlot(slot, 13, x, y, z, best);
        if (best.d2 == 0.0)
            return best.id;
        best = Nearest{fToleranceSquared, -1, -1};
    }

    // The 3x3x3 cells around the centre, fewer where a saturated coordinate
    // has no neighbour, visited block by block: the cells of one 2x2x2 block
    // share a bucket. Ranks keep the z, y, x visiting order for ties.
    AxisCells axes[3] = {axisCells(centre.z), axisCells(centre.y), axisCells(centre.x)};
    for (int bz = 0; bz < axes[0].blockCount; ++bz) {
        for (int by = 0; by < axes[1].blockCount; ++by) {
            for (int bx = 0; bx < axes[2].blockCount; ++bx) {
                const Probe block =
                    blockProbe(CellKey{axes[2].blocks[bx], axes[1].blocks[by], axes[0].blocks[bz]});
                for (int iz = 0; iz < axes[0].count; ++iz) {
                    if (axes[0].block[iz] != bz)
                        continue;
                    for (int iy = 0; iy < axes[1].count; ++iy) {
                        if (axes[1].block[iy] != by)
                            continue;
                        for (int ix = 0; ix < axes[2].count; ++ix) {
                            if (axes[2].block[ix] != bx)
                                continue;
                            const CellKey key{axes[2].cells[ix], axes[1].cells[iy], axes[0].cells[iz]};
                            const Probe probe{block.bucket,
                                              static_cast<uint8_t>(block.tag | (cornerOf(key) << 5))};
                            if (findSlot(probe, key, slot))
                                scanSlot(slot, 9 * axes[0].rank[iz] + 3 * axes[1].rank[iy] + axes[2].rank[ix], x,
                                         y, z, best);
                        }
                    }
                }
            }
        }
    }
    return best.id;
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
    for (int64_t k = 0; k < vertexCount; ++k) {
        const int id = grid.findDriverVertex(xyz[3 * k], xyz[3 * k + 1], xyz[3 * k + 2]);
        driverIds[k] = id;
        if (id < 0)
            ++match.outside;
        else
            scratch.push_back(id);
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
