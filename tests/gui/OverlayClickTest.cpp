// Clicking an overlay's patches in a view: a click selects the patch's control with Maya's
// Shift/Ctrl modes, a patch without a control selects its mesh's transform, a drag selects
// nothing and keeps its moves from the view, and the move tool's handle keeps the click.

#include "OverlayMouseScene.h"

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

TEST_F(OverlayClick, APatchWithoutAControlSelectsItsMeshsTransform)
{
    ASSERT_TRUE(mel("disconnectAttr armPatch.message torsoOverlayShape.patchControl[1]"));
    click(arm);
    EXPECT_EQ(selection(), "armPatch");
    EXPECT_EQ(selectedPatches(), "1");
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
