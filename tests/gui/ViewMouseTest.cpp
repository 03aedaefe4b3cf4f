// The mouse in the model panels as the host hands it on: hostMouseEvent and real X events
// reaching the application's filters first, click selection as Maya's select tool does it, and
// dragging the move tool's manipulator.

#include "MouseEventRecorder.h"
#include "OwnLocatorType.h"
#include "PanelTestSupport.h"
#include "PluginTestSupport.h"
#include "ViewportTestScene.h"

#include "commands/MessageOutput.h"
#include "dg/Registry.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlDrawOverride.h"
#include "shapeControl/ShapeControlMouseFilter.h"
#include "shapeControl/ShapeControlRegistry.h"
#include "views/SelectionMode.h"
#include "views/ToolContexts.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDrawRegistry.h>
#include <maya/MEventMessage.h>
#include <maya/MFnManip3D.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MStringArray.h>
#include <maya/MUIDrawManager.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

class HostMouseEvent : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new; lookThru persp modelPanel4"));
        host::processEvents();
        fWidget = host::panelWidget(kPanel);
        ASSERT_NE(fWidget, nullptr);
        fRecorder = std::make_unique<MouseEventRecorder>(fWidget);
    }

    void TearDown() override
    {
        fRecorder.reset();
        // No button left down for the next test.
        mel("hostMouseEvent -panel modelPanel4 -type release -x 1 -y 1 -button left");
        mel("file -force -new");
    }

    // Whether the application filter saw the event before the widget's own filter did.
    void expectApplicationFirst(QEvent::Type type) const
    {
        int application = -1;
        int widget = -1;
        const auto& seen = fRecorder->seen();
        for (int i = 0; i < static_cast<int>(seen.size()); ++i) {
            if (seen[i].type != type)
                continue;
            if (seen[i].byApplication && application < 0)
                application = i;
            if (!seen[i].byApplication && widget < 0)
                widget = i;
        }
        ASSERT_GE(application, 0) << "the application filter never saw it";
        ASSERT_GE(widget, 0) << "the widget never saw it";
        EXPECT_LT(application, widget);
    }

    std::string errorOf(const std::string& command)
    {
        host::MessageCapture capture;
        EXPECT_FALSE(mel(command)) << command;
        return capture.text(host::MessageKind::kError).asChar();
    }

    QWidget* fWidget = nullptr;
    std::unique_ptr<MouseEventRecorder> fRecorder;
};

TEST_F(HostMouseEvent, PressMoveReleaseReachTheApplicationFilterFirstWithButtonsAndModifiers)
{
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type press -x 40 -y 30 -button left -modifiers \"shift+ctrl\""));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type move -x 52.5 -y 31"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type release -x 52.5 -y 31 -button left -modifiers shift"));

    const auto presses = fRecorder->byApplication(QEvent::MouseButtonPress);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].position, QPointF(40, 30));
    EXPECT_EQ(presses[0].button, Qt::LeftButton);
    EXPECT_EQ(presses[0].buttons, Qt::MouseButtons(Qt::LeftButton));
    EXPECT_EQ(presses[0].modifiers, Qt::ShiftModifier | Qt::ControlModifier);

    // The move in between is a drag: the left button is still down.
    const auto moves = fRecorder->byApplication(QEvent::MouseMove);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].position, QPointF(52.5, 31));
    EXPECT_EQ(moves[0].button, Qt::NoButton);
    EXPECT_EQ(moves[0].buttons, Qt::MouseButtons(Qt::LeftButton));
    EXPECT_EQ(moves[0].modifiers, Qt::NoModifier);

    const auto releases = fRecorder->byApplication(QEvent::MouseButtonRelease);
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].button, Qt::LeftButton);
    EXPECT_EQ(releases[0].buttons, Qt::MouseButtons(Qt::NoButton));
    EXPECT_EQ(releases[0].modifiers, Qt::ShiftModifier);

    expectApplicationFirst(QEvent::MouseButtonPress);
    expectApplicationFirst(QEvent::MouseMove);
    expectApplicationFirst(QEvent::MouseButtonRelease);
}

TEST_F(HostMouseEvent, EnterAndLeaveReachTheApplicationFilterFirst)
{
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 10 -y 12"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type leave"));
    const auto enters = fRecorder->byApplication(QEvent::Enter);
    ASSERT_EQ(enters.size(), 1u);
    EXPECT_EQ(enters[0].position, QPointF(10, 12));
    EXPECT_EQ(fRecorder->byApplication(QEvent::Leave).size(), 1u);
    expectApplicationFirst(QEvent::Enter);
    expectApplicationFirst(QEvent::Leave);
}

