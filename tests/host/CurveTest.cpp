// NURBS curves in the host: creation on data and under transforms, Maya's
// knot convention, evaluation against the Cox-de Boor basis, tangents,
// length, closest points, world space through worldSpace[] and bad input.

#include "SceneTestSupport.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnNurbsCurveData.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <vector>

namespace {

MPointArray pointsOf(const std::vector<MPoint>& list)
{
    MPointArray array;
    for (const MPoint& p : list)
        array.append(p);
    return array;
}

MDoubleArray knotsOf(const std::vector<double>& list)
{
    MDoubleArray array;
    for (double k : list)
        array.append(k);
    return array;
}

// B-spline basis by the Cox-de Boor recursion on a full knot vector.
double basis(const std::vector<double>& u, int i, int p, double t)
{
    if (p == 0) {
        const bool last = t == u.back() && u[size_t(i)] < u[size_t(i) + 1] && u[size_t(i) + 1] == u.back();
        return (u[size_t(i)] <= t && t < u[size_t(i) + 1]) || last ? 1.0 : 0.0;
    }
    double left = 0, right = 0;
    const double d1 = u[size_t(i + p)] - u[size_t(i)], d2 = u[size_t(i + p + 1)] - u[size_t(i + 1)];
    if (d1 > 0)
        left = (t - u[size_t(i)]) / d1 * basis(u, i, p - 1, t);
    if (d2 > 0)
        right = (u[size_t(i + p + 1)] - t) / d2 * basis(u, i + 1, p - 1, t);
    return left + right;
}

MPoint referencePoint(const std::vector<MPoint>& cvs, const std::vector<double>& mayaKnots, int degree, double t)
{
    std::vector<double> full;
    full.push_back(mayaKnots.front());
    full.insert(full.end(), mayaKnots.begin(), mayaKnots.end());
    full.push_back(mayaKnots.back());
    MVector sum(0, 0, 0);
    for (int i = 0; i < int(cvs.size()); ++i)
        sum += basis(full, i, degree, t) * MVector(cvs[size_t(i)]);
    return MPoint(sum);
}

class CurveTest : public SceneTest
{
};

const std::vector<MPoint> kCubicCVs = {{0, 0, 0}, {1, 2, 0}, {3, 2, 1}, {4, 0, -1}, {6, 1, 0}, {7, 3, 2}};
const std::vector<double> kCubicKnots = {0, 0, 0, 1, 2, 3, 3, 3};

} // namespace

