// Alt + drag in a model panel moves its camera as in Maya: left tumbles around
// the centre of interest, middle tracks, right dollies (orthographic cameras
// change their width). The application's filters still see every event.

#include "MouseEventRecorder.h"
#include "PanelTestSupport.h"
#include "PluginTestSupport.h"

#include "views/CameraView.h"
#include "views/StartupCameras.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <QWidget>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct CameraPose
{
    MPoint eye;
    MVector viewDirection;
    double centerOfInterest = 0.0;
    MPoint pivot() const { return eye + viewDirection * centerOfInterest; }
};

CameraPose poseOf(const char* camera)
{
    MDagPath shape;
    EXPECT_TRUE(host::startupCamera(camera, shape)) << camera;
    const MMatrix world = shape.inclusiveMatrix();
    CameraPose pose;
    pose.eye = MPoint(world[3][0], world[3][1], world[3][2]);
    pose.viewDirection = -MVector(world[2][0], world[2][1], world[2][2]).normal();
    pose.centerOfInterest = melDouble(std::string("getAttr ") + camera + "Shape.centerOfInterest");
    return pose;
}

class CameraNavigation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new; lookThru persp modelPanel4; lookThru top modelPanel1"));
        host::processEvents();
        fRecorder = std::make_unique<MouseEventRecorder>();
    }
    void TearDown() override
    {
        fRecorder.reset();
        mel("file -force -new");
    }

    // Presses at (x, y), moves by (dx, dy) in two steps and releases there.
    static void drag(const char* panel, const char* button, const char* modifiers, int x, int y, int dx, int dy)
    {
        const std::string head = std::string("hostMouseEvent -panel ") + panel + " -modifiers \"" + modifiers + "\" ";
        auto at = [](int px, int py) { return " -x " + std::to_string(px) + " -y " + std::to_string(py); };
        ASSERT_TRUE(mel(head + "-type press -button " + button + at(x, y)));
        ASSERT_TRUE(mel(head + "-type move" + at(x + dx / 2, y + dy / 2)));
        ASSERT_TRUE(mel(head + "-type move" + at(x + dx, y + dy)));
        ASSERT_TRUE(mel(head + "-type release -button " + button + at(x + dx, y + dy)));
    }

    std::unique_ptr<MouseEventRecorder> fRecorder;
};

TEST_F(CameraNavigation, AltLeftTumblesAroundTheCentreOfInterest)
{
    const CameraPose before = poseOf("persp");
    drag("modelPanel4", "left", "alt", 100, 100, 60, 30);
    const CameraPose after = poseOf("persp");
    EXPECT_GT((after.eye - before.eye).length(), 0.1);
    EXPECT_GT((after.viewDirection - before.viewDirection).length(), 0.01);
    EXPECT_NEAR(after.centerOfInterest, before.centerOfInterest, 1e-9);
    EXPECT_LT((after.pivot() - before.pivot()).length(), 1e-6);
    // Still the same distance from the pivot, looking at it.
    EXPECT_NEAR((after.pivot() - after.eye).length(), before.centerOfInterest, 1e-6);

    // The application filter saw the whole drag although the view took it.
    EXPECT_EQ(fRecorder->byApplication(QEvent::MouseButtonPress).size(), 1u);
    EXPECT_EQ(fRecorder->byApplication(QEvent::MouseMove).size(), 2u);
    EXPECT_EQ(fRecorder->byApplication(QEvent::MouseButtonRelease).size(), 1u);
}

TEST_F(CameraNavigation, AltMiddleTracksSoThePivotFollowsTheCursor)
{
    M3dView view;
    ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    const CameraPose before = poseOf("persp");
    short x0 = 0, y0 = 0;
    ASSERT_TRUE(view.worldToView(before.pivot(), x0, y0));
    drag("modelPanel4", "middle", "alt", 100, 100, 40, 20);
    const CameraPose after = poseOf("persp");
    EXPECT_LT((after.viewDirection - before.viewDirection).length(), 1e-9);
    short x1 = 0, y1 = 0;
    ASSERT_TRUE(view.worldToView(before.pivot(), x1, y1));
    const double ratio = host::panelWidget(3)->devicePixelRatioF();
    // Right 40 and down 20 logical pixels: port y counts upwards.
    EXPECT_NEAR(x1 - x0, 40 * ratio, 1.0);
    EXPECT_NEAR(y1 - y0, -20 * ratio, 1.0);
}

