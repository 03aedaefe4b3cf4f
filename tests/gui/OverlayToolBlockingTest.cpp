// The overlay stands aside where the mouse is on a shown move, rotate or scale manipulator of
// the selection, and nowhere else: a bound overlay seen from the top camera, its patch control
// selected, probed at pixels measured from the manipulator's centre on screen.

#include "PluginTestSupport.h"

#include "overlay/OverlayToolBlocking.h"

#include "views/ToolContexts.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnManip3D.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MVector.h>

#include <QPointF>
#include <QWidget>

#include <cmath>
#include <string>

namespace {

constexpr unsigned kPanel = 3;  // modelPanel4

// Maya's default manipulator sizes: global 1, handle 10, line 1.
const double kRingReach = 200.0 / 3.0 + 6.0;  // ring radius plus max(2 + 2, 6)
const double kTipReach = 135.0 + 10.0;       // axis length 5 + 130, tip tolerance 10
const double kPlaneMiddle = (13.0 + 30.5) / 2.0;  // between inner offset and outer size

class OverlayToolBlocking : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        for (const char* command : {
                 "polyPlane -n body -w 4 -h 4 -sx 4 -sy 4",
                 "duplicate -n chestPatch body", "delete \"chestPatch.f[2:15]\"",
                 "createNode transform -n chestCtrl", "move 0.5 0 0.5 chestCtrl",
                 "addAttr -ln pellixSelectNode -at message chestPatch",
                 "connectAttr chestCtrl.message chestPatch.pellixSelectNode",
                 "pellixDataBind -hidePatches true -name torsoOverlay body chestPatch",
                 "lookThru top modelPanel4", "setAttr topShape.orthographicWidth 6",
                 "select -r chestCtrl"})
            ASSERT_TRUE(mel(command)) << command;
        host::setActivePanel(kPanel);
        host::processEvents();
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
        widget = host::panelWidget(kPanel);
        ASSERT_NE(widget, nullptr);
        centre = screenOf(pivot);
    }

    void TearDown() override
    {
        host::resetToolContexts();
        MFnManip3D::setGlobalSize(1.0f);
        MFnManip3D::setDrawPlaneHandles(true);
        mel("lookThru persp modelPanel4");
        PellixPluginTest::TearDown();
    }

    // Logical widget pixels, y down, of a world point.
    QPointF screenOf(const MPoint& world) const
    {
        short x = 0, y = 0;
        EXPECT_TRUE(view.worldToView(world, x, y));
        const double ratio = widget->devicePixelRatioF();
        return QPointF(x / ratio, (view.portHeight() - y) / ratio);
    }

    // The screen direction a world direction at the pivot shows in.
    QPointF screenDirection(const MVector& world) const
    {
        const QPointF d = screenOf(pivot + world) - centre;
        return d / std::hypot(d.x(), d.y());
    }

    QPointF away(const MVector& worldDirection, double pixels) const
    {
        return centre + screenDirection(worldDirection) * pixels;
    }

    bool blockedAt(const QPointF& position) { return isOverlayBlockedByTool(view, position); }

    mutable M3dView view;  // its port queries are not const
    QWidget* widget = nullptr;
    const MPoint pivot{0.5, 0.0, 0.5};
    QPointF centre;
};

} // namespace

TEST_F(OverlayToolBlocking, EmptySelectionNeverBlocksWhateverTheTool)
{
    ASSERT_TRUE(mel("select -cl"));
    for (const char* tool : {"moveSuperContext", "RotateSuperContext", "scaleSuperContext"}) {
        ASSERT_TRUE(mel(std::string("setToolTo ") + tool));
        EXPECT_FALSE(blockedAt(centre)) << tool;
    }
    ASSERT_TRUE(mel("select -r chestCtrl"));
    EXPECT_TRUE(blockedAt(centre)) << "the same spot with the control selected";
}

TEST_F(OverlayToolBlocking, SelectToolNeverBlocks)
{
    ASSERT_TRUE(mel("setToolTo selectSuperContext"));
    EXPECT_FALSE(blockedAt(centre));
    EXPECT_FALSE(blockedAt(away(MVector(1, 0, 0), 60.0)));
}

TEST_F(OverlayToolBlocking, HiddenManipulatorDoesNotBlock)
{
    ASSERT_TRUE(mel("setToolTo moveSuperContext; manipMoveContext -e -manipVisible 0 Move"));
    EXPECT_FALSE(blockedAt(centre));
    ASSERT_TRUE(mel("manipMoveContext -e -manipVisible 1 Move"));
    EXPECT_TRUE(blockedAt(centre));

    ASSERT_TRUE(mel("setToolTo RotateSuperContext; manipRotateContext -e -manipVisible 0 Rotate"));
    EXPECT_FALSE(blockedAt(centre));
}

TEST_F(OverlayToolBlocking, RotateRingBlocksOutToItsRadiusAndGrowsWithTheGlobalSize)
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
}

TEST_F(OverlayToolBlocking, MoveToolBlocksOnAnAxisTipButNotPastIt)
{
    ASSERT_TRUE(mel("setToolTo moveSuperContext"));
    for (const MVector& axis : {MVector(1, 0, 0), MVector(0, 0, 1)}) {
        EXPECT_TRUE(blockedAt(away(axis, 100.0))) << "on the axis line";
        EXPECT_TRUE(blockedAt(away(axis, kTipReach - 0.01)));
        EXPECT_FALSE(blockedAt(away(axis, kTipReach + 0.01)));
    }
    EXPECT_FALSE(blockedAt(away(MVector(-1, 0, -1), 60.0))) << "between the axes, outside every handle";
}

TEST_F(OverlayToolBlocking, PlaneHandleBlocksOnlyWhilePlaneHandlesAreDrawn)
{
    ASSERT_TRUE(mel("setToolTo moveSuperContext"));
    // The Z-X square, between the two axes seen from the top; Y points at the camera.
    const QPointF inSquare =
        centre + (screenDirection(MVector(1, 0, 0)) + screenDirection(MVector(0, 0, 1))) * kPlaneMiddle;
    EXPECT_TRUE(blockedAt(inSquare));
    ASSERT_TRUE(mel("manipOptions -showPlaneHandles 0"));
    EXPECT_FALSE(blockedAt(inSquare));
}

TEST_F(OverlayToolBlocking, AxesFollowTheObjectOrWorldByMode)
{
    ASSERT_TRUE(mel("setAttr chestCtrl.rotateY 45; setToolTo moveSuperContext"));
    MSelectionList list;
    ASSERT_TRUE(list.add("chestCtrl"));
    MDagPath control;
    ASSERT_TRUE(list.getDagPath(0, control));
    const MVector objectX = MVector(1, 0, 0) * control.inclusiveMatrix();
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
}

TEST_F(OverlayToolBlocking, AToolMadeUnderAnyNameCountsByItsClass)
{
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
