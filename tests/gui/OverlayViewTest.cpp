// A bound overlay as a rigger sees it in a view: the patches drawn on the shaded driver in
// their base, hovered and selected colours, wireframe, x-ray through an occluder, the readout
// above a single selected patch and the buffers each kind of change rewrites; where the
// overlay stands aside for a shown move, rotate or scale manipulator of the selection; and
// the isolate gate, which keeps an overlay pickable only in views that isolate what it is
// bound to, with the hover marker kept in the isolate set.

#include "PanelTestSupport.h"
#include "PluginTestSupport.h"
#include "support/TestValues.h"

#include "hoverMarker/HoverMarkerState.h"
#include "overlay/OverlayIsolate.h"
#include "overlay/OverlayToolBlocking.h"
#include "viewport/FrameRenderer.h"
#include "views/IsolateSelect.h"
#include "views/ToolContexts.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnManip3D.h>
#include <maya/MFnMesh.h>
#include <maya/MFnSet.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MVector.h>

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <thread>

namespace {

bool isGrey(const QColor& pixel)
{
    return std::abs(pixel.red() - pixel.green()) <= 6 && std::abs(pixel.green() - pixel.blue()) <= 6;
}

// The torso with its chest patch (and, when asked, its belly patch) in modelPanel4.
class TorsoScene : public PellixPluginTest, protected PanelView
{
protected:
    TorsoScene() : PanelView("overlay") {}

    void buildTorso(bool withBelly)
    {
        ASSERT_NO_FATAL_FAILURE(::buildTorso(false, withBelly));
        ASSERT_NO_FATAL_FAILURE(usePanel());
    }

    void TearDown() override
    {
        host::stopVp2Record();
        mel("lookThru persp modelPanel4");
        PellixPluginTest::TearDown();
    }
};

// The patches in opaque colours, so that pixels can be compared exactly.
class OverlayDrawing : public TorsoScene
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        buildTorso(true);
        chest = worldCentreOf("chestPatch");
        belly = worldCentreOf("bellyPatch");
        bare = MPoint(0.5, 0.0, 0.5); // a body face no patch covers
        ASSERT_TRUE(mel("setAttr torsoOverlayShape.transparency 0; setAttr torsoOverlayShape.hoverTransparency 0; "
                        "setAttr torsoOverlayShape.selectedTransparency 0"));
    }

    // Dark readout-box pixels within `within` of a world point (a box twice as wide as high, or
    // a disc of that radius).
    int darkPixels(const MPoint& world, std::function<bool(int dx, int dy)> within) const
    {
        short cx = 0, cy = 0;
        view.worldToView(world, cx, cy);
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (!within(x - cx, y - cy)) continue;
                const QColor c = pixel(x, y);
                if (std::max({c.red(), c.green(), c.blue()}) < 100 && c.red() + c.green() + c.blue() < 160) ++dark;
            }
        return dark;
    }
    int darkPixelsAround(const MPoint& world, int half = 24) const
    {
        return darkPixels(world, [half](int dx, int dy) { return std::abs(dx) <= 2 * half && std::abs(dy) <= half; });
    }
    int darkPixelsWithin(const MPoint& world, double radius) const
    {
        return darkPixels(world, [radius](int dx, int dy) { return std::hypot(dx, dy) <= radius; });
    }

    // Buffer bytes the overlay's override wrote in one frame, by buffer kind.
    struct Writes
    {
        size_t position = 0, index = 0, other = 0;
        bool updated = false;
    };
    Writes recordFrame()
    {
        host::startVp2Record();
        host::takeVp2Record();
        snapshot();
        Writes writes;
        for (const host::Vp2Call& call : host::takeVp2Record()) {
            if (call.node != "torsoOverlayShape") continue;
            if (call.call == "updateDG") writes.updated = true;
            if (call.bytes == 0) continue;
            if (call.detail == "position")
                writes.position += call.bytes;
            else if (call.detail.rfind("index:", 0) == 0)
                writes.index += call.bytes;
            else
                writes.other += call.bytes;
        }
        host::stopVp2Record();
        return writes;
    }

    MPoint chest, belly, bare;
};

