// Click selection in the model panels, as Maya's select tool does it: the
// nearest pickable object under the click, its transform for a shape, with
// Shift toggling, Ctrl removing, Ctrl+Shift adding and a plain click on empty
// space clearing; undoable like `select`. The application's filters and the
// camera navigation get the mouse first.

#include "MouseEventRecorder.h"
#include "PluginTestSupport.h"
#include "ViewportTestScene.h"

#include "dg/Registry.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlDrawOverride.h"
#include "shapeControl/ShapeControlMouseFilter.h"
#include "shapeControl/ShapeControlRegistry.h"
#include "views/ToolContexts.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDrawRegistry.h>
#include <maya/MEventMessage.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MPoint.h>
#include <maya/MStringArray.h>
#include <maya/MUIDrawManager.h>

#include <QElapsedTimer>
#include <QWidget>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr unsigned kPerspPanel = 3;

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

class SelectTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new"));
        ASSERT_TRUE(mel("lookThru persp modelPanel4"));
        // Looking down -Z from z = 20: world x to the right, y up.
        ASSERT_TRUE(mel("setAttr persp.translate 0 0 20; setAttr persp.rotate 0 0 0"));
        ASSERT_TRUE(mel("setToolTo selectSuperContext"));
        host::setActivePanel(kPerspPanel);
    }

    void TearDown() override
    {
        mel("hostMouseEvent -panel modelPanel4 -type release -x 1 -y 1 -button left");
        host::resetToolContexts();
        mel("file -force -new");
    }

    // Draws the panel once, so that plug-in shapes have a frame to be picked from.
    static void drawn()
    {
        host::processEvents();
        host::refreshNow(kPerspPanel);
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
    static void click(double x, double y, double z, const std::string& modifiers = "")
    {
        clickAt(world(x, y, z), modifiers);
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

    click(0, 0, 0);
    EXPECT_EQ(selection(), Names({"nearBox"}));

    ASSERT_TRUE(mel("setAttr nearBox.visibility 0"));
    drawn();
    click(0, 0, 0);
    EXPECT_EQ(selection(), Names({"farBox"}));
}

TEST_F(SelectTool, ShiftTogglesCtrlRemovesCtrlShiftAdds)
{
    cube("a", -4, 0, 0);
    cube("b", 0, 0, 0);
    cube("c", 4, 0, 0);
    ASSERT_TRUE(mel("select -cl"));
    drawn();

    click(-4, 0, 0.5);
    EXPECT_EQ(selection(), Names({"a"}));
    click(0, 0, 0.5, "shift");
    EXPECT_EQ(selection(), Names({"a", "b"}));
    click(-4, 0, 0.5, "shift");
    EXPECT_EQ(selection(), Names({"b"}));
    click(4, 0, 0.5, "ctrl+shift");
    EXPECT_EQ(selection(), Names({"b", "c"}));
    click(4, 0, 0.5, "ctrl+shift"); // adding what is there keeps it
    EXPECT_EQ(selection(), Names({"b", "c"}));
    click(0, 0, 0.5, "ctrl");
    EXPECT_EQ(selection(), Names({"c"}));
    click(0, 0, 0.5, "ctrl"); // removing what is not there changes nothing
    EXPECT_EQ(selection(), Names({"c"}));
    click(0, 0, 0.5);
    EXPECT_EQ(selection(), Names({"b"}));
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
    ASSERT_TRUE(mel("curve -d 1 -p -3 -3 0 -p 3 -3 0 -n line"));
    ASSERT_TRUE(mel("spaceLocator -n marker; move 0 3 0 marker"));
    ASSERT_TRUE(mel("select -cl; joint -p 4 0 0 -rad 1 -n bone"));
    ASSERT_TRUE(mel("select -cl"));
    drawn();

    // Two pixels below a one-pixel line is within the click box.
    M3dView view;
    ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    short x = 0, y = 0;
    ASSERT_TRUE(view.worldToView(MPoint(1, -3, 0), x, y));
    const double ratio = host::panelWidget(kPerspPanel)->devicePixelRatioF();
    const double logicalX = x / ratio, logicalY = (view.portHeight() - y) / ratio + 2.0;
    clickAt(" -x " + std::to_string(logicalX) + " -y " + std::to_string(logicalY));
    EXPECT_EQ(selection(), Names({"line"}));

    click(0.5, 3, 0); // on the locator's cross
    EXPECT_EQ(selection(), Names({"marker"}));
    click(4, 1, 0); // on the joint's circle, not its parent or shape
    EXPECT_EQ(selection(), Names({"bone"}));

    // Ten pixels off the line is a miss.
    clickAt(" -x " + std::to_string(logicalX) + " -y " + std::to_string(logicalY + 8.0));
    EXPECT_EQ(selection(), Names());
}

TEST_F(SelectTool, TemplatedAndReferenceObjectsLetTheClickThrough)
{
    cube("nearBox", 0, 0, 3);
    cube("farBox", 0, 0, -3);
    ASSERT_TRUE(mel("setAttr nearBox.template 1; select -cl"));
    drawn();
    click(0, 0, 0);
    EXPECT_EQ(selection(), Names({"farBox"}));

    ASSERT_TRUE(mel("setAttr nearBox.template 0; setAttr nearBoxShape.overrideEnabled 1; "
                    "setAttr nearBoxShape.overrideDisplayType 2; select -cl"));
    drawn();
    click(0, 0, 0);
    EXPECT_EQ(selection(), Names({"farBox"}));

    ASSERT_TRUE(mel("setAttr nearBoxShape.overrideDisplayType 0; select -cl"));
    drawn();
    click(0, 0, 0);
    EXPECT_EQ(selection(), Names({"nearBox"}));
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

    click(-4, 0, 0);
    EXPECT_EQ(selection(), Names({selectable}));
    click(0, 0, 0);
    EXPECT_EQ(selection(), Names({automatic}));
    click(4, 0, 0); // not selectable: empty space
    EXPECT_EQ(selection(), Names());
    click(-4, 2, 0); // the label of a selectable drawable does not pick
    EXPECT_EQ(selection(), Names());
}

TEST_F(SelectPluginShapes, XrayDrawablesWinOverWhatCoversThem)
{
    cube("wall", 0, 0, 3);
    const std::string behind = uiSquare("behindShape", 0, 0, -3, MHWRender::MUIDrawManager::kSelectable, true);
    ASSERT_TRUE(mel("select -cl"));
    drawn();
    click(0, 0, 0);
    EXPECT_EQ(selection(), Names({behind}));
}

// Shape controls from this program's build of the control sources, as the drawing tests register them.
class SelectShapeControls : public SelectTool
{
protected:
    static constexpr const char* kPlugin = "shapeControlSelectTest";
    static constexpr const char* kClassification = "drawdb/geometry/shapeControl";

    void SetUp() override
    {
        ASSERT_FALSE(isPellixLoaded()) << "the test registers the control type itself";
        SelectTool::SetUp();
        host::NodeTypeInfo info;
        info.name = ShapeControl::typeName;
        info.id = ShapeControl::id;
        info.creator = &ShapeControl::creator;
        info.initialize = &ShapeControl::initialize;
        info.type = MPxNode::kLocatorNode;
        info.classification = kClassification;
        info.pluginName = kPlugin;
        ASSERT_TRUE(host::registerNodeType(info));
        setShapeControlCreatedCallback(installShapeControlMouseFilter);  // as the plug-in does
        ASSERT_TRUE(MHWRender::MDrawRegistry::registerDrawOverrideCreator(kClassification, kPlugin,
                                                                           &ShapeControlDrawOverride::creator));
    }
    void TearDown() override
    {
        // The clicks went through the control filter too: no hover is left for the next test.
        setHoveredShapeControl(MObject(), false);
        SelectTool::TearDown();
        host::releaseOverrides(kPlugin);
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kClassification, kPlugin);
        host::deregisterNodeType(ShapeControl::id);
        removeShapeControlMouseFilter();
        setShapeControlCreatedCallback(nullptr);
    }
};

