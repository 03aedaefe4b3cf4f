// NURBS curves made from MEL: `curve` (open, closed and periodic, given or
// default knots), `circle` with its makeNurbCircle history, what
// MFnNurbsCurve reads back from them, undo, and curves in saved scenes.

#include "SceneTestSupport.h"
#include "support/TestValues.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnNurbsCurveData.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <vector>

namespace {

class CurveCommand : public SceneTest
{
protected:
    MFnNurbsCurve curveNamed(const char* shape)
    {
        return MFnNurbsCurve(pathNamed(shape));
    }

    std::vector<double> knotsOf(const MFnNurbsCurve& fn)
    {
        MDoubleArray knots;
        EXPECT_TRUE(fn.getKnots(knots));
        return std::vector<double>(&knots[0], &knots[0] + knots.length());
    }

    MPoint pointAt(const MFnNurbsCurve& fn, double param)
    {
        MPoint p;
        EXPECT_TRUE(fn.getPointAtParam(param, p)) << param;
        return p;
    }
};

const char* const kZigzag = "curve -d 3 -p 0 0 0 -p 1 1 0 -p 2 0 0 -p 3 1 0 -p 4 0 0";

// Eight points round a square, then the first three again.
const char* const kPeriodicPoints =
    " -p 1 0 0 -p 1 1 0 -p 0 1 0 -p -1 1 0 -p -1 0 0 -p -1 -1 0 -p 0 -1 0 -p 1 -1 0"
    " -p 1 0 0 -p 1 1 0 -p 0 1 0";

} // namespace

TEST_F(CurveCommand, OpenCurveGetsClampedUniformKnotsAndEndsOnItsEndPoints)
{
    EXPECT_EQ(MString("curve1"), text(kZigzag));
    MFnNurbsCurve fn = curveNamed("curveShape1");
    EXPECT_EQ(MFnNurbsCurve::kOpen, fn.form());
    EXPECT_EQ(3, fn.degree());
    EXPECT_EQ(5, fn.numCVs());
    EXPECT_EQ(2, fn.numSpans());
    EXPECT_EQ((std::vector<double>{0, 0, 0, 1, 2, 2, 2}), knotsOf(fn));
    EXPECT_TRUE(pointAt(fn, 0).isEquivalent(MPoint(0, 0, 0)));
    EXPECT_TRUE(pointAt(fn, 2).isEquivalent(MPoint(4, 0, 0)));
    // At the middle knot the symmetric zigzag is weighted 1/4, 1/2, 1/4 over its inner points.
    EXPECT_TRUE(pointAt(fn, 1).isEquivalent(MPoint(2, 0.5, 0), 1e-12));
    EXPECT_EQ(0, number("getAttr curveShape1.form"));
    EXPECT_EQ(2, number("getAttr curveShape1.spans"));
    // The new curve is selected and numbered after the first.
    EXPECT_EQ(MString("curve1"), strings("ls -sl")[0]);
    EXPECT_EQ(MString("curve2"), text(kZigzag));
    EXPECT_EQ(MString("curveShape2"), strings("listRelatives -s curve2")[0]);
}

TEST_F(CurveCommand, CurveWhoseEndsMeetIsClosedAndKeepsGivenKnots)
{
    EXPECT_EQ(MString("tri"), text("curve -d 1 -p 0 0 0 -p 2 0 0 -p 2 2 0 -p 0 0 0 -k 0 -k 1 -k 3 -k 4 -n tri"));
    MFnNurbsCurve fn = curveNamed("triShape");
    EXPECT_EQ(MFnNurbsCurve::kClosed, fn.form());
    EXPECT_EQ((std::vector<double>{0, 1, 3, 4}), knotsOf(fn));
    EXPECT_EQ(3, fn.numSpans());
    EXPECT_TRUE(pointAt(fn, 0).isEquivalent(pointAt(fn, 4)));
    // A span twice as long in parameter covers the edge at half speed.
    EXPECT_TRUE(pointAt(fn, 2).isEquivalent(MPoint(2, 1, 0), 1e-12));
    EXPECT_EQ(1, number("getAttr triShape.form"));
}

