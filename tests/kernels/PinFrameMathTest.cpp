// Pin frame math against hand-worked cases: triangle searches, frames and
// every fallback of their normal and tangent, bind tangents, UV resolution
// and the composed pin outputs.

#include "pins/PinFrameMath.h"
#include "pins/PinUVTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

using namespace PinFrameMath;

namespace {

constexpr double kBindTolerance = 1e-12;
constexpr double kEvalTolerance = 2e-6;  // single precision, one Newton step

Matrix4 rows(std::initializer_list<std::initializer_list<double>> r)
{
    Matrix4 m = Matrix4::identity();
    int i = 0;
    for (const auto& row : r) {
        int j = 0;
        for (double v : row)
            m.m[i][j++] = v;
        ++i;
    }
    return m;
}

Matrix4 translation(double x, double y, double z)
{
    return rows({{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {x, y, z, 1}});
}

void expectRow(const Matrix4& m, int row, double x, double y, double z, double tolerance, const char* what)
{
    EXPECT_NEAR(m.m[row][0], x, tolerance) << what << " row " << row;
    EXPECT_NEAR(m.m[row][1], y, tolerance) << what << " row " << row;
    EXPECT_NEAR(m.m[row][2], z, tolerance) << what << " row " << row;
}

void expectMatrix(const Matrix4& actual, const Matrix4& expected, double tolerance)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << "[" << r << "][" << c << "]";
    }
}

// One pin on a small mesh, evaluated both ways: the bind-time frame in double
// precision and the evaluation frame from raw float arrays.
struct FrameCase {
    Vec3d corners[3];
    double weights[3];
    std::vector<Vec3d> normals;  // per corner; empty for none
    double a = 1.0;
    double b = 0.0;
    Matrix4 g = Matrix4::identity();

    Matrix4 bindFrame() const
    {
        const int ids[3] = {0, 1, 2};
        std::vector<float> flat = flatNormals();
        const Vec3d n = surfacePinBindNormal(flat.empty() ? nullptr : flat.data(),
                                             static_cast<int64_t>(normals.size()), ids, weights);
        return surfaceFrame(corners, weights, n, a, b, g);
    }

    Matrix4 evalFrame() const
    {
        std::vector<float> points;
        for (const Vec3d& c : corners) {
            points.push_back(static_cast<float>(c.x));
            points.push_back(static_cast<float>(c.y));
            points.push_back(static_cast<float>(c.z));
        }
        std::vector<float> flat = flatNormals();
        PinBinding pin{};
        for (int k = 0; k < 3; ++k) {
            pin.vertexIds[k] = k;
            pin.normalIds[k] = normals.empty() ? -1 : k;
            pin.weights[k] = static_cast<float>(weights[k]);
        }
        pin.tangentCoeffs[0] = static_cast<float>(a);
        pin.tangentCoeffs[1] = static_cast<float>(b);
        return pinFrame(points.data(), flat.empty() ? nullptr : flat.data(), pin, geometryBlock(g));
    }

    std::vector<float> flatNormals() const
    {
        std::vector<float> flat;
        for (const Vec3d& n : normals) {
            flat.push_back(static_cast<float>(n.x));
            flat.push_back(static_cast<float>(n.y));
            flat.push_back(static_cast<float>(n.z));
        }
        return flat;
    }

    // Checks both frames against hand-worked tangent, binormal, normal and position.
    void expectFrame(const Vec3d& t, const Vec3d& bn, const Vec3d& n, const Vec3d& pos) const
    {
        const Matrix4 bind = bindFrame();
        const Matrix4 eval = evalFrame();
        for (const auto& [frame, tolerance, what] :
             {std::make_tuple(bind, kBindTolerance, "bind"), std::make_tuple(eval, kEvalTolerance, "eval")}) {
            expectRow(frame, 0, t.x, t.y, t.z, tolerance, what);
            expectRow(frame, 1, bn.x, bn.y, bn.z, tolerance, what);
            expectRow(frame, 2, n.x, n.y, n.z, tolerance, what);
            expectRow(frame, 3, pos.x, pos.y, pos.z, tolerance, what);
            for (int r = 0; r < 4; ++r)
                EXPECT_EQ(frame.m[r][3], r == 3 ? 1.0 : 0.0) << what;
        }
    }
};

const double kHalfRoot2 = std::sqrt(0.5);

}  // namespace

TEST(AffineProduct, ComposesAxesAndTranslationAndResetsLastColumn)
{
    // A turns x into y and moves by (1, 2, 3); B scales by 2 and moves by (10, 0, 0).
    const Matrix4 a = rows({{0, 1, 0, 5}, {-1, 0, 0, 5}, {0, 0, 1, 5}, {1, 2, 3, 7}});
    const Matrix4 b = rows({{2, 0, 0, 9}, {0, 2, 0, 9}, {0, 0, 2, 9}, {10, 0, 0, 9}});
    const Matrix4 ab = affineProduct(a, b);
    expectMatrix(ab, rows({{0, 2, 0, 0}, {-2, 0, 0, 0}, {0, 0, 2, 0}, {12, 4, 6, 1}}), 0.0);

    // The other order applies B first: B's translation (10, 0, 0) turns into (0, 10, 0), then moves by (1, 2, 3).
    const Matrix4 ba = affineProduct(b, a);
    expectMatrix(ba, rows({{0, 2, 0, 0}, {-2, 0, 0, 0}, {0, 0, 2, 0}, {1, 12, 3, 1}}), 0.0);
}