TEST_F(HostMouseEvent, WorldPointLandsWhereWorldToViewPutsIt)
{
    M3dView view;
    ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    const double ratio = fWidget->devicePixelRatioF();
    for (const MPoint& world : {MPoint(0, 0, 0), MPoint(1.5, 2.0, -3.0), MPoint(-4, 0.5, 2)}) {
        fRecorder->clear();
        const std::string command = "hostMouseEvent -panel modelPanel4 -type move -world " + std::to_string(world.x) +
                                    " " + std::to_string(world.y) + " " + std::to_string(world.z);
        ASSERT_TRUE(mel(command)) << command;
        short x = 0, y = 0;
        ASSERT_TRUE(view.worldToView(world, x, y));
        const auto moves = fRecorder->byApplication(QEvent::MouseMove);
        ASSERT_EQ(moves.size(), 1u);
        // worldToView counts device pixels from the bottom; the widget, logical pixels from the top.
        EXPECT_NEAR(moves[0].position.x() * ratio, x, 1.0) << command;
        EXPECT_NEAR((fWidget->height() - moves[0].position.y()) * ratio, y, 1.0) << command;
    }
}

TEST_F(HostMouseEvent, BadArgumentsSayWhatIsWrong)
{
    EXPECT_EQ(errorOf("hostMouseEvent -panel nowhere -type move -x 1 -y 1"),
              "hostMouseEvent: No panel named 'nowhere'.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type hover -x 1 -y 1"),
              "hostMouseEvent: -type must be move, press, release, enter or leave.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type press -x 1 -y 1"),
              "hostMouseEvent: -type press needs -button.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type press -x 1 -y 1 -button side"),
              "hostMouseEvent: -button must be left, middle or right, not \"side\".\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -x 1 -y 1 -modifiers \"shift+meta\""),
              "hostMouseEvent: -modifiers takes shift, ctrl and alt joined by \"+\", not \"shift+meta\".\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -x 1"),
              "hostMouseEvent: give either -x and -y or -world.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -x 1 -y 1 -world 0 0 0"),
              "hostMouseEvent: give either -x and -y or -world.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -world 0 0"),
              "hostMouseEvent: -world takes three numbers.\n");
    // Behind the perspective camera nothing projects.
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -world 1000 1000 1000"),
              "hostMouseEvent: the point 1000 1000 1000 is outside the view of modelPanel4.\n");
    EXPECT_TRUE(fRecorder->seen().empty());
}

// Turns the event loop until the application filter has seen `count` events of a type.
bool waitForEvents(const MouseEventRecorder& recorder, QEvent::Type type, size_t count)
{
    return processEventsUntil([&] { return recorder.byApplication(type).size() >= count; });
}

TEST_F(HostMouseEvent, RealXEventsReachTheApplicationFilterFirst)
{
    ASSERT_EQ(xdotoolAt(fWidget, QPoint(60, 45)), 0);
    ASSERT_TRUE(waitForEvents(*fRecorder, QEvent::MouseMove, 1));
    EXPECT_EQ(fRecorder->byApplication(QEvent::MouseMove).back().position, QPointF(60, 45));
    expectApplicationFirst(QEvent::MouseMove);

    fRecorder->clear();
    ASSERT_EQ(xdotoolAt(fWidget, QPoint(70, 50), "click 1"), 0);
    ASSERT_TRUE(waitForEvents(*fRecorder, QEvent::MouseButtonRelease, 1));
    const auto presses = fRecorder->byApplication(QEvent::MouseButtonPress);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].position, QPointF(70, 50));
    EXPECT_EQ(presses[0].button, Qt::LeftButton);
    expectApplicationFirst(QEvent::MouseButtonPress);
    expectApplicationFirst(QEvent::MouseButtonRelease);
}

} // namespace

namespace {

std::vector<std::string> selection()
{
    const MStringArray names = melStrings("ls -sl");
    std::vector<std::string> result;
    for (unsigned i = 0; i < names.length(); ++i)
        result.push_back(names[i].asChar());
    return result;
}

using Names = std::vector<std::string>;

// MEL run as typed into the script editor: undoable, so the select a click runs is kept for undo.
MStatus melUndoable(const std::string& command)
{
    return MGlobal::executeCommand(MString(command.c_str()), false, true);
}

class SelectTool : public ::testing::Test, protected PanelView
{
protected:
    SelectTool() : PanelView("selectTool") {}

    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new; lookThru persp modelPanel4"));
        // Looking down -Z from z = 20: world x to the right, y up.
        ASSERT_TRUE(mel("setAttr persp.translate 0 0 20; setAttr persp.rotate 0 0 0; setToolTo selectSuperContext"));
        usePanel();
    }

    void TearDown() override
    {
        mel("hostMouseEvent -panel modelPanel4 -type release -x 1 -y 1 -button left");
        host::resetToolContexts();
        host::resetSelectionMode();
        mel("file -force -new");
    }

    // Draws the panel once, so that plug-in shapes have a frame to be picked from.
    static void drawn()
    {
        host::processEvents();
        host::refreshNow(kPanel);
    }

