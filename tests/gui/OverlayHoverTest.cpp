// Hovering an overlay in a view: the patch under the cursor lights up with the marker ring on
// the surface, a still cursor keeps its patch, hidden patches are left alone (with a short
// grace for one that just went behind something), a tracked shape control in a tie wins,
// Alt and the move tool's manipulator take the mouse, and isolate select limits the overlay.

#include "OverlayMouseScene.h"

#include "views/CameraView.h"

#include <maya/MFnSet.h>

#include <QElapsedTimer>

#include <chrono>
#include <functional>
#include <iterator>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

using overlaymouse::describe;

class OverlayHover : public overlaymouse::OverlayMouseScene
{
protected:
    // The partial names of the members of modelPanel4's isolate set, each between blanks.
    static std::string isolateMembers()
    {
        const MString setName = melString("isolateSelect -q -viewObjects modelPanel4");
        MSelectionList list;
        MObject set;
        if (!list.add(setName) || !list.getDependNode(0, set))
            return "(no set)";
        MSelectionList members;
        MFnSet(set).getMembers(members, false);
        std::string joined = " ";
        for (unsigned i = 0; i < members.length(); ++i) {
            MDagPath path;
            if (members.getDagPath(i, path))
                joined += std::string(path.partialPathName().asChar()) + " ";
        }
        return joined;
    }
};

TEST_F(OverlayHover, PatchUnderTheCursorLightsUpWithTheMarkerOnItsSurfaceUntilTheMouseLeaves)
{
    moveTo(chest);
    EXPECT_EQ(hovered(), 0);
    EXPECT_EQ(melStrings("ls -type hoverMarker").length(), 1u);
    snapshot();
    EXPECT_TRUE(markerDrawnAt(chest)) << describe(pixelAt(chest)) << " " << describe(pixelAt(chest, 3, 0));
    // The rest of the patch in the hover colour, the belly in its own.
    EXPECT_EQ(pixelAt(chest - MVector(0.5, 0, 0)), QColor(0, 0, 255)) << describe(pixelAt(chest - MVector(0.5, 0, 0)));
    EXPECT_FALSE(markerDrawnAt(belly));

    moveTo(belly);
    EXPECT_EQ(hovered(), 2);
    snapshot();
    EXPECT_TRUE(markerDrawnAt(belly));
    EXPECT_FALSE(markerDrawnAt(chest));

    // Off the patches nothing is hovered and the ring goes.
    moveTo(bare);
    EXPECT_EQ(hovered(), -1);
    snapshot();
    EXPECT_FALSE(markerDrawnAt(belly));
    EXPECT_FALSE(markerDrawnAt(bare));

    // An overlay that does not draw the marker still hovers; leaving the view clears it.
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.drawMarker 0"));
    moveTo(chest);
    EXPECT_EQ(hovered(), 0);
    snapshot();
    EXPECT_FALSE(markerDrawnAt(chest));
    EXPECT_EQ(pixelAt(chest), QColor(0, 0, 255)) << describe(pixelAt(chest));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type leave"));
    EXPECT_EQ(hovered(), -1);
}

// The chest (patch 0) and the arm (patch 1) share an edge; the arm lies on its +X side.
class StillCursor : public OverlayHover
{
protected:
    void SetUp() override
    {
        OverlayHover::SetUp();
        const MPoint edge = arm - MVector(0.5, 0, 0);
        short x = 0, y = 0;
        ASSERT_TRUE(view.worldToView(edge, x, y));
        // The edge as the screen test sees it (whole device pixels), and the first pixel whose
        // ray lies inside the arm.
        projectedEdge = widgetPoint(edge);
        double portX = 0.0, portY = 0.0;
        ASSERT_TRUE(host::worldToPort(host::panelViewSetup(overlaymouse::kPanel), edge, portX, portY));
        ASSERT_EQ(widget->devicePixelRatioF(), 1.0) << "the pixel arithmetic below assumes logical = device pixels";
        firstArmPixel = std::floor(portX) + 1.0;
    }
    QPointF projectedEdge;
    double firstArmPixel = 0.0;
};