const double kBase[3] = {0.2, 0.64, 1.0};
const double kHover[3] = {1.0, 0.92, 0.25};
const double kSelected[3] = {0.056, 1.0, 0.366};

#define EXPECT_COLOUR(pixel, rgb) \
    EXPECT_TRUE(nearColour(pixel, rgb[0], rgb[1], rgb[2])) << describe(pixel)

} // namespace

TEST_F(OverlayDrawing, PatchesDrawInTheirColoursBlendedOverTheDriverWhileEnabled)
{
    snapshot();
    EXPECT_COLOUR(pixelAt(chest), kBase);
    EXPECT_COLOUR(pixelAt(belly), kBase);
    const QColor body = pixelAt(bare);
    EXPECT_TRUE(isGrey(body)) << describe(body);
    EXPECT_GT(body.red(), 60) << "the shaded body is lit: " << describe(body);

    snapshotAfter("setAttr torsoOverlayShape.transparency 0.5");
    const QColor blended = pixelAt(chest);
    // Half the base colour over the body's grey.
    EXPECT_NEAR(blended.red(), 0.5 * 0.2 * 255 + 0.5 * body.red(), 6) << describe(blended);
    EXPECT_NEAR(blended.blue(), 0.5 * 255 + 0.5 * body.blue(), 6) << describe(blended);

    snapshotAfter("setAttr torsoOverlayShape.transparency 0; setAttr torsoOverlayShape.color -type double3 1 0 1");
    EXPECT_TRUE(nearColour(pixelAt(chest), 1, 0, 1)) << describe(pixelAt(chest));

    snapshotAfter("setAttr torsoOverlayShape.enable 0");
    EXPECT_TRUE(isGrey(pixelAt(chest))) << describe(pixelAt(chest));
    EXPECT_TRUE(isGrey(pixelAt(belly))) << describe(pixelAt(belly));

    snapshotAfter("setAttr torsoOverlayShape.color -type double3 1 0 0; setAttr torsoOverlayShape.enable 1");
    EXPECT_TRUE(nearColour(pixelAt(chest), 1, 0, 0)) << describe(pixelAt(chest));
}

TEST_F(OverlayDrawing, HoveredPatchLightsUpWithoutAMarkerAndASelectedOneWinsOverHover)
{
    snapshotAfter("setAttr torsoOverlayShape.hoveredPatch 0");
    EXPECT_COLOUR(pixelAt(chest), kHover);
    EXPECT_COLOUR(pixelAt(belly), kBase);

    snapshotAfter("select -r chestCtrl");
    EXPECT_COLOUR(pixelAt(chest), kSelected);

    snapshotAfter("setAttr torsoOverlayShape.hoveredPatch 7; select -r bellyCtrl");
    EXPECT_COLOUR(pixelAt(chest), kBase);
    EXPECT_COLOUR(pixelAt(belly), kSelected);

    // Drawing a hovered patch never creates the hover marker.
    snapshotAfter("setAttr torsoOverlayShape.hoveredPatch 0");
    EXPECT_EQ(melStrings("ls -type hoverMarker").length(), 0u);
}

TEST_F(OverlayDrawing, WireframeDrawsPatchEdgesInTheWireColour)
{
    // The chest patch's two faces share the edge through its centre; the belly's centre
    // likewise lies on its inner edge.
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.drawWireframe 1; setAttr torsoOverlayShape.wireframeWidth 4"));
    const MPoint edgeMiddle = chest;
    snapshot();
    // The wire colour at 0.85 opacity over the base colour.
    const double wire[3] = {0.85 * 1.0 + 0.15 * kBase[0], 0.85 * 0.95 + 0.15 * kBase[1], 0.85 * 0.55 + 0.15 * kBase[2]};
    EXPECT_COLOUR(pixelAt(edgeMiddle), wire);
    EXPECT_COLOUR(pixelAt(belly + MVector(0.25, 0, 0)), kBase);

    snapshotAfter("setAttr torsoOverlayShape.drawWireframe 0");
    EXPECT_COLOUR(pixelAt(edgeMiddle), kBase);
}