TEST(BarycentricOnTriangle, UnclampedWeightsProjectedOntoThePlaneAndDegenerateFallback)
{
    const Vec3d a{0, 0, 0}, b{2, 0, 0}, c{0, 2, 0};
    Barycentric w = barycentricOnTriangle(a, b, c, Vec3d{0.5, 0.5, 0});
    EXPECT_FALSE(w.degenerate);
    EXPECT_DOUBLE_EQ(w.w[0], 0.5);
    EXPECT_DOUBLE_EQ(w.w[1], 0.25);
    EXPECT_DOUBLE_EQ(w.w[2], 0.25);

    w = barycentricOnTriangle(a, b, c, Vec3d{0.5, 0.5, 7});  // off the plane: same weights
    EXPECT_DOUBLE_EQ(w.w[1], 0.25);
    EXPECT_DOUBLE_EQ(w.w[2], 0.25);

    w = barycentricOnTriangle(a, b, c, Vec3d{3, 0, 0});
    EXPECT_DOUBLE_EQ(w.w[0], -0.5);
    EXPECT_DOUBLE_EQ(w.w[1], 1.5);
    EXPECT_DOUBLE_EQ(w.w[2], 0.0);

    w = barycentricOnTriangle(a, b, Vec3d{1, 0, 0}, Vec3d{0.5, 0.5, 0});
    EXPECT_TRUE(w.degenerate);
    EXPECT_EQ(w.w[0], 1.0);
    EXPECT_EQ(w.w[1], 0.0);
    EXPECT_EQ(w.w[2], 0.0);
}

namespace {

struct Face {
    std::vector<int> ids;
    std::vector<Vec3d> positions;
    FaceCorners corners() const { return FaceCorners{ids.data(), positions.data(), static_cast<int>(ids.size())}; }
};

const Face kQuad{{10, 11, 12, 13}, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}};

void expectChoice(const TriangleChoice& c, std::vector<int> ids, std::vector<int> local, std::vector<double> w,
                  int triangleIndex)
{
    EXPECT_EQ(std::vector<int>(c.vertexIds, c.vertexIds + 3), ids);
    EXPECT_EQ(std::vector<int>(c.localPositions, c.localPositions + 3), local);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(c.weights[k], w[k], 1e-12) << k;
    EXPECT_EQ(c.triangleIndex, triangleIndex);
}

}  // namespace

TEST(FanTriangleSearch, TakesTheTriangleHoldingThePointElseExtrapolatesAndSkipsDegenerateOnes)
{
    expectChoice(fanTriangleSearch(kQuad.corners(), Vec3d{0.25, 0.75, 0}), {10, 12, 13}, {0, 2, 3},
                 {0.25, 0.25, 0.5}, -1);
    expectChoice(fanTriangleSearch(kQuad.corners(), Vec3d{0.75, 0.25, 0}), {10, 11, 12}, {0, 1, 2},
                 {0.25, 0.5, 0.25}, -1);
    expectChoice(fanTriangleSearch(kQuad.corners(), Vec3d{2, 0.5, 0}), {10, 11, 12}, {0, 1, 2}, {-1, 1.5, 0.5}, -1);

    // Degenerate fan triangles are skipped instead of snapping to a corner.
    // The first three corners are collinear: the first fan triangle is flat.
    const Face face{{0, 1, 2, 3, 4}, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}};
    expectChoice(fanTriangleSearch(face.corners(), Vec3d{1.5, 0.5, 0}), {0, 2, 3}, {0, 2, 3}, {0.25, 0.5, 0.25},
                 -1);
    expectChoice(fanTriangleSearch(face.corners(), Vec3d{0.5, 1.5, 0}), {0, 3, 4}, {0, 3, 4}, {0.25, 0.25, 0.5},
                 -1);
    // Outside every triangle: the first usable one, extrapolated.
    expectChoice(fanTriangleSearch(face.corners(), Vec3d{5, 5, 0}), {0, 2, 3}, {0, 2, 3}, {-1.5, 0, 2.5}, -1);

    // Only when every fan triangle is flat does the first corner take the point.
    const Face line{{5, 6, 7, 8}, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}};
    expectChoice(fanTriangleSearch(line.corners(), Vec3d{1.5, 0, 0}), {5, 6, 7}, {0, 1, 2}, {1, 0, 0}, -1);
    // A face of fewer than three vertices takes its first corner, or none.
    const Face edge{{7, 8}, {{0, 0, 0}, {1, 0, 0}}};
    expectChoice(fanTriangleSearch(edge.corners(), Vec3d{0.5, 0, 0}), {7, 7, 7}, {0, 0, 0}, {1, 0, 0}, -1);
    const Face none{{}, {}};
    expectChoice(fanTriangleSearch(none.corners(), Vec3d{0, 0, 0}), {-1, -1, -1}, {0, 0, 0}, {1, 0, 0}, -1);
}

