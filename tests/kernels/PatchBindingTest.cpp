// Matching patch vertices to driver vertices, the checks on stored patch slices that a partial
// rebind copies, appending bound and copied patches to an overlay's arrays, and the bind
// command's per-patch messages and summaries.

#include "overlay/PatchMatching.h"
#include "overlay/PatchBinding.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

using namespace PatchMatching;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

struct Driver {
    std::vector<double> xyz;
    DriverGrid grid;

    Driver(std::vector<double> points, double tolerance) : xyz(std::move(points))
    {
        EXPECT_TRUE(grid.build(xyz.data(), static_cast<int64_t>(xyz.size() / 3), tolerance));
    }
    int find(double x, double y, double z) const { return grid.findDriverVertex(x, y, z); }
    // The batch lookup of many queries (xyz triples).
    std::vector<int> findAll(const std::vector<double>& queries) const
    {
        std::vector<int> ids(queries.size() / 3, -7);
        grid.findDriverVertices(queries.data(), static_cast<int64_t>(ids.size()), ids.data());
        return ids;
    }
};

// Exhaustive answer: every driver vertex whose cell lies in the 3x3x3 block
// around the query's cell and whose squared distance is below t², the winner
// being the smallest distance, then the earliest cell in z, y, x order, then
// the lowest id.
int exhaustiveMatch(const std::vector<double>& xyz, double t, double x, double y, double z)
{
    const double inv = 1.0 / t;
    const double q[3] = {x, y, z};
    int64_t qc[3];
    for (int a = 0; a < 3; ++a)
        qc[a] = static_cast<int64_t>(std::floor(q[a] * inv));
    int result = -1;
    std::tuple<double, int, int> best{t * t, 0, 0};
    for (size_t i = 0; i < xyz.size() / 3; ++i) {
        int rank = 0;
        bool near = true;
        for (int a = 2; a >= 0; --a) {
            const int64_t d = static_cast<int64_t>(std::floor(xyz[3 * i + a] * inv)) - qc[a];
            near = near && d >= -1 && d <= 1;
            rank = rank * 3 + static_cast<int>(d + 1);
        }
        if (!near)
            continue;
        double d2 = 0.0;
        for (int a = 0; a < 3; ++a)
            d2 += (q[a] - xyz[3 * i + a]) * (q[a] - xyz[3 * i + a]);
        const std::tuple<double, int, int> key{d2, rank, static_cast<int>(i)};
        if (d2 < t * t && (result < 0 || key < best)) {
            best = key;
            result = static_cast<int>(i);
        }
    }
    return result;
}

}  // namespace

TEST(CellCoordinate, FloorsAndSaturatesAndRefusesNaN)
{
    // Floored, not truncated toward zero; saturated at the int64 ends.
    const std::pair<double, int64_t> kCases[] = {
        {2.5, 2}, {-2.5, -3}, {-0.0, 0}, {1e300, kMax}, {9223372036854775808.0, kMax},
        {-9223372036854775808.0, kMin}, {-1e300, kMin}, {kInf, kMax},
    };
    int64_t c = 0;
    for (const auto& [x, cell] : kCases) {
        EXPECT_TRUE(cellCoordinate(x, c)) << x;
        EXPECT_EQ(c, cell) << x;
    }
    EXPECT_FALSE(cellCoordinate(kNaN, c));
}

