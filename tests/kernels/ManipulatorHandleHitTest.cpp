// The screen-space handles of the move, rotate and scale manipulators, sized from Maya's
// manipulator preferences (global size 1, handle size 10, line size 1 unless a case says
// otherwise), tested on the exact edges of their reach; and the tool words that say which
// manipulator a context shows.

#include "overlay/ManipulatorHandleTest.h"

#include <gtest/gtest.h>

namespace {

const double kJust = 1e-6;

ManipulatorSizes mayaDefaults(bool planeHandles = true)
{
    return manipulatorSizes(1.0, 10.0, 1.0, planeHandles);
}

// A manipulator at the origin with its X axis to the right and Y axis down the screen.
ManipulatorOnScreen squareOnScreen(bool xShown = true, bool yShown = true)
{
    ManipulatorOnScreen manip;
    manip.axes[0] = {1.0, 0.0};
    manip.axes[1] = {0.0, 1.0};
    manip.axisShown[0] = xShown;
    manip.axisShown[1] = yShown;
    return manip;
}

bool hits(const ManipulatorSizes& sizes, const ManipulatorOnScreen& manip, double x, double y)
{
    return isOnTranslateHandles(sizes, manip, ScreenPoint{x, y});
}

} // namespace

TEST(RotateRing, ReachesTwoHundredThirdsOfTheGlobalSizePlusItsLineAllowance)
{
    const ScreenPoint centre{0.0, 0.0};
    // 200/3 + max(2 + 2, 6): the allowance never drops below 6 pixels.
    const double reach = 200.0 / 3.0 + 6.0;
    EXPECT_TRUE(isOnRotateRing(mayaDefaults(), centre, {reach, 0.0}));
    EXPECT_TRUE(isOnRotateRing(mayaDefaults(), centre, {0.0, -(reach - kJust)}));
    EXPECT_FALSE(isOnRotateRing(mayaDefaults(), centre, {reach + kJust, 0.0}));
    EXPECT_TRUE(isOnRotateRing(mayaDefaults(), centre, {1.0, 1.0})) << "the inside of the ring rotates too";

    // Thick lines and large handles widen it: 2 * 4 + 0.2 * 20 = 12; a global size of 2 doubles the radius.
    const ManipulatorSizes thick = manipulatorSizes(2.0, 20.0, 4.0, true);
    const double thickReach = 400.0 / 3.0 + 12.0;
    EXPECT_TRUE(isOnRotateRing(thick, centre, {0.0, thickReach}));
    EXPECT_FALSE(isOnRotateRing(thick, centre, {0.0, thickReach + kJust}));
}

TEST(TranslateHandles, CentreReachesEightPixelsPerGlobalSizePlusItsHandleAllowance)
{
    const ManipulatorOnScreen centreOnly = squareOnScreen(false, false);
    // 8 + max(0.15 * 10, 4).
    EXPECT_TRUE(hits(mayaDefaults(), centreOnly, -12.0, 0.0));
    EXPECT_FALSE(hits(mayaDefaults(), centreOnly, -12.0 - kJust, 0.0));
    // 8 + 0.15 * 40 with large handles.
    const ManipulatorSizes large = manipulatorSizes(1.0, 40.0, 1.0, true);
    EXPECT_TRUE(hits(large, centreOnly, 0.0, -14.0));
    EXPECT_FALSE(hits(large, centreOnly, 0.0, -14.0 - kJust));
}

