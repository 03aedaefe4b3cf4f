// Shape controls under the mouse in a real view: the control the cursor is on lights up in its
// hover colour with a thicker line (and the readout of its changes), the nearest control wins
// and ties go to a surface hit, then the selected control, then the smaller path name; Alt and
// the move, rotate and scale manipulators take the hover away, controls that may not be
// hovered never are, a control an enabled overlay tracks is left to the overlay, and small
// quick moves are not picked again. Mouse events go through hostMouseEvent and real X events
// (xdotool) to the loaded module's filter; the overlay-owned hover is set through this
// program's own build of the shape-control sources.

#include "MouseEventRecorder.h"
#include "PluginTestSupport.h"
#include "ShapeControlPicture.h"

#include "dg/Registry.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlDrawOverride.h"
#include "shapeControl/ShapeControlMouseFilter.h"
#include "shapeControl/ShapeControlRegistry.h"
#include "viewport/FrameRenderer.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDrawRegistry.h>
#include <maya/MGlobal.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>

#include <QColor>
#include <QElapsedTimer>
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr unsigned kPanel = 3; // modelPanel4

// A view of the XZ plane from the top camera, 10 units wide, and the mouse in it.
class HoverView : protected ShapeControlPicture
{
protected:
    HoverView() : ShapeControlPicture("shapehover") {}

    void setUpView()
    {
        ASSERT_TRUE(mel("lookThru top modelPanel4; setAttr topShape.orthographicWidth 10"));
        ASSERT_TRUE(mel("setToolTo selectSuperContext; select -cl"));
        host::setActivePanel(kPanel);
        host::processEvents();
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
        widget = host::panelWidget(kPanel);
        ASSERT_NE(widget, nullptr);
        const QPointF origin = widgetPoint(MPoint(0, 0, 0));
        const QPointF unitRight = widgetPoint(MPoint(1, 0, 0));
        pixelsPerUnit = unitRight.x() - origin.x();
        // The scenes below keep outlines a few tolerances (10 pixels) apart at this scale.
        ASSERT_GT(pixelsPerUnit, 40.0);
    }

    void tearDownView()
    {
        mel("hostMouseEvent -panel modelPanel4 -type release -x 1 -y 1 -button left");
        mel("hostMouseEvent -panel modelPanel4 -type leave");
        mel("setToolTo selectSuperContext");
        mel("lookThru persp modelPanel4");
    }

    QPointF widgetPoint(const MPoint& world) const
    {
        short x = 0, y = 0;
        EXPECT_TRUE(view.worldToView(world, x, y));
        const double ratio = widget->devicePixelRatioF();
        return QPointF(x / ratio, (view.portHeight() - y) / ratio);
    }

    static std::string at(const QPointF& p)
    {
        std::ostringstream text;
        text << " -x " << p.x() << " -y " << p.y();
        return text.str();
    }

    static std::string moveCommand(const QPointF& p, const std::string& modifiers = "")
    {
        return "hostMouseEvent -panel modelPanel4 -type move" + at(p) +
               (modifiers.empty() ? std::string() : " -modifiers \"" + modifiers + "\"");
    }

    void moveTo(const QPointF& p, const std::string& modifiers = "")
    {
        ASSERT_TRUE(mel(moveCommand(p, modifiers))) << moveCommand(p, modifiers);
    }
    void moveTo(const MPoint& world, const std::string& modifiers = "") { moveTo(widgetPoint(world), modifiers); }

    // A spot of the view where no control of these scenes lies.
    void moveAway() { moveTo(MPoint(-4.5, 0, -3.5)); }

    // What the outline at `world` looks like in a fresh picture.
    std::string lookAt(const MPoint& world)
    {
        snapshot();
        return lookIn(world);
    }
    std::string lookIn(const MPoint& world) const
    {
        const bool hovered = drawnNear(world, kHovered);
        const bool normal = drawnNear(world, kNormal);
        const bool selected = drawnNear(world, kSelected);
        if (hovered + normal + selected != 1) return "unclear";
        return hovered ? "hovered" : normal ? "normal" : "selected";
    }

    QWidget* widget = nullptr;
    double pixelsPerUnit = 0.0;
};

// The loaded module's filter, driven as a person drives it.
class ShapeControlHover : public PellixPluginTest, protected HoverView
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        setUpView();
    }
    void TearDown() override
    {
        tearDownView();
        PellixPluginTest::TearDown();
    }
};