namespace {

// A driver, its tolerance, and queries (x, y, z, expected driver vertex or -1).
struct GridCase {
    const char* what;
    std::vector<double> driver;
    double tolerance;
    std::vector<std::array<double, 4>> queries;
    int indexed = -1;  // driver vertices the grid holds, where checked
};

const GridCase kGridCases[] = {
    {"a distance equal to the tolerance is outside", {0, 0, 0, 10, 0, 0}, 0.5,
     {{0.5, 0, 0, -1}, {0, -0.5, 0, -1}, {0.49999, 0, 0, 0}, {10, 0, 0.4, 1}}},
    {"the same with a fine tolerance", {1, 2, 3}, 0.0001, {{1, 2, 3.0001, -1}, {1, 2, 3.00009, 0}}},
    // Every candidate is 0.25 from the origin; the later a candidate's cell comes in the visiting
    // order, the lower its id, so only the visiting order can make the right one win.
    {"ties go to the lower z cell", {0, 0, 0.25, 0, 0, -0.25}, 1.0, {{0, 0, 0, 1}}},
    {"z before y", {0, -0.25, 0, 0, 0, -0.25}, 1.0, {{0, 0, 0, 1}}},
    {"y before x", {-0.25, 0, 0, 0, -0.25, 0}, 1.0, {{0, 0, 0, 1}}},
    {"the lower x cell", {0.25, 0, 0, -0.25, 0, 0}, 1.0, {{0, 0, 0, 1}}},
    {"same cell and distance: the lower id", {0.5, 0.25, 0.5, 0.5, 0.75, 0.5, 0.5, 0.25, 0.5}, 1.0,
     {{0.5, 0.5, 0.5, 0}}},
    {"a strictly closer vertex wins whatever its cell", {0, 0, -0.25, 0.2, 0, 0}, 1.0, {{0, 0, 0, 1}}},
    {"coincident driver vertices give the lowest id", {0.3, 0.3, 0.3, 1, 1, 1, 0.3, 0.3, 0.3, 0.3, 0.3, 0.3}, 0.1,
     {{0.3, 0.3, 0.3, 0}, {0.31, 0.3, 0.3, 0}}},
    // On the boundary with the vertex in the cell below; the vertex on the far side of the query's
    // own cell; the vertex on the boundary with the query inside or in the cell below; across a y
    // boundary; two cells away.
    {"points on cell boundaries reach neighbour cells", {0.6, 0, 0, 1.9, 5, 5, 3, -2, 7}, 1.0,
     {{1, 0, 0, 0}, {1, 5, 5, 1}, {3.5, -2, 7, 2}, {2.5, -2, 7, 2}, {3, -1.01, 7, 2}, {1.99, 0, 0, -1}}},
    // -0.25 lies in cell -1, visited before cell 0 that holds +0.25; with truncation toward zero
    // both would share cell 0 and the lower id win.
    {"negative coordinates fall into floored cells", {-5.05, -7.5, -0.01, -5.2, -7.5, -0.01}, 0.1,
     {{-5.0, -7.5, -0.01, 0}, {-5.16, -7.5, 0.02, 1}, {-5.29, -7.5, -0.01, 1}, {-5.31, -7.5, -0.01, -1}}},
    {"huge coordinates over a tiny tolerance saturate safely",
     {1e300, 0, 0, -1e300, 1, 1, 2e19, -3e19, 0.5, 1e300, 1e300, 1e300}, 1e-10,
     {{1e300, 0, 0, 0}, {1e300, 0, 5e-11, 0}, {-1e300, 1, 1, 1}, {2e19, -3e19, 0.5, 2}, {1e300, 1e300, 1e300, 3},
      {2e300, 0, 0, -1}, {1e299, 1e300, 1e300, -1}, {kInf, 0, 0, -1}}},
    {"NaN matches nothing and hides no other vertex", {kNaN, 0, 0, 0, 0, 0, 1, kNaN, 1}, 0.5,
     {{kNaN, 0, 0, -1}, {0, 0, kNaN, -1}, {0.1, 0, 0, 1}, {1, 0, 1, -1}}, 1},
    // A patch vertex at infinity is no more on the driver than a NaN one, even where a driver
    // vertex has the very same coordinates.
    {"infinite points match nothing", {kInf, 0, 0, 0, 0, 0, 1, -kInf, 1, kInf, kInf, kInf}, 0.5,
     {{kInf, 0, 0, -1}, {1, -kInf, 1, -1}, {kInf, kInf, kInf, -1}, {0.1, 0, 0, 1}}, 1},
    // Both vertices are at squared distance 0 from the origin (the squares underflow), but the
    // one in cell -1 is visited first; likewise in z alone, with x and y large enough for the
    // exact-hit shortcut.
    {"tiny coordinates near zero keep the visiting order", {0, 0, 0, -1e-300, 0, 0}, 1.0, {{0, 0, 0, 1}}},
    {"tiny in z alone", {1, 2, 0, 1, 2, -1e-200}, 1.0, {{1, 2, 0, 1}}},
};

}  // namespace