TEST(TriangulationSearch, UsesTheMeshTriangulationSkipsFlatTrianglesElseFallsBackToTheFan)
{
    // The quad is the second face; the mesh split it along the other diagonal.
    const std::vector<int> list = {0, 1, 2, 10, 11, 13, 11, 12, 13};
    const int n = static_cast<int>(list.size());
    expectChoice(triangulationSearch(kQuad.corners(), list.data(), n, 3, 2, Vec3d{0.75, 0.75, 0}), {11, 12, 13},
                 {1, 2, 3}, {0.25, 0.5, 0.25}, 2);
    expectChoice(triangulationSearch(kQuad.corners(), list.data(), n, 3, 2, Vec3d{0.25, 0.25, 0}), {10, 11, 13},
                 {0, 1, 3}, {0.5, 0.25, 0.25}, 1);

    // Outside both: the smaller sum of negative weights (1 against 1.5).
    expectChoice(triangulationSearch(kQuad.corners(), list.data(), n, 3, 2, Vec3d{2, 0.5, 0}), {11, 12, 13},
                 {1, 2, 3}, {0.5, 1.5, -1}, 2);

    // Just outside the first triangle but within the inside tolerance: taken at
    // once although the second holds the point fully.
    expectChoice(triangulationSearch(kQuad.corners(), list.data(), n, 3, 2, Vec3d{0.5025, 0.5025, 0}),
                 {10, 11, 13}, {0, 1, 3}, {-0.005, 0.5025, 0.5025}, 1);

    // Flat triangles are skipped instead of snapping to a corner.
    // The mesh's first triangle of this face lies on its three collinear corners.
    const Face face{{0, 1, 2, 3, 4}, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}};
    const std::vector<int> fiveList = {0, 1, 2, 0, 2, 3, 0, 3, 4};
    const int fiveCount = static_cast<int>(fiveList.size());
    expectChoice(triangulationSearch(face.corners(), fiveList.data(), fiveCount, 0, 3, Vec3d{1.5, 0.5, 0}), {0, 2, 3},
                 {0, 2, 3}, {0.25, 0.5, 0.25}, 1);
    expectChoice(triangulationSearch(face.corners(), fiveList.data(), fiveCount, 0, 3, Vec3d{0.5, 1.5, 0}), {0, 3, 4},
                 {0, 3, 4}, {0.25, 0.25, 0.5}, 2);
    // Outside every triangle: the best usable one, extrapolated, not the flat one's corner.
    expectChoice(triangulationSearch(face.corners(), fiveList.data(), fiveCount, 0, 3, Vec3d{5, 5, 0}), {0, 2, 3},
                 {0, 2, 3}, {-1.5, 0, 2.5}, 1);

    // A face whose triangles are all flat is left to the fan, which ends on the first corner.
    const Face line{{5, 6, 7, 8}, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}};
    const std::vector<int> flat = {5, 6, 7, 5, 7, 8};
    expectChoice(triangulationSearch(line.corners(), flat.data(), 6, 0, 2, Vec3d{1.5, 0, 0}), {5, 6, 7},
                 {0, 1, 2}, {1, 0, 0}, -1);

    // An unusable triangulation falls back to the fan.
    const Vec3d p{0.25, 0.75, 0};
    const std::vector<int> foreign = {10, 11, 99};  // a corner that is not in the face
    expectChoice(triangulationSearch(kQuad.corners(), foreign.data(), 3, 0, 1, p), {10, 12, 13}, {0, 2, 3},
                 {0.25, 0.25, 0.5}, -1);

    const std::vector<int> shortList = {10, 11, 13};  // the face claims two triangles
    expectChoice(triangulationSearch(kQuad.corners(), shortList.data(), 3, 0, 2, p), {10, 12, 13}, {0, 2, 3},
                 {0.25, 0.25, 0.5}, -1);
    expectChoice(triangulationSearch(kQuad.corners(), shortList.data(), 3, 0, 0, p), {10, 12, 13}, {0, 2, 3},
                 {0.25, 0.25, 0.5}, -1);
    expectChoice(triangulationSearch(kQuad.corners(), shortList.data(), 3, -3, 1, p), {10, 12, 13}, {0, 2, 3},
                 {0.25, 0.25, 0.5}, -1);
}