TEST_F(OverlayDrawing, AnOccluderHidesPatchesUnlessTheyDrawInXray)
{
    snapshotAfter("polyPlane -n lid -w 6 -h 6 -sx 1 -sy 1; move 0 20 0 lid");
    EXPECT_TRUE(isGrey(pixelAt(chest))) << describe(pixelAt(chest));

    snapshotAfter("setAttr torsoOverlayShape.drawInXray 1");
    EXPECT_COLOUR(pixelAt(chest), kBase);
    // Depth testing is back on after the overlay: the lid still hides the body behind it.
    EXPECT_TRUE(isGrey(pixelAt(bare))) << describe(pixelAt(bare));
}

TEST_F(OverlayDrawing, EachChangeRewritesOnlyTheBuffersItConcerns)
{
    // (Highlight and driver changes are followed buffer by buffer where the override is driven alone.)
    snapshot(); // first frame builds everything
    ASSERT_TRUE(mel("move -r 0 0 0.25 body; setAttr torsoOverlayShape.color -type double3 1 0 0"));
    recordFrame();
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.color -type double3 0 1 0"));
    Writes colour = recordFrame();
    EXPECT_EQ(colour.position + colour.index + colour.other, 0u) << "colours are shader parameters";

    // A rebind moves the topology counter: the render vertices are rebuilt and written.
    ASSERT_TRUE(mel("move -r 0 0 -0.25 body; pellixDataBind body chestPatch bellyPatch"));
    Writes rebound = recordFrame();
    EXPECT_GT(rebound.position, 0u);
    EXPECT_GT(rebound.index, 0u);
}

TEST_F(OverlayDrawing, ReadoutHangsAboveASingleSelectedPatchWhileItsControlMoves)
{
    snapshotAfter("setAttr torsoOverlayShape.showTransformReadout 1; select -r bellyCtrl");
    EXPECT_EQ(darkPixelsAround(belly), 0) << "never on the first frame";

    snapshotAfter("setAttr bellyCtrl.translateX 0.5");
    EXPECT_GT(darkPixelsAround(belly), 100) << "the readout box after a change";
    EXPECT_EQ(darkPixelsAround(chest), 0);

    // The hold ends 0.9 s after the last change, and the view redraws then by itself (after
    // whatever the change itself had queued).
    overrideCallsWhileIdle("torsoOverlayShape", 500);
    std::map<std::string, int> calls = overrideCallsWhileIdle("torsoOverlayShape", 700);
    EXPECT_GE(calls["updateDG"], 1) << "a redraw when the hold ends";
    EXPECT_EQ(calls["updateRenderItems"], 0) << "of the readout alone, not the patches";
    snapshot();
    EXPECT_EQ(darkPixelsAround(belly), 0) << "gone 0.9 s after the last change";
    EXPECT_EQ(overrideCallsWhileIdle("torsoOverlayShape", 300)["updateDG"], 0) << "and then nothing more";

    // With the control's pivot where the readout hangs, the readout moves clear of the
    // manipulators drawn there, still on screen.
    ASSERT_TRUE(mel("setAttr bellyCtrl.rotatePivot " + std::to_string(belly.x - 0.5) + " 0 " + std::to_string(belly.z)));
    snapshotAfter("setAttr bellyCtrl.translateY 0.25");
    const double manipulatorReach = 0.5 * MFnManip3D::handleSize() + 130.0 * MFnManip3D::globalSize();
    EXPECT_EQ(darkPixelsWithin(belly, manipulatorReach), 0);
    EXPECT_GT(darkPixelsWithin(belly, 1e6), 100) << "the readout is still shown";

    // With two patches selected there is nothing to read out.
    snapshotAfter("select -r bellyCtrl chestCtrl");
    snapshotAfter("setAttr bellyCtrl.translateX 1");
    EXPECT_EQ(darkPixelsAround(belly), 0);
}

