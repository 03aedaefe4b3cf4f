// An overlay in a view that isolates objects: pickable there only when something it is bound
// to is isolated, and then kept in the view's isolate set with the hover marker so that both
// stay drawn. The gate is driven on modelPanel4's widget with a clock the test moves, so the
// 100 ms throttle of the isolate query is checked without waiting.

#include "PluginTestSupport.h"

#include "hoverMarker/HoverMarkerState.h"
#include "overlay/OverlayIsolate.h"

#include "views/IsolateSelect.h"
#include "views/Views.h"

#include <maya/MDagPath.h>
#include <maya/MFnSet.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>

#include <QWidget>

#include <cstdint>
#include <string>

namespace {

constexpr unsigned kPanel = 3;  // modelPanel4
constexpr int64_t kMillisecond = 1000 * 1000;

int64_t testNow = 0;
int64_t testClock()
{
    return testNow;
}

MDagPath pathTo(const char* name)
{
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(name)) << name;
    EXPECT_TRUE(list.getDagPath(0, path)) << name;
    return path;
}

class OverlayIsolate : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        for (const char* command : {
                 "polyPlane -n body -w 4 -h 4 -sx 4 -sy 4",
                 "duplicate -n chestPatch body", "delete \"chestPatch.f[2:15]\"",
                 "createNode transform -n chestCtrl",
                 "addAttr -ln pellixSelectNode -at message chestPatch",
                 "connectAttr chestCtrl.message chestPatch.pellixSelectNode",
                 "pellixDataBind -hidePatches true -name torsoOverlay body chestPatch",
                 "polyCube -n prop", "move 5 0 0 prop", "select -cl"})
            ASSERT_TRUE(mel(command)) << command;
        testNow = 0;
        widget = host::panelWidget(kPanel);
        ASSERT_NE(widget, nullptr);
        overlay = nodeByName("torsoOverlayShape");
        ASSERT_FALSE(overlay.isNull());
        marker = getOrCreateHoverMarker();
        ASSERT_FALSE(marker.isNull());
    }

    void TearDown() override
    {
        mel("isolateSelect -state 0 modelPanel4");
        deleteHoverMarker();
        // Nothing may hold the plug-in's nodes past its unloading.
        overlay = MObject();
        marker = MObject();
        isolateGate = OverlayIsolateGate(&testClock);
        PellixPluginTest::TearDown();
    }

    void isolate(const std::string& objects)
    {
        const std::string command = "select -r " + objects + "; isolateSelect -loadSelected -state 1 modelPanel4; select -cl";
        ASSERT_TRUE(mel(command)) << command;
    }

    bool gate() { return isolateGate.syncIsolateForView(widget, overlay); }

    static bool inIsolateSet(const char* name)
    {
        MFnSet set(nodeByName("modelPanel4ViewSelectedSet"));
        return set.isMember(pathTo(name));
    }

    static bool viewShows(const char* name) { return host::isolateShows("modelPanel4", pathTo(name)); }

    QWidget* widget = nullptr;
    MObject overlay;
    MObject marker;
    OverlayIsolateGate isolateGate{&testClock};
};

} // namespace

TEST_F(OverlayIsolate, ViewWithoutIsolationLeavesTheOverlayPickableAndTouchesNoSet)
{
    EXPECT_TRUE(gate());
    EXPECT_FALSE(isolateGate.hasCurrentIsolate());
    EXPECT_TRUE(nodeByName("modelPanel4ViewSelectedSet").isNull()) << "no isolate set was made";

    // A set filled but not switched on isolates nothing and is left as it is.
    ASSERT_TRUE(mel("select -r prop; isolateSelect -loadSelected modelPanel4; select -cl"));
    EXPECT_TRUE(gate());
    EXPECT_FALSE(isolateGate.hasCurrentIsolate());
    EXPECT_FALSE(inIsolateSet("torsoOverlay"));
    EXPECT_FALSE(inIsolateSet(kHoverMarkerTransformName));
    EXPECT_TRUE(inIsolateSet("prop"));
}

TEST_F(OverlayIsolate, IsolatingTheDriverAddsOverlayAndMarkerAndUpdatesTheView)
{
    isolate("body");
    ASSERT_FALSE(viewShows("torsoOverlay"));

    EXPECT_TRUE(gate());
    EXPECT_TRUE(inIsolateSet("torsoOverlay"));
    EXPECT_TRUE(inIsolateSet(kHoverMarkerTransformName));
    EXPECT_TRUE(viewShows("torsoOverlay")) << "the panel was updated";
    EXPECT_TRUE(viewShows(kHoverMarkerTransformName));
    ASSERT_TRUE(isolateGate.hasCurrentIsolate());
    EXPECT_EQ(std::string(isolateGate.isolatePanel().asChar()), "modelPanel4");
    EXPECT_TRUE(isolateGate.isolateSetCurrent() == nodeByName("modelPanel4ViewSelectedSet"));
    EXPECT_TRUE(isUnderIsolateMembers(isolateGate.isolateMembers(), nodeByName("bodyShape")));

    EXPECT_TRUE(gate()) << "a second pass changes nothing";
    EXPECT_TRUE(inIsolateSet("torsoOverlay"));
}

