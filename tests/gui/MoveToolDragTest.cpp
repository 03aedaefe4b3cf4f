// Dragging the move tool's manipulator: a press on an axis handle moves the
// selected transforms along that axis as far as the cursor goes along it, the
// centre handle in the view plane; translate changes during the drag and the
// whole drag is one undoable step. Presses off the handles select as the
// select tool does.

#include "MouseEventRecorder.h"
#include "PluginTestSupport.h"

#include "views/ToolContexts.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MFnManip3D.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MStringArray.h>

#include <QElapsedTimer>
#include <QWidget>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr unsigned kPerspPanel = 3;

class MoveToolDrag : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new"));
        ASSERT_TRUE(mel("lookThru persp modelPanel4"));
        // Looking down -Z from z = 20: world x to the right, y up, z towards the camera.
        ASSERT_TRUE(mel("setAttr persp.translate 0 0 20; setAttr persp.rotate 0 0 0"));
        ASSERT_TRUE(mel("polyCube -n box; polyCube -n other; move -6 0 0 other"));
        ASSERT_TRUE(MGlobal::executeCommand("select -r box", false, true));
        ASSERT_TRUE(mel("setToolTo moveSuperContext"));
        host::setActivePanel(kPerspPanel);
        host::processEvents();
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
        ratio = host::panelWidget(kPerspPanel)->devicePixelRatioF();
        centre = logical(MPoint(0, 0, 0));
        // Logical pixels per world unit along x at the pivot's depth.
        pixelsPerUnit = logical(MPoint(1, 0, 0)).x - centre.x;
        ASSERT_GT(pixelsPerUnit, 1.0);
    }

    void TearDown() override
    {
        mel("hostMouseEvent -panel modelPanel4 -type release -x 1 -y 1 -button left");
        host::resetToolContexts();
        mel("file -force -new");
    }

    struct Pixel
    {
        double x, y;
    };

    Pixel logical(const MPoint& world)
    {
        short x = 0, y = 0;
        EXPECT_TRUE(view.worldToView(world, x, y));
        // worldToView rounds to whole device pixels; the centre of that pixel is within half a pixel.
        return {x / ratio, (view.portHeight() - y) / ratio};
    }

    static std::string at(const Pixel& p)
    {
        return " -x " + std::to_string(p.x) + " -y " + std::to_string(p.y);
    }
    static void mouse(const std::string& type, const Pixel& p)
    {
        const std::string button = type == "move" ? "" : " -button left";
        // Undoable, as events from the event loop are: the drag's step is kept.
        ASSERT_TRUE(MGlobal::executeCommand(
            MString(("hostMouseEvent -panel modelPanel4 -type " + type + button + at(p)).c_str()), false, true));
    }

    static MString selected()
    {
        const MStringArray names = melStrings("ls -sl");
        return names.length() == 1 ? names[0] : MString(("(" + std::to_string(names.length()) + " selected)").c_str());
    }

    double attr(const std::string& plug) { return melDouble("getAttr box." + plug); }

    M3dView view;
    double ratio = 1.0;
    Pixel centre{0, 0};
    double pixelsPerUnit = 0.0;
};

TEST_F(MoveToolDrag, DraggingTheXHandleMovesTranslateXOnlyByTheCursorTravel)
{
    // On the x axis, 60 pixels right of the pivot; drag 40 right (and 7 down, across the axis).
    MObject box = nodeByName("box");
    int translateXSets = 0;
    const MCallbackId watch = MNodeMessage::addAttributeChangedCallback(
        box,
        [](MNodeMessage::AttributeMessage message, MPlug& plug, MPlug&, void* count) {
            if ((message & MNodeMessage::kAttributeSet) && plug.partialName(false, false, false, false, false, true) == "translateX")
                ++*static_cast<int*>(count);
        },
        &translateXSets);
    const Pixel press{centre.x + 60, centre.y};
    mouse("press", press);
    mouse("move", {press.x + 20, press.y + 3});
    // The plug follows during the drag, and says so to those watching it.
    EXPECT_NEAR(attr("translateX"), 20 / pixelsPerUnit, 1.0 / pixelsPerUnit);
    EXPECT_EQ(translateXSets, 1);
    MMessage::removeCallback(watch);
    mouse("move", {press.x + 40, press.y + 7});
    mouse("release", {press.x + 40, press.y + 7});

    // Within a pixel's worth of world units at the pivot, from the rounding of the projection.
    EXPECT_NEAR(attr("translateX"), 40 / pixelsPerUnit, 1.0 / pixelsPerUnit);
    EXPECT_DOUBLE_EQ(attr("translateY"), 0.0);
    EXPECT_DOUBLE_EQ(attr("translateZ"), 0.0);
    // The handle took the press: the selection is unchanged.
    EXPECT_EQ(selected(), MString("box"));
}