TEST_F(CurveTest, CubicCurveFollowsMayasKnotConventionAndEvaluatesLikeTheBasis)
{
    MFnNurbsCurveData dataFn;
    MObject data = dataFn.create();
    MFnNurbsCurve fn;
    MStatus status;
    fn.create(pointsOf(kCubicCVs), knotsOf(kCubicKnots), 3, MFnNurbsCurve::kOpen, false, false, data, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(6, fn.numCVs());
    EXPECT_EQ(8, fn.numKnots());
    EXPECT_EQ(3, fn.degree());
    EXPECT_EQ(3, fn.numSpans());
    EXPECT_EQ(MFnNurbsCurve::kOpen, fn.form());
    EXPECT_EQ(2.0, fn.knot(4));
    double start = -1, end = -1;
    ASSERT_TRUE(fn.getKnotDomain(start, end));
    EXPECT_EQ(0.0, start);
    EXPECT_EQ(3.0, end);

    for (double t = 0; t <= 3.0; t += 0.125) {
        MPoint p;
        ASSERT_TRUE(fn.getPointAtParam(t, p));
        EXPECT_TRUE(p.isEquivalent(referencePoint(kCubicCVs, kCubicKnots, 3, t), 1e-9)) << t;
    }
    // Clamped ends sit on the end CVs; outside the domain is refused.
    MPoint p;
    fn.getPointAtParam(3.0, p);
    EXPECT_TRUE(p.isEquivalent(kCubicCVs.back()));
    EXPECT_FALSE(fn.getPointAtParam(3.5, p));

    // Tangent: the direction of a small finite difference.
    for (double t : {0.3, 1.0, 2.6}) {
        MVector difference = referencePoint(kCubicCVs, kCubicKnots, 3, t + 1e-6) -
                             referencePoint(kCubicCVs, kCubicKnots, 3, t - 1e-6);
        EXPECT_NEAR(1.0, fn.tangent(t) * difference.normal(), 1e-6) << t;
    }
}

TEST_F(CurveTest, LinearCurveLengthClosestPointAndCVs)
{
    const std::vector<MPoint> cvs = {{0, 0, 0}, {3, 0, 0}, {3, 4, 0}};
    MFnNurbsCurveData dataFn;
    MObject data = dataFn.create();
    MFnNurbsCurve fn;
    ASSERT_FALSE(fn.create(pointsOf(cvs), knotsOf({0, 1, 2}), 1, MFnNurbsCurve::kOpen, false, false, data).isNull());
    EXPECT_NEAR(7.0, fn.length(), 1e-9);
    MPoint half;
    ASSERT_TRUE(fn.getPointAtParam(1.5, half));
    EXPECT_TRUE(half.isEquivalent(MPoint(3, 2, 0)));
    double param = -1;
    MPoint closest = fn.closestPoint(MPoint(5, 1, 0), &param);
    EXPECT_TRUE(closest.isEquivalent(MPoint(3, 1, 0), 1e-6));
    EXPECT_NEAR(1.25, param, 1e-6);

    MPointArray moved = pointsOf(cvs);
    moved[2] = MPoint(3, 0, 4);
    ASSERT_TRUE(fn.setCVs(moved));
    MPoint cv;
    ASSERT_TRUE(fn.getCV(2, cv));
    EXPECT_EQ(MPoint(3, 0, 4), cv);
    EXPECT_FALSE(fn.getCV(3, cv));
    moved.remove(0);
    EXPECT_FALSE(fn.setCVs(moved));
}

TEST_F(CurveTest, CurveShapeGivesWorldSpaceThroughItsTransform)
{
    MFnNurbsCurve fn;
    MStatus status;
    MObject transform = fn.create(pointsOf(kCubicCVs), knotsOf(kCubicKnots), 3, MFnNurbsCurve::kOpen, false, false,
                                  MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(transform.hasFn(MFn::kTransform));
    MObject shape = fn.object();
    ASSERT_TRUE(shape.hasFn(MFn::kNurbsCurve));
    MFnDependencyNode transformFn(transform);
    run("setAttr " + std::string(transformFn.name().asChar()) + ".translate 0 10 0");

    MPlug worldSpace = MFnDependencyNode(shape).findPlug("worldSpace", true).elementByLogicalIndex(0);
    MObject world = worldSpace.asMObject();
    MFnNurbsCurve worldFn(world);
    MPoint p, local;
    ASSERT_TRUE(worldFn.getPointAtParam(1.5, p, MSpace::kWorld));
    ASSERT_TRUE(MFnNurbsCurve(shape).getPointAtParam(1.5, local));
    EXPECT_TRUE(p.isEquivalent(local + MVector(0, 10, 0)));
    MPointArray cvs;
    ASSERT_TRUE(worldFn.getCVs(cvs, MSpace::kWorld));
    EXPECT_TRUE(cvs[1].isEquivalent(MPoint(1, 12, 0)));
}

TEST_F(CurveTest, BadCurvesAreRefused)
{
    MFnNurbsCurveData dataFn;
    MObject data = dataFn.create();
    MFnNurbsCurve fn;
    MStatus status;
    // Knot count must be numCVs + degree - 1.
    fn.create(pointsOf(kCubicCVs), knotsOf({0, 0, 0, 1, 2, 3, 3}), 3, MFnNurbsCurve::kOpen, false, false, data,
              &status);
    EXPECT_FALSE(status);
    // Decreasing knots.
    fn.create(pointsOf(kCubicCVs), knotsOf({0, 0, 0, 2, 1, 3, 3, 3}), 3, MFnNurbsCurve::kOpen, false, false, data,
              &status);
    EXPECT_FALSE(status);
    // Too few CVs for the degree.
    fn.create(pointsOf({{0, 0, 0}, {1, 0, 0}}), knotsOf({0, 0, 0, 1}), 3, MFnNurbsCurve::kOpen, false, false, data,
              &status);
    EXPECT_FALSE(status);
    fn.create(pointsOf(kCubicCVs), knotsOf(kCubicKnots), 3, MFnNurbsCurve::kInvalid, false, false, data, &status);
    EXPECT_FALSE(status);
    // An empty curve answers nothing.
    MFnNurbsCurve empty(dataFn.create());
    double a, b;
    EXPECT_FALSE(empty.getKnotDomain(a, b));
    EXPECT_EQ(0, empty.numCVs(&status));
    EXPECT_FALSE(status);
}