TEST_F(ShapeControlHover, TheControlUnderTheCursorLightsUpWithAThickerLineUntilTheCursorLeaves)
{
    makeControl("ctrl");
    ASSERT_TRUE(mel("setAttr ctrlShape.lineWidth 3"));
    const MPoint right(1, 0, 0), left(-1, 0, 0);
    ASSERT_EQ(lookAt(right), "normal");
    const int normalWidth = thicknessAt(right, kNormal, 1, 0);

    // Within the outline's reach (3.5 line widths), not only on it.
    moveTo(widgetPoint(right) + QPointF(9, 0));
    ASSERT_EQ(lookAt(left), "hovered") << "the whole control lights up";
    EXPECT_GT(thicknessAt(right, kHovered, 1, 0), normalWidth);

    moveTo(widgetPoint(right) + QPointF(14, 0));
    EXPECT_EQ(lookAt(left), "normal") << "out of reach";
    moveTo(MPoint(0, 0, 1));
    EXPECT_EQ(lookAt(left), "hovered");
    moveTo(MPoint(0, 0, 0));
    EXPECT_EQ(lookAt(left), "normal") << "an empty square has no inside";

    moveTo(MPoint(0, 0, -1));
    ASSERT_EQ(lookAt(left), "hovered");
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type leave"));
    EXPECT_EQ(lookAt(left), "normal");
    EXPECT_EQ(thicknessAt(right, kNormal, 1, 0), normalWidth);
}

TEST_F(ShapeControlHover, CurvesAreHoveredNearTheirOutlineAndMeshesAlsoInside)
{
    makeControl("ring");
    ASSERT_TRUE(mel("circle -nr 0 1 0 -r 2 -s 8 -n circleSource; setAttr circleSource.visibility 0"));
    ASSERT_TRUE(mel("connectAttr circleSourceShape.local ringShape.inGeometry; setAttr ring.translateX -2.2"));
    makeControl("plate");
    ASSERT_TRUE(mel("polyPlane -n plateSource -w 2 -h 2 -sx 4 -sy 4; setAttr plateSource.visibility 0"));
    ASSERT_TRUE(mel("connectAttr plateSourceShape.outMesh plateShape.inGeometry; setAttr plate.translateX 2.5"));
    const MPoint ringFar(-4.2, 0, 0), plateInside(2.5 + 0.6, 0, 0.6);

    const QPointF ringRight = widgetPoint(MPoint(-0.2, 0, 0));
    moveTo(ringRight + QPointF(-8, 0));
    EXPECT_EQ(lookAt(ringFar), "hovered") << "just inside the circle's outline";
    moveTo(ringRight + QPointF(6, 0));
    EXPECT_EQ(lookAt(ringFar), "hovered") << "just outside it, past the box of its samples";
    moveTo(ringRight + QPointF(-16, 0));
    EXPECT_EQ(lookAt(ringFar), "normal") << "further in";
    moveTo(MPoint(-2.2, 0, 0));
    EXPECT_EQ(lookAt(ringFar), "normal") << "at its centre";
    moveTo(MPoint(-2.2 + 2.0 * std::cos(2.0), 0, 2.0 * std::sin(2.0)));
    EXPECT_EQ(lookAt(ringFar), "hovered") << "between samples";

    moveTo(MPoint(2.5 - 0.3, 0, -0.1));
    snapshot();
    EXPECT_EQ(lookIn(plateInside), "hovered") << "on the plate's surface";
    EXPECT_EQ(lookIn(ringFar), "normal");
    moveTo(widgetPoint(MPoint(3.5, 0, 0)) + QPointF(8, 0));
    EXPECT_EQ(lookAt(plateInside), "hovered") << "near its edge";
    moveTo(widgetPoint(MPoint(3.5, 0, 0)) + QPointF(16, 0));
    EXPECT_EQ(lookAt(plateInside), "normal") << "off its edge";
}