TEST_F(SelectShapeControls, AClickOnAControlsLineSelectsItsTransform)
{
    // The default square control (sides at x, z = +-1), turned to face the camera.
    ASSERT_TRUE(mel("createNode transform -n clickCtrl; createNode shapeControl -p clickCtrl -n clickCtrlShape; "
                    "setAttr clickCtrl.rotateX 90; select -cl"));
    drawn();
    click(1, 0, 0);
    EXPECT_EQ(selection(), Names({"clickCtrl"}));
    click(0, 0, 0); // inside the outline: nothing drawn there
    EXPECT_EQ(selection(), Names());
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
        PressEater eater(host::panelWidget(kPerspPanel));
        click(4, 0, 0.5); // the release still reaches the view
        EXPECT_EQ(selection(), Names({"a"}));
        clickEmpty();
        EXPECT_EQ(selection(), Names({"a"}));
    }
    click(4, 0, 0.5);
    EXPECT_EQ(selection(), Names({"b"}));
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

TEST_F(SelectTool, RealShiftClickAddsToTheSelection)
{
    cube("a", -4, 0, 0);
    cube("b", 4, 0, 0);
    ASSERT_TRUE(mel("select -r a"));
    drawn();
    QWidget* widget = host::panelWidget(kPerspPanel);
    widget->window()->raise();
    host::processEvents();
    MouseEventRecorder recorder(widget);

    M3dView view;
    ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    short x = 0, y = 0;
    ASSERT_TRUE(view.worldToView(MPoint(4, 0, 0.5), x, y));
    const double ratio = widget->devicePixelRatioF();
    const QPoint at = widget->mapTo(widget->window(), QPoint(int(x / ratio), int((view.portHeight() - y) / ratio)));
    const std::string command = "xdotool mousemove --window " + std::to_string(widget->window()->winId()) + " " +
                                std::to_string(at.x()) + " " + std::to_string(at.y()) +
                                " keydown shift click 1 keyup shift";
    ASSERT_EQ(std::system(command.c_str()), 0);
    QElapsedTimer timer;
    timer.start();
    while (recorder.byApplication(QEvent::MouseButtonRelease).empty() && timer.elapsed() < 5000)
        host::processEvents();
    ASSERT_EQ(recorder.byApplication(QEvent::MouseButtonRelease).size(), 1u);
    EXPECT_EQ(selection(), Names({"a", "b"}));
}

} // namespace
