// The host-free part of shape-control picking: how far the mouse is from a projected outline,
// where the mouse ray crosses a filled control, which of several controls under the mouse
// wins, and where the transform tools' handles keep the hover away.

#include "shapeControl/ShapeControlPickRanking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ShapeControlPick;

namespace {

Candidate edge(double depth, double pixels, const char* path, bool selected = false)
{
    Candidate c;
    c.depth = depth;
    c.pixelDistance = pixels;
    c.pathName = path;
    c.selected = selected;
    return c;
}

Candidate surface(double depth, const char* path)
{
    Candidate c = edge(depth, 0.0, path);
    c.surfaceHit = true;
    return c;
}

// The winner's path among candidates offered in order.
std::string winnerOf(std::initializer_list<Candidate> candidates)
{
    Ranking ranking;
    for (const Candidate& c : candidates) ranking.offer(c);
    return ranking.hasBest() ? ranking.best().pathName : std::string("(none)");
}

} // namespace

TEST(ShapeControlSegment, ClosestPointIsClampedToTheEnds)
{
    const Point2 a{10, 10}, b{30, 10};
    const SegmentProximity middle = closestOnSegment({15, 14}, a, b);
    EXPECT_DOUBLE_EQ(middle.parameter, 0.25);
    EXPECT_DOUBLE_EQ(middle.distance, 4.0);

    const SegmentProximity before = closestOnSegment({7, 6}, a, b);
    EXPECT_DOUBLE_EQ(before.parameter, 0.0);
    EXPECT_DOUBLE_EQ(before.distance, 5.0) << "measured to the start, not to the line";

    const SegmentProximity after = closestOnSegment({33, 14}, a, b);
    EXPECT_DOUBLE_EQ(after.parameter, 1.0);
    EXPECT_DOUBLE_EQ(after.distance, 5.0);

    const SegmentProximity slanted = closestOnSegment({0, 10}, {0, 0}, {10, 10});
    EXPECT_DOUBLE_EQ(slanted.parameter, 0.5);
    EXPECT_NEAR(slanted.distance, std::sqrt(50.0), 1e-12);
}

TEST(ShapeControlSegment, SegmentOfNoLengthIsItsStartPoint)
{
    const SegmentProximity dot = closestOnSegment({3, 4}, {0, 0}, {0, 1e-6});
    EXPECT_DOUBLE_EQ(dot.parameter, 0.0);
    EXPECT_DOUBLE_EQ(dot.distance, 5.0);
}

TEST(ShapeControlSurface, RayCrossesTheTriangleInsideAndOnItsEdges)
{
    const double p0[3] = {0, 0, 0}, p1[3] = {2, 0, 0}, p2[3] = {0, 0, 2};
    const double down[3] = {0, -1, 0};
    double t = 0.0;
    const double inside[3] = {0.5, 5, 0.5};
    ASSERT_TRUE(rayHitsTriangle(inside, down, p0, p1, p2, t));
    EXPECT_DOUBLE_EQ(t, 5.0);

    const double onEdge[3] = {1, 3, 0};
    EXPECT_TRUE(rayHitsTriangle(onEdge, down, p0, p1, p2, t));
    EXPECT_DOUBLE_EQ(t, 3.0);

    const double outside[3] = {1.5, 5, 1.5};
    EXPECT_FALSE(rayHitsTriangle(outside, down, p0, p1, p2, t));
    const double up[3] = {0, 1, 0};
    EXPECT_FALSE(rayHitsTriangle(inside, up, p0, p1, p2, t)) << "the triangle is behind the ray";
    const double along[3] = {1, 0, 0};
    const double level[3] = {-1, 0, 0.5};
    EXPECT_FALSE(rayHitsTriangle(level, along, p0, p1, p2, t)) << "parallel to the plane";
    const double degenerate[3] = {1, 0, 0};
    EXPECT_FALSE(rayHitsTriangle(inside, down, p0, p1, degenerate, t)) << "a triangle of no area";
}