TEST_F(ShapeControlHover, AReadoutShowsOnlyWhileTheControlIsDraggedAndADeletedHoverStaysGone)
{
    makeControl("ctrl");
    const PixelTest box = [](const QColor& c) { return c.red() < 50 && c.green() < 50 && c.blue() < 50; };
    // Seen from the top the readout hangs over the control's centre, its box to the right.
    moveTo(MPoint(1, 0, 0.4));
    ASSERT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered");
    ASSERT_TRUE(mel("setAttr ctrl.translateX 0.5"));
    snapshot();
    EXPECT_FALSE(drawnNear(MPoint(0.8, 0, 0), box, 3)) << "moved by a script: no readout";

    // The move tool's X handle, 60 pixels right of the pivot, dragged 40 pixels further.
    ASSERT_TRUE(mel("select -r ctrl; setToolTo moveSuperContext"));
    const QPointF handle = widgetPoint(MPoint(0.5, 0, 0)) + QPointF(60, 0);
    for (const auto& step : {std::make_pair("press", 0.0), std::make_pair("move", 20.0), std::make_pair("move", 40.0)}) {
        const std::string button = std::string(step.first) == "press" ? " -button left" : "";
        ASSERT_TRUE(MGlobal::executeCommand(MString(("hostMouseEvent -panel modelPanel4 -type " +
                                                     std::string(step.first) + button +
                                                     at(handle + QPointF(step.second, 0)))
                                                        .c_str()),
                                            false, true));
    }
    const double moved = melDouble("getAttr ctrl.translateX");
    ASSERT_GT(moved, 0.5 + 20.0 / pixelsPerUnit) << "the drag moved the control";
    snapshot();
    EXPECT_TRUE(drawnNear(MPoint(moved + 0.3, 0, 0), box, 3)) << "the readout of the dragged control";
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type release -button left" + at(handle + QPointF(40, 0))));
    ASSERT_TRUE(mel("setToolTo selectSuperContext; select -cl"));

    // Deleted while hovered, the control comes back from an undo as it was before it was hovered.
    moveTo(MPoint(moved + 1, 0, 0.4));
    ASSERT_EQ(lookAt(MPoint(moved - 1, 0, 0)), "hovered");
    ASSERT_TRUE(MGlobal::executeCommand("delete ctrl", false, true));
    moveAway();
    ASSERT_TRUE(MGlobal::executeCommand("undo", false, true));
    EXPECT_EQ(lookAt(MPoint(moved - 1, 0, 0)), "normal");
}

TEST_F(ShapeControlHover, WithNoShapeControlTheFilterDoesNothing)
{
    MouseEventRecorder recorder(widget);
    widget->setMouseTracking(false);
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 5 -y 5"));
    moveTo(MPoint(1, 0, 0));
    EXPECT_FALSE(widget->hasMouseTracking()) << "entering the view changed nothing";
    EXPECT_EQ(recorder.byApplication(QEvent::MouseMove).size(), 1u);

    makeControl("ctrl");
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 5 -y 5"));
    EXPECT_TRUE(widget->hasMouseTracking()) << "with a control, entering turns on hover tracking";
    widget->setMouseTracking(true);
}

TEST_F(ShapeControlHover, AltClearsTheHoverAndEveryEventStillReachesTheView)
{
    makeControl("ctrl");
    MouseEventRecorder recorder(widget);
    moveTo(MPoint(1, 0, 0.2));
    ASSERT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered");
    moveTo(MPoint(1, 0, -0.2), "alt");
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "normal");

    // A left press picks too, and passes on like every move.
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type press -button left" + at(widgetPoint(MPoint(1, 0, 0.3)))));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered");
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type release -button left" + at(widgetPoint(MPoint(1, 0, 0.3)))));

    size_t moves = 0, presses = 0;
    for (const SeenMouseEvent& seen : recorder.seen()) {
        if (seen.byApplication) continue;
        moves += seen.type == QEvent::MouseMove;
        presses += seen.type == QEvent::MouseButtonPress;
    }
    EXPECT_EQ(moves, 2u) << "the view widget saw both moves";
    EXPECT_EQ(presses, 1u);
}