TEST_F(MoveToolDrag, DraggingTheYHandleMovesTranslateYOnly)
{
    const Pixel press{centre.x, centre.y - 80};
    mouse("press", press);
    mouse("move", {press.x + 10, press.y - 30});
    mouse("release", {press.x + 10, press.y - 30});
    EXPECT_NEAR(attr("translateY"), 30 / pixelsPerUnit, 1.0 / pixelsPerUnit);
    EXPECT_DOUBLE_EQ(attr("translateX"), 0.0);
    EXPECT_DOUBLE_EQ(attr("translateZ"), 0.0);
}

TEST_F(MoveToolDrag, TheCentreHandleMovesInTheViewPlane)
{
    mouse("press", centre);
    mouse("move", {centre.x + 30, centre.y - 20});
    mouse("release", {centre.x + 30, centre.y - 20});
    EXPECT_NEAR(attr("translateX"), 30 / pixelsPerUnit, 1.0 / pixelsPerUnit);
    EXPECT_NEAR(attr("translateY"), 20 / pixelsPerUnit, 1.0 / pixelsPerUnit);
    EXPECT_NEAR(attr("translateZ"), 0.0, 1e-9);
}

TEST_F(MoveToolDrag, TheDragIsOneUndoableStep)
{
    const Pixel press{centre.x + 60, centre.y};
    mouse("press", press);
    for (int step = 1; step <= 4; ++step)
        mouse("move", {press.x + 10 * step, press.y});
    mouse("release", {press.x + 40, press.y});
    const double moved = attr("translateX");
    EXPECT_NEAR(moved, 40 / pixelsPerUnit, 1.0 / pixelsPerUnit);

    ASSERT_TRUE(mel("undo"));
    EXPECT_DOUBLE_EQ(attr("translateX"), 0.0);
    // The select before the drag is the next to undo, not another piece of the drag.
    EXPECT_EQ(selected(), MString("box"));
    ASSERT_TRUE(mel("redo"));
    EXPECT_DOUBLE_EQ(attr("translateX"), moved);
}

TEST_F(MoveToolDrag, AParentedTransformFollowsTheCursorInWorldSpace)
{
    // Under a parent scaled by 2: translate changes by half the world distance.
    ASSERT_TRUE(mel("createNode transform -n holder; parent box holder; setAttr holder.scale 2 2 2; select -r box"));
    host::processEvents();
    const Pixel press{centre.x + 60, centre.y};
    mouse("press", press);
    mouse("move", {press.x + 40, press.y});
    mouse("release", {press.x + 40, press.y});
    EXPECT_NEAR(attr("translateX"), 20 / pixelsPerUnit, 0.5 / pixelsPerUnit);
    EXPECT_DOUBLE_EQ(attr("translateY"), 0.0);
}

TEST_F(MoveToolDrag, APressOffTheManipulatorSelectsAndAClickWithoutAMoveRecordsNothing)
{
    mouse("press", centre);
    mouse("release", centre);
    EXPECT_DOUBLE_EQ(attr("translateX"), 0.0);

    const Pixel onOther = logical(MPoint(-6, 0, 0.5));
    mouse("press", onOther);
    mouse("release", onOther);
    EXPECT_EQ(selected(), MString("other"));
    // Undo takes back that select, then the one of the set-up: no empty step of the still click.
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(selected(), MString("box"));
}

TEST_F(MoveToolDrag, AHiddenManipulatorDoesNotDrag)
{
    ASSERT_TRUE(mel("manipMoveContext -e -manipVisible 0 Move"));
    const Pixel press{centre.x + 60, centre.y};
    mouse("press", press);
    mouse("move", {press.x + 40, press.y});
    mouse("release", {press.x + 40, press.y});
    EXPECT_DOUBLE_EQ(attr("translateX"), 0.0);
}

TEST_F(MoveToolDrag, ScaleHandlesScaleByTheCursorsDistanceFromThePivot)
{
    ASSERT_TRUE(mel("setToolTo scaleSuperContext"));
    host::processEvents();
    // Pressed 60 pixels out on the x handle and dragged to 120: twice as wide.
    mouse("press", {centre.x + 60, centre.y});
    mouse("move", {centre.x + 90, centre.y});
    mouse("release", {centre.x + 120, centre.y + 4});
    // The pivot's projection is within half a pixel of `centre`.
    EXPECT_NEAR(attr("scaleX"), 2.0, 1.0 / 59.0);
    EXPECT_DOUBLE_EQ(attr("scaleY"), 1.0);
    EXPECT_DOUBLE_EQ(attr("scaleZ"), 1.0);
    EXPECT_DOUBLE_EQ(attr("translateX"), 0.0);
    ASSERT_TRUE(mel("undo"));
    EXPECT_DOUBLE_EQ(attr("scaleX"), 1.0);
}