    static std::string world(double x, double y, double z)
    {
        return " -world " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z);
    }

    // A press and release at a world point with the given modifiers ("shift+ctrl").
    static void clickAt(const std::string& where, const std::string& modifiers = "")
    {
        const std::string head = "hostMouseEvent -panel modelPanel4 -button left -modifiers \"" + modifiers + "\"";
        ASSERT_TRUE(melUndoable(head + " -type press" + where));
        ASSERT_TRUE(melUndoable(head + " -type release" + where));
    }
    using PanelView::click;
    static void click(double x, double y, double z, const std::string& modifiers = "")
    {
        clickAt(world(x, y, z), modifiers);
    }
    static std::vector<std::string> selectionAfterClick(double x, double y, double z, const std::string& modifiers = "")
    {
        click(x, y, z, modifiers);
        return selection();
    }
    // An empty corner of the view.
    static void clickEmpty(const std::string& modifiers = "") { clickAt(" -x 5 -y 5", modifiers); }

    static void cube(const std::string& name, double x, double y, double z)
    {
        ASSERT_TRUE(mel("polyCube -n " + name + "; move " + std::to_string(x) + " " + std::to_string(y) + " " +
                        std::to_string(z) + " " + name));
    }
};

TEST_F(SelectTool, NearestOfTwoOverlappingObjectsWins)
{
    cube("nearBox", 0, 0, 3);
    cube("farBox", 0, 0, -3); // made later, drawn later: depth decides, not order
    ASSERT_TRUE(mel("select -cl"));
    drawn();

    EXPECT_EQ(selectionAfterClick(0, 0, 0), Names({"nearBox"}));

    ASSERT_TRUE(mel("setAttr nearBox.visibility 0"));
    drawn();
    EXPECT_EQ(selectionAfterClick(0, 0, 0), Names({"farBox"}));
}

TEST_F(SelectTool, ShiftTogglesCtrlRemovesCtrlShiftAdds)
{
    cube("a", -4, 0, 0);
    cube("b", 0, 0, 0);
    cube("c", 4, 0, 0);
    ASSERT_TRUE(mel("select -cl"));
    drawn();

    EXPECT_EQ(selectionAfterClick(-4, 0, 0.5), Names({"a"}));
    EXPECT_EQ(selectionAfterClick(0, 0, 0.5, "shift"), Names({"a", "b"}));
    EXPECT_EQ(selectionAfterClick(-4, 0, 0.5, "shift"), Names({"b"}));
    EXPECT_EQ(selectionAfterClick(4, 0, 0.5, "ctrl+shift"), Names({"b", "c"}));
    EXPECT_EQ(selectionAfterClick(4, 0, 0.5, "ctrl+shift"), Names({"b", "c"})); // adding what is there keeps it
    EXPECT_EQ(selectionAfterClick(0, 0, 0.5, "ctrl"), Names({"c"}));
    EXPECT_EQ(selectionAfterClick(0, 0, 0.5, "ctrl"), Names({"c"})); // removing what is not there changes nothing
    EXPECT_EQ(selectionAfterClick(0, 0, 0.5), Names({"b"}));
}

TEST_F(SelectTool, OnlyAPlainClickOnEmptySpaceClears)
{
    cube("a", -4, 0, 0);
    cube("b", 4, 0, 0);
    ASSERT_TRUE(mel("select -r a b"));
    drawn();

    clickEmpty("shift");
    EXPECT_EQ(selection(), Names({"a", "b"}));
    clickEmpty("ctrl");
    EXPECT_EQ(selection(), Names({"a", "b"}));
    clickEmpty("ctrl+shift");
    EXPECT_EQ(selection(), Names({"a", "b"}));
    clickEmpty();
    EXPECT_EQ(selection(), Names());
}

TEST_F(SelectTool, CurvesLocatorsAndJointsArePickedNearTheirLines)
{
    ASSERT_TRUE(mel("curve -d 1 -p -3 -3 0 -p 3 -3 0 -n line; spaceLocator -n marker; move 0 3 0 marker"));
    ASSERT_TRUE(mel("select -cl; joint -p 4 0 0 -rad 1 -n bone; select -cl"));
    drawn();

    // Two pixels below a one-pixel line is within the click box.
    const QPointF belowLine = widgetPoint(MPoint(1, -3, 0)) + QPointF(0, 2);
    click(belowLine);
    EXPECT_EQ(selection(), Names({"line"}));

    EXPECT_EQ(selectionAfterClick(0.5, 3, 0), Names({"marker"})); // on the locator's cross
    EXPECT_EQ(selectionAfterClick(4, 1, 0), Names({"bone"})); // on the joint's circle, not its parent or shape

    // Ten pixels off the line is a miss.
    click(belowLine + QPointF(0, 8));
    EXPECT_EQ(selection(), Names());
}

