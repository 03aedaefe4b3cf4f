// The vertex wrap's kernels: which driver vertex each target vertex follows, matched in object
// space on the fixed 0.0001 cell grid; the deform loops, where mapped vertices take their
// driver vertex's position in the target's local space scaled by the envelope; and the
// driver-point cache, one build per driver data object shared by many readers.

#include "vertexWrap/VertexMapping.h"
#include "vertexWrap/VertexWrapDeform.h"
#include "vertexWrap/DriverPointCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Builds the grid over the driver and maps the target through it.
std::vector<int> mapVertices(const std::vector<double>& driver, const std::vector<double>& target)
{
    PatchMatching::DriverGrid grid;
    EXPECT_TRUE(VertexMapping::buildDriverGrid(driver.data(), static_cast<int64_t>(driver.size() / 3), grid));
    std::vector<int> map(target.size() / 3, -7);
    VertexMapping::mapTargetVertices(grid, target.data(), static_cast<int64_t>(map.size()), map.data());
    return map;
}

// Driver vertices on a lattice 0.001 apart, far wider than the match distance.
std::vector<double> latticeDriver(int side)
{
    std::vector<double> xyz;
    for (int k = 0; k < side; ++k) {
        for (int j = 0; j < side; ++j) {
            for (int i = 0; i < side; ++i) {
                xyz.push_back(i * 0.001 - 0.01);
                xyz.push_back(j * 0.001 + 2.5);
                xyz.push_back(k * 0.001 - 7.25);
            }
        }
    }
    return xyz;
}

}  // namespace

TEST(VertexMapping, TargetMovedBeyondTheMatchDistanceMapsNothing)
{
    const std::vector<double> driver = latticeDriver(6);
    std::vector<double> near = driver;
    std::vector<double> away = driver;
    for (size_t k = 0; k < driver.size(); k += 3) {
        near[k] += 0.00006;       // inside 0.0001
        away[k + 1] += 0.00011;   // outside
    }
    for (int id : mapVertices(driver, away))
        EXPECT_EQ(id, -1);
    const std::vector<int> nearMap = mapVertices(driver, near);
    for (size_t k = 0; k < nearMap.size(); ++k)
        EXPECT_EQ(nearMap[k], static_cast<int>(k));
}

TEST(VertexMapping, EdgeCasesMatchTheNearestDriverWithinTheDistanceOrNothing)
{
    const double inf = std::numeric_limits<double>::infinity();
    // Binary fractions keep tied distances exactly equal. c sits in cell 0 on every axis; lo is
    // in cell 0 and hi in cell 1 along the axis they differ on.
    const double c = 3.0 / 32768.0, lo = 2.0 / 32768.0, hi = 4.0 / 32768.0;
    struct Case
    {
        const char* what;
        std::vector<double> driver, target;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"a distance of exactly the match distance does not match", {0.0, 0.0, 0.0},
         {0.0001, 0.0, 0.0, 0.0, -0.0000999, 0.0, 0.0, 0.0, 0.0001}, {-1, 0, -1}},
        // -0.0001 is on the boundary of cells -1 and -2; the driver sits in the cell above.
        {"a vertex on a cell boundary below zero finds the neighbouring cells", {-0.00004, -0.00004, -0.00004},
         {-0.0001, -0.0001, -0.0001, -0.00005, 0.00002, 0.0, -0.00009, -0.00009, -0.00009}, {-1, 0, 0}},
        {"a lower z cell wins over the lower id", {c, c, hi, c, c, lo}, {c, c, c}, {1}},
        {"a lower y cell wins over a lower x cell", {lo, hi, c, hi, lo, c}, {c, c, c}, {1}},
        {"a lower x cell wins when z and y cells are the same", {hi, c, c, lo, c, c}, {c, c, c}, {1}},
        {"in one cell the lower id wins", {c, c, lo, c, c, lo}, {c, c, c}, {0}},
        // Coordinates far past the 64-bit cell range saturate: the same huge point still
        // matches, a different huge point in the same end cell does not, and NaN points match
        // nothing in either role.
        {"huge and NaN coordinates map to defined cells",
         {1e300, -1e300, 1e300, 0.0, 0.0, 0.0, kNaN, 1.0, 1.0, 5e19, 0.0, 0.0},
         {1e300, -1e300, 1e300, 2e300, -1e300, 1e300, kNaN, 0.0, 0.0, kNaN, 1.0, 1.0, 5e19, 0.0, 0.0, -1e300, 1e300,
          -1e300},
         {0, -1, -1, -1, 3, -1}},
        {"infinite coordinates match nothing in either role", {inf, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, -inf, 1.0},
         {inf, 0.0, 0.0, 1.0, -inf, 1.0, 0.0, 0.0, 0.0}, {-1, -1, 1}},
        {"an empty driver maps nothing", {}, {0.0, 0.0, 0.0, 1.0, 2.0, 3.0}, {-1, -1}},
    };
    for (const Case& test : cases)
        EXPECT_EQ(mapVertices(test.driver, test.target), test.expected) << test.what;
}

