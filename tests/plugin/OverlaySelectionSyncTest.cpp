// Every overlay's "selectedPatches" follows the active selection: a patch is selected
// through its control, its source mesh or that mesh's transform.

#include "OverlayBehaviourScene.h"

#include <string>
#include <vector>

namespace {

// Two overlays on one driver sharing patch meshes and controls.
class OverlaySelectionSync : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(buildDriverAndPatches());
        ASSERT_TRUE(buildBoundOverlay("overlay", "overlayShape"));
        ASSERT_TRUE(buildBoundOverlay("second", "secondShape"));
        ASSERT_TRUE(mel("select -cl"));
    }

    void expectSelected(const std::string& selection, const std::vector<int>& patches)
    {
        SCOPED_TRACE(selection);
        ASSERT_TRUE(mel(selection));
        EXPECT_EQ(selectedPatchesOf("overlayShape"), patches);
        EXPECT_EQ(selectedPatchesOf("secondShape"), patches);
    }
};

} // namespace

TEST_F(OverlaySelectionSync, PatchesFollowTheirControlsSourceMeshesAndTransforms)
{
    expectSelected("select -r ctrlA", {0});
    expectSelected("select -r patchBShape", {1});
    expectSelected("select -r patchB", {1});
    expectSelected("select -r ctrlB patchA", {0, 1});
    expectSelected("select -r driver", {});
    expectSelected("select -r ctrlB patchA", {0, 1});
    expectSelected("select -d patchA", {1});
    expectSelected("select -cl", {});
}

TEST_F(OverlaySelectionSync, AnEqualListIsNotRewritten)
{
    ASSERT_TRUE(mel("select -r ctrlA"));
    expectBumps("select -r ctrlA", {}, "overlayShape");
    expectBumps("select -add driver", {}, "secondShape");
    expectBumps("select -r patchA", {}, "overlayShape");
    expectBumps("select -add ctrlB", {kHighlight}, "overlayShape");
    EXPECT_EQ(selectedPatchesOf("overlayShape"), (std::vector<int>{0, 1}));
}

TEST_F(OverlaySelectionSync, DamagedOrMissingLinksSelectNothing)
{
    // A patch without control or source mesh, and counts that name more patches than connect.
    ASSERT_TRUE(mel("disconnectAttr ctrlA.message overlayShape.patchControl[0]"));
    ASSERT_TRUE(mel("disconnectAttr patchAShape.message overlayShape.patchSourceMeshes[0]"));
    ASSERT_TRUE(mel("setAttr overlayShape.patchVertexCounts -type Int32Array 4 4 4 -1 4"));
    ASSERT_TRUE(mel("select -r ctrlA patchA"));
    EXPECT_TRUE(selectedPatchesOf("overlayShape").empty());
    EXPECT_EQ(selectedPatchesOf("secondShape"), (std::vector<int>{0}));
    ASSERT_TRUE(mel("select -r ctrlA patchA ctrlB"));
    EXPECT_EQ(selectedPatchesOf("overlayShape"), (std::vector<int>{1}));

    // No stored patches: nothing can be selected.
    ASSERT_TRUE(mel("setAttr overlayShape.patchVertexCounts -type Int32Array 0"));
    ASSERT_TRUE(mel("select -r ctrlB"));
    EXPECT_TRUE(selectedPatchesOf("overlayShape").empty());
    EXPECT_EQ(selectedPatchesOf("secondShape"), (std::vector<int>{1}));
}