TEST_F(CurveCommand, PeriodicCurveWrapsAndGetsKnotsFromMinusDegreeLessOne)
{
    run(std::string("curve -d 3 -per") + kPeriodicPoints);
    run(std::string("curve -d 3 -per true") + kPeriodicPoints +
        " -k -2 -k -1 -k 0 -k 1 -k 2 -k 3 -k 4 -k 5 -k 6 -k 7 -k 8 -k 9 -k 10");
    const std::vector<double> expected{-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (const char* shape : {"curveShape1", "curveShape2"}) {
        MFnNurbsCurve fn = curveNamed(shape);
        EXPECT_EQ(MFnNurbsCurve::kPeriodic, fn.form()) << shape;
        EXPECT_EQ(11, fn.numCVs());
        EXPECT_EQ(8, fn.numSpans());
        EXPECT_EQ(expected, knotsOf(fn));
        double start = 0, end = 0;
        ASSERT_TRUE(fn.getKnotDomain(start, end));
        EXPECT_EQ(0.0, start);
        EXPECT_EQ(8.0, end);
        // The curve closes smoothly: same point and tangent at both ends of the range.
        EXPECT_TRUE(pointAt(fn, 0).isEquivalent(pointAt(fn, 8), 1e-12));
        EXPECT_TRUE(fn.tangent(0).isEquivalent(fn.tangent(8), 1e-9));
        // Knot 0 sits on the second point's side: (p0 + 4 p1 + p2) / 6.
        EXPECT_TRUE(pointAt(fn, 0).isEquivalent(MPoint(5.0 / 6, 5.0 / 6, 0), 1e-12));
    }
    EXPECT_EQ(2, number("getAttr curveShape1.form"));
}

TEST_F(CurveCommand, PeriodicCurveDataMustRepeatItsFirstCVs)
{
    MPointArray cvs;
    for (const MPoint& p : {MPoint(1, 0, 0), MPoint(0, 1, 0), MPoint(-1, 0, 0), MPoint(0, -1, 0), MPoint(1, 0, 0),
                            MPoint(0, 1, 0), MPoint(-1, 0, 0)})
        cvs.append(p);
    MDoubleArray knots;
    for (int k = -2; k <= 6; ++k)
        knots.append(k);
    MFnNurbsCurveData dataFn;
    MObject data = dataFn.create();
    MFnNurbsCurve fn;
    MStatus status;
    fn.create(cvs, knots, 3, MFnNurbsCurve::kPeriodic, false, false, data, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(4, fn.numSpans());
    EXPECT_TRUE(pointAt(fn, 0).isEquivalent(pointAt(fn, 4), 1e-12));
    cvs[6] = MPoint(-1, 0, 1);
    MObject other = dataFn.create();
    fn.create(cvs, knots, 3, MFnNurbsCurve::kPeriodic, false, false, other, &status);
    EXPECT_EQ(MS::kInvalidParameter, status);
}

TEST_F(CurveCommand, BadCurvesAreRefusedWithTheReason)
{
    expectRefusals({{"curve -d 3 -p 0 0 0 -p 1 0 0", "curve: a degree 3 curve needs at least 4 points, got 2."},
                    {"curve -d 1 -per -p 0 0 0 -p 1 0 0 -p 1 1 0",
                     "curve: the last 1 points of a periodic curve must repeat its first 1."},
                    {"curve -d 1 -p 0 0 0 -p 1 0 0 -p 1 1 0 -k 0 -k 1",
                     "curve: needs 3 knots (points + degree - 1), got 2."},
                    {"curve -d 1 -p 0 0 0 -p 1 0 0 -p 1 1 0 -k 0 -k 2 -k 1", "curve: knots must not decrease."},
                    {"curve -d 0 -p 0 0 0", "curve: -degree must be a whole number from 1 to 31, got 0."},
                    {"curve -d 1", "curve: give the curve's points with -p."},
                    {"curve -d 1 -p 0 0", "curve: -p takes three numbers."}});
    EXPECT_TRUE(strings("ls -type nurbsCurve").length() == 0);
}

TEST_F(CurveCommand, CircleDefaultsLieOnTheUnitCircleInTheXYPlane)
{
    const MStringArray result = strings("circle");
    ASSERT_EQ(2u, result.length());
    EXPECT_EQ(MString("nurbsCircle1"), result[0]);
    EXPECT_EQ(MString("makeNurbCircle1"), result[1]);
    EXPECT_EQ(MString("nurbsCircleShape1"), strings("listRelatives -s nurbsCircle1")[0]);
    EXPECT_EQ(MString("makeNurbCircle1"), strings("listConnections nurbsCircleShape1.create")[0]);
    MFnNurbsCurve fn = curveNamed("nurbsCircleShape1");
    EXPECT_EQ(MFnNurbsCurve::kPeriodic, fn.form());
    EXPECT_EQ(3, fn.degree());
    EXPECT_EQ(8, fn.numSpans());
    EXPECT_EQ(11, fn.numCVs());
    EXPECT_EQ((std::vector<double>{-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), knotsOf(fn));
    MPointArray cvs;
    ASSERT_TRUE(fn.getCVs(cvs));
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_TRUE(cvs[i].isEquivalent(cvs[i + 8])) << i;
    // Every knot is on the circle; between knots the cubic stays within 1%.
    for (double t = 0; t <= 8; t += 0.25) {
        const MPoint p = pointAt(fn, t);
        EXPECT_NEAR(0.0, p.z, 1e-12);
        const double r = std::hypot(p.x, p.y);
        if (t == std::floor(t))
            EXPECT_NEAR(1.0, r, 1e-12) << t;
        else
            EXPECT_NEAR(1.0, r, 0.01) << t;
    }
    // Runs anticlockwise about the normal.
    const MPoint a = pointAt(fn, 0), b = pointAt(fn, 1);
    EXPECT_GT(a.x * b.y - a.y * b.x, 0.0);
}

TEST_F(CurveCommand, CircleFlagsPlaceAndShapeItAndItsHistoryFollowsEdits)
{
    const MStringArray result = strings("circle -nr 0 1 0 -c 1 2 3 -r 2 -s 6 -d 1 -n ring");
    EXPECT_EQ(MString("ring"), result[0]);
    EXPECT_EQ(MString("ringShape"), strings("listRelatives -s ring")[0]);
    MFnNurbsCurve fn = curveNamed("ringShape");
    EXPECT_EQ(1, fn.degree());
    EXPECT_EQ(6, fn.numSpans());
    EXPECT_EQ(7, fn.numCVs());
    const MPoint center(1, 2, 3);
    for (double t = 0; t <= 6; t += 0.5) {
        const MPoint p = pointAt(fn, t);
        EXPECT_NEAR(2.0, p.y, 1e-12) << t;
        // A hexagon: corners at the radius, edge middles at radius * cos 30.
        const double expected = t == std::floor(t) ? 2.0 : 2.0 * std::cos(3.14159265358979323846 / 6);
        EXPECT_NEAR(expected, p.distanceTo(center), 1e-12) << t;
    }
    run("setAttr makeNurbCircle1.radius 5");
    EXPECT_NEAR(5.0, pointAt(curveNamed("ringShape"), 3).distanceTo(center), 1e-12);

    // Without history the same circle is kept by the shape alone.
    const MStringArray plain = strings("circle -ch off -nr 0 1 0 -c 1 2 3 -r 2 -s 6 -d 1");
    ASSERT_EQ(1u, plain.length());
    EXPECT_EQ(MString("nurbsCircle1"), plain[0]);
    EXPECT_EQ(0u, strings("listConnections nurbsCircleShape1.create").length());
    MFnNurbsCurve plainFn = curveNamed("nurbsCircleShape1");
    EXPECT_EQ(7, plainFn.numCVs());
    EXPECT_NEAR(2.0, pointAt(plainFn, 2).distanceTo(center), 1e-12);
    EXPECT_NEAR(2.0 * std::cos(3.14159265358979323846 / 6), pointAt(plainFn, 2.5).distanceTo(center), 1e-12);
    EXPECT_NEAR(2.0, pointAt(plainFn, 2.5).y, 1e-12);
    // The centre and radius are given in the working unit.
    run("currentUnit -l m; circle -ch off -nr 0 1 0 -c 0.01 0.02 0.03 -r 0.02 -n metric; currentUnit -l cm");
    EXPECT_NEAR(2.0, pointAt(curveNamed("metricShape"), 2).distanceTo(center), 1e-9);

    expectRefusals({{"circle -d 2", "circle: -degree must be 1 or 3."},
                    {"circle -s 2", "circle: -sections must be a whole number from 3 to 10000."},
                    {"circle -nr 0 0 0", "circle: -normal must not be zero."},
                    {"circle -r -1", "circle: -radius must be greater than 0."}});
}

TEST_F(CurveCommand, UndoRemovesTheCurveAndRedoBringsItBackSelected)
{
    run("circle");
    run(kZigzag);
    run("undo");
    EXPECT_EQ(0u, strings("ls curve1").length());
    EXPECT_EQ(MString("nurbsCircle1"), strings("ls -sl")[0]);
    run("undo");
    EXPECT_EQ(0u, strings("ls nurbsCircle1 makeNurbCircle1").length());
    run("redo");
    run("redo");
    EXPECT_EQ(MString("curve1"), strings("ls -sl")[0]);
    EXPECT_EQ(MFnNurbsCurve::kPeriodic, curveNamed("nurbsCircleShape1").form());
}

TEST_F(CurveCommand, CurvesSaveAndReopenWithTheirFormKnotsAndHistory)
{
    run(kZigzag);
    run(std::string("curve -d 3 -per") + kPeriodicPoints);
    run("curve -d 1 -p 0 0 0 -p 2 0 0 -p 2 2 0 -p 0 0 0 -n tri");
    run("circle -r 3");
    const std::string path = tempPath("curves.ma");
    run("file -rename \"" + path + "\"");
    run("file -save");
    const std::string saved = sceneText();
    run("file -f -new");
    run("file -f -open \"" + path + "\"");
    EXPECT_EQ(saved, sceneText());
    EXPECT_EQ(MFnNurbsCurve::kOpen, curveNamed("curveShape1").form());
    EXPECT_EQ(MFnNurbsCurve::kPeriodic, curveNamed("curveShape2").form());
    EXPECT_EQ(MFnNurbsCurve::kClosed, curveNamed("triShape").form());
    EXPECT_EQ((std::vector<double>{0, 0, 0, 1, 2, 2, 2}), knotsOf(curveNamed("curveShape1")));
    EXPECT_NEAR(3.0, MPoint(pointAt(curveNamed("nurbsCircleShape1"), 2)).distanceTo(MPoint::origin), 1e-12);
    run("setAttr makeNurbCircle1.radius 4");
    EXPECT_NEAR(4.0, pointAt(curveNamed("nurbsCircleShape1"), 2).distanceTo(MPoint::origin), 1e-12);
}

TEST_F(CurveCommand, CVsMoveAsTweaksOrTheirOwnPointsAndCountInBounds)
{
    // A circle's CVs come from its history: moves become tweaks that the history keeps under; a
    // periodic curve's repeated CVs move with the first ones.
    run("circle -n ring; move -r 0 2 0 ring.cv[0] ring.cv[8]");
    // The default circle's CVs sit 0.78361162489122449 from its axes (scaled to meet the radius).
    const double corner = 0.78361162489122449;
    MPointArray cvs;
    ASSERT_TRUE(curveNamed("ringShape").getCVs(cvs));
    EXPECT_NEAR(cvs[0].y, corner + 2.0, 1e-12);
    EXPECT_EQ(cvs[8], cvs[0]) << "the repeat follows the CV it repeats";
    EXPECT_EQ(value("getAttr ringShape.cp[0]").asDoubleArray()[1], 2.0);
    run("setAttr makeNurbCircle1.radius 3");
    ASSERT_TRUE(curveNamed("ringShape").getCVs(cvs));
    EXPECT_NEAR(cvs[0].y, 2.0 + 3 * corner, 1e-12) << "the tweak rides on the history";
    // A curve of its own: its points change, and xform reads and sets them in world space.
    run("curve -d 1 -p 0 0 0 -p 1 0 0 -n line; move 0 0 10 line; xform -ws -t 1 2 3 line.cv[0]; move -r 5 0 0 line.cv[1]");
    auto numbers = [this](const std::string& mel) {
        const MDoubleArray values = value(mel).asDoubleArray();
        return std::vector<double>(values.begin(), values.end());
    };
    EXPECT_EQ(numbers("xform -q -ws -t line.cv[*]"), (std::vector<double>{1, 2, 3, 6, 0, 10}));
    EXPECT_EQ(numbers("xform -q -ws -bb line"), (std::vector<double>{1, 0, 3, 6, 2, 10}))
        << "curves count in bounding boxes";
    run("undo");
    EXPECT_EQ(value("pointPosition line.cv[1]").asDoubleArray()[0], 1.0);
    EXPECT_FALSE(run("move 0 0 0 line.cv[2]"));
    EXPECT_NE(errors().find("move: line.cv[2] is out of range: the curve has 2 of them."), std::string::npos) << errors();
    const std::string saved = save("tweaked.ma");
    EXPECT_NE(saved.find("\".cp[0]\" -type \"double3\" 0 2 0 ;"), std::string::npos) << saved;
}