TEST(ShapeControlRanking, NearerAlongTheRayThenOnScreenThenSurfaceThenSelectedThenPathNameInEitherOrder)
{
    const struct
    {
        Candidate winner, loser;
        const char* why;
    } kCases[] = {
        {edge(4.0, 9.0, "|z|zShape"), surface(5.0, "|a|aShape"), "nearer along the ray"},
        {edge(100.0005, 2.0, "|b"), edge(100.0, 6.0, "|a"), "same depth within tolerance, nearer on screen"},
        {edge(100.0, 2.2, "|a"), edge(100.0, 3.0, "|b"), "a pixel or less apart: the path name"},
        {edge(100.0, 3.0, "|a"), edge(100.0, 2.2, "|b"), "a pixel or less apart: the path name"},
        {surface(2.0, "|z"), edge(2.0, 0.5, "|a"), "surface over outline"},
        {surface(2.0, "|a"), surface(2.0, "|b"), "two surface hits never compare on screen"},
        {edge(2.0, 1.0, "|b", true), edge(2.0, 1.0, "|a"), "selected"},
        {edge(2.0, 1.0, "|Ctrl|CtrlShape"), edge(2.0, 1.0, "|ctrl|ctrlShape"), "byte-wise: upper case first"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(winnerOf({c.winner, c.loser}), c.winner.pathName) << c.why;
        EXPECT_EQ(winnerOf({c.loser, c.winner}), c.winner.pathName) << c.why;
    }
}

TEST(ShapeControlRanking, BehindTheEyeOrNotFiniteIsIgnored)
{
    EXPECT_EQ(winnerOf({edge(0.0, 0.0, "|a"), edge(-3.0, 0.0, "|b")}), "(none)");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(winnerOf({edge(nan, 0.0, "|a"), edge(7.0, 5.0, "|z")}), "|z");
    EXPECT_EQ(winnerOf({edge(7.0, 5.0, "|z"), edge(infinity, 0.0, "|a"), edge(3.0, nan, "|b")}), "|z");

    Ranking ranking;
    ranking.offer(edge(3.0, 2.0, "|a"));
    ASSERT_TRUE(ranking.hasBest());
    EXPECT_DOUBLE_EQ(ranking.best().depth, 3.0);
}

TEST(ShapeControlRanking, OutlineToleranceFollowsTheLineWidth)
{
    EXPECT_DOUBLE_EQ(outlineTolerance(2.0), 10.0);
    EXPECT_DOUBLE_EQ(outlineTolerance(4.0), 14.0);
    EXPECT_DOUBLE_EQ(outlineTolerance(-1.0), 10.0);
    // A width that is no number would make every outline "near".
    EXPECT_DOUBLE_EQ(outlineTolerance(std::numeric_limits<double>::quiet_NaN()), 10.0);
    EXPECT_DOUBLE_EQ(outlineTolerance(std::numeric_limits<double>::infinity()), 10.0);
}

TEST(ShapeControlManipulator, ToolsAreKnownByTheirContextNames)
{
    for (const char* name : {"MoveSuperContext", "moveSuperContext", "Move Tool"})
        EXPECT_EQ(transformToolNamed(name), TransformTool::kMove) << name;
    for (const char* name : {"RotateSuperContext", "rotateSuperContext", "Rotate Tool"})
        EXPECT_EQ(transformToolNamed(name), TransformTool::kRotate) << name;
    for (const char* name : {"ScaleSuperContext", "scaleSuperContext", "Scale Tool"})
        EXPECT_EQ(transformToolNamed(name), TransformTool::kScale) << name;
    for (const char* name : {"TransformSuperContext", "transformSuperContext"})
        EXPECT_EQ(transformToolNamed(name), TransformTool::kTransform) << name;
    for (const char* name : {"selectSuperContext", "moveTool", "", "Move"})
        EXPECT_EQ(transformToolNamed(name), TransformTool::kNone) << name;
}

TEST(ShapeControlManipulator, MoveHandlesAreTheCentreAndTheAxisLines)
{
    const Point2 centre{100, 100};
    // X to the right, Y up the screen, Z straight at the eye.
    const Point2 tips[3] = {{150, 100}, {100, 60}, {100, 100}};
    const bool valid[3] = {true, true, true};
    EXPECT_TRUE(isNearManipulator(TransformTool::kMove, {110, 108}, centre, tips, valid, 1.0)) << "centre";
    EXPECT_FALSE(isNearManipulator(TransformTool::kMove, {80, 120}, centre, tips, valid, 1.0));
    EXPECT_TRUE(isNearManipulator(TransformTool::kMove, {225, 111}, centre, tips, valid, 1.0)) << "on X";
    EXPECT_FALSE(isNearManipulator(TransformTool::kMove, {225, 113}, centre, tips, valid, 1.0));
    EXPECT_TRUE(isNearManipulator(TransformTool::kMove, {241, 100}, centre, tips, valid, 1.0)) << "X tip 130 out";
    EXPECT_FALSE(isNearManipulator(TransformTool::kMove, {243, 100}, centre, tips, valid, 1.0)) << "past the tip";
    EXPECT_TRUE(isNearManipulator(TransformTool::kScale, {95, -20}, centre, tips, valid, 1.0)) << "on Y";
    EXPECT_FALSE(isNearManipulator(TransformTool::kMove, {40, 100}, centre, tips, valid, 1.0)) << "behind X";

    // The global size scales every handle; an axis that did not project is no handle.
    EXPECT_TRUE(isNearManipulator(TransformTool::kTransform, {120, 118}, centre, tips, valid, 2.0));
    EXPECT_FALSE(isNearManipulator(TransformTool::kMove, {120, 118}, centre, tips, valid, 1.0));
    const bool noX[3] = {false, true, true};
    EXPECT_FALSE(isNearManipulator(TransformTool::kMove, {225, 100}, centre, tips, noX, 1.0));
    EXPECT_FALSE(isNearManipulator(TransformTool::kNone, centre, centre, tips, valid, 1.0));
}

TEST(ShapeControlManipulator, RotateHandleIsTheWholeRingDisc)
{
    const Point2 centre{0, 0};
    const Point2 tips[3] = {{50, 0}, {0, -50}, {0, 0}};
    const bool valid[3] = {true, true, true};
    EXPECT_TRUE(isNearManipulator(TransformTool::kRotate, {0, 66}, centre, tips, valid, 1.0));
    EXPECT_FALSE(isNearManipulator(TransformTool::kRotate, {0, 67}, centre, tips, valid, 1.0));
    EXPECT_FALSE(isNearManipulator(TransformTool::kRotate, {120, 0}, centre, tips, valid, 1.0)) << "no axis lines";
    EXPECT_TRUE(isNearManipulator(TransformTool::kRotate, {100, 0}, centre, tips, valid, 1.5));
}