TEST_F(ShapeControlHover, TheMoveRotateAndScaleManipulatorsKeepTheHoverOffTheirHandles)
{
    // A large control whose near edge runs through the pivot of a selected transform, along
    // the move manipulator's X axis as seen from the top.
    makeControl("ctrl");
    ASSERT_TRUE(mel("setAttr ctrlShape.localScale 3 1 3; createNode transform -n target; setAttr target.translate 0 0 3"));
    ASSERT_TRUE(mel("select -r target; setToolTo moveSuperContext"));
    const MPoint pivot(0, 0, 3), farEdge(0, 0, -3);
    const MPoint awayFromHandles(-2.5, 0, 3);                     // on the edge, left of the pivot
    const MPoint onXAxis(60.0 / pixelsPerUnit, 0, 3);             // on the edge, 60 pixels along X

    moveTo(awayFromHandles);
    ASSERT_EQ(lookAt(farEdge), "hovered") << "the move tool leaves the rest of the view alone";
    moveTo(pivot);
    EXPECT_EQ(lookAt(farEdge), "normal") << "the centre handle";
    moveTo(awayFromHandles);
    ASSERT_EQ(lookAt(farEdge), "hovered");
    moveTo(onXAxis);
    EXPECT_EQ(lookAt(farEdge), "normal") << "the X axis handle";

    // A tool a script made is known by its class, whatever its name says.
    ASSERT_TRUE(mel("manipMoveContext myMove; setToolTo myMove"));
    moveTo(awayFromHandles);
    ASSERT_EQ(lookAt(farEdge), "hovered");
    moveTo(onXAxis);
    EXPECT_EQ(lookAt(farEdge), "normal") << "a move tool named by a script";

    ASSERT_TRUE(mel("setToolTo scaleSuperContext"));
    moveTo(awayFromHandles);
    ASSERT_EQ(lookAt(farEdge), "hovered");
    moveTo(onXAxis);
    EXPECT_EQ(lookAt(farEdge), "normal") << "the scale tool's axis";

    // The rotate ring reaches 66.7 pixels all round, and no further.
    for (const char* rotate : {"RotateSuperContext", "spinner"}) {
        SCOPED_TRACE(rotate);
        ASSERT_TRUE(mel(std::string("if (!`contextInfo -exists spinner`) manipRotateContext spinner; setToolTo ") +
                        rotate));
        moveTo(MPoint(-50.0 / pixelsPerUnit, 0, 3));
        EXPECT_EQ(lookAt(farEdge), "normal") << "inside the ring";
        moveTo(MPoint(-80.0 / pixelsPerUnit, 0, 3));
        EXPECT_EQ(lookAt(farEdge), "hovered") << "outside the ring";
    }

    // The select tool has no handles, and without a selection no tool shows any.
    ASSERT_TRUE(mel("setToolTo selectSuperContext"));
    moveTo(pivot);
    EXPECT_EQ(lookAt(farEdge), "hovered");
    ASSERT_TRUE(mel("setToolTo moveSuperContext; select -cl"));
    moveTo(awayFromHandles);
    moveTo(pivot);
    EXPECT_EQ(lookAt(farEdge), "hovered");
}

TEST_F(ShapeControlHover, NearestWinsThenSurfaceThenSelectedThenPathName)
{
    // Two squares sharing the edge x = 1: "aCtrl" round the origin, "bCtrl" to its right. Each
    // one's far edge shows which of them the mouse on the shared edge hovers.
    makeControl("aCtrl");
    makeControl("bCtrl");
    ASSERT_TRUE(mel("setAttr bCtrl.translateX 2"));
    // (Off the middle of the far edges, where a readout box may hang over "bCtrl".)
    const MPoint shared(1, 0, 0.3), aFar(-1, 0, 0.6), bFar(3, 0, 0.6);
    moveTo(shared);
    snapshot();
    EXPECT_EQ(lookIn(aFar), "hovered") << "at the same depth and distance the smaller path name wins";
    EXPECT_EQ(lookIn(bFar), "normal");

    // Raised towards the top camera, "bCtrl" is nearer along the mouse ray.
    ASSERT_TRUE(mel("setAttr bCtrl.translateY 1"));
    moveTo(shared + MVector(0, 0, 0.3));
    snapshot();
    EXPECT_EQ(lookIn(bFar), "hovered") << "the nearer control wins over the smaller name";
    EXPECT_EQ(lookIn(aFar), "normal");

    // Back at the same depth, a selected control wins over the smaller name; its line shows the
    // hover by its width.
    ASSERT_TRUE(mel("setAttr bCtrl.translateY 0; select -r bCtrl"));
    moveTo(shared);
    snapshot();
    EXPECT_EQ(lookIn(aFar), "normal");
    ASSERT_EQ(lookIn(bFar), "selected");
    const int hoveredWidth = thicknessAt(bFar, kSelected, 1, 0);
    moveAway();
    snapshot();
    EXPECT_LT(thicknessAt(bFar, kSelected, 1, 0), hoveredWidth) << "bCtrl was the hovered one";

    // A filled control hit on its surface wins over an outline at the same depth, whatever the
    // names. The square lies a hair above the plate so that it draws on top.
    ASSERT_TRUE(mel("file -force -new"));
    makeControl("zPlate");
    makeControl("aSquare");
    ASSERT_TRUE(mel("polyPlane -n plate -w 2 -h 2 -sx 1 -sy 1; setAttr plate.visibility 0"));
    ASSERT_TRUE(mel("connectAttr plateShape.outMesh zPlateShape.inGeometry"));
    ASSERT_TRUE(mel("setAttr aSquareShape.localScale 0.5 1 0.5; setAttr aSquare.translateY 0.005"));
    moveTo(MPoint(0.5, 0, 0.1));
    snapshot();
    EXPECT_EQ(lookIn(MPoint(0.8, 0, 0.8)), "hovered") << "the plate's fill";
    // A hovered outline would be as yellow as the plate beneath it.
    EXPECT_TRUE(drawnNear(MPoint(-0.5, 0.005, 0), kNormal)) << "the square's outline is not hovered";
}