TEST_F(CameraNavigation, AltRightDolliesTowardsTheCentreOfInterest)
{
    const CameraPose before = poseOf("persp");
    drag("modelPanel4", "right", "alt", 100, 100, 50, 0);
    const CameraPose closer = poseOf("persp");
    EXPECT_LT(closer.centerOfInterest, before.centerOfInterest);
    EXPECT_LT((closer.pivot() - before.pivot()).length(), 1e-6);
    EXPECT_LT((closer.viewDirection - before.viewDirection).length(), 1e-9);

    drag("modelPanel4", "right", "alt", 150, 100, -100, 0);
    const CameraPose farther = poseOf("persp");
    EXPECT_GT(farther.centerOfInterest, before.centerOfInterest);
    EXPECT_LT((farther.pivot() - before.pivot()).length(), 1e-6);
}

TEST_F(CameraNavigation, OrthographicViewsZoomAndTrackButDoNotTumble)
{
    const double width = melDouble("getAttr topShape.orthographicWidth");
    const CameraPose before = poseOf("top");
    drag("modelPanel1", "left", "alt", 100, 100, 60, 30);
    const CameraPose untumbled = poseOf("top");
    EXPECT_LT((untumbled.eye - before.eye).length(), 1e-9);
    EXPECT_LT((untumbled.viewDirection - before.viewDirection).length(), 1e-9);

    drag("modelPanel1", "right", "alt", 100, 100, 50, 0);
    EXPECT_LT(melDouble("getAttr topShape.orthographicWidth"), width);
    EXPECT_LT((poseOf("top").eye - before.eye).length(), 1e-9);

    drag("modelPanel1", "middle", "alt", 100, 100, 30, 0);
    const CameraPose tracked = poseOf("top");
    // Looking down -Y with +X to the right: the scene follows the cursor, the camera goes to -X.
    EXPECT_LT(tracked.eye.x, before.eye.x);
    EXPECT_NEAR(tracked.eye.y, before.eye.y, 1e-9);
    EXPECT_NEAR(tracked.eye.z, before.eye.z, 1e-9);
}

TEST_F(CameraNavigation, DragsWithoutAltLeaveTheCameraAlone)
{
    const CameraPose before = poseOf("persp");
    drag("modelPanel4", "left", "", 100, 100, 60, 30);
    drag("modelPanel4", "right", "shift", 100, 100, 60, 30);
    const CameraPose after = poseOf("persp");
    EXPECT_LT((after.eye - before.eye).length(), 1e-12);
    EXPECT_NEAR(after.centerOfInterest, before.centerOfInterest, 1e-12);
}

TEST_F(CameraNavigation, CameraMovesAreNotOnTheUndoQueue)
{
    // Undoable, as typed into the script editor.
    ASSERT_TRUE(MGlobal::executeCommand("polyCube -n box", false, true));
    drag("modelPanel4", "right", "alt", 100, 100, 50, 0);
    const CameraPose moved = poseOf("persp");
    // Undo takes back the cube, not the dolly.
    ASSERT_TRUE(mel("undo"));
    EXPECT_FALSE(melInt("objExists box"));
    const CameraPose afterUndo = poseOf("persp");
    EXPECT_NEAR(afterUndo.centerOfInterest, moved.centerOfInterest, 1e-12);
    EXPECT_LT((afterUndo.eye - moved.eye).length(), 1e-12);
}

} // namespace

namespace {

TEST_F(CameraNavigation, RealAltRightDragDolliesThePerspectiveView)
{
    QWidget* widget = host::panelWidget(3);
    ASSERT_NE(widget, nullptr);
    const CameraPose before = poseOf("persp");
    ASSERT_EQ(xdotoolAt(widget, QPoint(100, 100), "keydown alt mousedown 3 mousemove_relative 60 0 mouseup 3 keyup alt"), 0);
    processEventsUntil([&] { return !fRecorder->byApplication(QEvent::MouseButtonRelease).empty(); });
    const auto presses = fRecorder->byApplication(QEvent::MouseButtonPress);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].button, Qt::RightButton);
    EXPECT_TRUE(presses[0].modifiers & Qt::AltModifier);
    const CameraPose after = poseOf("persp");
    EXPECT_LT(after.centerOfInterest, before.centerOfInterest);
    EXPECT_LT((after.pivot() - before.pivot()).length(), 1e-6);
}

} // namespace

