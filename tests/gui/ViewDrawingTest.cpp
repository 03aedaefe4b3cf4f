// What the views draw of the scene itself: Maya's locator cross, curves and joints with their
// override and own colours, templated meshes as their grey wire, an isolated view
// showing only its members and what hangs below them, and the move, rotate and scale tools'
// manipulators drawn around the selection.

#include "PanelTestSupport.h"
#include "PluginTestSupport.h"
#include "ViewportTestScene.h"

#include "views/ToolContexts.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MGlobal.h>
#include <maya/MFnManip3D.h>
#include <maya/MPoint.h>

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

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
    ASSERT_TRUE(mel("circle -r 3; curve -d 1 -p -4 -4 0 -p 4 -4 0 -n edge"));
    canvas.draw();
    EXPECT_TRUE(drawnNear(3, 0));
    EXPECT_TRUE(drawnNear(0, -3));
    EXPECT_TRUE(drawnNear(0, -4));
    EXPECT_FALSE(drawnNear(0, 0));

    // A templated curve draws in the template grey.
    ASSERT_TRUE(mel("select -cl; setAttr edge.template 1"));
    canvas.draw();
    EXPECT_TRUE(colourNear(0, -4, rgb(0.47, 0.47, 0.47)));
    EXPECT_FALSE(colourNear(3, 0, rgb(0.47, 0.47, 0.47)));

    ASSERT_TRUE(mel("createDisplayLayer -n hidden nurbsCircle1; setAttr hidden.visibility 0"));
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

TEST_F(BuiltinShapeDrawing, SelectedFacesDrawOrangeWithAnOutlineAndTemplatesAsGreyWire)
{
    // Four faces of 4 x 4 facing the view: f[0] bottom left, f[1] bottom right, f[2] top left, f[3] top right.
    ASSERT_TRUE(mel("polyPlane -w 8 -h 8 -sx 2 -sy 2 -ax 0 0 1 -n card; select -r \"card.f[1:2]\""));
    canvas.draw();
    const QColor lit = canvas.pixelAtWorld(-2, -2), selected = canvas.pixelAtWorld(2, -2);
    EXPECT_GT(selected.red(), selected.blue() + 60) << "an orange tint on the selected face";
    EXPECT_LT(std::abs(lit.red() - lit.blue()), 8) << "the grey surface elsewhere";
    EXPECT_TRUE(nearWithin(canvas.pixelAtWorld(-2, 2), selected, 2)) << "both selected faces alike";
    EXPECT_TRUE(colourNear(2, -3.95, rgb(1, 0.55, 0))) << "the outline along the face's edge";
    host::ViewSetup wireframe = canvas.view();
    wireframe.displayStyle = MHWRender::MFrameContext::kWireFrame;
    canvas.draw(wireframe);
    EXPECT_TRUE(near(canvas.pixelAtWorld(2, -2), kBackground)) << "no fill in wireframe";
    EXPECT_TRUE(colourNear(2, -3.95, rgb(1, 0.55, 0))) << "but the outline";
    ASSERT_TRUE(mel("select -r card.f[0]"));
    canvas.draw();
    EXPECT_TRUE(nearWithin(canvas.pixelAtWorld(2, -2), lit, 2)) << "deselected faces are grey again";
    EXPECT_TRUE(nearWithin(canvas.pixelAtWorld(-2, -2), selected, 2)) << "the newly selected one tinted";
    ASSERT_TRUE(mel("select -cl; setAttr card.template 1"));
    canvas.draw();
    EXPECT_TRUE(near(canvas.pixelAtWorld(2, -2), kBackground)) << "a templated mesh is not shaded";
    EXPECT_TRUE(colourNear(2, -3.95, rgb(0.47, 0.47, 0.47))) << "but drawn as its template-grey wire";
}

namespace {

class IsolateDrawing : public ::testing::Test, protected PanelView
{
protected:
    IsolateDrawing() : PanelView("isolate") {}

    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new; lookThru persp modelPanel4"));
        host::setActivePanel(3);
        // Two boxes side by side and a third parented under the left one.
        ASSERT_TRUE(mel("polyCube -w 2 -h 2 -d 2 -n left; move -3 0 0 left; "
                        "polyCube -w 2 -h 2 -d 2 -n right; move 3 0 0 right; "
                        "polyCube -w 2 -h 2 -d 2 -n child; parent child left; setAttr child.t 0 3 0; "
                        "select -cl; viewFit -all modelPanel4"));
        usePanel();
    }

