// A bound overlay under the mouse in a real view: a 4 x 4 body plane seen from the top camera,
// with a chest patch (its first two faces), an arm patch (the face beside them) and a belly
// patch (its last two faces), each standing for a control. The tests drive the overlay's mouse
// filter in the loaded module through hostMouseEvent and watch "hoveredPatch", the selection
// and what the view draws: the patch under the cursor lights up with the marker ring on the
// surface, a still cursor keeps its patch, hidden patches are left alone (with a short grace
// for one that just went behind something), the front-most of a patch and a shape control wins,
// nothing the view does not show responds, Alt and the move tool's manipulator take the mouse,
// isolate select limits the overlay, and a click selects the patch's control with Maya's
// Shift/Ctrl modes as an undoable selection while a drag selects nothing.

#include "MouseEventRecorder.h"
#include "PanelTestSupport.h"
#include "PluginTestSupport.h"
#include "support/RealScenesFolder.h"

#include "views/CameraView.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MFnSet.h>
#include <maya/MIntArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>

#include <chrono>
#include <cmath>
#include <functional>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace {

class OverlayMouseScene : public PellixPluginTest, protected PanelView
{
protected:
    OverlayMouseScene() : PanelView("overlay-mouse") {}

    void SetUp() override
    {
        PellixPluginTest::SetUp();
        buildTorso(true, true);
        chest = worldCentreOf("chestPatch") + MVector(0.25, 0.0, 0.0); // inside a face, off its edges
        arm = worldCentreOf("armPatch");
        belly = worldCentreOf("bellyPatch") + MVector(0.25, 0.0, 0.0);
        bare = MPoint(0.5, 0.0, 0.5); // a body face no patch covers
        ASSERT_TRUE(mel("setAttr torsoOverlayShape.transparency 0; setAttr torsoOverlayShape.hoverTransparency 0; "
                        "setAttr torsoOverlayShape.hoverColor -type double3 0 0 1; "
                        "setAttr torsoOverlayShape.drawMarker 1"));
        ASSERT_NO_FATAL_FAILURE(usePanel());
        ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    }

    void TearDown() override
    {
        releasePanel();
        PellixPluginTest::TearDown();
    }

    int hovered() { return melInt("getAttr torsoOverlayShape.hoveredPatch"); }
    template <typename Place>
    int hoveredAfterMoveTo(const Place& to, const std::string& modifiers = "")
    {
        moveTo(to, modifiers);
        return hovered();
    }
    static std::string selection() { return selectionText(); }
    std::string selectionAfterClick(const MPoint& world, const std::string& modifiers = "")
    {
        click(world, modifiers);
        return selection();
    }

    // The hover marker's ring is centred on a world point: its light dot (the blue hover colour
    // lightened) in the middle and its dark disc three pixels out.
    bool markerDrawnAt(const MPoint& world) const
    {
        const QColor dot = pixelAt(world);
        const QColor disc = pixelAt(world, 3, 0);
        const bool light = dot.red() > 40 && dot.red() < 80 && dot.blue() > 240;
        const bool dark = disc.red() < 30 && disc.green() < 30 && disc.blue() < 110;
        return light && dark;
    }

    MPoint chest, arm, belly, bare;
};