TEST_F(ShapeControlHover, ControlsThatMayNotBeHoveredNeverAre)
{
    // "blocker" lies nearer the top camera than "under" and shares its edge x = 1; when the
    // mouse is on that edge, "under" is hovered only if "blocker" does not count.
    struct Case
    {
        const char* name;
        const char* setting;
        bool blockerCounts;
    };
    const Case cases[] = {
        {"an ordinary control", "", true},
        {"hidden", "setAttr blocker.visibility 0", false},
        {"hover off", "setAttr blockerShape.enableHover 0", false},
        {"templated", "setAttr blockerShape.template 1", false},
        {"templated parent", "setAttr blocker.template 1", false},
        {"template layer", "select -r blocker; createDisplayLayer -n layer; setAttr layer.displayType 1; select -cl",
         false},
        {"reference layer", "select -r blocker; createDisplayLayer -n layer; setAttr layer.displayType 2; select -cl",
         false},
        {"reference override",
         "setAttr blockerShape.overrideEnabled 1; setAttr blockerShape.overrideDisplayType 2", false},
        {"reference override on the transform",
         "setAttr blocker.overrideEnabled 1; setAttr blocker.overrideDisplayType 2", false},
        {"reference override on a parent group",
         "createNode transform -n rig; parent blocker rig; setAttr rig.overrideEnabled 1; "
         "setAttr rig.overrideDisplayType 2",
         false},
        {"reference layer holding only the transform",
         "select -r blocker; createDisplayLayer -nr -n layer; setAttr layer.displayType 2; select -cl", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(mel("file -force -new"));
        makeControl("blocker");
        makeControl("under");
        ASSERT_TRUE(mel("setAttr blocker.translateY 1; setAttr under.translateX 2"));
        if (*c.setting) {
            ASSERT_TRUE(mel(c.setting)) << c.setting;
        }
        moveAway();
        moveTo(MPoint(1, 0, 0.2));
        snapshot();
        EXPECT_EQ(lookIn(MPoint(3, 0, 0)), c.blockerCounts ? "normal" : "hovered");
        if (c.blockerCounts) {
            EXPECT_EQ(lookIn(MPoint(-1, 1, 0)), "hovered");
        } else {
            EXPECT_FALSE(drawnNear(MPoint(-1, 1, 0), kHovered, 3)) << "never drawn hovered either";
        }
    }
}

TEST_F(ShapeControlHover, AControlTrackedByAnEnabledOverlayIsLeftToTheOverlay)
{
    makeControl("ctrl");
    makeControl("free");
    ASSERT_TRUE(mel("setAttr free.translateX 3"));
    ASSERT_TRUE(mel("createNode pellixDataOverlay -n trackerShape"));
    ASSERT_TRUE(mel("connectAttr ctrlShape.message trackerShape.trackedShapeControls[0]"));
    moveTo(MPoint(1, 0, 0.2));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "normal") << "tracked by an enabled overlay";
    moveTo(MPoint(4, 0, 0.2));
    EXPECT_EQ(lookAt(MPoint(2, 0, 0)), "hovered") << "an untracked control still is";

    ASSERT_TRUE(mel("setAttr trackerShape.enable 0"));
    moveTo(MPoint(1, 0, -0.2));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered") << "the overlay is off";

    ASSERT_TRUE(mel("setAttr trackerShape.enable 1"));
    moveTo(MPoint(1, 0, 0.4));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "normal");
    ASSERT_TRUE(mel("disconnectAttr ctrlShape.message trackerShape.trackedShapeControls[0]"));
    moveTo(MPoint(1, 0, -0.4));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered") << "no longer tracked";
}