TEST_F(StillCursor, HoveredPatchStaysWithinThreeQuartersOfAPixelEvenOverAnotherPatch)
{
    moveTo(chest);
    ASSERT_EQ(hovered(), 0);
    // The ray goes through the arm, yet the cursor is within 0.75 pixel of the chest.
    const QPointF nearEdge(firstArmPixel - 0.4, projectedEdge.y());
    ASSERT_LT(std::abs(nearEdge.x() - projectedEdge.x()), 0.75);
    moveTo(nearEdge);
    EXPECT_EQ(hovered(), 0);

    // A pixel and a half past the edge the arm takes over, and keeps the hover back towards it.
    moveTo(QPointF(projectedEdge.x() + 1.5, projectedEdge.y()));
    EXPECT_EQ(hovered(), 1);
    moveTo(QPointF(projectedEdge.x() - 0.4, projectedEdge.y()));
    EXPECT_EQ(hovered(), 1);
}

TEST_F(StillCursor, OverBarePlaceTheHoveredPatchKeepsOnlyHalfAPixel)
{
    // The arm's far edge borders the bare body face.
    const QPointF projected = widgetPoint(arm + MVector(0.5, 0, 0));
    moveTo(arm);
    ASSERT_EQ(hovered(), 1);
    moveTo(QPointF(projected.x() + 0.4, projected.y()));
    EXPECT_EQ(hovered(), 1);
    // The ray now misses every patch, and 0.6 pixel is past the half-pixel margin.
    moveTo(QPointF(projected.x() + 0.6, projected.y()));
    EXPECT_EQ(hovered(), -1);
}

TEST_F(OverlayHover, AStaleHoveredIndexIsReplacedNotTestedOnScreen)
{
    // An index past the patches, as a script or an older scene might leave it.
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.hoveredPatch 99"));
    moveTo(bare);
    EXPECT_EQ(hovered(), -1);
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.hoveredPatch 1000000"));
    moveTo(belly);
    EXPECT_EQ(hovered(), 2);
}

class Occluded : public OverlayHover
{
protected:
    void SetUp() override
    {
        OverlayHover::SetUp();
        // A lid over the chest and the arm, one unit above the body, clear of the belly.
        const MPoint over = (worldCentreOf("chestPatch") * 2.0 + MVector(arm)) / 3.0;
        ASSERT_TRUE(mel("polyPlane -n lid -w 3.2 -h 1.5 -sx 1 -sy 1; move " + std::to_string(over.x) + " 1 " +
                        std::to_string(over.z) + " lid"));
        ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    }
};

TEST_F(Occluded, APatchBehindAnotherMeshIsNotHoveredUnlessItsOverlayDrawsInXray)
{
    moveTo(chest);
    EXPECT_EQ(hovered(), -1);
    moveTo(belly);
    EXPECT_EQ(hovered(), 2);

    ASSERT_TRUE(mel("setAttr torsoOverlayShape.drawInXray 1"));
    moveTo(chest);
    EXPECT_EQ(hovered(), 0);
}