TEST_F(SelectTool, TemplatedAndReferenceObjectsLetTheClickThrough)
{
    cube("nearBox", 0, 0, 3);
    cube("farBox", 0, 0, -3);
    ASSERT_TRUE(mel("setAttr nearBox.template 1; select -cl"));
    drawn();
    EXPECT_EQ(selectionAfterClick(0, 0, 0), Names({"farBox"}));

    ASSERT_TRUE(mel("setAttr nearBox.template 0; setAttr nearBoxShape.overrideEnabled 1; "
                    "setAttr nearBoxShape.overrideDisplayType 2; select -cl"));
    drawn();
    EXPECT_EQ(selectionAfterClick(0, 0, 0), Names({"farBox"}));

    ASSERT_TRUE(mel("setAttr nearBoxShape.overrideDisplayType 0; select -cl"));
    drawn();
    EXPECT_EQ(selectionAfterClick(0, 0, 0), Names({"nearBox"}));
}

class SelectPluginShapes : public SelectTool
{
protected:
    void SetUp() override
    {
        viewtest::registerTestTypes();
        SelectTool::SetUp();
        viewtest::shapeLooks().clear();
    }
    void TearDown() override
    {
        SelectTool::TearDown();
        viewtest::shapeLooks().clear();
    }

    // A plug-in shape drawing one filled square of UI drawables at (x, y, z).
    static std::string uiSquare(const std::string& name, double x, double y, double z,
                                MHWRender::MUIDrawManager::Selectability selectability, bool xray = false)
    {
        viewtest::ShapeLook look;
        look.ui = [=](MHWRender::MUIDrawManager& manager, const MHWRender::MFrameContext&) {
            manager.beginDrawable(selectability);
            if (xray)
                manager.beginDrawInXray();
            manager.rect(MPoint(x, y, z), MVector(0, 1, 0), MVector(0, 0, 1), 1.0, 1.0, true);
            manager.text(MPoint(x, y + 2.0, z), "label");
            if (xray)
                manager.endDrawInXray();
            manager.endDrawable();
        };
        viewtest::shapeLooks()[name] = look;
        EXPECT_TRUE(mel("createNode testGeoShape -n " + name));
        const MStringArray parents = melStrings("listRelatives -p " + name);
        return parents.length() ? parents[0].asChar() : std::string();
    }
};

TEST_F(SelectPluginShapes, SelectableAndAutomaticDrawablesPickTheirTransform)
{
    const std::string selectable = uiSquare("pickedShape", -4, 0, 0, MHWRender::MUIDrawManager::kSelectable);
    const std::string automatic = uiSquare("autoShape", 0, 0, 0, MHWRender::MUIDrawManager::kAutomatic);
    uiSquare("inertShape", 4, 0, 0, MHWRender::MUIDrawManager::kNonSelectable);
    ASSERT_TRUE(mel("select -cl"));
    drawn();

    EXPECT_EQ(selectionAfterClick(-4, 0, 0), Names({selectable}));
    EXPECT_EQ(selectionAfterClick(0, 0, 0), Names({automatic}));
    EXPECT_EQ(selectionAfterClick(4, 0, 0), Names()); // not selectable: empty space
    EXPECT_EQ(selectionAfterClick(-4, 2, 0), Names()); // the label of a selectable drawable does not pick
}

TEST_F(SelectPluginShapes, XrayDrawablesWinOverWhatCoversThem)
{
    cube("wall", 0, 0, 3);
    const std::string behind = uiSquare("behindShape", 0, 0, -3, MHWRender::MUIDrawManager::kSelectable, true);
    ASSERT_TRUE(mel("select -cl"));
    drawn();
    EXPECT_EQ(selectionAfterClick(0, 0, 0), Names({behind}));
}

// Shape controls from this program's build of the control sources, as the drawing tests register them.
class SelectShapeControls : public SelectTool
{
protected:
    void SetUp() override
    {
        own.emplace("shapeControlSelectTest");
        SelectTool::SetUp();
    }
    void TearDown() override
    {
        SelectTool::TearDown();
        own.reset();
    }
    std::optional<OwnShapeControlType> own;
};

TEST_F(SelectShapeControls, AClickOnAControlsLineSelectsItsTransform)
{
    // The default square control (sides at x, z = +-1), turned to face the camera.
    ASSERT_TRUE(mel("createNode transform -n clickCtrl; createNode shapeControl -p clickCtrl -n clickCtrlShape; "
                    "setAttr clickCtrl.rotateX 90; select -cl"));
    drawn();
    EXPECT_EQ(selectionAfterClick(1, 0, 0), Names({"clickCtrl"}));
    EXPECT_EQ(selectionAfterClick(0, 0, 0), Names()); // inside the outline: nothing drawn there
}