class OverlayHover : public OverlayMouseScene
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
    EXPECT_EQ(hoveredAfterMoveTo(chest), 0);
    EXPECT_EQ(melStrings("ls -type hoverMarker").length(), 1u);
    snapshot();
    EXPECT_TRUE(markerDrawnAt(chest)) << describe(pixelAt(chest)) << " " << describe(pixelAt(chest, 3, 0));
    // The rest of the patch in the hover colour, the belly in its own.
    EXPECT_EQ(pixelAt(chest - MVector(0.5, 0, 0)), QColor(0, 0, 255)) << describe(pixelAt(chest - MVector(0.5, 0, 0)));
    EXPECT_FALSE(markerDrawnAt(belly));

    EXPECT_EQ(hoveredAfterMoveTo(belly), 2);
    snapshot();
    EXPECT_TRUE(markerDrawnAt(belly));
    EXPECT_FALSE(markerDrawnAt(chest));

    // Off the patches nothing is hovered and the ring goes.
    EXPECT_EQ(hoveredAfterMoveTo(bare), -1);
    snapshot();
    EXPECT_FALSE(markerDrawnAt(belly));
    EXPECT_FALSE(markerDrawnAt(bare));

    // An overlay that does not draw the marker still hovers; leaving the view clears it.
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.drawMarker 0"));
    EXPECT_EQ(hoveredAfterMoveTo(chest), 0);
    snapshot();
    EXPECT_FALSE(markerDrawnAt(chest));
    EXPECT_EQ(pixelAt(chest), QColor(0, 0, 255)) << describe(pixelAt(chest));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type leave"));
    EXPECT_EQ(hovered(), -1);
}

// The chest (patch 0) and the arm (patch 1) share an edge; the arm lies on its +X side. Seen
// through the top camera, and through the perspective camera looking straight down.
class StillCursor : public OverlayHover, public testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        OverlayHover::SetUp();
        if (GetParam()) {
            ASSERT_TRUE(mel("lookThru persp modelPanel4; setAttr persp.translate 0 7 0; setAttr persp.rotate -90 0 0"));
            host::processEvents();
        }
        const MPoint edge = arm - MVector(0.5, 0, 0);
        short x = 0, y = 0;
        ASSERT_TRUE(view.worldToView(edge, x, y));
        // The edge as the screen test sees it (whole device pixels), and the first pixel whose
        // ray lies inside the arm.
        projectedEdge = widgetPoint(edge);
        double portX = 0.0, portY = 0.0;
        ASSERT_TRUE(host::worldToPort(host::panelViewSetup(kPanel), edge, portX, portY));
        ASSERT_EQ(widget->devicePixelRatioF(), 1.0) << "the pixel arithmetic below assumes logical = device pixels";
        firstArmPixel = std::floor(portX) + 1.0;
    }
    QPointF projectedEdge;
    double firstArmPixel = 0.0;
};

TEST_P(StillCursor, HoveredPatchStaysWithinThreeQuartersOfAPixelEvenOverAnotherPatch)
{
    ASSERT_EQ(hoveredAfterMoveTo(chest), 0);
    // The ray goes through the arm, yet the cursor is within 0.75 pixel of the chest.
    const QPointF nearEdge(firstArmPixel - 0.4, projectedEdge.y());
    ASSERT_LT(std::abs(nearEdge.x() - projectedEdge.x()), 0.75);
    EXPECT_EQ(hoveredAfterMoveTo(nearEdge), 0);

    // A pixel and a half past the edge the arm takes over, and keeps the hover back towards it.
    EXPECT_EQ(hoveredAfterMoveTo(QPointF(projectedEdge.x() + 1.5, projectedEdge.y())), 1);
    EXPECT_EQ(hoveredAfterMoveTo(QPointF(projectedEdge.x() - 0.4, projectedEdge.y())), 1);
}

TEST_P(StillCursor, OverBarePlaceTheHoveredPatchKeepsOnlyHalfAPixel)
{
    // The arm's far edge borders the bare body face.
    const QPointF projected = widgetPoint(arm + MVector(0.5, 0, 0));
    ASSERT_EQ(hoveredAfterMoveTo(arm), 1);
    EXPECT_EQ(hoveredAfterMoveTo(QPointF(projected.x() + 0.4, projected.y())), 1);
    // The ray now misses every patch, and 0.6 pixel is past the half-pixel margin.
    EXPECT_EQ(hoveredAfterMoveTo(QPointF(projected.x() + 0.6, projected.y())), -1);
}