TEST(TranslateHandles, AxisLineAndTipReachesEndAtTheirTolerances)
{
    const ManipulatorSizes sizes = mayaDefaults(false);
    const ManipulatorOnScreen xOnly = squareOnScreen(true, false);
    // Length 0.5 * 10 + 130 = 135; line tolerance max(2 + 2, 8) = 8; tip tolerance max(3.5, 10) = 10.
    EXPECT_TRUE(hits(sizes, xOnly, 70.0, 8.0));
    EXPECT_FALSE(hits(sizes, xOnly, 70.0, 8.0 + kJust));
    EXPECT_TRUE(hits(sizes, xOnly, 145.0, 0.0)) << "just past the tip";
    EXPECT_FALSE(hits(sizes, xOnly, 145.0 + kJust, 0.0));
    EXPECT_TRUE(hits(sizes, xOnly, 135.0, -9.5)) << "beside the tip, outside the line";
    EXPECT_FALSE(hits(sizes, xOnly, 70.0, -(8.0 + kJust)));
    EXPECT_FALSE(hits(sizes, xOnly, -20.0, 0.0)) << "the line does not run behind the centre";

    // A hidden axis (one pointing at the camera) has no handle.
    EXPECT_FALSE(hits(sizes, squareOnScreen(false, false), 70.0, 0.0));
    // Thick lines widen the line tolerance: 2 * 5 + 0.2 * 10 = 12.
    const ManipulatorSizes thick = manipulatorSizes(1.0, 10.0, 5.0, false);
    EXPECT_TRUE(hits(thick, xOnly, 70.0, 12.0));
    EXPECT_FALSE(hits(thick, xOnly, 70.0, 12.0 + kJust));
    // The global size stretches the axis: 5 + 130 * 2 = 265, the tip reaching 10 past it.
    const ManipulatorSizes large = manipulatorSizes(2.0, 10.0, 1.0, false);
    EXPECT_TRUE(hits(large, xOnly, 275.0, 0.0));
    EXPECT_FALSE(hits(large, xOnly, 275.0 + kJust, 0.0));
}

TEST(TranslateHandles, PlaneHandleCoversItsSquareOnlyWhenPlaneHandlesAreDrawn)
{
    const ManipulatorOnScreen manip = squareOnScreen();
    // Inner offset 0.1 * 10 + 12 = 13, outer size 0.25 * 10 + 28 = 30.5.
    EXPECT_TRUE(hits(mayaDefaults(), manip, 20.0, 20.0));
    EXPECT_FALSE(hits(mayaDefaults(false), manip, 20.0, 20.0));
    EXPECT_TRUE(hits(mayaDefaults(), manip, 30.5, 20.0)) << "edges included";
    EXPECT_FALSE(hits(mayaDefaults(), manip, 30.5 + kJust, 20.0));
    EXPECT_TRUE(hits(mayaDefaults(), manip, 20.0, 13.0));
    EXPECT_FALSE(hits(mayaDefaults(), manip, 20.0, 13.0 - kJust));
    EXPECT_TRUE(hits(mayaDefaults(), manip, 30.5, 30.5)) << "the outer corner";

    // Both axes of the pair must show.
    EXPECT_FALSE(hits(mayaDefaults(), squareOnScreen(true, false), 20.0, 20.0));

    // A skewed pair: the square becomes a parallelogram in the axes' directions.
    ManipulatorOnScreen skewed = squareOnScreen();
    skewed.axes[1] = {0.6, 0.8};
    const double a = 20.0, b = 20.0;  // inside in axis coordinates
    EXPECT_TRUE(hits(mayaDefaults(), skewed, a + 0.6 * b, 0.8 * b));
    EXPECT_FALSE(hits(mayaDefaults(), skewed, 40.0 + 0.6 * b, 0.8 * b)) << "past the outer size along X";
}

TEST(ScreenProjection, AxisSeenEndOnShowsNoDirection)
{
    ScreenPoint u;
    ASSERT_TRUE(screenDirection({10.0, 10.0}, {13.0, 14.0}, u));
    EXPECT_DOUBLE_EQ(u.x, 0.6);
    EXPECT_DOUBLE_EQ(u.y, 0.8);
    EXPECT_FALSE(screenDirection({10.0, 10.0}, {10.0, 10.0 + 5e-7}, u)) << "an axis seen end-on";
    EXPECT_TRUE(screenDirection({10.0, 10.0}, {10.0, 10.0 + 2e-6}, u));
}

TEST(ToolWords, NamesAndClassesSayWhichManipulatorATransformToolShows)
{
    const ToolKinds move = toolKindsIn(lowerCased("moveSuperContext"));
    EXPECT_TRUE(move.move);
    EXPECT_FALSE(move.rotate || move.scale || move.universal);
    EXPECT_TRUE(toolKindsIn(lowerCased("RotateSuperContext")).rotate);
    EXPECT_TRUE(toolKindsIn("transformcontext").universal);
    EXPECT_FALSE(toolKindsIn("mytool").any());
    EXPECT_TRUE(toolKindsIn("mytool manipmove").move) << "a tool whose class says move";

    EXPECT_FALSE(toolKindsIn("selectsupercontext").any());
    EXPECT_TRUE(isViewingTool("selectsupercontext"));
    EXPECT_TRUE(isViewingTool("dollycontext cameraedit"));
    EXPECT_FALSE(isViewingTool("mytool"));
}