struct SelectionChangedCounter
{
    SelectionChangedCounter()
    {
        id = MEventMessage::addEventCallback("SelectionChanged", &count, this);
    }
    ~SelectionChangedCounter() { MMessage::removeCallback(id); }
    static void count(void* self) { ++static_cast<SelectionChangedCounter*>(self)->calls; }
    MCallbackId id = 0;
    int calls = 0;
};

TEST_F(SelectTool, EachClickIsOneUndoableSelectThatFiresSelectionChanged)
{
    cube("a", -4, 0, 0);
    cube("b", 4, 0, 0);
    ASSERT_TRUE(melUndoable("select -r b"));
    drawn();
    SelectionChangedCounter changes;

    click(-4, 0, 0.5);
    EXPECT_EQ(changes.calls, 1);
    click(4, 0, 0.5, "shift");
    EXPECT_EQ(changes.calls, 2);
    clickEmpty();
    EXPECT_EQ(changes.calls, 3);
    EXPECT_EQ(selection(), Names());

    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(selection(), Names({"a", "b"}));
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(selection(), Names({"a"}));
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(selection(), Names({"b"}));
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(selection(), Names({"a"}));
}

// An application filter that keeps left presses on the panel from the view, as a plug-in may.
class PressEater : public QObject
{
public:
    explicit PressEater(QWidget* panel) : mPanel(panel) { qApp->installEventFilter(this); }
    ~PressEater() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return watched == mPanel && event->type() == QEvent::MouseButtonPress;
    }

private:
    QWidget* mPanel;
};

TEST_F(SelectTool, APressTakenByAnApplicationFilterDoesNotSelect)
{
    cube("a", -4, 0, 0);
    cube("b", 4, 0, 0);
    ASSERT_TRUE(mel("select -r a"));
    drawn();
    {
        PressEater eater(host::panelWidget(kPanel));
        EXPECT_EQ(selectionAfterClick(4, 0, 0.5), Names({"a"})); // the release still reaches the view
        clickEmpty();
        EXPECT_EQ(selection(), Names({"a"}));
    }
    EXPECT_EQ(selectionAfterClick(4, 0, 0.5), Names({"b"}));
}

TEST_F(SelectTool, AltClicksAndDragsMoveTheCameraAndSelectNothing)
{
    cube("a", -4, 0, 0);
    cube("b", 4, 0, 0);
    ASSERT_TRUE(mel("select -r a"));
    drawn();
    const double eyeX = melDouble("getAttr persp.translateX");

    clickAt(world(4, 0, 0.5), "alt");
    EXPECT_EQ(selection(), Names({"a"}));

    // Out and back to the press point: a click-sized release, still the camera's.
    const std::string head = "hostMouseEvent -panel modelPanel4 -modifiers alt ";
    ASSERT_TRUE(mel(head + "-type press -button middle" + world(4, 0, 0.5)));
    ASSERT_TRUE(mel(head + "-type release -button middle" + world(4, 0, 0.5)));
    ASSERT_TRUE(mel(head + "-type press -button left -x 300 -y 200"));
    ASSERT_TRUE(mel(head + "-type move -button left -x 340 -y 200"));
    ASSERT_TRUE(mel(head + "-type move -button left -x 300 -y 200"));
    ASSERT_TRUE(mel(head + "-type release -button left -x 300 -y 200"));
    EXPECT_EQ(selection(), Names({"a"}));
    ASSERT_TRUE(mel(head + "-type press -button middle -x 300 -y 200"));
    ASSERT_TRUE(mel(head + "-type move -button middle -x 330 -y 200"));
    ASSERT_TRUE(mel(head + "-type release -button middle -x 330 -y 200"));
    EXPECT_NE(melDouble("getAttr persp.translateX"), eyeX);
    EXPECT_EQ(selection(), Names({"a"}));
}