// The moments the panel's widget was sent a mouse move, press or enter event, on one clock.
class EventClock : public QObject
{
public:
    EventClock() { qApp->installEventFilter(this); fClock.start(); }
    ~EventClock() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::Enter) &&
            watched == host::panelWidget(kPanel))
            moments.push_back(fClock.nsecsElapsed());
        return false;
    }
    std::vector<qint64> moments;

private:
    QElapsedTimer fClock;
};

TEST_F(ShapeControlHover, SmallQuickMovesAreNotPickedAgain)
{
    makeControl("ctrl");
    const QPointF onEdge = widgetPoint(MPoint(1, 0, 0));
    const MPoint farEdge(-1, 0, 3);

    // hostMouseEvent lets the views redraw after each event (and a hovered control redraws
    // every frame), so events that must follow each other within 8 ms are sent here directly.
    auto send = [&](QEvent::Type type, const QPointF& position, Qt::MouseButton button = Qt::NoButton) {
        if (type == QEvent::Enter) {
            QEnterEvent event(position, position, widget->mapToGlobal(position.toPoint()));
            QApplication::sendEvent(widget, &event);
            return;
        }
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
        QMouseEvent event(type, position, widget->mapTo(widget->window(), position.toPoint()),
                          widget->mapToGlobal(position.toPoint()), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    // Hovers the control from 4 pixels below `onEdge`, moves onto `onEdge` (it stays hovered),
    // takes the control away and sends `then` within 8 ms of the move onto `onEdge`. A busy
    // machine may spoil a try's timing.
    auto hoverThenMoveAway = [&](const std::function<void()>& then) {
        for (int attempt = 0; attempt < 20; ++attempt) {
            EXPECT_TRUE(mel("setAttr ctrl.translateZ 0"));
            moveTo(onEdge + QPointF(0, 4));
            EventClock clock;
            send(QEvent::MouseMove, onEdge);
            EXPECT_TRUE(mel("setAttr ctrl.translateZ 3"));
            then();
            if (clock.moments.size() >= 2 && clock.moments.back() - clock.moments.front() < 7000000) return true;
        }
        return false;
    };

    // A move of a pixel or so right after a handled one is skipped, so the hover stays on the
    // control that has gone from under the cursor.
    ASSERT_TRUE(hoverThenMoveAway([&] { send(QEvent::MouseMove, onEdge + QPointF(1, 0.5)); }));
    EXPECT_EQ(lookAt(farEdge), "hovered");

    // After 8 ms the same spot is picked again.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    moveTo(onEdge + QPointF(1, 0.5));
    EXPECT_EQ(lookAt(farEdge), "normal");

    // Two pixels away it is picked again at once.
    ASSERT_TRUE(hoverThenMoveAway([&] { send(QEvent::MouseMove, onEdge + QPointF(2, 0)); }));
    EXPECT_EQ(lookAt(farEdge), "normal");

    // A left press is never held back.
    ASSERT_TRUE(hoverThenMoveAway([&] { send(QEvent::MouseButtonPress, onEdge, Qt::LeftButton); }));
    EXPECT_EQ(lookAt(farEdge), "normal");
    send(QEvent::MouseButtonRelease, onEdge, Qt::LeftButton);

    // Entering the view forgets the last position.
    ASSERT_TRUE(hoverThenMoveAway([&] {
        send(QEvent::Enter, onEdge);
        send(QEvent::MouseMove, onEdge + QPointF(1, 0));
    }));
    EXPECT_EQ(lookAt(farEdge), "normal");
}

TEST_F(ShapeControlHover, UnloadingThePlugInTakesItsFilterAlong)
{
    makeControl("ctrl");
    moveTo(MPoint(1, 0, 0.2));
    ASSERT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered");
    ASSERT_TRUE(mel("file -force -new"));
    ASSERT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));
    // A filter left behind would run code that is gone.
    moveTo(MPoint(1, 0, 0.4));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 5 -y 5; hostMouseEvent -panel modelPanel4 "
                    "-type leave"));

    ASSERT_TRUE(loadPellix());
    makeControl("ctrl");
    moveTo(MPoint(1, 0, -0.2));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered") << "loaded again, it hovers again";
}