TEST_F(MoveToolDrag, ARealDragMovesAlongXAndIsUndoable)
{
    QWidget* widget = host::panelWidget(kPerspPanel);
    widget->window()->raise();
    host::processEvents();
    MouseEventRecorder recorder(widget);
    const QPoint press = widget->mapTo(widget->window(), QPoint(int(std::lround(centre.x + 60)), int(std::lround(centre.y))));
    const QPoint release = press + QPoint(40, 0);
    const std::string window = std::to_string(widget->window()->winId());
    auto moveTo = [&](const QPoint& p) {
        return " mousemove --window " + window + " " + std::to_string(p.x()) + " " + std::to_string(p.y());
    };
    const std::string command =
        "xdotool" + moveTo(press) + " mousedown 1" + moveTo(press + QPoint(20, 0)) + moveTo(release) + " mouseup 1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    QElapsedTimer timer;
    timer.start();
    while (recorder.byApplication(QEvent::MouseButtonRelease).empty() && timer.elapsed() < 5000)
        host::processEvents();
    ASSERT_EQ(recorder.byApplication(QEvent::MouseButtonRelease).size(), 1u);

    // Whole pixels from the event loop: within a pixel and a half of world units.
    EXPECT_NEAR(attr("translateX"), 40 / pixelsPerUnit, 1.5 / pixelsPerUnit);
    EXPECT_DOUBLE_EQ(attr("translateY"), 0.0);
    EXPECT_DOUBLE_EQ(attr("translateZ"), 0.0);
    EXPECT_EQ(selected(), MString("box"));
    ASSERT_TRUE(mel("undo"));
    EXPECT_DOUBLE_EQ(attr("translateX"), 0.0);
}

TEST_F(MoveToolDrag, DraggingTheRingFacingTheViewTurnsAboutItsAxisUndoably)
{
    // Looking down -Z the Z ring is a circle round the pivot; the X and Y rings are edge-on lines
    // through it. A quarter turn counterclockwise on screen turns the box +90 degrees about Z.
    ASSERT_TRUE(mel("setToolTo RotateSuperContext"));
    host::processEvents();
    const double radius = 200.0 / 3.0 * MFnManip3D::globalSize(), side = radius * std::sqrt(0.5);
    mouse("press", {centre.x + side, centre.y - side});
    mouse("move", {centre.x, centre.y - radius});
    EXPECT_NEAR(attr("rotateZ"), 45.0, 1.5) << "the channels follow during the drag";
    mouse("move", {centre.x - side, centre.y - side});
    mouse("release", {centre.x - side, centre.y - side});
    EXPECT_NEAR(attr("rotateZ"), 90.0, 1.5);
    EXPECT_NEAR(attr("rotateX"), 0.0, 1e-9);
    EXPECT_NEAR(attr("rotateY"), 0.0, 1e-9);
    EXPECT_EQ(selected(), MString("box"));
    ASSERT_TRUE(mel("undo"));
    EXPECT_DOUBLE_EQ(attr("rotateZ"), 0.0);
    ASSERT_TRUE(mel("redo"));
    EXPECT_NEAR(attr("rotateZ"), 90.0, 1.5);
}

TEST_F(MoveToolDrag, RotateAndScaleHandlesTakeThePressWithoutSelecting)
{
    // A click inside the rotate manipulator's rings over the other cube keeps the selection.
    ASSERT_TRUE(mel("move -6 0 0 box; move 0 0 0 other"));
    ASSERT_TRUE(mel("setToolTo RotateSuperContext"));
    host::processEvents();
    const Pixel onBoxRing{logical(MPoint(-6, 0, 0)).x + 40, logical(MPoint(-6, 0, 0)).y};
    const Pixel onOther = logical(MPoint(0, 0, 0.5));
    ASSERT_GT(onOther.x - onBoxRing.x, 80.0) << "the ring must not reach the other cube";
    mouse("press", onBoxRing);
    mouse("release", onBoxRing);
    EXPECT_EQ(selected(), MString("box"));
    mouse("press", onOther);
    mouse("release", onOther);
    EXPECT_EQ(selected(), MString("other"));

    // The scale tool's x handle where it crosses the first cube: the press is the tool's.
    ASSERT_TRUE(mel("setToolTo scaleSuperContext; select -r other; move 2 0 0 box"));
    host::processEvents();
    const Pixel onHandle = logical(MPoint(2, 0, 0.5));
    ASSERT_LT(onHandle.x - centre.x, 130.0) << "the cube must lie under the handle";
    mouse("press", onHandle);
    mouse("release", onHandle);
    EXPECT_EQ(selected(), MString("other"));
    EXPECT_DOUBLE_EQ(melDouble("getAttr other.scaleX"), 1.0);
}

} // namespace