TEST_F(SelectTool, InFaceModeClicksPickFacesAndBoxesPickThoseFacingTheCamera)
{
    cube("box", 0, 0, 0);
    cube("other", 4, 0, 0);
    ASSERT_TRUE(mel("select -cl; selectMode -component; selectType -facet true"));
    EXPECT_EQ(melInt("selectMode -q -component"), 1);
    EXPECT_EQ(melInt("selectType -q -facet"), 1);
    drawn();
    // The front faces (f[0]) face the camera; each click is one undoable select.
    const std::vector<std::pair<std::string, Names>> clicks = {
        {"", {"box.f[0]"}},
        {"shift", {"box.f[0]", "other.f[0]"}},
        {"shift", {"other.f[0]"}},
        {"ctrl+shift", {"other.f[0]", "box.f[0]"}},
        {"ctrl", {"box.f[0]"}},
    };
    const double xs[] = {0, 4, 0, 0, 4};
    for (size_t i = 0; i < clicks.size(); ++i) {
        click(xs[i], 0, 0.5, clicks[i].first);
        EXPECT_EQ(selection(), clicks[i].second) << i;
    }
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(selection(), clicks[3].second);
    // Just outside the outline the pick square still takes the face nearest the cursor.
    const QPointF justRight = widgetPoint(MPoint(4.5, 0, 0.5)) + QPointF(2.5, 0);
    click(justRight, "ctrl");
    EXPECT_EQ(selection(), Names({"box.f[0]"}));
    click(justRight, "ctrl+shift");
    EXPECT_EQ(selection(), Names({"box.f[0]", "other.f[0]"}));
    clickEmpty("shift");
    EXPECT_EQ(selection(), Names({"box.f[0]", "other.f[0]"})) << "a modified click on nothing changes nothing";

    // A drag box over the tilted box takes the three faces turned to the camera, not the three behind.
    ASSERT_TRUE(mel("rotate 30 30 0 box; createNode mesh -n emptyShape; select -cl"));  // an empty mesh has none
    drawn();
    const auto drag = [](const std::string& from, const std::string& to, const std::string& modifiers) {
        const std::string head = "hostMouseEvent -panel modelPanel4 -button left -modifiers \"" + modifiers + "\"";
        ASSERT_TRUE(melUndoable(head + " -type press" + from));
        ASSERT_TRUE(melUndoable(head + " -type move" + to));
        ASSERT_TRUE(melUndoable(head + " -type release" + to));
    };
    drag(world(-1.5, 1.5, 0), world(1.5, -1.5, 0), "");
    EXPECT_EQ(selection(), Names({"box.f[0:1]", "box.f[5]"}));
    drag(world(-1.5, 1.5, 0), world(0, -1.5, 0), "ctrl");  // the left half: the left face's centre
    EXPECT_EQ(selection(), Names({"box.f[0:1]"}));
    // Right of the camera, the other box shows its left face (f[5]) as well as its front.
    drag(world(2.5, 1.5, 0), world(5.5, -1.5, 0), "ctrl+shift");
    EXPECT_EQ(selection(), Names({"box.f[0:1]", "other.f[0]", "other.f[5]"}));

    // While the button is down the box is drawn: white lines over the view, gone on release.
    const std::string head = "hostMouseEvent -panel modelPanel4 -button left";
    ASSERT_TRUE(melUndoable(head + " -type press" + world(-1.5, 2.5, 0)));
    ASSERT_TRUE(melUndoable(head + " -type move" + world(1.5, 1.8, 0)));
    const auto whiteAtTopEdge = [this] {
        snapshot();
        int white = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                white += nearColour(pixelAt(MPoint(0, 2.5, 0), dx, dy), 1, 1, 1, 20);
        return white;
    };
    EXPECT_GT(whiteAtTopEdge(), 0);
    ASSERT_TRUE(melUndoable(head + " -type release" + world(1.5, 1.8, 0)));
    EXPECT_EQ(whiteAtTopEdge(), 0);

    // Back in object mode a drag selects nothing and a click picks the object.
    ASSERT_TRUE(mel("selectMode -object"));
    EXPECT_EQ(melInt("selectMode -q -object"), 1);
    click(4, 0, 0.5);
    EXPECT_EQ(selection(), Names({"other"}));
}

TEST_F(SelectTool, ARealDragBoxAndShiftClickSelectFaces)
{
    ASSERT_TRUE(mel("polyPlane -w 8 -h 8 -sx 4 -sy 4 -ax 0 0 1 -n card; select -cl; selectMode -component;"
                    "selectType -facet true"));
    drawn();
    MouseEventRecorder recorder(widget);
    const auto releases = [&](size_t count) {
        return processEventsUntil([&] { return recorder.byApplication(QEvent::MouseButtonRelease).size() >= count; });
    };
    // The box holds the centres of the bottom left 2 x 2 faces (0, 1, 4, 5).
    ASSERT_EQ(xdotoolAt(widget, widgetPoint(MPoint(-4.5, 0.5, 0)), "mousedown 1"), 0);
    ASSERT_EQ(xdotoolAt(widget, widgetPoint(MPoint(-2, -1, 0))), 0);
    ASSERT_EQ(xdotoolAt(widget, widgetPoint(MPoint(0.5, -4.5, 0)), "mouseup 1"), 0);
    ASSERT_TRUE(releases(1));
    EXPECT_EQ(selection(), Names({"card.f[0:1]", "card.f[4:5]"}));
    ASSERT_EQ(xdotoolAt(widget, widgetPoint(MPoint(3, 3, 0)), "keydown shift click 1 keyup shift"), 0);
    ASSERT_TRUE(releases(2));
    EXPECT_EQ(selection(), Names({"card.f[0:1]", "card.f[4:5]", "card.f[15]"}));
}