TEST(DriverGridMatching, HandWorkedCasesOneByOneAndInABatch)
{
    for (const GridCase& c : kGridCases) {
        Driver d(c.driver, c.tolerance);
        std::vector<double> batch;
        std::vector<int> expected;
        for (const auto& q : c.queries) {
            EXPECT_EQ(d.find(q[0], q[1], q[2]), static_cast<int>(q[3]))
                << c.what << ": " << q[0] << " " << q[1] << " " << q[2];
            batch.insert(batch.end(), q.begin(), q.begin() + 3);
            expected.push_back(static_cast<int>(q[3]));
        }
        EXPECT_EQ(d.findAll(batch), expected) << c.what;
        if (c.indexed >= 0) {
            EXPECT_EQ(d.grid.indexedPointCount(), c.indexed) << c.what;
        }
    }

    // Matching a patch counts an infinite vertex as outside.
    Driver d({kInf, 0, 0, 0, 0, 0}, 0.5);
    std::vector<int> ids(2, -7), scratch;
    const std::vector<double> patch = {kInf, 0.0, 0.0, 0.0, 0.0, 0.0};
    const PatchMatch match = matchPatchVertices(d.grid, patch.data(), 2, ids.data(), scratch);
    EXPECT_EQ(ids, (std::vector<int>{-1, 1}));
    EXPECT_EQ(match.outside, 1);
}

TEST(DriverGridMatching, AgreesWithExhaustiveSearchOnCrowdedLattices)
{
    // Points on a lattice of quarter tolerances give many exact ties, shared
    // cells, duplicates and cells on both sides of zero; enough of them to
    // fill buckets and make probes run on.
    std::mt19937_64 random(12345);
    for (const double t : {1.0, 0.01, 3.0}) {
        std::uniform_int_distribution<int> lattice(-24, 24);
        std::vector<double> xyz;
        for (int i = 0; i < 3000; ++i) {
            for (int a = 0; a < 3; ++a)
                xyz.push_back(lattice(random) * t / 4.0);
        }
        Driver d(xyz, t);
        std::uniform_int_distribution<int> queryLattice(-30, 30);
        std::uniform_real_distribution<double> jitter(-0.3, 0.3);
        std::vector<double> queries;
        std::vector<int> expected;
        for (int k = 0; k < 1000; ++k) {
            double q[3];
            for (int a = 0; a < 3; ++a)
                q[a] = queryLattice(random) * t / 4.0 + (k % 2 ? jitter(random) * t : 0.0);
            expected.push_back(exhaustiveMatch(xyz, t, q[0], q[1], q[2]));
            ASSERT_EQ(d.find(q[0], q[1], q[2]), expected.back())
                << "t " << t << " query " << q[0] << " " << q[1] << " " << q[2];
            queries.insert(queries.end(), q, q + 3);
        }
        EXPECT_EQ(d.findAll(queries), expected) << "t " << t;
    }
}

