// The host's own shapes as a view draws them: a locator's cross sits on its
// local position at its local scale, curves made by `curve` and `circle`
// draw along their points in the colour of their state, joints as circles of
// their radius with bones to their children, and a hidden display layer hides
// its members.

#include "ViewportTestScene.h"

#include "PluginTestSupport.h"

#include <maya/MGlobal.h>

#include <gtest/gtest.h>

using namespace viewtest;

namespace
{

class BuiltinShapeDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host::setRendererActive(true);
        ASSERT_TRUE(mel("file -f -new"));
    }
    void TearDown() override { mel("file -f -new"); }

    // Whether anything but background is drawn within a pixel of the world point
    // (one-pixel lines may fall on either side of a pixel boundary).
    bool drawnNear(double x, double y)
    {
        const int px = int((x + 5) * 10), py = int((y + 5) * 10);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (!near(canvas.pixel(px + dx, py + dy), kBackground)) return true;
        return false;
    }

    // Whether the colour is drawn within a pixel of the world point.
    bool colourNear(double x, double y, const QColor& colour)
    {
        const int px = int((x + 5) * 10), py = int((y + 5) * 10);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (nearWithin(canvas.pixel(px + dx, py + dy), colour, 4)) return true;
        return false;
    }

    Canvas canvas;
};

} // namespace

TEST_F(BuiltinShapeDrawing, LocatorCrossSitsOnItsLocalPositionAtItsLocalScale)
{
    ASSERT_TRUE(mel("spaceLocator -p 2 2 0"));
    canvas.draw();
    EXPECT_TRUE(drawnNear(2, 2.5));
    EXPECT_TRUE(drawnNear(2.5, 2));
    EXPECT_FALSE(drawnNear(0, 0.5));
    EXPECT_FALSE(drawnNear(2, 3.6));

    ASSERT_TRUE(mel("setAttr locatorShape1.localScaleY 2"));
    canvas.draw();
    EXPECT_TRUE(drawnNear(2, 3.6));
    EXPECT_FALSE(drawnNear(3.6, 2));
}

TEST_F(BuiltinShapeDrawing, CurvesDrawAlongTheirPointsUntilTheirLayerIsHidden)
{
    ASSERT_TRUE(mel("circle -r 3"));
    ASSERT_TRUE(mel("curve -d 1 -p -4 -4 0 -p 4 -4 0 -n edge"));
    canvas.draw();
    EXPECT_TRUE(drawnNear(3, 0));
    EXPECT_TRUE(drawnNear(0, -3));
    EXPECT_TRUE(drawnNear(0, -4));
    EXPECT_FALSE(drawnNear(0, 0));

    // A templated curve draws in the template grey.
    ASSERT_TRUE(mel("select -cl"));
    ASSERT_TRUE(mel("setAttr edge.template 1"));
    canvas.draw();
    EXPECT_TRUE(colourNear(0, -4, rgb(0.47, 0.47, 0.47)));
    EXPECT_FALSE(colourNear(3, 0, rgb(0.47, 0.47, 0.47)));

    ASSERT_TRUE(mel("createDisplayLayer -n hidden nurbsCircle1"));
    ASSERT_TRUE(mel("setAttr hidden.visibility 0"));
    canvas.draw();
    EXPECT_FALSE(drawnNear(3, 0));
    EXPECT_TRUE(drawnNear(0, -4));
}

TEST_F(BuiltinShapeDrawing, JointsDrawCirclesOfTheirRadiusAndBonesToTheirChildren)
{
    ASSERT_TRUE(mel("select -cl; joint -p -3 0 0 -rad 0.5 -n root; joint -p 3 0 0 -rad 1 -n end; select -cl"));
    canvas.draw();
    const QColor dormant = rgb(0.0, 0.016, 0.376);
    EXPECT_TRUE(colourNear(-3, 0.5, dormant));  // the circles of each joint's radius
    EXPECT_TRUE(colourNear(3, 1, dormant));
    EXPECT_FALSE(drawnNear(-3, 1));
    EXPECT_TRUE(drawnNear(0, 0.125));  // the bone narrows from the root to its child
    EXPECT_FALSE(drawnNear(0, 0.5));

    // A selected joint draws in the lead colour; drawStyle None draws the joint and its bone not.
    ASSERT_TRUE(mel("select root"));
    canvas.draw();
    EXPECT_TRUE(colourNear(-3, 0.5, rgb(0.26, 1.0, 0.64)));
    ASSERT_TRUE(mel("select -cl; setAttr root.drawStyle 2"));
    canvas.draw();
    EXPECT_FALSE(drawnNear(-3, 0.5));
    EXPECT_FALSE(drawnNear(0, 0.125));
    EXPECT_TRUE(drawnNear(3, 1));
}

// Dormant wireframes take the drawing override's colour (a palette index or RGB, a display
// layer's colour through its members' overrides), else the object's own (`color`); selecting
// still shows the selection colours.
TEST_F(BuiltinShapeDrawing, WireframesTakeTheirOverrideOrOwnColourUntilSelected)
{
    ASSERT_TRUE(mel("circle -r 3 -n ring; curve -d 1 -p -4 -4 0 -p 4 -4 0 -n edge; spaceLocator -p 2 2 0 -n loc;"
                    "polyPlane -w 2 -h 2 -sx 1 -sy 1 -n card; setAttr card.rotateX 90; move -3 3 0 card; select -cl"));
    ASSERT_TRUE(mel("setAttr ring.overrideEnabled 1; setAttr ring.overrideColor 13"));
    ASSERT_TRUE(mel("setAttr cardShape.overrideEnabled 1; setAttr cardShape.overrideRGBColors 1;"
                    "setAttr cardShape.overrideColorRGB 1 0.5 0"));
    ASSERT_TRUE(mel("color -rgbColor 0 1 1 loc"));
    ASSERT_TRUE(mel("createDisplayLayer -n yellowLayer edge; setAttr yellowLayer.color 17; select -cl"));
    host::ViewSetup wireframe = canvas.view();
    wireframe.displayStyle = MHWRender::MFrameContext::kWireFrame;
    canvas.draw(wireframe);
    EXPECT_TRUE(colourNear(3, 0, rgb(1, 0, 0))) << "palette index 13";
    EXPECT_TRUE(colourNear(0, -4, rgb(1, 1, 0))) << "the layer's colour 17";
    EXPECT_TRUE(colourNear(2, 2.5, rgb(0, 1, 1))) << "the locator's own colour";
    EXPECT_TRUE(colourNear(-4, 3, rgb(1, 0.5, 0))) << "the mesh's RGB override";

    // Overrides off, the colours go; the selection colour beats the object's own.
    // As typed: undoable.
    ASSERT_TRUE(MGlobal::executeCommand("setAttr ring.overrideEnabled 0; color loc; select -r card", false, true));
    canvas.draw(wireframe);
    EXPECT_TRUE(colourNear(3, 0, rgb(0.0, 0.016, 0.376))) << "the dormant curve colour";
    EXPECT_TRUE(colourNear(2, 2.5, rgb(0.0, 0.016, 0.376)));
    EXPECT_TRUE(colourNear(-4, 3, rgb(0.26, 1, 0.64))) << "the lead colour";
    ASSERT_TRUE(mel("undo; undo; undo"));
    canvas.draw(wireframe);
    EXPECT_TRUE(colourNear(3, 0, rgb(1, 0, 0))) << "the override again";
    EXPECT_TRUE(colourNear(2, 2.5, rgb(0, 1, 1))) << "color is undone";
}