namespace {

constexpr unsigned kPersp = 3;

struct Pixel
{
    short x = 0, y = 0;
    bool operator==(const Pixel& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Pixel& o) const { return !(*this == o); }
};

std::ostream& operator<<(std::ostream& os, const Pixel& p)
{
    return os << "(" << p.x << ", " << p.y << ")";
}

class PanelViewCache : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new; lookThru persp modelPanel4"));
        host::processEvents();
    }
    void TearDown() override
    {
        mel("file -force -new");
        mel("lookThru persp modelPanel4");
    }

    // Where M3dView puts a world point in the persp panel now.
    static Pixel cached(const MPoint& world)
    {
        M3dView view;
        EXPECT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
        Pixel p;
        view.worldToView(world, p.x, p.y);
        return p;
    }

    // The same, worked out afresh from the panel's camera and port size.
    static Pixel fresh(const MPoint& world)
    {
        int width = 0, height = 0;
        host::panelPortSize(kPersp, width, height);
        host::ViewSetup setup;
        EXPECT_TRUE(host::cameraViewSetup(host::panelCamera(kPersp), width, height, setup));
        double x = 0, y = 0;
        host::worldToPort(setup, world, x, y);
        return Pixel{static_cast<short>(std::floor(x + 0.5)), static_cast<short>(std::floor(y + 0.5))};
    }

    // Asks once (filling the cache), runs `change`, and expects the next answer
    // to have moved and to be the fresh one.
    template <typename Change>
    void expectFollows(Change change, const MPoint& world = MPoint(1, 2, 3))
    {
        const Pixel before = cached(world);
        ASSERT_EQ(before, fresh(world));
        change();
        const Pixel after = cached(world);
        EXPECT_NE(after, before) << "the change should move the point in the view";
        EXPECT_EQ(after, fresh(world));
    }

    static std::string cameraName()
    {
        return melString("modelEditor -q -camera modelPanel4").asChar();
    }
};

// Each change, after a set-up of its scenario, moves the view's answer to the fresh one at once.
TEST_F(PanelViewCache, CameraParentDrivenPlugLensLookThruAndNewSceneChangesShowAtOnce)
{
    struct Scenario
    {
        const char* setup;
        std::vector<const char*> changes;
    };
    const Scenario scenarios[] = {
        {"", {"setAttr persp.translateX 40", "setAttr persp.rotateY 10", "move -r 0 5 0 persp"}},
        {"createNode transform -n rig",
         {"setAttr rig.translateZ 12; parent persp rig", "setAttr rig.translateZ -6", "setAttr rig.scaleX 2"}},
        {"spaceLocator -n driver; connectAttr driver.translateY persp.translateY",
         {"setAttr driver.translateY 9", "setAttr driver.translateY -4",
          "disconnectAttr driver.translateY persp.translateY; setAttr persp.translateY 30"}},
        {"", {"setAttr perspShape.focalLength 70", "setAttr perspShape.horizontalFilmOffset 0.2"}},
        {"lookThru front modelPanel4", {"setAttr frontShape.orthographicWidth 5"}},
        {"", {"lookThru side modelPanel4", "lookThru persp modelPanel4"}},
        {"setAttr persp.translateX 40", {"file -force -new"}},
    };
    for (const Scenario& scenario : scenarios) {
        ASSERT_TRUE(mel("file -force -new; lookThru persp modelPanel4"));
        host::processEvents();
        if (*scenario.setup) {
            ASSERT_TRUE(mel(scenario.setup));
        }
        for (const char* change : scenario.changes) {
            SCOPED_TRACE(change);
            expectFollows([change] { ASSERT_TRUE(mel(change)); });
        }
    }
}

TEST_F(PanelViewCache, RenamingOrDeletingTheCameraShowsAtOnce)
{
    ASSERT_TRUE(mel("createNode transform -n shot; createNode camera -n shotShape -p shot; "
                    "setAttr shot.translateZ 20; setAttr shot.translateX 3"));
    expectFollows([] { ASSERT_TRUE(mel("lookThru shot modelPanel4")); });
    EXPECT_EQ(cameraName(), "shot");
    // Whatever a rename makes the panel look through, the view answers for it.
    const MPoint point(1, 2, 3);
    cached(point);
    ASSERT_TRUE(mel("rename shot take2"));
    EXPECT_EQ(cached(point), fresh(point));

    ASSERT_TRUE(mel("lookThru take2 modelPanel4"));
    expectFollows([] { ASSERT_TRUE(mel("delete take2")); });
    EXPECT_EQ(cameraName(), "persp");
}

TEST_F(PanelViewCache, ResizingThePortShowsAtOnce)
{
    QWidget* window = host::panelWidget(kPersp)->window();
    const QSize size = window->size();
    expectFollows([&] {
        window->resize(size.width() - 200, size.height() - 100);
        host::processEvents();
    });
    window->resize(size);
    host::processEvents();
    const MPoint point(1, 2, 3);
    EXPECT_EQ(cached(point), fresh(point));
}

TEST_F(PanelViewCache, TumblingWithTheMouseShowsAtOnce)
{
    expectFollows([] {
        const std::string head = "hostMouseEvent -panel modelPanel4 -modifiers \"alt\" ";
        ASSERT_TRUE(mel(head + "-type press -button left -x 100 -y 100"));
        ASSERT_TRUE(mel(head + "-type move -x 140 -y 120"));
        ASSERT_TRUE(mel(head + "-type release -button left -x 140 -y 120"));
    });
}

} // namespace