TEST(DriverGridMatching, AgreesWithExhaustiveSearchOnSparseDrivers)
{
    // A driver far sparser than the tolerance, as most are: most blocks hold
    // one vertex, buckets mix many blocks, and queries sit exactly on a
    // vertex, just off it, or just beyond the tolerance, in every direction
    // and on both sides of zero. A few coincident vertices and a pair at the
    // same distance from a query make exact hits and ties.
    std::mt19937_64 random(99);
    const double t = 0.001;
    std::uniform_real_distribution<double> coordinate(-0.5, 0.5);
    std::vector<double> xyz;
    for (int i = 0; i < 6000; ++i) {
        for (int a = 0; a < 3; ++a)
            xyz.push_back(coordinate(random));
    }
    for (int i = 0; i < 30; ++i) {
        const size_t copied = 3 * static_cast<size_t>(i * 97);
        xyz.insert(xyz.end(), {xyz[copied], xyz[copied + 1], xyz[copied + 2]});
    }
    xyz.insert(xyz.end(), {0.25 + 0.4 * t, 0.1, 0.1, 0.25 - 0.4 * t, 0.1, 0.1});
    Driver d(xyz, t);

    std::uniform_int_distribution<size_t> vertex(0, xyz.size() / 3 - 1);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    const double offsets[] = {0.0, 0.3 * t, 0.99 * t, 1.0 * t, 1.7 * t};
    std::vector<double> queries;
    std::vector<int> expected;
    for (int k = 0; k < 2500; ++k) {
        const size_t v = vertex(random);
        double dir[3] = {unit(random), unit(random), unit(random)};
        const double length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]) + 1e-12;
        const double offset = offsets[k % 5];
        double q[3];
        for (int a = 0; a < 3; ++a)
            q[a] = xyz[3 * v + a] + dir[a] / length * offset;
        expected.push_back(exhaustiveMatch(xyz, t, q[0], q[1], q[2]));
        ASSERT_EQ(d.find(q[0], q[1], q[2]), expected.back()) << "query " << k << " near vertex " << v;
        queries.insert(queries.end(), q, q + 3);
    }
    // In batches, with the queries that sit on coincident vertices and a NaN
    // among them.
    queries.insert(queries.end(), {kNaN, 0.1, 0.1, xyz[0], xyz[1], xyz[2]});
    expected.insert(expected.end(), {-1, 0});
    EXPECT_EQ(d.findAll(queries), expected);
    EXPECT_EQ(d.find(0.25, 0.1, 0.1), static_cast<int>(xyz.size() / 3) - 1);  // the tie's lower cell
    EXPECT_EQ(d.find(xyz[0], xyz[1], xyz[2]), 0);                             // the first of coincident ones
}

TEST(DriverGridMatching, BuildRefusesUnusableTolerancesAndRebuildReplaces)
{
    const std::vector<double> xyz = {0.0, 0.0, 0.0};
    DriverGrid grid;
    for (const double t : {0.0, -1.0, std::numeric_limits<double>::infinity(), kNaN, 1e-320}) {
        EXPECT_FALSE(grid.build(xyz.data(), 1, t)) << t;
        EXPECT_EQ(grid.findDriverVertex(0.0, 0.0, 0.0), -1);
    }

    const std::vector<double> first = {0.0, 0.0, 0.0, 1.0, 1.0, 1.0};
    const std::vector<double> second = {5.0, 5.0, 5.0};
    ASSERT_TRUE(grid.build(first.data(), 2, 0.1));
    EXPECT_EQ(grid.findDriverVertex(1.0, 1.0, 1.0), 1);
    ASSERT_TRUE(grid.build(second.data(), 1, 0.1));
    EXPECT_EQ(grid.findDriverVertex(1.0, 1.0, 1.0), -1);
    EXPECT_EQ(grid.findDriverVertex(5.0, 5.0, 5.0), 0);

    ASSERT_TRUE(grid.build(nullptr, 0, 0.1));
    EXPECT_EQ(grid.findDriverVertex(0.0, 0.0, 0.0), -1);
}