TEST(SurfaceFrame, InterpolatedNormalProjectedTangentAndTheirFallbacks)
{
    FrameCase c{{{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {0.5, 0.25, 0.25}, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}};
    c.expectFrame({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.5, 0.5, 0});

    // A tilted normal: the first edge projects to (1, 0, -1); the frame stays right-handed.
    c.normals = {{1, 0, 1}, {1, 0, 1}, {1, 0, 1}};
    c.expectFrame({kHalfRoot2, 0, -kHalfRoot2}, {0, 1, 0}, {kHalfRoot2, 0, kHalfRoot2}, {0.5, 0.5, 0});

    // A geometry matrix that scales by 2 and moves: axes of length 2, not renormalised.
    c.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    c.g = rows({{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {10, 20, 30, 1}});
    c.expectFrame({2, 0, 0}, {0, 2, 0}, {0, 0, 2}, {11, 21, 30});

    // Coefficients mixing both edges.
    c.g = Matrix4::identity();
    c.a = 0.5;
    c.b = 0.5;
    c.expectFrame({kHalfRoot2, kHalfRoot2, 0}, {-kHalfRoot2, kHalfRoot2, 0}, {0, 0, 1}, {0.5, 0.5, 0});

    // A zero interpolated normal falls back to the triangle normal.
    // Valid normals whose weighted sum cancels.
    FrameCase cancel{{{0, 0, 0}, {2, 0, 0}, {0, 2, 2}}, {0.25, 0.5, 0.25}, {{0, 0, 1}, {0, 0, -1}, {0, 0, 1}}};
    const Vec3d geometric{0, -kHalfRoot2, kHalfRoot2};  // e1 × e2 = (0, -4, 4)
    const Vec3d pos{1, 0.5, 0.5};
    cancel.expectFrame({1, 0, 0}, {0, kHalfRoot2, kHalfRoot2}, geometric, pos);

    // No normals at all.
    cancel.normals.clear();
    cancel.expectFrame({1, 0, 0}, {0, kHalfRoot2, kHalfRoot2}, geometric, pos);

    // Collapsed triangles and tangents along the normal fall back in order.
    // Without normals: n = (0, 0, 1); (-n.y, n.x, 0) is zero, so t = (0, -n.z, n.y), bn = n × t.
    FrameCase{{{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, {1, 0, 0}}.expectFrame({0, -1, 0}, {1, 0, 0}, {0, 0, 1}, {1, 1, 1});
    // With a normal: the first fallback tangent.
    FrameCase{{{0, 3, 0}, {0, 3, 0}, {0, 3, 0}}, {1, 0, 0}, {{2, 0, 0}, {2, 0, 0}, {2, 0, 0}}}.expectFrame(
        {0, 1, 0}, {0, 0, 1}, {1, 0, 0}, {0, 3, 0});

    // The first edge along the normal: the projected second edge.
    FrameCase collapsed{{{0, 0, 0}, {0, 0, 1}, {1, 0, 0.5}}, {1, 0, 0}, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}};
    collapsed.expectFrame({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0});

    // Coefficients (0, 0) take the same road.
    collapsed.a = 0;
    collapsed.expectFrame({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0});
}

TEST(FrameFallbacks, NormalAndTangentChainsInOrder)
{
    auto expectVec = [](const Vec3d& v, double x, double y, double z) {
        EXPECT_NEAR(v.x, x, 1e-15);
        EXPECT_NEAR(v.y, y, 1e-15);
        EXPECT_NEAR(v.z, z, 1e-15);
    };
    expectVec(frameNormal({0, 3, 4}, {1, 0, 0}, {0, 1, 0}), 0, 0.6, 0.8);
    expectVec(frameNormal({0, 0, 0}, {0, 2, 0}, {0, 0, 2}), 1, 0, 0);
    expectVec(frameNormal({1e-7, 0, 0}, {1, 0, 0}, {2, 0, 0}), 0, 0, 1);  // both too short: up, unnormalised

    expectVec(fallbackTangent({0, 3, 4}), -1, 0, 0);
    expectVec(fallbackTangent({0, 0, 2}), 0, -1, 0);
    expectVec(fallbackTangent({0, 0, 0}), 1, 0, 0);
}

TEST(FrameNormals, EachCallerKeepsItsOwnRuleForUnusableCornerNormals)
{
    const float normals[] = {0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0};
    const float wf[3] = {0.5f, 0.25f, 0.25f};
    const double wd[3] = {0.5, 0.25, 0.25};

    const int32_t ids[3] = {0, 1, 2};
    const Vec3f e = evaluationNormal(normals, ids, wf);
    EXPECT_FLOAT_EQ(e.x, 0.25f);
    EXPECT_FLOAT_EQ(e.y, 0.25f);
    EXPECT_FLOAT_EQ(e.z, 0.5f);
    const int32_t missing[3] = {0, -1, 2};
    EXPECT_EQ(evaluationNormal(normals, missing, wf).z, 0.0f);
    EXPECT_EQ(evaluationNormal(nullptr, ids, wf).z, 0.0f);

    const int bindIds[3] = {0, 1, 2};
    const Vec3d s = surfacePinBindNormal(normals, 4, bindIds, wd);
    EXPECT_DOUBLE_EQ(s.z, 0.5);
    const int outOfRange[3] = {0, 1, 4};
    const int zeroNormal[3] = {0, 1, 3};
    EXPECT_EQ(surfacePinBindNormal(normals, 4, outOfRange, wd).z, 0.0);
    EXPECT_EQ(surfacePinBindNormal(normals, 4, zeroNormal, wd).z, 0.0);

    // The UV pin leaves out only the unusable corner.
    const Vec3d u = uvPinBindNormal(normals, 4, outOfRange, wd);
    EXPECT_DOUBLE_EQ(u.x, 0.0);
    EXPECT_DOUBLE_EQ(u.y, 0.25);
    EXPECT_DOUBLE_EQ(u.z, 0.5);
    const int negative[3] = {-1, 1, 2};
    EXPECT_DOUBLE_EQ(uvPinBindNormal(normals, 4, negative, wd).z, 0.0);
    EXPECT_DOUBLE_EQ(uvPinBindNormal(normals, 4, negative, wd).x, 0.25);
}

TEST(BindTangentCoefficients, EachPinTypeTriesItsControlAxesThenTheEdgesThenTheFallbacks)
{
    const Matrix4 id = Matrix4::identity();
    const Matrix4 xUp = rows({{0, 0, 1, 0}, {0, 1, 0, 0}, {-1, 0, 0, 0}, {5, 5, 5, 1}});
    const Matrix4 flat = rows({{0, 0, 1, 0}, {0, 0, -3, 0}, {1, 0, 0, 0}, {0, 0, 0, 1}});
    const Matrix4 yAxis = rows({{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    const Matrix4 zAlongX = rows({{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 1}});
    const Matrix4 axesAlongX = rows({{0, 1, 0, 0}, {1, 0, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 1}});
    // The mesh turned a quarter about z: the control's world X axis is object -y.
    const Matrix4 gInverse = rows({{0, -1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {-4, 3, -5, 1}});
    const Vec3d up{0, 0, 1}, e1{2, 0, 0}, e2{0, 2, 0};
    const TangentOrder pin = TangentOrder::kSurfacePin, uv = TangentOrder::kUVPinMaintainOffset;
    const struct {
        const char* what;
        Matrix4 control, gInverse;
        Vec3d n, e1, e2;
        TangentOrder order;
        double a, b;
    } cases[] = {
        {"surface pin: control X", id, id, up, e1, e2, pin, 0.5, 0.0},
        {"X along the normal: Y", xUp, id, up, e1, e2, pin, 0.0, 0.5},
        {"X and Y along the normal: the first edge", flat, id, up, {1, 1, 0}, {0, 1, 0}, pin, 1.0 / std::sqrt(2.0), 0.0},
        {"least squares on skewed edges", yAxis, id, up, {1, 0, 0}, {1, 1, 0}, pin, -1.0, 1.0},
        {"parallel edges leave nothing to solve", yAxis, id, up, {1, 0, 0}, {2, 0, 0}, pin, 1.0, 0.0},
        {"control axes taken into object space", id, gInverse, up, e1, e2, pin, 0.0, -0.5},
        {"UV pin: Z along the normal, Y", id, id, up, e1, e2, uv, 0.0, 0.5},
        {"UV pin: Z in the plane", zAlongX, id, up, e1, e2, uv, 0.5, 0.0},
        // Z, Y and e1 along n; e2 is no candidate for the UV pin: the fallback (-n.y, n.x, 0).
        {"UV pin: the fallback", axesAlongX, id, {1, 0, 0}, e1, e2, uv, 0.0, 0.5},
    };
    for (const auto& c : cases) {
        const TangentCoefficients t = bindTangentCoefficients(c.control, c.gInverse, c.n, c.e1, c.e2, c.order);
        EXPECT_NEAR(t.a, c.a, 1e-15) << c.what;
        EXPECT_NEAR(t.b, c.b, 1e-15) << c.what;
    }

    // The frame rebuilt from object-space coefficients has the control's X axis as world tangent.
    const Matrix4 g = rows({{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {3, 4, 5, 1}});
    const Vec3d corners[3] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}};
    const double w[3] = {1, 0, 0};
    const Matrix4 f = surfaceFrame(corners, w, up, 0.0, -0.5, g);
    expectRow(f, 0, 1, 0, 0, 1e-15, "world tangent");
    expectRow(f, 3, 3, 4, 5, 1e-15, "world position");
}

TEST(BindTangentCoefficients, BindFrameMatchesTheFrameEvaluationRebuilds)
{
    const Vec3d corners[3] = {{0.3, -0.2, 1.0}, {2.1, 0.4, 1.3}, {0.1, 1.9, 0.2}};
    const float normals[] = {0.1f, 0.2f, 1.0f, -0.2f, 0.1f, 0.9f, 0.0f, 0.3f, 1.1f};
    const int ids[3] = {0, 1, 2};
    const double w[3] = {0.2, 0.3, 0.5};
    const Matrix4 g = rows({{0, 2, 0, 0}, {-2, 0, 0, 0}, {0, 0, 2, 0}, {1, 2, 3, 1}});
    const Matrix4 gInverse = rows({{0, -0.5, 0, 0}, {0.5, 0, 0, 0}, {0, 0, 0.5, 0}, {-1, 0.5, -1.5, 1}});
    const Matrix4 control = rows({{0.8, 0.6, 0, 0}, {-0.6, 0.8, 0, 0}, {0, 0, 1, 0}, {7, 8, 9, 1}});

    const Vec3d e1{corners[1].x - corners[0].x, corners[1].y - corners[0].y, corners[1].z - corners[0].z};
    const Vec3d e2{corners[2].x - corners[0].x, corners[2].y - corners[0].y, corners[2].z - corners[0].z};
    const Vec3d n0 = surfacePinBindNormal(normals, 3, ids, w);
    const Vec3d n = frameNormal(n0, e1, e2);
    const TangentCoefficients c = bindTangentCoefficients(control, gInverse, n, e1, e2, TangentOrder::kSurfacePin);
    const Matrix4 bind = surfaceFrame(corners, w, n0, c.a, c.b, g);

    std::vector<float> points;
    for (const Vec3d& p : corners) {
        points.push_back(static_cast<float>(p.x));
        points.push_back(static_cast<float>(p.y));
        points.push_back(static_cast<float>(p.z));
    }
    const PinBinding pin{{0, 1, 2}, {0, 1, 2}, {0.2f, 0.3f, 0.5f}, {float(c.a), float(c.b)}};
    expectMatrix(pinFrame(points.data(), normals, pin, geometryBlock(g)), bind, 1e-5);
}

TEST(UVMath, BarycentricTangentCoefficientsAndTangentDirection)
{
    const float right[6] = {0, 0, 1, 0, 0, 1};
    UVWeights w = uvBarycentric(right, 0.25f, 0.5f);
    EXPECT_FALSE(w.degenerate);
    EXPECT_FLOAT_EQ(w.w[0], 0.25f);
    EXPECT_FLOAT_EQ(w.w[1], 0.25f);
    EXPECT_FLOAT_EQ(w.w[2], 0.5f);
    w = uvBarycentric(right, 2.0f, 0.0f);
    EXPECT_FLOAT_EQ(w.w[0], -1.0f);
    EXPECT_FLOAT_EQ(w.w[1], 2.0f);
    const float line[6] = {0, 0, 1, 1, 2, 2};
    w = uvBarycentric(line, 0.5f, 0.5f);
    EXPECT_TRUE(w.degenerate);
    EXPECT_EQ(w.w[0], 1.0f);

    const float stretched[6] = {1, 1, 3, 1, 1, 5};
    TangentCoefficients c = uvTangentCoefficients(stretched, 1.0f, 0.0f);
    EXPECT_DOUBLE_EQ(c.a, 0.5);
    EXPECT_DOUBLE_EQ(c.b, 0.0);
    c = uvTangentCoefficients(stretched, 1.0f, 1.0f);
    EXPECT_DOUBLE_EQ(c.a, 0.5);
    EXPECT_DOUBLE_EQ(c.b, 0.25);
    // Sheared: a·(uv1 - uv0) + b·(uv2 - uv0) gives back the direction.
    const float sheared[6] = {0, 0, 2, 1, 1, 3};
    c = uvTangentCoefficients(sheared, 0.6f, -0.8f);
    EXPECT_NEAR(c.a * 2 + c.b * 1, 0.6, 1e-7);
    EXPECT_NEAR(c.a * 1 + c.b * 3, -0.8, 1e-7);
    c = uvTangentCoefficients(line, 0.6f, -0.8f);
    EXPECT_EQ(c.a, 1.0);
    EXPECT_EQ(c.b, 0.0);

    float du = 0, dv = 0;
    bindTangentUV(stretched, 1.0, 1.0, du, dv);
    EXPECT_FLOAT_EQ(du, static_cast<float>(2 / std::sqrt(20.0)));
    EXPECT_FLOAT_EQ(dv, static_cast<float>(4 / std::sqrt(20.0)));
    bindTangentUV(stretched, 0.0, 0.0, du, dv);
    EXPECT_EQ(du, 1.0f);
    EXPECT_EQ(dv, 0.0f);
}

namespace {

// A mesh in plain arrays: per-face vertex ids, normal ids and UVs, with a
// face whose reads can be made to fail.
struct FakeMesh : UVMeshAccess {
    std::vector<std::vector<int>> vertices;
    std::vector<std::vector<int>> normalIds;
    std::vector<std::vector<std::pair<float, float>>> uvs;
    int failVertices = -1;
    int failNormals = -1;
    int failUVFace = -1;
    int failUVCorner = -1;

    bool faceVertices(int face, std::vector<int>& ids) const override
    {
        if (face == failVertices)
            return false;
        ids = vertices[face];
        return true;
    }
    bool faceNormalIds(int face, std::vector<int>& ids) const override
    {
        if (face == failNormals)
            return false;
        ids = normalIds[face];
        return true;
    }
    bool faceVertexUV(int face, int local, float& u, float& v) const override
    {
        if (face == failUVFace && local == failUVCorner)
            return false;
        u = uvs[face][local].first;
        v = uvs[face][local].second;
        return true;
    }
};

// Four faces: a quad split in two, then three triangles; 5 triangles in all.
FakeMesh fourFaces()
{
    FakeMesh m;
    m.vertices = {{0, 1, 2, 3}, {1, 4, 2}, {2, 4, 5}, {5, 4, 6}};
    m.normalIds = {{10, 11, 12, 13}, {14, 15, 16}, {20, 21, 22}, {23, 24, 25}};
    m.uvs = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}},
             {{1, 0}, {2, 0}, {1, 1}},
             {{1, 1}, {2, 1}, {2, 2}},
             {{2, 2}, {2, 1}, {3, 2}}};
    return m;
}

const std::vector<int> kCounts = {2, 1, 1, 1};
const std::vector<int> kTriangles = {0, 1, 2, 0, 2, 3, 1, 4, 2, 2, 4, 5, 5, 4, 6};

}  // namespace

TEST(UVTriangleTable, RowsForReadableTrianglesWithGlobalIndices)
{
    FakeMesh m = fourFaces();
    m.failNormals = 1;  // face 1 gives no row but keeps later indices in place
    m.failUVFace = 3;
    m.failUVCorner = 2;
    UVTriangleTable table;
    buildUVTriangleTable(4, kCounts.data(), 4, kTriangles.data(), 15, m, table);

    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.triangleToRow, (std::vector<int32_t>{0, 1, -1, 2, -1}));
    const UVTriangle& second = table.rows[1];
    EXPECT_EQ(std::vector<int>(second.vertexIds, second.vertexIds + 3), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(std::vector<int>(second.normalIds, second.normalIds + 3), (std::vector<int>{10, 12, 13}));
    EXPECT_EQ(second.triangleIndex, 1);
    EXPECT_EQ(std::vector<float>(second.cornerUVs, second.cornerUVs + 6), (std::vector<float>{0, 0, 1, 1, 0, 1}));
    EXPECT_EQ(std::vector<float>(second.uvBounds, second.uvBounds + 4), (std::vector<float>{0, 0, 1, 1}));
    const UVTriangle& third = table.rows[2];
    EXPECT_EQ(third.triangleIndex, 3);
    EXPECT_EQ(std::vector<int>(third.normalIds, third.normalIds + 3), (std::vector<int>{20, 21, 22}));
    EXPECT_EQ(std::vector<float>(third.uvBounds, third.uvBounds + 4), (std::vector<float>{1, 1, 2, 2}));
}

TEST(UVTriangleTable, UnreadableOrInconsistentFacesAreSkippedAndShortListsEndTheWalk)
{
    FakeMesh m = fourFaces();
    m.failVertices = 0;
    m.normalIds[2] = {20, 21};  // not one per vertex
    UVTriangleTable table;
    buildUVTriangleTable(4, kCounts.data(), 4, kTriangles.data(), 15, m, table);
    EXPECT_EQ(table.triangleToRow, (std::vector<int32_t>{-1, -1, 0, -1, 1}));

    // The list stops short of face 3's triangle: the walk ends there.
    FakeMesh whole = fourFaces();
    buildUVTriangleTable(4, kCounts.data(), 4, kTriangles.data(), 12, whole, table);
    EXPECT_EQ(table.triangleToRow, (std::vector<int32_t>{0, 1, 2, 3}));

    // A triangle whose corner is not in its face's vertex list.
    std::vector<int> foreign = kTriangles;
    foreign[8] = 6;
    buildUVTriangleTable(4, kCounts.data(), 4, foreign.data(), 15, whole, table);
    EXPECT_EQ(table.triangleToRow, (std::vector<int32_t>{0, 1, -1, 2, 3}));

    // More polygons than counts: the extra faces have no triangles.
    buildUVTriangleTable(4, kCounts.data(), 2, kTriangles.data(), 15, whole, table);
    EXPECT_EQ(table.triangleToRow, (std::vector<int32_t>{0, 1, 2, -1, -1}));

    // Rebuilding empties what was there.
    buildUVTriangleTable(0, kCounts.data(), 4, kTriangles.data(), 0, whole, table);
    EXPECT_TRUE(table.rows.empty());
    EXPECT_TRUE(table.triangleToRow.empty());
}

namespace {

UVTriangle uvRow(int index, std::vector<float> uv, int firstVertex)
{
    UVTriangle row{};
    for (int k = 0; k < 3; ++k) {
        row.vertexIds[k] = firstVertex + k;
        row.normalIds[k] = 100 + firstVertex + k;
    }
    row.triangleIndex = index;
    for (int k = 0; k < 6; ++k)
        row.cornerUVs[k] = uv[k];
    row.uvBounds[0] = std::fmin(uv[0], std::fmin(uv[2], uv[4]));
    row.uvBounds[1] = std::fmin(uv[1], std::fmin(uv[3], uv[5]));
    row.uvBounds[2] = std::fmax(uv[0], std::fmax(uv[2], uv[4]));
    row.uvBounds[3] = std::fmax(uv[1], std::fmax(uv[3], uv[5]));
    return row;
}

// Two triangles covering the unit square and one far off.
UVTriangleTable squareTable()
{
    UVTriangleTable t;
    t.rows = {uvRow(0, {0, 0, 1, 0, 0, 1}, 0), uvRow(1, {1, 0, 1, 1, 0, 1}, 3), uvRow(3, {5, 5, 6, 5, 5, 6}, 6)};
    t.triangleToRow = {0, 1, -1, 2};
    return t;
}

void expectResolved(const UVPinBinding& pin, int firstVertex, std::vector<float> w)
{
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(pin.vertexIds[k], firstVertex + k);
        EXPECT_EQ(pin.normalIds[k], 100 + firstVertex + k);
        EXPECT_NEAR(pin.weights[k], w[k], 1e-6) << k;
    }
}

}  // namespace

TEST(ResolvePinUV, PreferredTriangleThenBoundsScanThenNearestCentroidElseNone)
{
    const UVTriangleTable table = squareTable();

    UVPinBinding pin = loadedUVPinBinding(0.75f, 0.75f, 1.0f, 0.0f, 1);
    ASSERT_TRUE(resolvePinUV(pin, table));
    expectResolved(pin, 3, {0.25f, 0.5f, 0.25f});
    EXPECT_EQ(std::vector<float>(pin.cornerUVs, pin.cornerUVs + 6), (std::vector<float>{1, 0, 1, 1, 0, 1}));
    // Tangent (1, 0) in UV on this row: 1·(0, 1) - 1·(-1, 1).
    EXPECT_FLOAT_EQ(pin.tangentCoeffs[0], 1.0f);
    EXPECT_FLOAT_EQ(pin.tangentCoeffs[1], -1.0f);

    // A preferred triangle that no longer holds the UV, one without a row, and
    // one beyond the map all fall through to the scan.
    for (int preferred : {1, 2, 9, -1}) {
        pin = loadedUVPinBinding(0.25f, 0.25f, 1.0f, 0.0f, preferred);
        ASSERT_TRUE(resolvePinUV(pin, table));
        expectResolved(pin, 0, {0.5f, 0.25f, 0.25f});
    }

    // Outside every triangle: the nearest centroid, with unclamped weights.
    pin = loadedUVPinBinding(4.0f, 4.0f, 0.0f, 1.0f, -1);
    ASSERT_TRUE(resolvePinUV(pin, table));
    expectResolved(pin, 6, {3.0f, -1.0f, -1.0f});
    EXPECT_FLOAT_EQ(pin.tangentCoeffs[0], 0.0f);
    EXPECT_FLOAT_EQ(pin.tangentCoeffs[1], 1.0f);

    // Centroid ties go to the first row; degenerate rows use the first corner.
    UVTriangleTable tied;
    tied.rows = {uvRow(0, {0, 0, 2, 0, 2, 0}, 0), uvRow(1, {0, 0, 2, 0, 2, 0}, 3)};  // flat, same centroid
    tied.triangleToRow = {0, 1};
    UVPinBinding tiedPin = loadedUVPinBinding(1.0f, 5.0f, 1.0f, 0.0f, 1);
    ASSERT_TRUE(resolvePinUV(tiedPin, tied));
    expectResolved(tiedPin, 0, {1.0f, 0.0f, 0.0f});
    EXPECT_EQ(tiedPin.tangentCoeffs[0], 1.0f);
    EXPECT_EQ(tiedPin.tangentCoeffs[1], 0.0f);

    // A pin that no longer resolves loses its old triangle.
    UVPinBinding lost = loadedUVPinBinding(0.75f, 0.75f, 1.0f, 0.0f, 1);
    ASSERT_TRUE(resolvePinUV(lost, squareTable()));
    ASSERT_EQ(lost.vertexIds[0], 3);

    const UVTriangleTable empty;
    EXPECT_FALSE(resolvePinUV(lost, empty));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(lost.vertexIds[k], -1);
        EXPECT_EQ(lost.normalIds[k], -1);
    }
    EXPECT_EQ(lost.preferredTriangle, 1);
    EXPECT_EQ(lost.pinUV[0], 0.75f);
}

namespace {

// A strip of quads with bumpy points and tilted normals, so pins land on many
// different triangles, with pins bound to it and a rotated, moved geometry. Every
// coordinate of every point differs from its neighbours', so four pins evaluated
// side by side never share a value a mixed-up lane could hide behind.
struct PinStrip {
    static constexpr int kColumns = 40;
    std::vector<float> points;
    std::vector<float> normals;
    std::vector<PinBinding> pins;
    FrameInputs evaluation;

    explicit PinStrip(int count)
    {
        for (int j = 0; j < 2; ++j) {
            for (int i = 0; i <= kColumns; ++i) {
                points.insert(points.end(), {float(i) + 0.013f * float((i + j) % 4), float(j) + 0.07f * float((3 * i + j) % 5),
                                             0.1f * float(i % 3) + 0.02f * float(j)});
                normals.insert(normals.end(), {0.05f * float(i % 5), 0.03f * float((i + 2 * j) % 3), 1.0f});
            }
        }
        for (int i = 0; i < count; ++i) {
            const int32_t c = i % kColumns;
            const int32_t ids[3] = {c, c + 1, kColumns + 1 + c};
            const float w = float(i % 7) / 10.0f;
            pins.push_back(PinBinding{{ids[0], ids[1], ids[2]}, {ids[0], ids[1], ids[2]}, {w, 0.5f, 0.5f - w},
                                      {1.0f, 0.2f}});
        }
        evaluation.points = points.data();
        evaluation.normals = normals.data();
        evaluation.geometry = geometryBlock(rows({{1, 0, 0, 0}, {0, 0, 1, 0}, {0, -1, 0, 0}, {2, 3, 4, 1}}));
    }
};

template <class Binding>
void expectSinglePinResults(const FrameInputs& e, const std::vector<Binding>& pins, int begin, int end)
{
    const Matrix4 untouched = Matrix4::identity();
    std::vector<Matrix4> out(pins.size(), untouched);
    composePinOutputs(e, pins.data(), begin, end, out.data());
    for (int i = begin; i < end; ++i) {
        const Matrix4 single = composePinOutput(e, pins[i], i);
        ASSERT_EQ(std::memcmp(&out[i], &single, sizeof(Matrix4)), 0) << "pin " << i << " of [" << begin << ", " << end
                                                                      << ")";
    }
    // Pins outside the range are left alone.
    for (int i : {begin - 1, end}) {
        if (i >= 0 && i < static_cast<int>(pins.size())) {
            EXPECT_EQ(std::memcmp(&out[i], &untouched, sizeof(Matrix4)), 0) << i;
        }
    }
}

}  // namespace

TEST(ComposePinOutputs, RangesGiveTheSinglePinResultsBitForBitIncludingFallbacks)
{
    PinStrip s(75);
    // Pins that need the fallbacks of the frame, among ordinary ones: no
    // normals (geometric normal), a collapsed triangle (up and the second
    // fallback tangent), a tangent along the normal (projected second edge),
    // a zero interpolated normal and weights that extrapolate.
    s.pins[6].normalIds[1] = -1;
    s.pins[9].vertexIds[1] = s.pins[9].vertexIds[2] = s.pins[9].vertexIds[0];
    s.pins[9].normalIds[0] = -1;
    s.points.insert(s.points.end(), {0, 0, 0, 0, 0, 5});  // vertices 82, 83: an edge along the normal
    s.normals.insert(s.normals.end(), {0, 0, 1, 0, 0, -1});
    s.evaluation.points = s.points.data();
    s.evaluation.normals = s.normals.data();
    s.pins[13] = PinBinding{{82, 83, 1}, {82, 82, 82}, {0.2f, 0.3f, 0.5f}, {1.0f, 0.0f}};
    s.pins[14] = PinBinding{{0, 1, 41}, {82, 83, 82}, {0.5f, 0.5f, 0.0f}, {1.0f, 0.0f}};
    s.pins[15].weights[0] = -2.5f;
    s.pins[15].weights[2] = 3.0f;
    s.pins[20].tangentCoeffs[0] = s.pins[20].tangentCoeffs[1] = 0.0f;

    // Whole groups, short groups at either end, a range of fewer than four.
    const int ranges[][2] = {{0, 75}, {5, 38}, {70, 75}, {13, 15}, {3, 4}};
    for (const auto& r : ranges)
        expectSinglePinResults(s.evaluation, s.pins, r[0], r[1]);

    // No normals at all, then the bind, local and parent inverse steps.
    FrameInputs withoutNormals = s.evaluation;
    withoutNormals.normals = nullptr;
    expectSinglePinResults(withoutNormals, s.pins, 0, 75);

    std::vector<Matrix4> control(75), surfaceInverse(75), local(75), parent(75);
    std::vector<uint8_t> bound(75), present(75);
    for (int i = 0; i < 75; ++i) {
        control[i] = rows({{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {double(i), 1, 2, 1}});
        surfaceInverse[i] = translation(-0.5, -double(i) / 10.0, 0);
        local[i] = rows({{2, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}});
        parent[i] = translation(0, 0, -double(i));
        bound[i] = i % 2;
        present[i] = i % 3 == 0;
    }
    FrameInputs composed = s.evaluation;
    composed.maintainOffset = true;
    composed.bindControl = control.data();
    composed.bindSurfaceInverse = surfaceInverse.data();
    composed.bindDataPresent = bound.data();
    composed.localInverse = InverseMatrices{local.data(), nullptr, true};
    composed.parentInverse = InverseMatrices{parent.data(), present.data(), false};
    expectSinglePinResults(composed, s.pins, 0, 75);
    expectSinglePinResults(composed, s.pins, 9, 22);

    composed.translateOnly = true;
    expectSinglePinResults(composed, s.pins, 0, 75);

    // UV pins go through the same loop.
    std::vector<UVPinBinding> uvPins;
    for (const PinBinding& pin : s.pins) {
        UVPinBinding uv = loadedUVPinBinding(0, 0, 1, 0, -1);
        std::memcpy(uv.vertexIds, pin.vertexIds, sizeof(uv.vertexIds));
        std::memcpy(uv.normalIds, pin.normalIds, sizeof(uv.normalIds));
        std::memcpy(uv.weights, pin.weights, sizeof(uv.weights));
        std::memcpy(uv.tangentCoeffs, pin.tangentCoeffs, sizeof(uv.tangentCoeffs));
        uvPins.push_back(uv);
    }
    expectSinglePinResults(s.evaluation, uvPins, 0, 75);
    expectSinglePinResults(s.evaluation, uvPins, 1, 11);
}
