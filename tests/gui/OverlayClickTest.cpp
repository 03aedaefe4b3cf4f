// Clicking an overlay's patches in a view: a click selects the patch's control with Maya's
// Shift/Ctrl modes as an undoable selection, deleting a selected control unselects its patch, a
// patch whose control is gone is no button, a drag selects nothing and keeps its moves from the
// view, and the move tool's handle keeps the click.

#include "OverlayMouseScene.h"

#include <maya/MGlobal.h>
#include <maya/MIntArray.h>

#include <QApplication>

namespace {

class OverlayClick : public overlaymouse::OverlayMouseScene
{
protected:
    std::string selectedPatches()
    {
        const MStringArray values = melStrings("getAttr torsoOverlayShape.selectedPatches");
        std::string joined;
        for (unsigned i = 0; i < values.length(); ++i)
            joined += (i ? " " : "") + std::string(values[i].asChar());
        return joined;
    }
};

TEST_F(OverlayClick, PlainClickReplacesShiftTogglesCtrlRemovesCtrlShiftAdds)
{
    ASSERT_TRUE(mel("select -r body"));
    click(chest);
    EXPECT_EQ(selection(), "chestCtrl");
    EXPECT_EQ(hovered(), 0);
    EXPECT_EQ(selectedPatches(), "0");

    click(belly, "shift");
    EXPECT_EQ(selection(), "chestCtrl bellyCtrl");
    click(chest, "shift");
    EXPECT_EQ(selection(), "bellyCtrl");
    EXPECT_EQ(selectedPatches(), "2");

    click(belly, "ctrl");
    EXPECT_EQ(selection(), "");
    click(belly, "ctrl");
    EXPECT_EQ(selection(), "");

    click(chest, "ctrl+shift");
    click(belly, "ctrl+shift");
    click(belly, "ctrl+shift");
    EXPECT_EQ(selection(), "chestCtrl bellyCtrl");
    EXPECT_EQ(selectedPatches(), "0 2");

    click(belly);
    EXPECT_EQ(selection(), "bellyCtrl");
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
        moveTo(place);
        EXPECT_EQ(hovered(), -1);
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
    moveTo(chest);
    ASSERT_EQ(hovered(), 0);
    ASSERT_TRUE(mel("delete body"));
    moveTo(belly);
    moveTo(chest);
    EXPECT_EQ(hovered(), -1);
    click(chest);
    EXPECT_EQ(selection(), "");
}

TEST_F(OverlayClick, UndoAndRedoOfARebindLeaveNoStaleHoverOrSelection)
{
    click(chest);
    moveTo(belly);
    ASSERT_EQ(hovered(), 2);
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

TEST_F(OverlayClick, PressDragAndReleaseSelectNothingAndTheDragNeverReachesTheView)
{
    MouseEventRecorder recorder(widget);
    const QPointF start = widgetPoint(chest);
    const QPointF end = start + QPointF(QApplication::startDragDistance(), 0);
    mouse("press", start, "left");
    mouse("move", start + QPointF(2, 0), "left");
    mouse("move", end, "left");
    mouse("release", end, "left");
    EXPECT_EQ(selection(), "");
    // Press, drags and release all stayed with the overlay.
    for (const SeenMouseEvent& event : recorder.seen())
        EXPECT_TRUE(event.byApplication) << "the view saw event type " << event.type;

    // Moving less than the drag distance is still a click.
    mouse("press", start, "left");
    mouse("move", start + QPointF(QApplication::startDragDistance() - 1, 0), "left");
    mouse("release", start, "left");
    EXPECT_EQ(selection(), "chestCtrl");
}

TEST_F(OverlayClick, PressOnOnePatchAndReleaseOnAnotherSelectsNothing)
{
    mouse("press", widgetPoint(chest), "left");
    mouse("release", widgetPoint(arm), "left");
    EXPECT_EQ(selection(), "");
    EXPECT_EQ(hovered(), 1);
}

TEST_F(OverlayClick, ReleaseInAnotherViewEndsThePressWithoutAClick)
{
    // modelPanel1 looks down from the top as well, so the release lands on the same patch.
    mouse("press", widgetPoint(chest), "left");
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel1 -type release -button left -world " + std::to_string(chest.x) +
                    " 0 " + std::to_string(chest.z)));
    EXPECT_NE(selection(), "chestCtrl");
    // The press is over: a release back in the first view is not a click either.
    mouse("release", widgetPoint(chest), "left");
    EXPECT_NE(selection(), "chestCtrl");
}

TEST_F(OverlayClick, TheMoveToolsHandleKeepsTheClickFromTheOverlay)
{
    ASSERT_TRUE(mel("setAttr bellyCtrl.translate " + std::to_string(chest.x) + " 0 " + std::to_string(chest.z)));
    ASSERT_TRUE(mel("select -r bellyCtrl; setToolTo moveSuperContext"));
    click(chest);
    EXPECT_NE(selection(), "chestCtrl");
    EXPECT_EQ(hovered(), -1);

    ASSERT_TRUE(mel("setToolTo selectSuperContext"));
    click(chest);
    EXPECT_EQ(selection(), "chestCtrl");
}

TEST_F(OverlayClick, ClicksOffThePatchesOrOnADisabledOverlayAreLeftToTheView)
{
    MouseEventRecorder recorder(widget);
    click(bare);
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.enable 0"));
    moveTo(chest);
    EXPECT_EQ(hovered(), -1);
    click(chest);
    EXPECT_NE(selection(), "chestCtrl");
    // All five events reached the view.
    int reached = 0;
    for (const SeenMouseEvent& event : recorder.seen())
        reached += event.byApplication ? 0 : 1;
    EXPECT_EQ(reached, 5);
}

} // namespace