TEST(PatchVertexMatching, CountsOutsideVerticesAndRepeatedMatches)
{
    Driver d({0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 1.0, 1.0, 0.0}, 0.0001);
    std::vector<int> scratch;

    // One of four patch vertices too far away.
    const std::vector<double> oneOutside = {0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 1.0, 1.0, 0.001};
    std::vector<int> ids(4);
    PatchMatch m = matchPatchVertices(d.grid, oneOutside.data(), 4, ids.data(), scratch);
    EXPECT_EQ(m.outside, 1);
    EXPECT_EQ(m.shared, 0);
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 2, -1}));

    // Three patch vertices on driver vertex 1 count 2; a pair on 3 counts 1.
    const std::vector<double> sharing = {1.0, 0.0, 0.0, 1.0, 0.0, 0.0, 1.0, 0.00005, 0.0,
                                         1.0, 1.0, 0.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0};
    ids.assign(6, 7);
    m = matchPatchVertices(d.grid, sharing.data(), 6, ids.data(), scratch);
    EXPECT_EQ(m.outside, 0);
    EXPECT_EQ(m.shared, 3);
    EXPECT_EQ(ids, (std::vector<int>{1, 1, 1, 3, 3, 0}));

    // All distinct: nothing to report.
    ids.assign(4, 7);
    m = matchPatchVertices(d.grid, d.xyz.data(), 4, ids.data(), scratch);
    EXPECT_EQ(m.outside, 0);
    EXPECT_EQ(m.shared, 0);
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 2, 3}));
}

namespace {

struct StoredArrays {
    std::vector<int> vertexCounts, driverIndices, triangleOffsets, triangleCounts, triangleIndices, edgeOffsets,
        edgeCounts, edgeIndices;

    static IntSpan span(const std::vector<int>& v) { return IntSpan{v.data(), static_cast<int64_t>(v.size())}; }

    StoredPatchArrays view() const
    {
        return StoredPatchArrays{span(vertexCounts),    span(driverIndices), span(triangleOffsets),
                                 span(triangleCounts),  span(triangleIndices), span(edgeOffsets),
                                 span(edgeCounts),      span(edgeIndices)};
    }

    int64_t startOf(int64_t p) const
    {
        int64_t start = 0;
        for (int64_t q = 0; q < p; ++q)
            start = nextVertexStart(span(vertexCounts), q, start);
        return start;
    }

    StoredPatchSlice locate(int64_t p) const { return locateStoredPatch(view(), p, startOf(p)); }
};

// Two patches: a triangle (3 vertices, 3 triangle entries, 6 edge entries)
// and a quad without faces (4 vertices, no triangles or edges).
StoredArrays twoPatches()
{
    StoredArrays a;
    a.vertexCounts = {3, 4};
    a.driverIndices = {10, 11, 12, 20, 21, 22, 23};
    a.triangleOffsets = {0, 3};
    a.triangleCounts = {3, 0};
    a.triangleIndices = {0, 1, 2};
    a.edgeOffsets = {0, 6};
    a.edgeCounts = {6, 0};
    a.edgeIndices = {0, 1, 1, 2, 2, 0};
    return a;
}

}  // namespace

TEST(StoredPatchSlices, LocatesEachPatchOfAValidBindingAndNoneBeyondItsArrays)
{
    const StoredArrays a = twoPatches();
    const StoredPatchSlice first = a.locate(0);
    EXPECT_EQ(first.state, StoredPatchState::kValid);
    EXPECT_EQ(first.vertexStart, 0);
    EXPECT_EQ(first.vertexCount, 3);
    EXPECT_EQ(first.triangleCount, 3);
    EXPECT_EQ(first.edgeCount, 6);

    const StoredPatchSlice second = a.locate(1);
    EXPECT_EQ(second.state, StoredPatchState::kValid);
    EXPECT_EQ(second.vertexStart, 3);
    EXPECT_EQ(second.vertexCount, 4);
    EXPECT_EQ(second.triangleOffset, 3);
    EXPECT_EQ(second.triangleCount, 0);
    EXPECT_EQ(second.edgeOffset, 6);

    // A patch beyond any per-patch array is incomplete.
    EXPECT_EQ(twoPatches().locate(2).state, StoredPatchState::kIncomplete);
    for (int which = 0; which < 5; ++which) {
        StoredArrays shortened = twoPatches();
        std::vector<int>* arrays[5] = {&shortened.vertexCounts, &shortened.triangleOffsets,
                                       &shortened.triangleCounts, &shortened.edgeOffsets, &shortened.edgeCounts};
        arrays[which]->pop_back();
        EXPECT_EQ(shortened.locate(1).state, StoredPatchState::kIncomplete) << which;
        EXPECT_EQ(shortened.locate(0).state, StoredPatchState::kValid) << which;
    }
}

