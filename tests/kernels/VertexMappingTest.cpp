// Vertex maps of the vertex wrap: which driver vertex each target vertex
// follows, matched in object space on the fixed 0.0001 cell grid.

#include "vertexWrap/VertexMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
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

TEST(VertexMapping, DuplicateOfDriverMapsEveryVertexToItself)
{
    const std::vector<double> driver = latticeDriver(12);
    const std::vector<int> map = mapVertices(driver, driver);
    for (size_t k = 0; k < map.size(); ++k)
        ASSERT_EQ(map[k], static_cast<int>(k)) << "vertex " << k;
}

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

TEST(VertexMapping, DistanceOfExactlyTheMatchDistanceDoesNotMatch)
{
    const std::vector<double> driver = {0.0, 0.0, 0.0};
    const std::vector<int> map = mapVertices(driver, {0.0001, 0.0, 0.0, 0.0, -0.0000999, 0.0, 0.0, 0.0, 0.0001});
    EXPECT_EQ(map, (std::vector<int>{-1, 0, -1}));
}

TEST(VertexMapping, VertexOnACellBoundaryFindsNeighbouringCellsBelowZero)
{
    // -0.0001 is on the boundary of cells -1 and -2; the driver sits in the cell above.
    const std::vector<double> driver = {-0.00004, -0.00004, -0.00004};
    const std::vector<int> map = mapVertices(driver, {-0.0001, -0.0001, -0.0001, -0.00005, 0.00002, 0.0});
    EXPECT_EQ(map, (std::vector<int>{-1, 0}));
    EXPECT_EQ(mapVertices(driver, {-0.00009, -0.00009, -0.00009}), (std::vector<int>{0}));
}

TEST(VertexMapping, EquallyDistantDriversTieBreakByZCellThenYCellThenXCellThenId)
{
    // Binary fractions keep both distances exactly equal. c sits in cell 0 on
    // every axis; lo is in cell 0 and hi in cell 1 along the axis they differ on.
    const double c = 3.0 / 32768.0;
    const double lo = 2.0 / 32768.0;
    const double hi = 4.0 / 32768.0;
    // Lower z cell wins over the lower id.
    EXPECT_EQ(mapVertices({c, c, hi, c, c, lo}, {c, c, c}), (std::vector<int>{1}));
    // Lower y cell wins over a lower x cell.
    EXPECT_EQ(mapVertices({lo, hi, c, hi, lo, c}, {c, c, c}), (std::vector<int>{1}));
    // Lower x cell wins when z and y cells are the same.
    EXPECT_EQ(mapVertices({hi, c, c, lo, c, c}, {c, c, c}), (std::vector<int>{1}));
    // In one cell the lower id wins.
    EXPECT_EQ(mapVertices({c, c, lo, c, c, lo}, {c, c, c}), (std::vector<int>{0}));
}

TEST(VertexMapping, HugeAndNaNCoordinatesMapToDefinedCells)
{
    // Coordinates far past the 64-bit cell range saturate: the same huge point
    // still matches, a different huge point in the same end cell does not, and
    // NaN points match nothing in either role.
    const std::vector<double> driver = {1e300, -1e300, 1e300, 0.0, 0.0, 0.0, kNaN, 1.0, 1.0, 5e19, 0.0, 0.0};
    const std::vector<double> target = {1e300, -1e300, 1e300, 2e300, -1e300, 1e300, kNaN, 0.0, 0.0,
                                        kNaN,  1.0,    1.0,   5e19,  0.0,    0.0,   -1e300, 1e300, -1e300};
    EXPECT_EQ(mapVertices(driver, target), (std::vector<int>{0, -1, -1, -1, 3, -1}));
}

TEST(VertexMapping, InfiniteCoordinatesMatchNothingInEitherRole)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> driver = {inf, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, -inf, 1.0};
    const std::vector<double> target = {inf, 0.0, 0.0, 1.0, -inf, 1.0, 0.0, 0.0, 0.0};
    EXPECT_EQ(mapVertices(driver, target), (std::vector<int>{-1, -1, 1}));
}

TEST(VertexMapping, EmptyDriverMapsNothing)
{
    EXPECT_EQ(mapVertices({}, {0.0, 0.0, 0.0, 1.0, 2.0, 3.0}), (std::vector<int>{-1, -1}));
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
