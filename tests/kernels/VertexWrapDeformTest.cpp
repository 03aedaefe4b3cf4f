// The vertex wrap's deform loops: mapped vertices take their driver vertex's
// position in the target's local space, scaled by the envelope.

#include "vertexWrap/VertexWrapDeform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

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

TEST(VertexWrapDeformMapped, UnmappedAndOutOfRangeEntriesKeepTheirPositionAtFullEnvelope)
{
    const Matrix toLocal = identity();
    const std::vector<int> map = {1, -1, 4, 3, 1000000};
    std::vector<double> p = targetPositions();
    const std::vector<double> input = p;
    EXPECT_EQ(VertexWrapDeform::deformMapped(floatDriver(), toLocal.m, map.data(), 5, 1.0, p.data()), 2);
    expectPoint(p, 0, -4, 5, 0.5, 1);
    expectPoint(p, 1, input[4], input[5], input[6], 1);
    expectPoint(p, 2, input[8], input[9], input[10], 1);
    expectPoint(p, 3, 10, -10, 2, 1);
    expectPoint(p, 4, input[16], input[17], input[18], 1);
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

TEST(VertexWrapDeformMapped, ShortMapMovesOnlyTheVerticesItCovers)
{
    const Matrix toLocal = identity();
    const std::vector<int> map = {2, 2};
    std::vector<double> p = targetPositions();
    const std::vector<double> input = p;
    EXPECT_EQ(VertexWrapDeform::deformMapped(floatDriver(), toLocal.m, map.data(), 2, 0.25, p.data()), 2);
    expectPoint(p, 0, 0.375, 0.375, 0.375, 1);
    expectPoint(p, 1, 5.25, 6, 6.75, 1);
    for (size_t i = 8; i < p.size(); ++i)
        EXPECT_EQ(p[i], input[i]);
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
    // Driver point (1, 2, 3) turns to (-2, 1, 3), moves to (3, 1, 1) in the
    // world, and sits at (2, -1, -2) under the target's transform.
    expectPoint(fast, 0, 2, -1, -2, 1);
    expectPoint(fast, 3, 14, 8, -3, 1);
}