TEST(StoredPatchSlices, NegativeOverrunningOrOverflowingValuesAreInvalid)
{
    auto invalidAfter = [](auto change, int64_t p) {
        StoredArrays a = twoPatches();
        change(a);
        return a.locate(p).state == StoredPatchState::kInvalid;
    };
    EXPECT_TRUE(invalidAfter([](StoredArrays& a) { a.vertexCounts[1] = -1; }, 1));
    EXPECT_TRUE(invalidAfter([](StoredArrays& a) { a.vertexCounts[1] = 5; }, 1));
    EXPECT_TRUE(invalidAfter([](StoredArrays& a) { a.triangleOffsets[0] = -3; }, 0));
    EXPECT_TRUE(invalidAfter([](StoredArrays& a) { a.triangleCounts[0] = 4; }, 0));
    EXPECT_TRUE(invalidAfter([](StoredArrays& a) { a.edgeOffsets[1] = 7; }, 1));
    EXPECT_TRUE(invalidAfter([](StoredArrays& a) { a.edgeCounts[0] = -6; }, 0));

    // Three face-less patches of the given vertex counts.
    const auto faceless = [](std::vector<int> counts) {
        StoredArrays a = twoPatches();
        a.vertexCounts = counts;
        a.triangleOffsets = a.triangleCounts = a.edgeOffsets = a.edgeCounts = {0, 0, 0};
        return a;
    };
    // A negative count before p is not made good by a later positive one.
    const StoredArrays a = faceless({-2, 5, 4});
    EXPECT_EQ(a.locate(2).state, StoredPatchState::kInvalid);
    EXPECT_EQ(a.locate(1).state, StoredPatchState::kInvalid);

    // Sums that overflow 32 bits are invalid, not wrapped.
    const int big = std::numeric_limits<int>::max();
    StoredArrays wrapped = twoPatches();
    wrapped.triangleOffsets[1] = big;  // big + 1 wraps negative in 32 bits
    wrapped.triangleCounts[1] = 1;
    EXPECT_EQ(wrapped.locate(1).state, StoredPatchState::kInvalid);

    const StoredArrays summed = faceless({big, big, 2});
    EXPECT_EQ(summed.startOf(2), 2 * int64_t(big));
    EXPECT_EQ(summed.locate(2).state, StoredPatchState::kInvalid);
}

using namespace PatchBinding;

namespace {

PatchTopology topologyOf(const std::vector<int>& triangles, const std::vector<int>& edges)
{
    PatchTopology topology;
    topology.triangleVertices = triangles.data();
    topology.triangleVertexCount = static_cast<int64_t>(triangles.size());
    topology.edgeVertices = edges.data();
    topology.edgeVertexCount = static_cast<int64_t>(edges.size());
    return topology;
}

// A triangle patch, a face-less patch of two vertices, then a quad of two triangles.
PatchArrays threeBoundPatches()
{
    PatchArrays arrays;
    const std::vector<int> triangleIds = {7, 8, 9};
    EXPECT_TRUE(appendBoundPatch(arrays, triangleIds.data(), 3, topologyOf({0, 1, 2}, {0, 1, 1, 2, 2, 0})));
    const std::vector<int> looseIds = {4, 5};
    EXPECT_TRUE(appendBoundPatch(arrays, looseIds.data(), 2, topologyOf({}, {})));
    const std::vector<int> quadIds = {1, 2, 3, 0};
    EXPECT_TRUE(appendBoundPatch(arrays, quadIds.data(), 4,
                                 topologyOf({0, 1, 2, 0, 2, 3}, {0, 1, 1, 2, 2, 3, 3, 0, 0, 2})));
    return arrays;
}

int64_t startOf(const PatchArrays& arrays, int64_t p)
{
    int64_t start = 0;
    for (int64_t q = 0; q < p; ++q)
        start = PatchMatching::nextVertexStart(arrays.view().vertexCounts, q, start);
    return start;
}

}  // namespace