TEST_F(SelectTool, F11PicksFacesAndF8TogglesObjectAndComponentMode)
{
    const auto key = [this](Qt::Key k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    };
    key(Qt::Key_F11);
    EXPECT_EQ(melInt("selectMode -q -component"), 1);
    EXPECT_EQ(melInt("selectType -q -facet"), 1);
    EXPECT_EQ(melInt("selectType -q -vertex"), 0);
    key(Qt::Key_F8);
    EXPECT_EQ(melInt("selectMode -q -object"), 1);
    key(Qt::Key_F8);
    EXPECT_EQ(melInt("selectMode -q -component"), 1);
    const auto errorOf = [](const std::string& command) {
        host::MessageCapture capture;
        EXPECT_FALSE(mel(command)) << command;
        return std::string(capture.text(host::MessageKind::kError).asChar());
    };
    EXPECT_EQ(errorOf("selectType -q -facet -vertex"), "selectType: query one kind: -facet, -vertex or -edge.\n");
    EXPECT_EQ(errorOf("selectType -q"), "selectType: query one kind: -facet, -vertex or -edge.\n");
    EXPECT_EQ(errorOf("selectType"), "selectType: give -facet, -vertex or -edge with true or false.\n");
    EXPECT_EQ(errorOf("selectMode -object -component"), "selectMode: give one of -object and -component.\n");
}

} // namespace

namespace {

class MoveToolDrag : public ::testing::Test, protected PanelView
{
protected:
    MoveToolDrag() : PanelView("moveTool") {}

    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new; lookThru persp modelPanel4"));
        // Looking down -Z from z = 20: world x to the right, y up, z towards the camera.
        ASSERT_TRUE(mel("setAttr persp.translate 0 0 20; setAttr persp.rotate 0 0 0"));
        ASSERT_TRUE(mel("polyCube -n box; polyCube -n other; move -6 0 0 other"));
        ASSERT_TRUE(MGlobal::executeCommand("select -r box", false, true));
        ASSERT_TRUE(mel("setToolTo moveSuperContext"));
        usePanel();
        centre = widgetPoint(MPoint(0, 0, 0));
        // Logical pixels per world unit along x at the pivot's depth.
        pixelsPerUnit = widgetPoint(MPoint(1, 0, 0)).x() - centre.x();
        ASSERT_GT(pixelsPerUnit, 1.0);
    }

    void TearDown() override
    {
        mel("hostMouseEvent -panel modelPanel4 -type release -x 1 -y 1 -button left");
        host::resetToolContexts();
        mel("file -force -new");
    }

    // worldToView rounds to whole device pixels: a projected point is within half a pixel.
    void mouse(const std::string& type, const QPointF& p) { PanelView::mouse(type, p, type == "move" ? "" : "left"); }

    static MString selected()
    {
        const MStringArray names = melStrings("ls -sl");
        return names.length() == 1 ? names[0] : MString(("(" + std::to_string(names.length()) + " selected)").c_str());
    }

    double attr(const std::string& plug) { return melDouble("getAttr box." + plug); }

    QPointF centre;
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
    const QPointF press{centre.x() + 60, centre.y()};
    mouse("press", press);
    mouse("move", {press.x() + 20, press.y() + 3});
    // The plug follows during the drag, and says so to those watching it.
    EXPECT_NEAR(attr("translateX"), 20 / pixelsPerUnit, 1.0 / pixelsPerUnit);
    EXPECT_EQ(translateXSets, 1);
    MMessage::removeCallback(watch);
    mouse("move", {press.x() + 40, press.y() + 7});
    mouse("release", {press.x() + 40, press.y() + 7});

    // Within a pixel's worth of world units at the pivot, from the rounding of the projection.
    EXPECT_NEAR(attr("translateX"), 40 / pixelsPerUnit, 1.0 / pixelsPerUnit);
    EXPECT_DOUBLE_EQ(attr("translateY"), 0.0);
    EXPECT_DOUBLE_EQ(attr("translateZ"), 0.0);
    // The handle took the press: the selection is unchanged.
    EXPECT_EQ(selected(), MString("box"));
}