namespace {

// Maya's default manipulator sizes: global 1, handle 10, line 1.
const double kRingReach = 200.0 / 3.0 + 6.0;  // ring radius plus max(2 + 2, 6)
const double kTipReach = 135.0 + 10.0;       // axis length 5 + 130, tip tolerance 10
const double kPlaneMiddle = (13.0 + 30.5) / 2.0;  // between inner offset and outer size

class OverlayToolBlocking : public TorsoScene
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        buildTorso(false);
        ASSERT_TRUE(mel("move 0.5 0 0.5 chestCtrl; select -r chestCtrl"));
        centre = widgetPoint(pivot);
    }

    void TearDown() override
    {
        host::resetToolContexts();
        MFnManip3D::setGlobalSize(1.0f);
        MFnManip3D::setDrawPlaneHandles(true);
        TorsoScene::TearDown();
    }

    // The screen direction a world direction at the pivot shows in.
    QPointF screenDirection(const MVector& world) const
    {
        const QPointF d = widgetPoint(pivot + world) - centre;
        return d / std::hypot(d.x(), d.y());
    }

    QPointF away(const MVector& worldDirection, double pixels) const
    {
        return centre + screenDirection(worldDirection) * pixels;
    }

    bool blockedAt(const QPointF& position) { return isOverlayBlockedByTool(view, position); }

    const MPoint pivot{0.5, 0.0, 0.5};
    QPointF centre;
};

} // namespace

TEST_F(OverlayToolBlocking, EachHandleBlocksOutToItsReach)
{
    ASSERT_TRUE(mel("setToolTo RotateSuperContext"));
    for (const MVector& direction : {MVector(1, 0, 0), MVector(-1, 0, 1)}) {
        EXPECT_TRUE(blockedAt(away(direction, kRingReach - 0.01)));
        EXPECT_FALSE(blockedAt(away(direction, kRingReach + 0.01)))
            << "the rotate tool has no axis handles past its ring";
    }
    ASSERT_TRUE(mel("manipOptions -scale 2"));
    EXPECT_TRUE(blockedAt(away(MVector(1, 0, 0), kRingReach + 30.0)));
    EXPECT_FALSE(blockedAt(away(MVector(1, 0, 0), 400.0 / 3.0 + 6.0 + 0.01)));

    ASSERT_TRUE(mel("manipOptions -scale 1; setToolTo moveSuperContext"));
    for (const MVector& axis : {MVector(1, 0, 0), MVector(0, 0, 1)}) {
        EXPECT_TRUE(blockedAt(away(axis, 100.0))) << "on the axis line";
        EXPECT_TRUE(blockedAt(away(axis, kTipReach - 0.01)));
        EXPECT_FALSE(blockedAt(away(axis, kTipReach + 0.01)));
    }
    EXPECT_FALSE(blockedAt(away(MVector(-1, 0, -1), 60.0))) << "between the axes, outside every handle";

    ASSERT_TRUE(mel("setToolTo moveSuperContext"));
    // The Z-X square, between the two axes seen from the top; Y points at the camera.
    const QPointF inSquare =
        centre + (screenDirection(MVector(1, 0, 0)) + screenDirection(MVector(0, 0, 1))) * kPlaneMiddle;
    EXPECT_TRUE(blockedAt(inSquare));
    ASSERT_TRUE(mel("manipOptions -showPlaneHandles 0"));
    EXPECT_FALSE(blockedAt(inSquare));
}

