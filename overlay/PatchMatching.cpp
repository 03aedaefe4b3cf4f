#include "overlay/PatchMatching.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace PatchMatching {

namespace {

constexpr uint64_t kEmptySlot = 0;
constexpr uint64_t kSlotMix = 0x9E3779B97F4A7C15ull;

// 2^63 as a double: the first value that no longer fits a signed 64-bit integer.
constexpr double kInt64Limit = 9223372036854775808.0;

uint32_t fingerprintOf(uint64_t hash)
{
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

bool sameKey(const CellKey& a, const CellKey& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// The neighbours of a cell along one axis, without stepping past the ends of
// the 64-bit range that saturated coordinates sit on.
struct AxisRange {
    int64_t first;
    int64_t last;
};

AxisRange neighbours(int64_t c)
{
    AxisRange r;
    r.first = c == std::numeric_limits<int64_t>::min() ? c : c - 1;
    r.last = c == std::numeric_limits<int64_t>::max() ? c : c + 1;
    return r;
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
    fTolerance = 0.0;
    fInverse = 0.0;
    fToleranceSquared = 0.0;
    fPointCount = 0;
    fSlots.clear();
    fSlotBits = 0;
    fCells.clear();
    fIds.clear();
    fPoints.clear();
}

bool DriverGrid::cellOf(double x, double y, double z, CellKey& key) const
{
    return cellCoordinate(x * fInverse, key.x) && cellCoordinate(y * fInverse, key.y) &&
           cellCoordinate(z * fInverse, key.z);
}

uint64_t DriverGrid::slotOf(uint64_t hash) const
{
    // The cell hash varies mostly in its low bits; a multiplicative step spreads
    // it over the top bits, which pick the slot.
    return (hash * kSlotMix) >> (64 - fSlotBits);
}

const DriverGrid::Cell* DriverGrid::findCell(const CellKey& key) const
{
    const uint64_t hash = cellHash(key);
    const uint64_t tag = static_cast<uint64_t>(fingerprintOf(hash)) << 32;
    const uint64_t mask = fSlots.size() - 1;
    for (uint64_t s = slotOf(hash);; s = (s + 1) & mask) {
        const uint64_t slot = fSlots[s];
        if (slot == kEmptySlot)
            return nullptr;
        if ((slot & 0xFFFFFFFF00000000ull) == tag) {
            const Cell& cell = fCells[(slot & 0xFFFFFFFFull) - 1];
            if (sameKey(cell.key, key))
                return &cell;
        }
    }
}

uint32_t DriverGrid::findOrAddCell(const CellKey& key)
{
    const uint64_t hash = cellHash(key);
    const uint64_t tag = static_cast<uint64_t>(fingerprintOf(hash)) << 32;
    const uint64_t mask = fSlots.size() - 1;
    for (uint64_t s = slotOf(hash);; s = (s + 1) & mask) {
        const uint64_t slot = fSlots[s];
        if (slot == kEmptySlot) {
            const uint32_t index = static_cast<uint32_t>(fCells.size());
            fCells.push_back(Cell{key, 0, 0});
            fSlots[s] = tag | (static_cast<uint64_t>(index) + 1);
            return index;
        }
        if ((slot & 0xFFFFFFFF00000000ull) == tag) {
            const uint32_t index = static_cast<uint32_t>((slot & 0xFFFFFFFFull) - 1);
            if (sameKey(fCells[index].key, key))
                return index;
        }
    }
}

bool DriverGrid::build(const double* xyz, int64_t pointCount, double tolerance)
{
    clear();
    if (!(tolerance > 0.0) || !std::isfinite(tolerance) || pointCount < 0 ||
        pointCount > std::numeric_limits<int>::max())
        return false;
    const double inverse = 1.0 / tolerance;
    if (!std::isfinite(inverse))
        return false;
    fTolerance = tolerance;
    fInverse = inverse;
    fToleranceSquared = tolerance * tolerance;
    fPointCount = pointCount;

    // At most half full, so probe runs stay short.
    fSlotBits = 4;
    while ((uint64_t(1) << fSlotBits) < static_cast<uint64_t>(pointCount) * 2)
        ++fSlotBits;
    fSlots.assign(uint64_t(1) << fSlotBits, kEmptySlot);
    fCells.reserve(static_cast<size_t>(pointCount));

    // First pass: the cell of every point and the size of every cell.
    constexpr uint32_t kNoCell = std::numeric_limits<uint32_t>::max();
    std::vector<uint32_t> cellOfPoint(static_cast<size_t>(pointCount));
    for (int64_t i = 0; i < pointCount; ++i) {
        CellKey key;
        if (!cellOf(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2], key)) {
            cellOfPoint[i] = kNoCell;
            continue;
        }
        const uint32_t c = findOrAddCell(key);
        cellOfPoint[i] = c;
        ++fCells[c].count;
    }

    uint32_t running = 0;
    for (Cell& cell : fCells) {
        cell.start = running;
        running += cell.count;
        cell.count = 0;
    }

    // Second pass in vertex order, so each cell lists its ids ascending.
    fIds.resize(running);
    fPoints.resize(static_cast<size_t>(running) * 3);
    for (int64_t i = 0; i < pointCount; ++i) {
        const uint32_t c = cellOfPoint[i];
        if (c == kNoCell)
            continue;
        Cell& cell = fCells[c];
        const uint32_t entry = cell.start + cell.count++;
        fIds[entry] = static_cast<int>(i);
        fPoints[3 * entry] = xyz[3 * i];
        fPoints[3 * entry + 1] = xyz[3 * i + 1];
        fPoints[3 * entry + 2] = xyz[3 * i + 2];
    }
    return true;
}

int DriverGrid::findDriverVertex(double x, double y, double z) const
{
    if (fCells.empty())
        return -1;
    CellKey centre;
    if (!cellOf(x, y, z, centre))
        return -1;

    const AxisRange rx = neighbours(centre.x);
    const AxisRange ry = neighbours(centre.y);
    const AxisRange rz = neighbours(centre.z);
    double best = fToleranceSquared;
    int result = -1;
    CellKey key;
    // Loop counters run on the range ends themselves so that a saturated
    // coordinate never steps past INT64_MAX.
    for (key.z = rz.first;; ++key.z) {
        for (key.y = ry.first;; ++key.y) {
            for (key.x = rx.first;; ++key.x) {
                if (const Cell* cell = findCell(key)) {
                    const double* p = &fPoints[3 * static_cast<size_t>(cell->start)];
                    for (uint32_t k = 0; k < cell->count; ++k, p += 3) {
                        const double dx = x - p[0];
                        const double dy = y - p[1];
                        const double dz = z - p[2];
                        const double d2 = dx * dx + dy * dy + dz * dz;
                        if (d2 < best) {
                            best = d2;
                            result = fIds[cell->start + k];
                        }
                    }
                    // Nothing met later can be strictly closer than a hit.
                    if (best == 0.0)
                        return result;
                }
                if (key.x == rx.last)
                    break;
            }
            if (key.y == ry.last)
                break;
        }
        if (key.z == rz.last)
            break;
    }
    return result;
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