TEST_F(OverlayIsolate, IsolatingSomethingElseRemovesTheOverlayAndMarker)
{
    isolate("body");
    ASSERT_TRUE(gate());
    ASSERT_TRUE(mel("isolateSelect -removeDagObject body -addDagObject prop modelPanel4"));

    EXPECT_FALSE(gate());
    EXPECT_FALSE(inIsolateSet("torsoOverlay"));
    EXPECT_FALSE(inIsolateSet(kHoverMarkerTransformName));
    EXPECT_TRUE(inIsolateSet("prop"));
    EXPECT_FALSE(viewShows("torsoOverlay")) << "the panel was updated";
    EXPECT_FALSE(isolateGate.hasCurrentIsolate());
}

TEST_F(OverlayIsolate, ControlsSourceMeshesAndAncestorsOfTheDriverCountAsBound)
{
    isolate("chestCtrl");
    EXPECT_TRUE(gate()) << "the patch's control";
    isolate("chestPatch");
    EXPECT_TRUE(gate()) << "the patch's source mesh";
    ASSERT_TRUE(mel("createNode transform -n rig; parent body rig"));
    isolate("rig");
    EXPECT_TRUE(gate()) << "a group above the driver";
    isolate("prop");
    EXPECT_FALSE(gate());
}

TEST_F(OverlayIsolate, NewlyConnectedControlIsSeenOnTheNextGate)
{
    ASSERT_TRUE(mel("createNode transform -n lateCtrl"));
    isolate("lateCtrl");
    ASSERT_FALSE(gate());
    ASSERT_TRUE(mel("connectAttr lateCtrl.message torsoOverlayShape.patchControl[3]"));
    EXPECT_TRUE(gate());
}

TEST_F(OverlayIsolate, IsolateQueryRunsAtMostOnceInAHundredMilliseconds)
{
    isolate("prop");
    ASSERT_FALSE(gate());
    // The view stops isolating, which only a new query shows.
    ASSERT_TRUE(mel("isolateSelect -state 0 modelPanel4"));
    testNow = 99 * kMillisecond;
    EXPECT_FALSE(gate()) << "within 100 ms the set last queried still counts";
    testNow = 100 * kMillisecond;
    EXPECT_TRUE(gate());

    // Forgetting the panel (the mouse entered its view again) queries at once.
    isolate("prop");
    testNow = 150 * kMillisecond;
    EXPECT_TRUE(gate()) << "not yet re-queried";
    isolateGate.forgetPanel(widget);
    EXPECT_FALSE(gate());
}

TEST_F(OverlayIsolate, HoverKeepsTheMarkerInTheIsolateSet)
{
    isolate("body");
    ASSERT_TRUE(gate());
    ASSERT_TRUE(mel(std::string("isolateSelect -removeDagObject ") + kHoverMarkerTransformName + " modelPanel4"));
    ASSERT_FALSE(viewShows(kHoverMarkerTransformName));

    isolateGate.keepMarkerIsolated();
    EXPECT_TRUE(inIsolateSet(kHoverMarkerTransformName));
    EXPECT_TRUE(viewShows(kHoverMarkerTransformName));
}

TEST_F(OverlayIsolate, MarkerStaysWhileAnyOverlayOfTheViewIsPickable)
{
    ASSERT_TRUE(mel("duplicate -n propPatch prop; delete \"propPatch.f[1:5]\"; "
                    "pellixDataBind -hidePatches true -name propOverlay prop propPatch"));
    const MObject propOverlay = nodeByName("propOverlayShape");
    ASSERT_FALSE(propOverlay.isNull());
    isolate("body");
    ASSERT_TRUE(gate());

    EXPECT_FALSE(isolateGate.syncIsolateForView(widget, propOverlay));
    EXPECT_FALSE(inIsolateSet("propOverlay"));
    EXPECT_TRUE(inIsolateSet(kHoverMarkerTransformName)) << "the torso overlay still hovers there";
    EXPECT_TRUE(viewShows(kHoverMarkerTransformName));
    EXPECT_TRUE(gate());

    ASSERT_TRUE(mel("createNode transform -n lamp"));
    isolate("lamp");
    EXPECT_FALSE(gate());
    EXPECT_FALSE(isolateGate.syncIsolateForView(widget, propOverlay));
    EXPECT_FALSE(inIsolateSet(kHoverMarkerTransformName)) << "no overlay left pickable in the view";
}

TEST_F(OverlayIsolate, WidgetsOfNoPanelIsolateNothing)
{
    isolate("prop");
    EXPECT_TRUE(isolateGate.syncIsolateForView(nullptr, overlay));
    QWidget stray;
    EXPECT_TRUE(isolateGate.syncIsolateForView(&stray, overlay));
    EXPECT_FALSE(inIsolateSet("torsoOverlay"));
    EXPECT_FALSE(gate()) << "while modelPanel4's own widget is isolated";
}