TEST(PatchAppending, SlicesFollowEachOtherWithoutGapsAndNegativeCountsAreRefused)
{
    const PatchArrays arrays = threeBoundPatches();
    EXPECT_EQ(arrays.patchCount(), 3);
    EXPECT_EQ(arrays.vertexCounts, (std::vector<int>{3, 2, 4}));
    EXPECT_EQ(arrays.driverVertexIndices, (std::vector<int>{7, 8, 9, 4, 5, 1, 2, 3, 0}));
    EXPECT_EQ(arrays.triangleOffsets, (std::vector<int>{0, 3, 3}));
    EXPECT_EQ(arrays.triangleCounts, (std::vector<int>{3, 0, 6}));
    EXPECT_EQ(arrays.triangleIndices, (std::vector<int>{0, 1, 2, 0, 1, 2, 0, 2, 3}));
    // A patch without faces gets an empty slice starting at the current end.
    EXPECT_EQ(arrays.edgeOffsets, (std::vector<int>{0, 6, 6}));
    EXPECT_EQ(arrays.edgeCounts, (std::vector<int>{6, 0, 10}));
    EXPECT_EQ(arrays.edgeIndices.size(), 16u);

    // Negative counts are refused and leave the arrays alone.
    PatchArrays refused = threeBoundPatches();
    const PatchArrays before = refused;
    const std::vector<int> ids = {1};
    EXPECT_FALSE(appendBoundPatch(refused, ids.data(), -1, topologyOf({}, {})));
    PatchTopology negative = topologyOf({}, {});
    negative.edgeVertexCount = -2;
    EXPECT_FALSE(appendBoundPatch(refused, ids.data(), 1, negative));
    // A slice whose end an int offset could not address.
    PatchTopology huge = topologyOf({}, {});
    huge.triangleVertexCount = std::numeric_limits<int>::max();
    EXPECT_FALSE(appendBoundPatch(refused, ids.data(), 1, huge));
    EXPECT_EQ(refused.vertexCounts, before.vertexCounts);
    EXPECT_EQ(refused.driverVertexIndices, before.driverVertexIndices);
    EXPECT_EQ(refused.triangleOffsets, before.triangleOffsets);
    EXPECT_EQ(refused.edgeIndices, before.edgeIndices);
}