INSTANTIATE_TEST_SUITE_P(TopAndPerspective, StillCursor, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Perspective" : "Top"; });

TEST_F(OverlayHover, HoverFollowsTheDriversPointsAndPlacement)
{
    ASSERT_EQ(hoveredAfterMoveTo(chest), 0);
    // The body's points move three units along X: the chest is no longer where it was.
    ASSERT_TRUE(mel("move -r 3 0 0 \"body.vtx[0:24]\""));
    EXPECT_EQ(hoveredAfterMoveTo(chest), -1);
    EXPECT_EQ(hoveredAfterMoveTo(chest + MVector(3, 0, 0)), 0);
    // The body's transform moves them back.
    ASSERT_TRUE(mel("move -r -3 0 0 body"));
    EXPECT_EQ(hoveredAfterMoveTo(arm), 1);
    // A new time with nothing animated changes nothing.
    ASSERT_TRUE(mel("currentTime 7"));
    EXPECT_EQ(hoveredAfterMoveTo(belly), 2);
    // The arm's outer edge moved a unit out one vertex at a time, the view redrawn in between:
    // the hover follows both moves.
    const MPoint pastArm = arm + MVector(1.3, 0, 0);
    EXPECT_EQ(hoveredAfterMoveTo(pastArm), -1);
    ASSERT_TRUE(mel("move -r 1 0 0 body.vtx[3]"));
    snapshot();
    ASSERT_TRUE(mel("move -r 1 0 0 body.vtx[8]"));
    moveTo(bare);
    EXPECT_EQ(hoveredAfterMoveTo(pastArm), 1);
}

TEST_F(OverlayHover, AStaleHoveredIndexIsReplacedNotTestedOnScreen)
{
    // An index past the patches, as a script or an older scene might leave it.
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.hoveredPatch 99"));
    EXPECT_EQ(hoveredAfterMoveTo(bare), -1);
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.hoveredPatch 1000000"));
    EXPECT_EQ(hoveredAfterMoveTo(belly), 2);
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
    EXPECT_EQ(hoveredAfterMoveTo(chest), -1);
    EXPECT_EQ(hoveredAfterMoveTo(belly), 2);

    ASSERT_TRUE(mel("setAttr torsoOverlayShape.drawInXray 1"));
    EXPECT_EQ(hoveredAfterMoveTo(chest), 0);
}

TEST_F(Occluded, OnlyMeshesTheViewShowsInFrontOfAPatchHideIt)
{
    // A view that shows no meshes tests no occlusion.
    // Every kind of object, plug-in shapes included, but meshes.
    const unsigned shown = host::panelObjectDisplay(kPanel);
    host::setPanelObjectDisplay(kPanel,
                                shown & ~unsigned(M3dView::kDisplayMeshes | M3dView::kExcludePluginShapes));
    EXPECT_EQ(hoveredAfterMoveTo(chest), 0);
    host::setPanelObjectDisplay(kPanel, shown);
    moveTo(belly);
    EXPECT_EQ(hoveredAfterMoveTo(chest), -1);

    // Nor does one the view draws as wireframe.
    ASSERT_TRUE(mel("modelEditor -e -displayAppearance wireframe modelPanel4"));
    moveTo(belly);
    EXPECT_EQ(hoveredAfterMoveTo(chest), 0);
    ASSERT_TRUE(mel("modelEditor -e -displayAppearance smoothShaded modelPanel4"));

    // Nor does a mesh the view isolates away.
    ASSERT_TRUE(mel("isolateSelect -state 1 -addDagObject body modelPanel4"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    moveTo(belly);
    EXPECT_EQ(hoveredAfterMoveTo(chest), 0);
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
    // The driver's own occlusion follows it: moved as a whole, with a hole in its front, with
    // its front pushed behind its back, then brought back in two changes with a move that tests
    // no occlusion in between; a side vertex pulled far behind it, then over the hole (the back
    // patch hovered before would stay hovered while hidden, so the mouse leaves it first); a
    // front corner pushed into its quad, which then splits along its other diagonal, leaving
    // the hole's edge clear, pulled back, and pushed in again as the whole box moves.
    const MVector up(0, 5, 0);
    const std::pair<std::string, MPoint> changes[] = {
        {"move -r 0 5 0 box front", overBackPatch + up},
        {"delete box.f[1]", overBackPatch + up},
        {"move -r 0 0 -2.5 box.vtx[0:8]", MPoint(9.75, 4.75, 0.5)},
        {"move -r 0 0 2.5 box.vtx[0:8]; hostMouseEvent -panel modelPanel4 -type move -x 1 -y 1; "
         "move -r 0.01 0 0 box.vtx[4]",
         MPoint(9.75, 4.75, 0.5)},
        {"move -r -0.5 -0.25 -3 box.vtx[24]", overBackPatch + up},
        {"hostMouseEvent -panel modelPanel4 -type move -x 1 -y 1; move -r 0 0 4 box.vtx[24]", overBackPatch + up},
        {"move -r -0.3 0.45 0 box.vtx[1]", MPoint(9.85, 4.92, 0.5)},
        {"hostMouseEvent -panel modelPanel4 -type move -x 1 -y 1; move -r 0.3 -0.45 0 box.vtx[1]",
         MPoint(9.85, 4.92, 0.5)},
        {"move -r -0.3 0.45 0 box.vtx[1]; move -r 0 0 1 box", MPoint(9.85, 4.92, 0.5)}};
    const int wanted[] = {-1, 1, 1, -1, 1, -1, 1, -1, 1};
    for (size_t i = 0; i < std::size(changes); ++i) {
        ASSERT_TRUE(mel(changes[i].first + "; hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"))
            << changes[i].first;
        moveTo(onFrontPatch + up);
        moveTo(changes[i].second);
        EXPECT_EQ(boxHovered(), wanted[i]) << changes[i].first;
    }
}

TEST_F(Occluded, AMeshShownWhileTheMouseStaysInTheViewHidesPatchesWithinATenthOfASecond)
{
    ASSERT_TRUE(mel("setAttr lid.visibility 0; hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    moveTo(belly);
    ASSERT_TRUE(mel("setAttr lid.visibility 1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(hoveredAfterMoveTo(chest), -1);
}

TEST_F(Occluded, AHoveredPatchThatGoesBehindSomethingSurvivesTwoMovesAndDropsOnTheThird)
{
    ASSERT_TRUE(mel("setAttr lid.visibility 0; hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    ASSERT_EQ(hoveredAfterMoveTo(chest), 0);

    ASSERT_TRUE(mel("setAttr lid.visibility 1; hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    const QPointF p = widgetPoint(chest);
    EXPECT_EQ(hoveredAfterMoveTo(p + QPointF(1, 0)), 0);
    EXPECT_EQ(hoveredAfterMoveTo(p + QPointF(2, 0)), 0);
    EXPECT_EQ(hoveredAfterMoveTo(p + QPointF(3, 0)), -1);
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
        if (c.tracked != tracked) {
            ASSERT_TRUE(mel((c.tracked ? "connectAttr " : "disconnectAttr ") + shape +
                            ".message torsoOverlayShape.trackedShapeControls[0]"));
        }
        tracked = c.tracked;
        ASSERT_TRUE(mel("select -cl"));
        moveTo(bare);
        snapshot();
        ASSERT_FALSE(litAt(farSide));

        EXPECT_EQ(hoveredAfterMoveTo(onOutline), c.controlInFront ? -1 : 0);
        snapshot();
        EXPECT_EQ(litAt(farSide), c.controlInFront) << describe(pixelAt(farSide));
        click(onOutline);
        EXPECT_EQ(selection() == "chestCtrl", !c.controlInFront) << selection();

        // Inside the square, away from its outline, the patch has the mouse again.
        EXPECT_EQ(hoveredAfterMoveTo(chest), 0);
        snapshot();
        EXPECT_FALSE(litAt(farSide));
    }
}

TEST_F(OverlayHover, AnOverlayTheViewDoesNotShowAsClickableIsNeitherHoveredNorClicked)
{
    ASSERT_TRUE(mel("createNode transform -n rigGrp; parent torsoOverlay rigGrp; createDisplayLayer -nr -n overlayLayer torsoOverlay"));
    const unsigned original = host::panelObjectDisplay(kPanel);
    const unsigned shown = original & ~unsigned(M3dView::kExcludePluginShapes);
    auto filter = [shown](unsigned hidden) {
        return [shown, hidden] { host::setPanelObjectDisplay(kPanel, shown & ~hidden); };
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
             host::setPanelObjectDisplay(kPanel,
                                         (shown | M3dView::kExcludePluginShapes) & ~unsigned(M3dView::kDisplayCameras));
         },
         filter(0)},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        cases[i].first();
        EXPECT_EQ(hoveredAfterMoveTo(chest), -1);
        click(chest);
        EXPECT_NE(selection(), "chestCtrl");
        cases[i].second();
        EXPECT_EQ(hoveredAfterMoveTo(chest), 0);
        ASSERT_TRUE(mel("select -cl"));
    }
    host::setPanelObjectDisplay(kPanel, original);
}

TEST_F(OverlayHover, TheHoverFollowsCameraChangesUnderAStillCursorAndGoesDuringDrags)
{
    auto settle = [] {
        ASSERT_TRUE(mel("refresh"));
        for (int i = 0; i < 4; ++i)
            host::processEvents();
    };
    ASSERT_EQ(hoveredAfterMoveTo(chest), 0);
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
    ASSERT_EQ(hoveredAfterMoveTo(chest), 0);
    MouseEventRecorder recorder(widget);
    const double cameraX = melDouble("getAttr top.translateX");
    const QPointF p = widgetPoint(chest);

    EXPECT_EQ(hoveredAfterMoveTo(p, "alt"), -1);
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
    EXPECT_EQ(hoveredAfterMoveTo(chest), 0);

    ASSERT_TRUE(mel("setToolTo moveSuperContext"));
    EXPECT_EQ(hoveredAfterMoveTo(widgetPoint(chest) + QPointF(1, 0)), -1);
    // Away from the handles the overlay has the mouse back; a hidden manipulator gives way.
    EXPECT_EQ(hoveredAfterMoveTo(belly), 2);
    ASSERT_TRUE(mel("manipMoveContext -e -manipVisible 0 Move"));
    EXPECT_EQ(hoveredAfterMoveTo(chest), 0);
    ASSERT_TRUE(mel("manipMoveContext -e -manipVisible 1 Move; setToolTo RotateSuperContext"));
    EXPECT_EQ(hoveredAfterMoveTo(widgetPoint(chest) + QPointF(2, 0)), -1);

    // Without a selection no tool has a manipulator to give way to.
    ASSERT_TRUE(mel("select -cl"));
    for (const char* tool : {"moveSuperContext", "RotateSuperContext", "scaleSuperContext"}) {
        ASSERT_TRUE(mel(std::string("setToolTo ") + tool));
        EXPECT_EQ(hoveredAfterMoveTo(widgetPoint(chest) + QPointF(1, 0)), 0) << tool;
    }
}

TEST_F(OverlayHover, InAnIsolatedViewOnlyOverlaysBoundToIsolatedObjectsRespond)
{
    ASSERT_TRUE(mel("polyCube -n box; move 5 0 5 box; isolateSelect -state 1 -addDagObject box modelPanel4"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    EXPECT_EQ(hoveredAfterMoveTo(chest), -1);

    ASSERT_TRUE(mel("isolateSelect -addDagObject body modelPanel4"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    EXPECT_EQ(hoveredAfterMoveTo(belly), 2);
    // The overlay and the marker joined the isolate set, so they stay drawn there.
    const std::string members = isolateMembers();
    EXPECT_NE(members.find(" torsoOverlay "), std::string::npos) << members;
    EXPECT_NE(members.find(" hoverMarkerNode "), std::string::npos) << members;

    // Isolating something else again takes the overlay out of the set and out of reach.
    ASSERT_TRUE(mel("isolateSelect -removeDagObject body modelPanel4"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    EXPECT_EQ(hoveredAfterMoveTo(chest), -1);
    EXPECT_EQ(isolateMembers().find(" torsoOverlay "), std::string::npos) << isolateMembers();

    // Isolating the overlay itself keeps it in the view, and it responds there.
    ASSERT_TRUE(mel("select -r torsoOverlay; isolateSelect -loadSelected modelPanel4; select -cl"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    EXPECT_EQ(hoveredAfterMoveTo(belly), 2);
    EXPECT_NE(isolateMembers().find(" torsoOverlay "), std::string::npos) << isolateMembers();
    ASSERT_TRUE(mel("isolateSelect -state 0 modelPanel4"));
}

// A rigger's round on a character saved by Maya: chest faces clicked in face mode (F11) become a
// patch of chest_ctrl, which lights up under the cursor and selects chest_ctrl when clicked back in
// object mode (F8), and still does once the scene is saved and opened again.
TEST_F(OverlayHover, OnARealCharacterFacesClickedInFaceModeBecomeAPatchThatHoversAndSelectsItsControl)
{
    const std::string scene = realScenePath("squareMAN-skinned.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    ASSERT_TRUE(mel("file -force -open \"" + scene + "\"; createNode transform -name chest_ctrl; select -cl; "
                    "lookThru front modelPanel4; setAttr front.translate 0 5 100; "
                    "setAttr frontShape.orthographicWidth 5"));
    // The centre of a face of the skinned body, in world space.
    const auto faceCentre = [](int face) {
        MSelectionList list;
        MDagPath body;
        EXPECT_TRUE(list.add("SquareManShape") && list.getDagPath(0, body));
        const MFnMesh mesh(body);
        MIntArray ids;
        EXPECT_TRUE(mesh.getPolygonVertices(face, ids));
        MPoint sum(0, 0, 0);
        for (unsigned i = 0; i < ids.length(); ++i) {
            MPoint point;
            EXPECT_TRUE(mesh.getPoint(ids[i], point, MSpace::kWorld));
            sum += MVector(point);
        }
        return ids.length() ? sum / ids.length() : sum;
    };
    const auto key = [this](Qt::Key k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    };
    const MPoint upper = faceCentre(6);
    const MPoint lower = faceCentre(12);
    key(Qt::Key_F11);
    EXPECT_EQ(selectionAfterClick(upper), "SquareMan.f[6]");
    EXPECT_EQ(selectionAfterClick(lower, "shift"), "SquareMan.f[6] SquareMan.f[12]");
    ASSERT_TRUE(undoableMel("pellixPatchCreate -control chest_ctrl"));
    ASSERT_TRUE(mel("setAttr pellixDataOverlayShape.hoverTransparency 0; "
                    "setAttr pellixDataOverlayShape.hoverColor -type double3 0 0 1; select -cl"));
    key(Qt::Key_F8);
    ASSERT_EQ(melInt("selectMode -q -object"), 1);

    const auto hoverAndClick = [&] {
        moveTo(lower);
        EXPECT_EQ(melInt("getAttr pellixDataOverlayShape.hoveredPatch"), 0);
        snapshot();
        EXPECT_EQ(pixelAt(upper), QColor(0, 0, 255)) << describe(pixelAt(upper));
        EXPECT_EQ(selectionAfterClick(lower), "chest_ctrl");
        moveTo(QPointF(1, 1));
        EXPECT_EQ(melInt("getAttr pellixDataOverlayShape.hoveredPatch"), -1);
    };
    hoverAndClick();

    const std::string saved = testing::TempDir() + "overlayMouseSquareMan.ma";
    ASSERT_TRUE(mel("select -cl; file -rename \"" + saved + "\"; file -force -save -type \"mayaAscii\"; "
                    "file -force -new; file -force -open \"" + saved + "\"; lookThru front modelPanel4"));
    std::remove(saved.c_str());
    hoverAndClick();
}

TEST_F(OverlayHover, RealPointerOverAPatchHoversItAndAClickSelectsItsControl)
{
    ASSERT_EQ(xdotoolAt(widget, widgetPoint(belly)), 0);
    EXPECT_TRUE(processEventsUntil([&] { return hovered() == 2; }));

    ASSERT_EQ(xdotoolAt(widget, widgetPoint(chest), "click 1"), 0);
    processEventsUntil([] { return !selectionText().empty(); });
    EXPECT_EQ(selection(), "chestCtrl");
    EXPECT_EQ(hovered(), 0);
    // The pointer goes to the screen's corner, off the window, for the tests that follow.
    ASSERT_EQ(std::system("xdotool mousemove 1279 1023"), 0);
    host::processEvents();
}

class OverlayClick : public OverlayMouseScene
{
protected:
    std::string selectedPatches()
    {
        return joined(melStrings("getAttr torsoOverlayShape.selectedPatches"));
    }
};

TEST_F(OverlayClick, PlainClickReplacesShiftTogglesCtrlRemovesCtrlShiftAdds)
{
    ASSERT_TRUE(mel("select -r body"));
    EXPECT_EQ(selectionAfterClick(chest), "chestCtrl");
    EXPECT_EQ(hovered(), 0);
    EXPECT_EQ(selectedPatches(), "0");

    EXPECT_EQ(selectionAfterClick(belly, "shift"), "chestCtrl bellyCtrl");
    EXPECT_EQ(selectionAfterClick(chest, "shift"), "bellyCtrl");
    EXPECT_EQ(selectedPatches(), "2");

    EXPECT_EQ(selectionAfterClick(belly, "ctrl"), "");
    EXPECT_EQ(selectionAfterClick(belly, "ctrl"), "");

    click(chest, "ctrl+shift");
    click(belly, "ctrl+shift");
    EXPECT_EQ(selectionAfterClick(belly, "ctrl+shift"), "chestCtrl bellyCtrl");
    EXPECT_EQ(selectedPatches(), "0 2");

    EXPECT_EQ(selectionAfterClick(belly), "bellyCtrl");
}

TEST_F(OverlayClick, ClicksAreUndoableSelections)
{
    ASSERT_TRUE(mel("select -r body"));
    click(chest);
    click(belly, "shift");
    ASSERT_EQ(selection(), "chestCtrl bellyCtrl");
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(selection(), "chestCtrl");
    EXPECT_EQ(selectedPatches(), "0");
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(selection(), "body");
    EXPECT_EQ(selectedPatches(), "");
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(selection(), "chestCtrl");

    // Deleting the selected control takes its patch out of the drawn selection.
    click(belly, "shift");
    ASSERT_EQ(selectedPatches(), "0 2");
    ASSERT_TRUE(mel("delete bellyCtrl"));
    EXPECT_EQ(selection(), "chestCtrl");
    EXPECT_EQ(selectedPatches(), "0");
}

TEST_F(OverlayClick, APatchWhoseControlIsGoneIsNeitherHoveredNorClicked)
{
    ASSERT_TRUE(mel("delete bellyCtrl; disconnectAttr armPatch.message torsoOverlayShape.patchControl[1]"));
    ASSERT_TRUE(mel("select -r chestCtrl"));
    MouseEventRecorder recorder(widget);
    for (const MPoint& place : {belly, arm}) {
        EXPECT_EQ(hoveredAfterMoveTo(place), -1);
        click(place);
        EXPECT_EQ(selection().find("Patch"), std::string::npos) << selection();
    }
    // Every move and click went on to the view.
    int reached = 0;
    for (const SeenMouseEvent& event : recorder.seen())
        reached += event.byApplication ? 0 : 1;
    EXPECT_EQ(reached, 6);
}

TEST_F(OverlayClick, AnOverlayWhoseDriverIsDeletedTakesNothing)
{
    ASSERT_EQ(hoveredAfterMoveTo(chest), 0);
    ASSERT_TRUE(mel("delete body"));
    moveTo(belly);
    EXPECT_EQ(hoveredAfterMoveTo(chest), -1);
    EXPECT_EQ(selectionAfterClick(chest), "");
}

TEST_F(OverlayClick, UndoAndRedoOfARebindLeaveNoStaleHoverOrSelection)
{
    click(chest);
    ASSERT_EQ(hoveredAfterMoveTo(belly), 2);
    ASSERT_TRUE(mel("pellixDataBind -hidePatches true body chestPatch armPatch bellyPatch"));
    EXPECT_EQ(selectedPatches(), "0");
    moveTo(bare);
    // Selections made where undo does not see them.
    ASSERT_TRUE(MGlobal::clearSelectionList());
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(hovered(), -1);
    EXPECT_EQ(selectedPatches(), "");
    // Redo gives back the bind's selection, and the new overlay's patches follow it.
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(hovered(), -1);
    ASSERT_EQ(selection(), "chestCtrl");
    EXPECT_EQ(selectedPatches(), "0");
}

TEST_F(OverlayClick, OnlyAPressAndReleaseOnOnePatchInOneViewWithoutADragIsAClick)
{
    // Released on another patch.
    mouse("press", widgetPoint(chest), "left");
    mouse("release", widgetPoint(arm), "left");
    EXPECT_EQ(selection(), "");
    EXPECT_EQ(hovered(), 1);

    // Released in another view: modelPanel1 looks down from the top as well, so the release lands
    // on the same patch. The press is over then: a release back in the first view is no click either.
    mouse("press", widgetPoint(chest), "left");
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel1 -type release -button left -world " + std::to_string(chest.x) +
                    " 0 " + std::to_string(chest.z)));
    EXPECT_NE(selection(), "chestCtrl");
    mouse("release", widgetPoint(chest), "left");
    EXPECT_NE(selection(), "chestCtrl");

    // Dragged: press, drags and release all stay with the overlay, and select nothing.
    MouseEventRecorder recorder(widget);
    const QPointF start = widgetPoint(chest);
    const QPointF end = start + QPointF(QApplication::startDragDistance(), 0);
    mouse("press", start, "left");
    mouse("move", start + QPointF(2, 0), "left");
    mouse("move", end, "left");
    mouse("release", end, "left");
    EXPECT_EQ(selection(), "");
    for (const SeenMouseEvent& event : recorder.seen())
        EXPECT_TRUE(event.byApplication) << "the view saw event type " << event.type;

    // Moving less than the drag distance is still a click.
    mouse("press", start, "left");
    mouse("move", start + QPointF(QApplication::startDragDistance() - 1, 0), "left");
    mouse("release", start, "left");
    EXPECT_EQ(selection(), "chestCtrl");
}

TEST_F(OverlayClick, TheMoveToolsHandleKeepsTheClickFromTheOverlay)
{
    ASSERT_TRUE(mel("setAttr bellyCtrl.translate " + std::to_string(chest.x) + " 0 " + std::to_string(chest.z)));
    ASSERT_TRUE(mel("select -r bellyCtrl; setToolTo moveSuperContext"));
    click(chest);
    EXPECT_NE(selection(), "chestCtrl");
    EXPECT_EQ(hovered(), -1);

    ASSERT_TRUE(mel("setToolTo selectSuperContext"));
    EXPECT_EQ(selectionAfterClick(chest), "chestCtrl");
}

TEST_F(OverlayClick, ClicksOffThePatchesOrOnADisabledOverlayAreLeftToTheView)
{
    MouseEventRecorder recorder(widget);
    click(bare);
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.enable 0"));
    EXPECT_EQ(hoveredAfterMoveTo(chest), -1);
    click(chest);
    EXPECT_NE(selection(), "chestCtrl");
    // All five events reached the view.
    int reached = 0;
    for (const SeenMouseEvent& event : recorder.seen())
        reached += event.byApplication ? 0 : 1;
    EXPECT_EQ(reached, 5);
}

} // namespace