    void TearDown() override
    {
        mel("isolateSelect -state 0 modelPanel4");
        mel("file -force -new");
    }

    // Whether the pixel where a world point lands differs from the empty view's.
    bool drawnAt(const MPoint& world) const
    {
        const QColor pixel = pixelAt(world);
        const QColor corner = image.pixelColor(2, 2);
        return std::abs(pixel.red() - corner.red()) + std::abs(pixel.green() - corner.green()) +
                   std::abs(pixel.blue() - corner.blue()) > 12;
    }

    // The middle of each box's top face, which the camera above sees.
    const MPoint leftCentre{-3, 1, 0}, rightCentre{3, 1, 0}, childCentre{-3, 4, 0};
};

TEST_F(IsolateDrawing, IsolatedViewDrawsOnlyMembersAndTheirChildren)
{
    snapshot();
    ASSERT_TRUE(drawnAt(leftCentre));
    ASSERT_TRUE(drawnAt(rightCentre));
    ASSERT_TRUE(drawnAt(childCentre));

    snapshotAfter("select -r left; isolateSelect -loadSelected -state 1 modelPanel4; select -cl");
    EXPECT_TRUE(drawnAt(leftCentre));
    EXPECT_TRUE(drawnAt(childCentre)) << "a member's children stay";
    EXPECT_FALSE(drawnAt(rightCentre));

    snapshotAfter("isolateSelect -addDagObject right -removeDagObject left modelPanel4");
    EXPECT_FALSE(drawnAt(leftCentre));
    EXPECT_FALSE(drawnAt(childCentre));
    EXPECT_TRUE(drawnAt(rightCentre));

    snapshotAfter("isolateSelect -state 0 modelPanel4");
    EXPECT_TRUE(drawnAt(leftCentre));
    EXPECT_TRUE(drawnAt(rightCentre));
}

TEST_F(IsolateDrawing, OtherPanelsKeepDrawingEverything)
{
    snapshotAfter("isolateSelect -state 1 -addDagObject right modelPanel1");
    EXPECT_TRUE(drawnAt(leftCentre));
    EXPECT_TRUE(drawnAt(rightCentre));
    ASSERT_TRUE(mel("isolateSelect -state 0 modelPanel1"));
}

} // namespace

namespace {

class ToolManipulatorDrawing : public ::testing::Test, protected PanelView
{
protected:
    ToolManipulatorDrawing() : PanelView("manipulators") {}

    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new; lookThru persp modelPanel4"));
        host::setActivePanel(3);
        ASSERT_TRUE(mel("polyCube -w 0.2 -h 0.2 -d 0.2 -n box; move 2 1 -1 box; select -r box"));
        // Wide lines so that a sampled point on a line is surely covered.
        ASSERT_TRUE(mel("manipOptions -lineSize 3"));
        usePanel();
    }

    void TearDown() override
    {
        host::resetToolContexts();
        MFnManip3D::setGlobalSize(1.0f);
        MFnManip3D::setLineSize(1.0f);
        mel("file -force -new");
    }

    // Screen position of the pivot and the screen direction of a world axis.
    void screenAxis(int axis, double& cx, double& cy, double& ux, double& uy) const
    {
        short x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        MPoint end = pivot;
        (axis == 0 ? end.x : axis == 1 ? end.y : end.z) += 2.0;
        EXPECT_TRUE(view.worldToView(pivot, x0, y0));
        EXPECT_TRUE(view.worldToView(end, x1, y1));
        const double length = std::hypot(x1 - x0, y1 - y0);
        cx = x0;
        cy = y0;
        ux = (x1 - x0) / length;
        uy = (y1 - y0) / length;
    }