// Runs xdotool against the panel's top-level X window at a widget position.
int xdotoolAt(QWidget* widget, const QPoint& position)
{
    const QPoint inWindow = widget->mapTo(widget->window(), position);
    const std::string command = "xdotool mousemove --window " + std::to_string(widget->window()->winId()) + " " +
                                std::to_string(inWindow.x()) + " " + std::to_string(inWindow.y());
    return std::system(command.c_str());
}

// Turns the event loop until the view has seen a mouse move at `position`.
bool waitForMoveAt(const MouseEventRecorder& recorder, const QPointF& position)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        host::processEvents();
        for (const SeenMouseEvent& seen : recorder.byApplication(QEvent::MouseMove))
            if (seen.position == position) return true;
    }
    return false;
}

TEST_F(ShapeControlHover, RealMouseMovesHoverTheControl)
{
    makeControl("ctrl");
    MouseEventRecorder recorder(widget);
    widget->window()->raise();
    host::processEvents();

    const QPoint onEdge = widgetPoint(MPoint(0.2, 0, 1)).toPoint();
    ASSERT_EQ(xdotoolAt(widget, onEdge), 0);
    ASSERT_TRUE(waitForMoveAt(recorder, onEdge));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered");

    const QPoint inside = widgetPoint(MPoint(0.2, 0, 0.2)).toPoint();
    ASSERT_EQ(xdotoolAt(widget, inside), 0);
    ASSERT_TRUE(waitForMoveAt(recorder, inside));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "normal");
}

// This program's own build of the shape-control sources, so that the test can hand the hover
// to the overlay as the overlay's filter does.
class ShapeControlHoverCopy : public ::testing::Test, protected HoverView
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(isPellixLoaded()) << "the test registers the control type itself";
        ASSERT_TRUE(mel("file -force -new"));
        host::NodeTypeInfo info;
        info.name = ShapeControl::typeName;
        info.id = ShapeControl::id;
        info.creator = &ShapeControl::creator;
        info.initialize = &ShapeControl::initialize;
        info.type = MPxNode::kLocatorNode;
        info.classification = kClassification;
        info.pluginName = kControlPlugin;
        ASSERT_TRUE(host::registerNodeType(info));
        setShapeControlCreatedCallback(installShapeControlMouseFilter);  // as the plug-in does
        ASSERT_TRUE(MHWRender::MDrawRegistry::registerDrawOverrideCreator(kClassification, kControlPlugin,
                                                                           &ShapeControlDrawOverride::creator));
        setUpView();
    }

    void TearDown() override
    {
        tearDownView();
        setHoveredShapeControl(MObject(), false);
        mel("file -force -new");
        host::releaseOverrides(kControlPlugin);
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kClassification, kControlPlugin);
        host::deregisterNodeType(ShapeControl::id);
        removeShapeControlMouseFilter();
        setShapeControlCreatedCallback(nullptr);
    }

    static MObject nodeNamed(const char* name)
    {
        MSelectionList list;
        MObject node;
        if (list.add(name)) list.getDependNode(0, node);
        return node;
    }

    static constexpr const char* kControlPlugin = "shapeControlHoverTest";
    static constexpr const char* kClassification = "drawdb/geometry/shapeControl";
};

TEST_F(ShapeControlHoverCopy, AHoverTheOverlaySetSurvivesAMissButNotAHitOrLeavingTheView)
{
    makeControl("ctrl");
    makeControl("other");
    ASSERT_TRUE(mel("setAttr other.translateX 3"));
    ASSERT_NE(shapeControlFilter, nullptr) << "the first control installed the filter";

    setHoveredShapeControl(nodeNamed("ctrlShape"), true);
    moveAway();
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered") << "a miss leaves the overlay's hover";

    moveTo(MPoint(4, 0, 0.2));
    snapshot();
    EXPECT_EQ(lookIn(MPoint(2, 0, 0)), "hovered") << "a hit takes the hover over";
    EXPECT_EQ(lookIn(MPoint(-1, 0, 0)), "normal");
    moveAway();
    EXPECT_EQ(lookAt(MPoint(2, 0, 0)), "normal") << "and, being the filter's own, a miss clears it";

    setHoveredShapeControl(nodeNamed("ctrlShape"), true);
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type leave"));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "normal") << "leaving the view clears every hover";
}

} // namespace