TEST_F(OverlayToolBlocking, AxesFollowTheModeAndAToolCountsByItsClassNotItsName)
{
    ASSERT_TRUE(mel("setAttr chestCtrl.rotateY 45; setToolTo moveSuperContext"));
    const MVector objectX = MVector(1, 0, 0) * pathNamed("chestCtrl").inclusiveMatrix();
    const QPointF onObjectX = away(objectX, 60.0);

    ASSERT_TRUE(mel("manipMoveContext -e -mode 0 Move"));  // object space
    EXPECT_TRUE(blockedAt(onObjectX));
    ASSERT_TRUE(mel("manipMoveContext -e -mode 2 Move"));  // world space
    EXPECT_FALSE(blockedAt(onObjectX));
    EXPECT_TRUE(blockedAt(away(MVector(1, 0, 0), 60.0)));

    // Custom axes come from -orientAxes, whatever the object's own rotation.
    ASSERT_TRUE(mel("setAttr chestCtrl.rotateY 0; manipMoveContext -e -mode 6 -orientAxes 0 0.7853981634 0 Move"));
    EXPECT_TRUE(blockedAt(onObjectX));
    EXPECT_FALSE(blockedAt(away(MVector(1, 0, 0), 60.0)));

    host::resetToolContexts();
    // The names say nothing; "manipMove" and "manipRotate" say which manipulator shows.
    ASSERT_TRUE(mel("manipMoveContext nudge; setToolTo nudge"));
    EXPECT_TRUE(blockedAt(away(MVector(1, 0, 0), 100.0))) << "on the move tool's axis";
    EXPECT_FALSE(blockedAt(away(MVector(-1, 0, -1), 60.0))) << "inside a rotate ring, but this is the move tool";

    // A class and a name that disagree: the class wins.
    for (const char* rotate : {"twirl", "moveAround"}) {
        SCOPED_TRACE(rotate);
        ASSERT_TRUE(mel(std::string("manipRotateContext ") + rotate + "; setToolTo " + rotate));
        EXPECT_TRUE(blockedAt(away(MVector(-1, 0, -1), 60.0))) << "inside the rotate ring";
        EXPECT_FALSE(blockedAt(away(MVector(1, 0, 0), 100.0))) << "past the ring, where only a move axis would be";
    }
}

namespace {

constexpr int64_t kMillisecond = 1000 * 1000;

int64_t testNow = 0;
int64_t testClock()
{
    return testNow;
}

class OverlayIsolate : public TorsoScene
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        buildTorso(false);
        ASSERT_TRUE(mel("polyCube -n prop; move 5 0 0 prop; select -cl"));
        testNow = 0;
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
        TorsoScene::TearDown();
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
        return set.isMember(pathNamed(name));
    }

    static bool viewShows(const char* name) { return host::isolateShows("modelPanel4", pathNamed(name)); }

    MObject overlay;
    MObject marker;
    OverlayIsolateGate isolateGate{&testClock};
};

} // namespace

TEST_F(OverlayIsolate, AViewWithoutIsolationOrAWidgetOfNoPanelLeavesTheOverlayPickableAndTouchesNoSet)
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

    // Widgets of no panel isolate nothing.
    isolate("prop");
    isolateGate.forgetPanel(widget);
    EXPECT_TRUE(isolateGate.syncIsolateForView(nullptr, overlay));
    QWidget stray;
    EXPECT_TRUE(isolateGate.syncIsolateForView(&stray, overlay));
    EXPECT_FALSE(inIsolateSet("torsoOverlay"));
    EXPECT_FALSE(gate()) << "while modelPanel4's own widget is isolated";
}

TEST_F(OverlayIsolate, IsolatingTheDriverAddsOverlayAndMarkerWhileIsolatingSomethingElseRemovesThem)
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

    // Hover keeps the marker in the isolate set.
    ASSERT_TRUE(mel(std::string("isolateSelect -removeDagObject ") + kHoverMarkerTransformName + " modelPanel4"));
    ASSERT_FALSE(viewShows(kHoverMarkerTransformName));

    isolateGate.keepMarkerIsolated();
    EXPECT_TRUE(inIsolateSet(kHoverMarkerTransformName));
    EXPECT_TRUE(viewShows(kHoverMarkerTransformName));

    ASSERT_TRUE(mel("isolateSelect -removeDagObject body -addDagObject prop modelPanel4"));

    EXPECT_FALSE(gate());
    EXPECT_FALSE(inIsolateSet("torsoOverlay"));
    EXPECT_FALSE(inIsolateSet(kHoverMarkerTransformName));
    EXPECT_TRUE(inIsolateSet("prop"));
    EXPECT_FALSE(viewShows("torsoOverlay")) << "the panel was updated";
    EXPECT_FALSE(isolateGate.hasCurrentIsolate());
}

TEST_F(OverlayIsolate, ControlsSourceMeshesAncestorsOfTheDriverAndNewlyConnectedControlsCountAsBound)
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