TEST_F(MoveToolDrag, EachHandleMovesItsAxesByTheCursorTravelInWorldSpace)
{
    // The press's offset from the pivot and the drag, in logical pixels (y down), and the
    // translation expected, in pixels of travel at the pivot.
    const struct
    {
        const char* name;
        const char* setup;
        double pressX, pressY, dragX, dragY, movedX, movedY;
    } kCases[] = {
        {"the Y handle moves translateY only", "", 0, -80, 10, -30, 0, 30},
        {"the centre handle moves in the view plane", "", 0, 0, 30, -20, 30, 20},
        {"a hidden manipulator does not drag", "manipMoveContext -e -manipVisible 0 Move", 60, 0, 40, 0, 0, 0},
        {"under a parent scaled by 2, translate changes by half the world distance",
         "manipMoveContext -e -manipVisible 1 Move; createNode transform -n holder; parent box holder; "
         "setAttr holder.scale 2 2 2; select -r box",
         60, 0, 40, 0, 20, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(mel(std::string("setAttr box.translate 0 0 0; ") + c.setup));
        host::processEvents();
        const QPointF press{centre.x() + c.pressX, centre.y() + c.pressY};
        mouse("press", press);
        mouse("move", {press.x() + c.dragX, press.y() + c.dragY});
        mouse("release", {press.x() + c.dragX, press.y() + c.dragY});
        EXPECT_NEAR(attr("translateX"), c.movedX / pixelsPerUnit, 1.0 / pixelsPerUnit);
        EXPECT_NEAR(attr("translateY"), c.movedY / pixelsPerUnit, 1.0 / pixelsPerUnit);
        EXPECT_NEAR(attr("translateZ"), 0.0, 1e-9);
    }
}

TEST_F(MoveToolDrag, TheDragIsOneUndoableStep)
{
    const QPointF press{centre.x() + 60, centre.y()};
    mouse("press", press);
    for (int step = 1; step <= 4; ++step)
        mouse("move", {press.x() + 10 * step, press.y()});
    mouse("release", {press.x() + 40, press.y()});
    const double moved = attr("translateX");
    EXPECT_NEAR(moved, 40 / pixelsPerUnit, 1.0 / pixelsPerUnit);

    ASSERT_TRUE(mel("undo"));
    EXPECT_DOUBLE_EQ(attr("translateX"), 0.0);
    // The select before the drag is the next to undo, not another piece of the drag.
    EXPECT_EQ(selected(), MString("box"));
    ASSERT_TRUE(mel("redo"));
    EXPECT_DOUBLE_EQ(attr("translateX"), moved);
}

TEST_F(MoveToolDrag, APressOffTheManipulatorSelectsAndAClickWithoutAMoveRecordsNothing)
{
    mouse("press", centre);
    mouse("release", centre);
    EXPECT_DOUBLE_EQ(attr("translateX"), 0.0);

    const QPointF onOther = widgetPoint(MPoint(-6, 0, 0.5));
    mouse("press", onOther);
    mouse("release", onOther);
    EXPECT_EQ(selected(), MString("other"));
    // Undo takes back that select, then the one of the set-up: no empty step of the still click.
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(selected(), MString("box"));
}

TEST_F(MoveToolDrag, ScaleHandlesScaleByTheCursorsDistanceFromThePivot)
{
    ASSERT_TRUE(mel("setToolTo scaleSuperContext"));
    host::processEvents();
    // Pressed 60 pixels out on the x handle and dragged to 120: twice as wide.
    mouse("press", {centre.x() + 60, centre.y()});
    mouse("move", {centre.x() + 90, centre.y()});
    mouse("release", {centre.x() + 120, centre.y() + 4});
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
    MouseEventRecorder recorder(widget);
    const QPoint press(int(std::lround(centre.x() + 60)), int(std::lround(centre.y())));
    ASSERT_EQ(xdotoolAt(widget, press, "mousedown 1 mousemove_relative 20 0 mousemove_relative 20 0 mouseup 1"), 0);
    ASSERT_TRUE(waitForEvents(recorder, QEvent::MouseButtonRelease, 1));
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
    mouse("press", {centre.x() + side, centre.y() - side});
    mouse("move", {centre.x(), centre.y() - radius});
    EXPECT_NEAR(attr("rotateZ"), 45.0, 1.5) << "the channels follow during the drag";
    mouse("move", {centre.x() - side, centre.y() - side});
    mouse("release", {centre.x() - side, centre.y() - side});
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
    ASSERT_TRUE(mel("move -6 0 0 box; move 0 0 0 other; setToolTo RotateSuperContext"));
    host::processEvents();
    const QPointF onBoxRing{widgetPoint(MPoint(-6, 0, 0)).x() + 40, widgetPoint(MPoint(-6, 0, 0)).y()};
    const QPointF onOther = widgetPoint(MPoint(0, 0, 0.5));
    ASSERT_GT(onOther.x() - onBoxRing.x(), 80.0) << "the ring must not reach the other cube";
    mouse("press", onBoxRing);
    mouse("release", onBoxRing);
    EXPECT_EQ(selected(), MString("box"));
    mouse("press", onOther);
    mouse("release", onOther);
    EXPECT_EQ(selected(), MString("other"));

    // The scale tool's x handle where it crosses the first cube: the press is the tool's.
    ASSERT_TRUE(mel("setToolTo scaleSuperContext; select -r other; move 2 0 0 box"));
    host::processEvents();
    const QPointF onHandle = widgetPoint(MPoint(2, 0, 0.5));
    ASSERT_LT(onHandle.x() - centre.x(), 130.0) << "the cube must lie under the handle";
    mouse("press", onHandle);
    mouse("release", onHandle);
    EXPECT_EQ(selected(), MString("other"));
    EXPECT_DOUBLE_EQ(melDouble("getAttr other.scaleX"), 1.0);
}

} // namespace