TEST(VertexMapping, LargeTargetsMatchedInParallelGiveEveryVertexItsOwnAnswer)
{
    // Shuffled copies of driver vertices, jittered inside the match distance or
    // pushed outside it, in a target large enough to be split over threads.
    const std::vector<double> driver = latticeDriver(30);
    const int64_t driverCount = static_cast<int64_t>(driver.size() / 3);
    const int64_t targetCount = VertexMapping::kParallelThreshold * 2 + 17;
    std::mt19937_64 random(11);
    std::uniform_int_distribution<int64_t> pick(0, driverCount - 1);
    std::uniform_real_distribution<double> jitter(-0.00005, 0.00005);
    std::vector<double> target;
    std::vector<int> expected;
    for (int64_t k = 0; k < targetCount; ++k) {
        const int64_t id = pick(random);
        const bool inside = k % 5 != 0;
        for (int a = 0; a < 3; ++a)
            target.push_back(driver[3 * id + a] + (inside ? jitter(random) : 0.0003));
        expected.push_back(inside ? static_cast<int>(id) : -1);
    }
    EXPECT_EQ(mapVertices(driver, target), expected);
}

using VertexWrapDeform::DriverPoints;

namespace {

struct Matrix {
    double m[4][4];
};

Matrix identity()
{
    return Matrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

Matrix translation(double x, double y, double z)
{
    Matrix t = identity();
    t.m[3][0] = x;
    t.m[3][1] = y;
    t.m[3][2] = z;
    return t;
}

// a·b for row vectors: first a, then b.
Matrix product(const Matrix& a, const Matrix& b)
{
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
    return r;
}

// A quarter turn about z (x goes to y), then a translation.
Matrix quarterTurnThen(double x, double y, double z)
{
    Matrix t = translation(x, y, z);
    t.m[0][0] = 0.0;
    t.m[0][1] = 1.0;
    t.m[1][0] = -1.0;
    t.m[1][1] = 0.0;
    return t;
}

// Driver: four points, as raw floats and as double quadruples.
const std::vector<float> kDriverFloats = {1, 2, 3, -4, 5, 0.5f, 0, 0, 0, 10, -10, 2};

std::vector<double> driverQuadruples()
{
    std::vector<double> out;
    for (size_t i = 0; i < kDriverFloats.size(); i += 3)
        out.insert(out.end(), {kDriverFloats[i], kDriverFloats[i + 1], kDriverFloats[i + 2], 1.0});
    return out;
}

DriverPoints floatDriver()
{
    DriverPoints d;
    d.floatXyz = kDriverFloats.data();
    d.count = static_cast<int64_t>(kDriverFloats.size() / 3);
    return d;
}

// Input positions of a five-vertex target, each with w = 1.
std::vector<double> targetPositions()
{
    return {0.5, 0.5, 0.5, 1, 7, 8, 9, 1, -1, -2, -3, 1, 100, 0, 0, 1, 0, 0, 100, 1};
}

void expectPoint(const std::vector<double>& p, size_t i, double x, double y, double z, double w)
{
    EXPECT_DOUBLE_EQ(p[4 * i], x) << "vertex " << i;
    EXPECT_DOUBLE_EQ(p[4 * i + 1], y) << "vertex " << i;
    EXPECT_DOUBLE_EQ(p[4 * i + 2], z) << "vertex " << i;
    EXPECT_DOUBLE_EQ(p[4 * i + 3], w) << "vertex " << i;
}

}  // namespace

TEST(VertexWrapDeformAll, EveryVertexTakesItsDriverPointInLocalSpace)
{
    const Matrix toLocal = translation(1, -1, 0.25);
    const std::vector<int> map = {3, 0, 0, 2, 1};
    std::vector<double> out(4 * map.size(), -99.0);
    ASSERT_TRUE(VertexWrapDeform::deformAll(floatDriver(), toLocal.m, map.data(), 5, out.data()));
    expectPoint(out, 0, 11, -11, 2.25, 1);
    expectPoint(out, 1, 2, 1, 3.25, 1);
    expectPoint(out, 2, 2, 1, 3.25, 1);
    expectPoint(out, 3, 1, -1, 0.25, 1);
    expectPoint(out, 4, -3, 4, 0.75, 1);
}

TEST(VertexWrapDeformAll, RefusesUnmappedEntriesAndEntriesPastTheDriver)
{
    const Matrix toLocal = identity();
    std::vector<double> out(4 * 3);
    const std::vector<int> unmapped = {0, -1, 2};
    const std::vector<int> past = {0, 1, 4};
    const std::vector<int> negative = {-2147483647 - 1, 1, 2};
    EXPECT_FALSE(VertexWrapDeform::deformAll(floatDriver(), toLocal.m, unmapped.data(), 3, out.data()));
    EXPECT_FALSE(VertexWrapDeform::deformAll(floatDriver(), toLocal.m, past.data(), 3, out.data()));
    EXPECT_FALSE(VertexWrapDeform::deformAll(floatDriver(), toLocal.m, negative.data(), 3, out.data()));
    // The last valid id is accepted.
    const std::vector<int> last = {3, 3, 3};
    EXPECT_TRUE(VertexWrapDeform::deformAll(floatDriver(), toLocal.m, last.data(), 3, out.data()));
}

TEST(VertexWrapDeformMapped, HalfEnvelopeMovesHalfWayOnAllFourCoordinates)
{
    const Matrix toLocal = identity();
    const std::vector<int> map = {0, 2, -1};
    std::vector<double> p = {3, 2, 1, 1, 4, 4, 4, 3, 9, 9, 9, 1};
    EXPECT_EQ(VertexWrapDeform::deformMapped(floatDriver(), toLocal.m, map.data(), 3, 0.5, p.data()), 2);
    expectPoint(p, 0, 2, 2, 2, 1);
    expectPoint(p, 1, 2, 2, 2, 2);  // w goes half way to 1 as well
    expectPoint(p, 2, 9, 9, 9, 1);
}

TEST(VertexWrapDeform, FloatAndDoubleDriversAgreeAndBothPathsAgreeUnderAMovedDriver)
{
    // Driver points in the driver's object space, a driver turned and moved,
    // and a target moved elsewhere: toLocal = driverWorld · inverse(targetWorld).
    const Matrix driverWorld = quarterTurnThen(5, 0, -2);
    const Matrix targetInverse = translation(-1, -2, -3);
    const Matrix toLocal = product(driverWorld, targetInverse);

    const std::vector<double> quadruples = driverQuadruples();
    DriverPoints doubles;
    doubles.doubleXyzw = quadruples.data();
    doubles.count = 4;
    const std::vector<int> map = {0, 1, 2, 3, 1};

    std::vector<double> fast(4 * 5);
    std::vector<double> fastDoubles(4 * 5);
    std::vector<double> general = targetPositions();
    ASSERT_TRUE(VertexWrapDeform::deformAll(floatDriver(), toLocal.m, map.data(), 5, fast.data()));
    ASSERT_TRUE(VertexWrapDeform::deformAll(doubles, toLocal.m, map.data(), 5, fastDoubles.data()));
    EXPECT_EQ(VertexWrapDeform::deformMapped(floatDriver(), toLocal.m, map.data(), 5, 1.0, general.data()), 5);
    EXPECT_EQ(fast, fastDoubles);
    EXPECT_EQ(fast, general);
    // Single-precision output (what a mesh stores) is the same result rounded once.
    std::vector<float> fastFloats(4 * 5);
    ASSERT_TRUE(VertexWrapDeform::deformAll(floatDriver(), toLocal.m, map.data(), 5, fastFloats.data()));
    for (size_t i = 0; i < fast.size(); ++i)
        EXPECT_EQ(float(fast[i]), fastFloats[i]) << "coordinate " << i;
    // Driver point (1, 2, 3) turns to (-2, 1, 3), moves to (3, 1, 1) in the
    // world, and sits at (2, -1, -2) under the target's transform.
    expectPoint(fast, 0, 2, -1, -2, 1);
    expectPoint(fast, 3, 14, 8, -3, 1);
}

namespace {

using Points = std::vector<int>;
using Cache = DriverPointCache<int, Points>;

// Reads the points of driver `key`: every entry is the key, so a reader can tell a complete
// array of its own driver from anything else.
std::shared_ptr<const Points> read(Cache& cache, int key, std::atomic<int>& builds, bool succeed = true)
{
    return cache.get(
        key, [&](int held) { return held == key; },
        [&](Points& fresh) {
            ++builds;
            fresh.assign(512, key);
            return succeed;
        });
}

} // namespace

TEST(DriverPointCache, BuildsOncePerDriverDataAgainOnNewDataOrResetAndNothingOnFailure)
{
    Cache cache;
    std::atomic<int> builds{0};
    const auto first = read(cache, 7, builds);
    const auto second = read(cache, 7, builds);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(first->front(), 7);

    // New data or a reset builds again while holders keep their array.
    builds = 0;
    cache.reset();
    const auto old = read(cache, 1, builds);
    const auto moved = read(cache, 2, builds);
    EXPECT_EQ(builds, 2);
    ASSERT_TRUE(old && moved);
    EXPECT_EQ(old->back(), 1);
    EXPECT_EQ(moved->back(), 2);

    // The driver is about to change: even the same key is read again.
    cache.reset();
    const auto again = read(cache, 2, builds);
    EXPECT_EQ(builds, 3);
    EXPECT_NE(again.get(), moved.get());
    EXPECT_EQ(moved->size(), 512u);

    // A failed build hands out nothing and keeps what was held.
    builds = 0;
    cache.reset();
    const auto held = read(cache, 1, builds);
    EXPECT_FALSE(read(cache, 2, builds, false));
    EXPECT_EQ(read(cache, 1, builds).get(), held.get());
    EXPECT_EQ(builds, 2);
}

TEST(DriverPointCache, ConcurrentReadersEachGetACompleteArrayOfTheirDriver)
{
    Cache cache;
    std::atomic<int> builds{0};
    std::atomic<int> wrong{0};
    constexpr int kReaders = 8;
    constexpr int kRounds = 400;
    std::vector<std::thread> readers;
    for (int t = 0; t < kReaders; ++t) {
        readers.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                // Readers mostly share a driver, sometimes move the cache to another, and
                // one of them resets it now and then, as a dirtied driver does.
                const int key = (round / 50) + (t == 0 && round % 7 == 0 ? 100 : 0);
                if (t == 1 && round % 13 == 0)
                    cache.reset();
                const auto points = read(cache, key, builds);
                if (!points || points->size() != 512u || points->front() != key || points->back() != key)
                    ++wrong;
            }
        });
    }
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(wrong, 0);
}