TEST_F(Occluded, OnlyMeshesTheViewShowsInFrontOfAPatchHideIt)
{
    // A view that shows no meshes tests no occlusion.
    // Every kind of object, plug-in shapes included, but meshes.
    const unsigned shown = host::panelObjectDisplay(overlaymouse::kPanel);
    host::setPanelObjectDisplay(overlaymouse::kPanel,
                                shown & ~unsigned(M3dView::kDisplayMeshes | M3dView::kExcludePluginShapes));
    moveTo(chest);
    EXPECT_EQ(hovered(), 0);
    host::setPanelObjectDisplay(overlaymouse::kPanel, shown);
    moveTo(belly);
    moveTo(chest);
    EXPECT_EQ(hovered(), -1);

    // Nor does one the view draws as wireframe.
    ASSERT_TRUE(mel("modelEditor -e -displayAppearance wireframe modelPanel4"));
    moveTo(belly);
    moveTo(chest);
    EXPECT_EQ(hovered(), 0);
    ASSERT_TRUE(mel("modelEditor -e -displayAppearance smoothShaded modelPanel4"));

    // Nor does a mesh the view isolates away.
    ASSERT_TRUE(mel("isolateSelect -state 1 -addDagObject body modelPanel4"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    moveTo(belly);
    moveTo(chest);
    EXPECT_EQ(hovered(), 0);
    ASSERT_TRUE(mel("isolateSelect -state 0 modelPanel4"));

    // Nor does a hidden mesh, nor one lying on the driver's surface; the driver's other
    // instance, above it, does.
    const std::string steps[][2] = {{"setAttr lid.visibility 0; duplicate -n skin body", "0"},
                                    {"createNode transform -n bodyCopy; parent -add -shape bodyShape bodyCopy; "
                                     "setAttr bodyCopy.translateY 0.5",
                                     "-1"}};
    for (const auto& [change, wanted] : steps) {
        ASSERT_TRUE(mel(change + "; hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1")) << change;
        moveTo(bare);
        moveTo(chest);
        EXPECT_EQ(std::to_string(hovered()), wanted) << change;
    }
}

TEST_F(OverlayHover, TheDriverHidesPatchesOnItsFarSideButNeverThoseOnItsSurface)
{
    // A box driver seen from the front: a patch on one quad of its front, one on its whole back.
    for (const char* command : {"polyCube -n box -sx 2 -sy 2 -sz 2; move 10 0 0 box",
                                "duplicate -n frontPatch box; delete frontPatch.f[0:1] frontPatch.f[3:23]",
                                "duplicate -n backPatch box; delete backPatch.f[0:7] backPatch.f[12:23]",
                                "pellixDataBind -hidePatches true -n boxOverlay box frontPatch backPatch",
                                "lookThru front modelPanel4; setAttr frontShape.orthographicWidth 3",
                                "setAttr front.translateX 10",
                                "hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"})
        ASSERT_TRUE(mel(command)) << command;
    auto boxHovered = [] { return melInt("getAttr boxOverlayShape.hoveredPatch"); };
    const MPoint onFrontPatch(9.75, 0.25, 0.5), overBackPatch(10.25, -0.25, 0.5);
    for (const char* distance : {"2", "5000"}) {
        ASSERT_TRUE(mel(std::string("setAttr front.translateZ ") + distance));
        moveTo(onFrontPatch);
        EXPECT_EQ(boxHovered(), 0) << distance;
        moveTo(overBackPatch);
        EXPECT_EQ(boxHovered(), -1) << distance;
        click(overBackPatch);
        EXPECT_EQ(selection().find("backPatch"), std::string::npos) << selection();
    }
}

TEST_F(Occluded, AMeshShownWhileTheMouseStaysInTheViewHidesPatchesWithinATenthOfASecond)
{
    ASSERT_TRUE(mel("setAttr lid.visibility 0; hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    moveTo(belly);
    ASSERT_TRUE(mel("setAttr lid.visibility 1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    moveTo(chest);
    EXPECT_EQ(hovered(), -1);
}

TEST_F(Occluded, AHoveredPatchThatGoesBehindSomethingSurvivesTwoMovesAndDropsOnTheThird)
{
    ASSERT_TRUE(mel("setAttr lid.visibility 0"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    moveTo(chest);
    ASSERT_EQ(hovered(), 0);

    ASSERT_TRUE(mel("setAttr lid.visibility 1"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    const QPointF p = widgetPoint(chest);
    moveTo(p + QPointF(1, 0));
    EXPECT_EQ(hovered(), 0);
    moveTo(p + QPointF(2, 0));
    EXPECT_EQ(hovered(), 0);
    moveTo(p + QPointF(3, 0));
    EXPECT_EQ(hovered(), -1);
}

TEST_F(OverlayHover, TheFrontMostOfAPatchAndAShapeControlTakesHoverAndClick)
{
    // The default square of a shape control around the chest point.
    ASSERT_TRUE(mel("createNode transform -n squareCtrl"));
    const std::string shape = melString("createNode shapeControl -p squareCtrl").asChar();
    ASSERT_TRUE(mel("setAttr squareCtrl.scale 0.3 0.3 0.3"));
    ASSERT_TRUE(mel("setAttr " + shape + ".transparency 0; setAttr " + shape + ".hoverTransparency 0"));
    const MPoint onOutline = chest + MVector(0.3, 0, 0);
    const MPoint farSide = chest - MVector(0.3, 0, 0);
    // The control's outline in its hover colour (1, 0.82, 0.18) within a pixel of a point.
    auto litAt = [this](const MPoint& world) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const QColor c = pixelAt(world, dx, dy);
                if (c.red() > 235 && std::abs(c.green() - 209) <= 12 && std::abs(c.blue() - 46) <= 16)
                    return true;
            }
        return false;
    };
    // Lying on the body (a tie goes to the control), floating above it, or under it (the patch
    // in front); tracked by the overlay or not.
    const struct
    {
        bool tracked;
        double height;
        bool controlInFront;
    } cases[] = {{true, 0.0, true}, {false, 0.0, true}, {false, 1.0, true}, {false, -1.0, false}, {true, -1.0, false}};
    bool tracked = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.tracked ? "tracked" : "untracked") + " at height " + std::to_string(c.height));
        ASSERT_TRUE(mel("setAttr squareCtrl.translate " + std::to_string(chest.x) + " " + std::to_string(c.height) +
                        " " + std::to_string(chest.z)));
        if (c.tracked != tracked)
            ASSERT_TRUE(mel((c.tracked ? "connectAttr " : "disconnectAttr ") + shape +
                            ".message torsoOverlayShape.trackedShapeControls[0]"));
        tracked = c.tracked;
        ASSERT_TRUE(mel("select -cl"));
        moveTo(bare);
        snapshot();
        ASSERT_FALSE(litAt(farSide));

        moveTo(onOutline);
        EXPECT_EQ(hovered(), c.controlInFront ? -1 : 0);
        snapshot();
        EXPECT_EQ(litAt(farSide), c.controlInFront) << describe(pixelAt(farSide));
        click(onOutline);
        EXPECT_EQ(selection() == "chestCtrl", !c.controlInFront) << selection();

        // Inside the square, away from its outline, the patch has the mouse again.
        moveTo(chest);
        EXPECT_EQ(hovered(), 0);
        snapshot();
        EXPECT_FALSE(litAt(farSide));
    }
}

TEST_F(OverlayHover, AnOverlayTheViewDoesNotShowAsClickableIsNeitherHoveredNorClicked)
{
    ASSERT_TRUE(mel("createNode transform -n rigGrp; parent torsoOverlay rigGrp; createDisplayLayer -nr -n overlayLayer torsoOverlay"));
    const unsigned original = host::panelObjectDisplay(overlaymouse::kPanel);
    const unsigned shown = original & ~unsigned(M3dView::kExcludePluginShapes);
    auto filter = [shown](unsigned hidden) {
        return [shown, hidden] { host::setPanelObjectDisplay(overlaymouse::kPanel, shown & ~hidden); };
    };
    auto melStep = [](const std::string& command) { return [command] { ASSERT_TRUE(mel(command)) << command; }; };
    const std::pair<std::function<void()>, std::function<void()>> cases[] = {
        {melStep("setAttr torsoOverlay.visibility 0"), melStep("setAttr torsoOverlay.visibility 1")},
        {melStep("setAttr torsoOverlayShape.visibility 0"), melStep("setAttr torsoOverlayShape.visibility 1")},
        {melStep("setAttr rigGrp.visibility 0"), melStep("setAttr rigGrp.visibility 1")},
        {melStep("setAttr overlayLayer.visibility 0"), melStep("setAttr overlayLayer.visibility 1")},
        {melStep("setAttr overlayLayer.displayType 2"), melStep("setAttr overlayLayer.displayType 0")},
        {melStep("setAttr overlayLayer.displayType 1"), melStep("setAttr overlayLayer.displayType 0")},
        {filter(M3dView::kDisplayLocators), filter(0)},
        {[shown] {
             host::setPanelObjectDisplay(overlaymouse::kPanel,
                                         (shown | M3dView::kExcludePluginShapes) & ~unsigned(M3dView::kDisplayCameras));
         },
         filter(0)},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        cases[i].first();
        moveTo(chest);
        EXPECT_EQ(hovered(), -1);
        click(chest);
        EXPECT_NE(selection(), "chestCtrl");
        cases[i].second();
        moveTo(chest);
        EXPECT_EQ(hovered(), 0);
        ASSERT_TRUE(mel("select -cl"));
    }
    host::setPanelObjectDisplay(overlaymouse::kPanel, original);
}

TEST_F(OverlayHover, TheHoverFollowsCameraChangesUnderAStillCursorAndGoesDuringDrags)
{
    auto settle = [] {
        ASSERT_TRUE(mel("refresh"));
        for (int i = 0; i < 4; ++i)
            host::processEvents();
    };
    moveTo(chest);
    ASSERT_EQ(hovered(), 0);
    // The camera slides until the still cursor rests on the belly.
    const MVector slide = belly - chest;
    ASSERT_TRUE(mel("move -r " + std::to_string(slide.x) + " 0 " + std::to_string(slide.z) + " top"));
    settle();
    EXPECT_EQ(hovered(), 2);
    snapshot();
    EXPECT_TRUE(markerDrawnAt(belly));
    ASSERT_TRUE(mel("lookThru front modelPanel4"));
    settle();
    EXPECT_EQ(hovered(), -1);
    ASSERT_TRUE(mel("lookThru top modelPanel4"));
    settle();
    EXPECT_EQ(hovered(), 2);

    // A drag with another button (a manipulator or the camera) takes hover and marker away.
    const QPointF p = widgetPoint(belly);
    mouse("press", p, "middle");
    mouse("move", p + QPointF(4, 0));
    EXPECT_EQ(hovered(), -1);
    snapshot();
    EXPECT_FALSE(markerDrawnAt(belly));
    mouse("release", p + QPointF(4, 0), "middle");
}

TEST_F(OverlayHover, AltClearsTheHoverAndLeavesEveryEventToTheCamera)
{
    moveTo(chest);
    ASSERT_EQ(hovered(), 0);
    MouseEventRecorder recorder(widget);
    const double cameraX = melDouble("getAttr top.translateX");
    const QPointF p = widgetPoint(chest);

    moveTo(p, "alt");
    EXPECT_EQ(hovered(), -1);
    mouse("press", p, "middle", "alt");
    mouse("move", p + QPointF(30, 0), "", "alt");
    mouse("release", p + QPointF(30, 0), "middle", "alt");
    // A left click with Alt on a patch selects nothing.
    mouse("press", p, "left", "alt");
    mouse("release", p, "left", "alt");
    EXPECT_EQ(selection(), "");
    EXPECT_EQ(hovered(), -1);

    // The widget saw all six events.
    int reached = 0;
    for (const SeenMouseEvent& event : recorder.seen())
        reached += event.byApplication ? 0 : 1;
    EXPECT_EQ(reached, 6);
    EXPECT_LT(melDouble("getAttr top.translateX"), cameraX);
}

TEST_F(OverlayHover, TheMoveToolsHandleBlocksTheOverlayAndTheSelectToolNever)
{
    ASSERT_TRUE(mel("setAttr chestCtrl.translate " + std::to_string(chest.x) + " 0 " + std::to_string(chest.z)));
    ASSERT_TRUE(mel("select -r chestCtrl"));

    ASSERT_TRUE(mel("setToolTo selectSuperContext"));
    moveTo(chest);
    EXPECT_EQ(hovered(), 0);

    ASSERT_TRUE(mel("setToolTo moveSuperContext"));
    moveTo(widgetPoint(chest) + QPointF(1, 0));
    EXPECT_EQ(hovered(), -1);
    // Away from the handles the overlay has the mouse back.
    moveTo(belly);
    EXPECT_EQ(hovered(), 2);

    // Without a selection there is no manipulator to give way to.
    ASSERT_TRUE(mel("select -cl"));
    moveTo(chest);
    EXPECT_EQ(hovered(), 0);
}

TEST_F(OverlayHover, InAnIsolatedViewOnlyOverlaysBoundToIsolatedObjectsRespond)
{
    ASSERT_TRUE(mel("polyCube -n box; move 5 0 5 box"));
    ASSERT_TRUE(mel("isolateSelect -state 1 -addDagObject box modelPanel4"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    moveTo(chest);
    EXPECT_EQ(hovered(), -1);

    ASSERT_TRUE(mel("isolateSelect -addDagObject body modelPanel4"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    moveTo(belly);
    EXPECT_EQ(hovered(), 2);
    // The overlay and the marker joined the isolate set, so they stay drawn there.
    const std::string members = isolateMembers();
    EXPECT_NE(members.find(" torsoOverlay "), std::string::npos) << members;
    EXPECT_NE(members.find(" hoverMarkerNode "), std::string::npos) << members;

    // Isolating something else again takes the overlay out of the set and out of reach.
    ASSERT_TRUE(mel("isolateSelect -removeDagObject body modelPanel4"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    moveTo(chest);
    EXPECT_EQ(hovered(), -1);
    EXPECT_EQ(isolateMembers().find(" torsoOverlay "), std::string::npos) << isolateMembers();

    // Isolating the overlay itself keeps it in the view, and it responds there.
    ASSERT_TRUE(mel("select -r torsoOverlay; isolateSelect -loadSelected modelPanel4; select -cl"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    moveTo(belly);
    EXPECT_EQ(hovered(), 2);
    EXPECT_NE(isolateMembers().find(" torsoOverlay "), std::string::npos) << isolateMembers();
    ASSERT_TRUE(mel("isolateSelect -state 0 modelPanel4"));
}

// Runs xdotool against the panel's top-level X window at a widget position.
int xdotoolAt(QWidget* widget, const QPointF& position, const std::string& action)
{
    const QPoint inWindow = widget->mapTo(widget->window(), position.toPoint());
    const std::string command = "xdotool mousemove --window " + std::to_string(widget->window()->winId()) + " " +
                                std::to_string(inWindow.x()) + " " + std::to_string(inWindow.y()) + " " + action;
    return std::system(command.c_str());
}

TEST_F(OverlayHover, RealPointerOverAPatchHoversItAndAClickSelectsItsControl)
{
    widget->window()->raise();
    host::processEvents();
    ASSERT_EQ(xdotoolAt(widget, widgetPoint(belly), ""), 0);
    QElapsedTimer timer;
    timer.start();
    while (hovered() != 2 && timer.elapsed() < 5000)
        host::processEvents();
    EXPECT_EQ(hovered(), 2);

    ASSERT_EQ(xdotoolAt(widget, widgetPoint(chest), "click 1"), 0);
    timer.restart();
    while (selection().empty() && timer.elapsed() < 5000)
        host::processEvents();
    EXPECT_EQ(selection(), "chestCtrl");
    EXPECT_EQ(hovered(), 0);
    // The pointer goes to the screen's corner, off the window, for the tests that follow.
    ASSERT_EQ(std::system("xdotool mousemove 1279 1023"), 0);
    host::processEvents();
}

} // namespace