    // Pixels of an axis colour within two pixels of a point `distance` pixels
    // from the pivot along that axis on screen.
    int axisPixelsAt(int axis, double distance) const
    {
        double cx, cy, ux, uy;
        screenAxis(axis, cx, cy, ux, uy);
        int found = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = int(std::lround(cx + ux * distance)) + dx;
                const int y = int(std::lround(cy + uy * distance)) + dy;
                if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) continue;
                const QColor c = pixel(x, y);
                const int channel[3] = {c.red(), c.green(), c.blue()};
                if (channel[axis] > 150 && channel[(axis + 1) % 3] < 80 && channel[(axis + 2) % 3] < 80) ++found;
            }
        return found;
    }

    // Pure red, green or blue pixels in a ring of radii [inner, outer) around the pivot.
    int axisPixelsBetween(double inner, double outer) const
    {
        double cx, cy, ux, uy;
        screenAxis(0, cx, cy, ux, uy);
        int found = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const double d = std::hypot(x - cx, y - cy);
                if (d < inner || d >= outer) continue;
                const QColor c = pixel(x, y);
                const int hi = std::max({c.red(), c.green(), c.blue()});
                const int lo = std::min({c.red(), c.green(), c.blue()});
                if (hi > 150 && lo < 80 && c.red() + c.green() + c.blue() - hi - lo < 80) ++found;
            }
        return found;
    }

    const MPoint pivot{2, 1, -1};
};

TEST_F(ToolManipulatorDrawing, MoveToolDrawsItsAxesFromThePivotScaledByTheGlobalSize)
{
    snapshotAfter("setToolTo moveSuperContext");
    // Axes pointing towards the camera look shorter; none is shorter than this here.
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_GT(axisPixelsAt(axis, 30.0), 0) << "axis " << axis;
        EXPECT_GT(axisPixelsAt(axis, 60.0), 0) << "axis " << axis;
    }
    EXPECT_EQ(axisPixelsBetween(160.0, 2000.0), 0) << "the handles end at their length";

    // The global size scales them.
    snapshotAfter("manipOptions -scale 2");
    EXPECT_GT(axisPixelsAt(0, 240.0), 0);
    EXPECT_GT(axisPixelsBetween(160.0, 2000.0), 0);
}

TEST_F(ToolManipulatorDrawing, NothingIsDrawnWithoutAShownManipulatorAndASelection)
{
    snapshotAfter("setToolTo selectSuperContext");
    EXPECT_EQ(axisPixelsBetween(0.0, 2000.0), 0) << "select tool";

    snapshotAfter("setToolTo scaleSuperContext; manipScaleContext -e -manipVisible 0 Scale");
    EXPECT_EQ(axisPixelsBetween(0.0, 2000.0), 0) << "hidden manipulator";

    snapshotAfter("manipScaleContext -e -manipVisible 1 Scale");
    EXPECT_GT(axisPixelsAt(1, 100.0), 0) << "shown again";

    snapshotAfter("select -cl");
    EXPECT_EQ(axisPixelsBetween(0.0, 2000.0), 0) << "empty selection";
}

TEST_F(ToolManipulatorDrawing, RotateToolsDrawRingsAroundThePivotWithTheirOwnSettings)
{
    snapshotAfter("setToolTo RotateSuperContext");
    EXPECT_GT(axisPixelsBetween(0.0, 75.0), 100);
    EXPECT_EQ(axisPixelsBetween(75.0, 2000.0), 0) << "the rings stay within their radius";

    // A context made by name draws its kind, with settings of its own.
    snapshotAfter("manipRotateContext twirl; setToolTo twirl");
    EXPECT_GT(axisPixelsBetween(0.0, 75.0), 100) << "rings, as the rotate class draws";
    EXPECT_EQ(axisPixelsBetween(75.0, 2000.0), 0);

    // Hiding the built-in Rotate context's manipulator leaves this one shown, and the other way round.
    snapshotAfter("manipRotateContext -e -manipVisible 0 Rotate");
    EXPECT_GT(axisPixelsBetween(0.0, 75.0), 100);
    snapshotAfter("manipRotateContext -e -manipVisible 1 Rotate; manipRotateContext -e -manipVisible 0 twirl");
    EXPECT_EQ(axisPixelsBetween(0.0, 2000.0), 0);
}

} // namespace