TEST(StoredPatchCopying, CopiesReproduceTheBindingReadingStoredOffsetsAndWritingFreshOnes)
{
    const PatchArrays stored = threeBoundPatches();
    PatchArrays copy;
    for (int64_t p = 0; p < stored.patchCount(); ++p)
        ASSERT_EQ(copyStoredPatch(stored.view(), p, startOf(stored, p), copy), CopyResult::kCopied) << p;
    EXPECT_EQ(copy.vertexCounts, stored.vertexCounts);
    EXPECT_EQ(copy.driverVertexIndices, stored.driverVertexIndices);
    EXPECT_EQ(copy.triangleOffsets, stored.triangleOffsets);
    EXPECT_EQ(copy.triangleCounts, stored.triangleCounts);
    EXPECT_EQ(copy.triangleIndices, stored.triangleIndices);
    EXPECT_EQ(copy.edgeOffsets, stored.edgeOffsets);
    EXPECT_EQ(copy.edgeCounts, stored.edgeCounts);
    EXPECT_EQ(copy.edgeIndices, stored.edgeIndices);

    // Stored slices out of order and with a gap: the copy reads where the offsets point
    // and packs the result.
    PatchArrays shuffled;
    shuffled.vertexCounts = {1, 2};
    shuffled.driverVertexIndices = {30, 40, 41};
    shuffled.triangleOffsets = {4, 0};
    shuffled.triangleCounts = {3, 3};
    shuffled.triangleIndices = {0, 1, 1, 9, 0, 0, 0};
    shuffled.edgeOffsets = {2, 0};
    shuffled.edgeCounts = {2, 2};
    shuffled.edgeIndices = {0, 1, 0, 0};

    PatchArrays packed;
    const std::vector<int> newIds = {5, 6};
    ASSERT_TRUE(appendBoundPatch(packed, newIds.data(), 2, topologyOf({0, 1, 0}, {1, 0})));
    ASSERT_EQ(copyStoredPatch(shuffled.view(), 1, 1, packed), CopyResult::kCopied);
    ASSERT_EQ(copyStoredPatch(shuffled.view(), 0, 0, packed), CopyResult::kCopied);
    EXPECT_EQ(packed.vertexCounts, (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(packed.driverVertexIndices, (std::vector<int>{5, 6, 40, 41, 30}));
    EXPECT_EQ(packed.triangleOffsets, (std::vector<int>{0, 3, 6}));
    EXPECT_EQ(packed.triangleIndices, (std::vector<int>{0, 1, 0, 0, 1, 1, 0, 0, 0}));
    EXPECT_EQ(packed.edgeOffsets, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(packed.edgeIndices, (std::vector<int>{1, 0, 0, 1, 0, 0}));
}

TEST(StoredPatchCopying, DamagedArraysAreRefusedWithoutAppending)
{
    struct Damage {
        const char* what;
        void (*apply)(PatchArrays&);
        int64_t patch;
        CopyResult expected;
    };
    const int big = std::numeric_limits<int>::max();
    const Damage damages[] = {
        {"patch beyond the counts", [](PatchArrays&) {}, 3, CopyResult::kIncomplete},
        {"short edge counts", [](PatchArrays& a) { a.edgeCounts.pop_back(); }, 2, CopyResult::kIncomplete},
        {"short triangle offsets", [](PatchArrays& a) { a.triangleOffsets.pop_back(); }, 2, CopyResult::kIncomplete},
        {"negative count before", [](PatchArrays& a) { a.vertexCounts[0] = -3; }, 2, CopyResult::kInvalid},
        {"negative count here", [](PatchArrays& a) { a.vertexCounts[1] = -1; }, 1, CopyResult::kInvalid},
        {"vertex slice overruns", [](PatchArrays& a) { a.vertexCounts[2] = 5; }, 2, CopyResult::kInvalid},
        {"counts that wrap in 32 bits", [](PatchArrays& a) { a.vertexCounts[0] = big; a.vertexCounts[1] = big; },
         2, CopyResult::kInvalid},
        {"offset plus count wraps", [](PatchArrays& a) { a.triangleOffsets[2] = big; }, 2, CopyResult::kInvalid},
        {"negative triangle offset", [](PatchArrays& a) { a.triangleOffsets[0] = -1; }, 0, CopyResult::kInvalid},
        {"edge slice overruns", [](PatchArrays& a) { a.edgeCounts[2] = 11; }, 2, CopyResult::kInvalid},
        {"negative edge count", [](PatchArrays& a) { a.edgeCounts[0] = -2; }, 0, CopyResult::kInvalid},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        PatchArrays stored = threeBoundPatches();
        damage.apply(stored);
        PatchArrays copy;
        EXPECT_EQ(copyStoredPatch(stored.view(), damage.patch, startOf(stored, damage.patch), copy), damage.expected);
        EXPECT_EQ(copy.patchCount(), 0);
        EXPECT_TRUE(copy.driverVertexIndices.empty());
        EXPECT_TRUE(copy.triangleIndices.empty());
        EXPECT_TRUE(copy.edgeIndices.empty());
    }
}

// The messages themselves are checked word for word where the bind command gives them.
TEST(BindMessages, NumbersUseTheDefaultStreamFormatting)
{
    EXPECT_EQ(formatNumber(0.0001), "0.0001");
    EXPECT_EQ(formatNumber(0.00001), "1e-05");
    EXPECT_EQ(formatNumber(0.123456789), "0.123457");
    EXPECT_EQ(formatNumber(2.5), "2.5");
    EXPECT_EQ(formatNumber(int64_t{3000000000}), "3000000000");
}
