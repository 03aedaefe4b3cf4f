// "pellixPatchCreate": patches cut from a driver's faces store what a full bind of the same
// meshes stores, mirrored patches find the other side's faces and control, patches are listed
// and removed, every step undoes and redoes to the same scene text, and the errors name the
// cause and leave the scene untouched.

#include "BindCommandSupport.h"
#include "PinTestSupport.h"

#include "support/RealScenesFolder.h"

#include <maya/MFnMesh.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cstdio>
#include <string>
#include <vector>

using pinbind::sourceOf;

namespace {

using Ints = std::vector<int>;
using Names = std::vector<std::string>;

std::vector<Ints> storedArrays(const std::string& shape)
{
    std::vector<Ints> arrays;
    for (const char* name : {"pvc", "pdvi", "pto", "ptc", "pti", "peo", "pec", "pei"})
        arrays.push_back(intArray(shape + "." + name));
    return arrays;
}

std::string messages(const host::MessageCapture& capture, host::MessageKind kind)
{
    return capture.text(kind).asChar();
}

Names strings(const MStringArray& values)
{
    Names names;
    for (unsigned i = 0; i < values.length(); ++i)
        names.push_back(values[i].asChar());
    return names;
}

MPointArray worldPoints(const char* mesh)
{
    MSelectionList list;
    MDagPath path;
    MPointArray points;
    if (list.add(mesh) && list.getDagPath(0, path))
        MFnMesh(path).getPoints(points, MSpace::kWorld);
    return points;
}

// A 5 x 5 driver centred on x = 0 (faces 4 * row + column, column 0 mirroring column 3), moved
// up so that world positions differ from local ones, and a control for each side and the middle.
class PatchCreate : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        makeDriver("driver", fGrid);
        ASSERT_TRUE(mel("createNode transform -name chest_ctrl; createNode transform -name L_hand_ctrl; "
                        "createNode transform -name R_hand_ctrl; createNode transform -name armLf"));
    }

    DriverGrid fGrid{5, -2.0, 0.0, 0.0};
};

} // namespace

TEST_F(PatchCreate, PatchFromFacesStoresWhatAFullBindOfItStores)
{
    // Faces in any mix of ranges and repeats, on the transform's name.
    EXPECT_EQ(melString("pellixPatchCreate -control chest_ctrl driver.f[5] driver.f[1:2] driver.f[2]"),
              "chest_ctrl_patch");
    // Faces selected as a user selects them, with the control among the selection.
    ASSERT_TRUE(mel("select -replace driverShape.f[12] L_hand_ctrl"));
    EXPECT_EQ(melString("pellixPatchCreate -name handPatch"), "handPatch");

    // Hidden, under the overlay's group, with the driver's world positions and the faces' winding.
    EXPECT_EQ(strings(melStrings("listRelatives -children pellixDataOverlayPatches")),
              (Names{"chest_ctrl_patch", "handPatch"}));
    EXPECT_EQ(melInt("getAttr chest_ctrl_patch.visibility"), 0);
    EXPECT_EQ(melInt("polyEvaluate -face chest_ctrl_patch"), 3);
    EXPECT_EQ(melInt("polyEvaluate -vertex chest_ctrl_patch"), 8);
    const MPointArray patch = worldPoints("handPatchShape");
    ASSERT_EQ(patch.length(), 4u);
    const int corners[] = {15, 20, 21, 16};  // face 12's corners in the driver's order
    for (unsigned k = 0; k < 4; ++k)
        EXPECT_TRUE(patch[k].isEquivalent(fGrid.point(corners[k]))) << k;

    // Tagged with its control, bound to the driver's world mesh.
    EXPECT_EQ(sourceOf("chest_ctrl_patchShape.pellixSelectNode"), "chest_ctrl.message");
    EXPECT_EQ(sourceOf("pellixDataOverlayShape.inMesh"), "driverShape.worldMesh[0]");
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchSourceMeshes", 2),
              (Names{"chest_ctrl_patchShape", "handPatchShape"}));
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 2), (Names{"chest_ctrl", "L_hand_ctrl"}));
    EXPECT_EQ(strings(melStrings("pellixPatchCreate -q -patches pellixDataOverlay")),
              (Names{"chest_ctrl_patch", "chest_ctrl", "handPatch", "L_hand_ctrl"}));

    // A second driver gets an overlay and a group of its own; its patches keep their UVs.
    ASSERT_TRUE(mel("polyPlane -width 4 -height 4 -subdivisionsX 4 -subdivisionsY 4 -constructionHistory 0 "
                    "-name plane"));
    EXPECT_EQ(melString("pellixPatchCreate -control chest_ctrl -name planePatch plane.f[5:6]"), "planePatch");
    EXPECT_EQ(strings(melStrings("listRelatives -children pellixDataOverlay1Patches")), (Names{"planePatch"}));
    EXPECT_EQ(sourceOf("pellixDataOverlay1Shape.inMesh"), "planeShape.worldMesh[0]");
    MSelectionList meshes;
    MDagPath plane;
    MDagPath planePatch;
    ASSERT_TRUE(meshes.add("planeShape") && meshes.add("planePatchShape") && meshes.getDagPath(0, plane) &&
                meshes.getDagPath(1, planePatch));
    const MFnMesh planeFn(plane);
    const MFnMesh patchFn(planePatch);
    EXPECT_EQ(patchFn.numUVs(), 6);  // the two faces share two of their UVs
    for (int face = 0; face < 2; ++face) {
        for (int k = 0; k < 4; ++k) {
            float u[2], v[2];
            ASSERT_TRUE(planeFn.getPolygonUV(5 + face, k, u[0], v[0]) && patchFn.getPolygonUV(face, k, u[1], v[1]));
            EXPECT_EQ(u[0], u[1]);
            EXPECT_EQ(v[0], v[1]);
        }
    }

    // A full bind of the same meshes stores the same arrays and picks the same controls.
    const std::vector<Ints> created = storedArrays("pellixDataOverlayShape");
    ASSERT_TRUE(mel("pellixDataBind driver chest_ctrl_patch handPatch"));
    EXPECT_EQ(storedArrays("pellixDataOverlayShape"), created);
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 2), (Names{"chest_ctrl", "L_hand_ctrl"}));
}

TEST_F(PatchCreate, MirrorMakesTheOtherSidesPatchForTheOtherSidesControl)
{
    host::MessageCapture capture;
    // Faces 0 and 4 (column 0) mirror faces 3 and 7; face 1 mirrors face 2.
    EXPECT_EQ(strings(melStrings("pellixPatchCreate -mirror -control L_hand_ctrl driver.f[0] driver.f[4] "
                                 "driver.f[1]")),
              (Names{"L_hand_ctrl_patch", "R_hand_ctrl_patch"}));
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 2), (Names{"L_hand_ctrl", "R_hand_ctrl"}));
    const Ints driverIds = intArray("pellixDataOverlayShape.patchDriverVertexIndices");
    // Face 0: {0,5,6,1}; face 1 adds {7,2}; face 4: {5,10,11,6} adds {10,11}.
    EXPECT_EQ(Ints(driverIds.begin(), driverIds.begin() + 8), (Ints{0, 5, 6, 1, 7, 2, 10, 11}));
    // Mirrored faces 2, 3 and 7 in order: {2,7,8,3}, then {4,9}, then {13,14}.
    EXPECT_EQ(Ints(driverIds.begin() + 8, driverIds.end()), (Ints{2, 7, 8, 3, 9, 4, 13, 14}));
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning), "");

    // A face whose mirror moved away is reported; the rest still mirror, under the other
    // side's name.
    ASSERT_TRUE(mel("move -relative 0 0.5 0 driver.vtx[24]"));
    EXPECT_EQ(strings(melStrings("pellixPatchCreate -mirror -control L_hand_ctrl -name L_foot driver.f[8] "
                                 "driver.f[12]")),
              (Names{"L_foot", "R_foot"}));
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning),
              "pellixPatchCreate: 1 face(s) have no mirror within tolerance 0.001: driver.f[12]\n");
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{8, 8, 6, 4}));

    // Across z nothing of a mesh lying at z >= 0 mirrors a face away from z = 0.
    EXPECT_FALSE(mel("pellixPatchCreate -mirror -axis z -control L_hand_ctrl driver.f[13]"));
    EXPECT_EQ(messages(capture, host::MessageKind::kError),
              "pellixPatchCreate: no faces mirror the selected faces across z within tolerance 0.001.\n");
}

TEST_F(PatchCreate, UndoAndRedoOfCreateMirrorAndRemoveGiveBackTheSceneText)
{
    const std::string empty = sceneText();
    ASSERT_TRUE(undoableMel("pellixPatchCreate -control chest_ctrl driver.f[9:10]"));
    const std::string one = sceneText();
    ASSERT_TRUE(undoableMel("pellixPatchCreate -mirror -control R_hand_ctrl -mirrorColor 1 0 0 driver.f[15]"));
    const std::string three = sceneText();
    // Removing the first patch moves the others down, with their controls.
    ASSERT_TRUE(undoableMel("pellixPatchCreate -e -remove chest_ctrl_patch"));
    const std::string removed = sceneText();
    EXPECT_EQ(strings(melStrings("pellixPatchCreate -q -overlay -patches pellixDataOverlayShape")),
              (Names{"R_hand_ctrl_patch", "R_hand_ctrl", "L_hand_ctrl_patch", "L_hand_ctrl"}));
    EXPECT_EQ(melStrings("ls chest_ctrl_patch").length(), 0u);

    for (const std::string* scene : {&three, &one, &empty}) {
        ASSERT_TRUE(mel("undo"));
        EXPECT_EQ(sceneText(), *scene);
    }
    for (const std::string* scene : {&one, &three, &removed}) {
        ASSERT_TRUE(mel("redo"));
        EXPECT_EQ(sceneText(), *scene);
    }
    // What is left is what a full bind of the remaining patches stores.
    const std::vector<Ints> kept = storedArrays("pellixDataOverlayShape");
    ASSERT_TRUE(mel("pellixDataBind driver R_hand_ctrl_patch L_hand_ctrl_patch"));
    EXPECT_EQ(storedArrays("pellixDataOverlayShape"), kept);
}

TEST_F(PatchCreate, ErrorsNameTheCauseAndLeaveTheSceneUntouched)
{
    makeDriver("other", fGrid);
    ASSERT_TRUE(mel("createNode transform -name loner; select -clear"));
    ASSERT_TRUE(mel("pellixPatchCreate -control chest_ctrl -name chestPatch driver.f[5:6]"));
    const std::string before = sceneText();
    const struct
    {
        std::string call, error;
    } cases[] = {
        {"pellixPatchCreate -control chest_ctrl",
         "no faces selected; select faces of the driver mesh (body.f[10:40])."},
        {"pellixPatchCreate -control chest_ctrl driver.f[0] other.f[1]",
         "faces of two meshes are selected ('driver' and 'other'); select faces of one driver mesh."},
        {"select -replace other.f[2] driver.f[3]; pellixPatchCreate -control chest_ctrl",
         "faces of two meshes are selected ('other' and 'driver'); select faces of one driver mesh."},
        {"select -replace driver chest_ctrl; pellixPatchCreate -control chest_ctrl",
         "no faces selected; select faces of the driver mesh (body.f[10:40])."},
        {"pellixPatchCreate -control nobody driver.f[0]", "no such control: 'nobody'."},
        {"pellixPatchCreate driver.f[0]", "no control given: select it after the faces, or name it with -control."},
        {"pellixPatchCreate -control chest_ctrl driver.f[16]", "'driver.f[16]' names no faces of 'driver'."},
        {"pellixPatchCreate -control chest_ctrl driver.f[3] driver.f[6:7]",
         "face driver.f[6] is already in patch 'chestPatch' of overlay 'pellixDataOverlay'; use -force to add it "
         "again."},
        {"pellixPatchCreate -mirror -control chest_ctrl driver.f[0]",
         "control 'chest_ctrl' has no side in its name (L_/R_, _L/_R, left/right, Lf/Rt) to mirror."},
        {"pellixPatchCreate -mirror -control armLf driver.f[0]", "mirrored control 'armRt' does not exist."},
        {"pellixPatchCreate -mirror -axis w -control L_hand_ctrl driver.f[0]", "-axis must be x, y or z, not 'w'."},
        {"pellixPatchCreate -mirror -control L_hand_ctrl driver.f[1:2]",
         "the mirrored faces overlap the selected ones (driver.f[1:2]); select faces of one side."},
        {"pellixPatchCreate -control chest_ctrl -overlay faceRig driver.f[0]",
         "driver 'driver' already has overlay 'pellixDataOverlay'; name that one with -overlay, or leave -overlay "
         "out."},
        {"pellixPatchCreate -e -remove loner", "no such patch mesh: 'loner'."},
        {"pellixPatchCreate -e -remove driver", "'driver' is not a patch of any overlay."},
        {"pellixPatchCreate -q -patches -overlay loner", "no such overlay: 'loner'."},
        {"pellixPatchCreate -control chest_ctrl -color 1 0 driver.f[0]",
         "Flag -color expects a number argument, not \"driver.f[0]\"."},
    };
    for (const auto& c : cases) {
        host::MessageCapture capture;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(mel(c.call)) << c.call;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.call << ": no raw status line";
        EXPECT_EQ(messages(capture, host::MessageKind::kError), "pellixPatchCreate: " + c.error + "\n") << c.call;
        EXPECT_EQ(sceneText(), before) << c.call;
    }
    // -force takes faces another patch already holds.
    EXPECT_EQ(melString("pellixPatchCreate -force -control chest_ctrl driver.f[6]"), "chest_ctrl_patch");
}

TEST_F(PatchCreate, PatchColoursAreStoredWithThePatchAndSavedWithTheScene)
{
    ASSERT_TRUE(mel("pellixPatchCreate -mirror -control L_hand_ctrl -color 1 0.5 0 -mirrorColor 0 0.5 1 "
                    "driver.f[0]"));
    EXPECT_DOUBLE_EQ(melDouble("getAttr L_hand_ctrl_patchShape.pellixPatchColorG"), 0.5);
    EXPECT_DOUBLE_EQ(melDouble("getAttr R_hand_ctrl_patchShape.pellixPatchColorB"), 1.0);
    // The overlay's own colours stay the defaults.
    EXPECT_FLOAT_EQ(melDouble("getAttr pellixDataOverlayShape.colorG"), 0.64f);
    EXPECT_NE(sceneText().find("\"pellixPatchColor\""), std::string::npos);
}
TEST_F(PatchCreate, OnTheSkinnedCharacterChestAndBothHandsUndoRedoAndReopen)
{
    const std::string scene = realScenePath("squareMAN-skinned.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    ASSERT_TRUE(mel("file -force -open \"" + scene + "\""));
    // Controls for the patches, and the skinned body evaluated once, as opening it in a view does.
    ASSERT_TRUE(mel("createNode transform -name chest_ctrl; createNode transform -name L_hand_ctrl; "
                    "createNode transform -name R_hand_ctrl; exactWorldBoundingBox SquareMan"));
    const std::string opened = sceneText();
    // The chest's two front faces; the left hand's six faces (x > 0). The model's right hand
    // is not its mirror image: the two faces of it that mirror within a looser tolerance make
    // the right hand's patch, and the rest are reported.
    ASSERT_TRUE(mel("select -replace SquareMan.f[6] SquareMan.f[12]"));
    ASSERT_TRUE(undoableMel("pellixPatchCreate -control chest_ctrl"));
    const std::string chest = sceneText();
    {
        host::MessageCapture capture;
        ASSERT_TRUE(mel("select -replace SquareMan.f[36:41]"));
        ASSERT_TRUE(undoableMel("pellixPatchCreate -mirror -tolerance 0.25 -control L_hand_ctrl"));
        EXPECT_EQ(messages(capture, host::MessageKind::kWarning),
                  "pellixPatchCreate: 4 face(s) have no mirror within tolerance 0.25: SquareMan.f[36] SquareMan.f[38] "
                  "SquareMan.f[40:41]\n");
    }
    const std::string hands = sceneText();
    EXPECT_EQ(strings(melStrings("pellixPatchCreate -q -overlay -patches pellixDataOverlay")),
              (Names{"chest_ctrl_patch", "chest_ctrl", "L_hand_ctrl_patch", "L_hand_ctrl", "R_hand_ctrl_patch",
                     "R_hand_ctrl"}));
    EXPECT_EQ(melInt("polyEvaluate -face L_hand_ctrl_patch"), 6);
    EXPECT_EQ(melInt("polyEvaluate -face R_hand_ctrl_patch"), 2);
    EXPECT_EQ(sourceOf("pellixDataOverlayShape.inMesh"), "SquareManShape.worldMesh[0]");
    // The right hand's patch lies on the faces at x < 0 that mirror the left hand's.
    const MPoint right = worldCentreOf("R_hand_ctrl_patch");
    const MPoint left = worldCentreOf("L_hand_ctrl_patch");
    EXPECT_LT(right.x, -2.5);
    EXPECT_GT(left.x, 2.5);
    EXPECT_NEAR(right.y, left.y, 0.1);

    ASSERT_TRUE(mel("select -clear"));
    for (const std::string* text : {&chest, &opened}) {
        ASSERT_TRUE(mel("undo"));
        EXPECT_TRUE(sceneText() == *text);  // the whole scene; too long to print
    }
    for (const std::string* text : {&chest, &hands}) {
        ASSERT_TRUE(mel("redo"));
        EXPECT_TRUE(sceneText() == *text);  // the whole scene; too long to print
    }

    // Saved and opened again, the overlay holds the same patches and controls.
    const std::string saved = testing::TempDir() + "patchCreateSquareMan.ma";
    ASSERT_TRUE(mel("file -rename \"" + saved + "\"; file -force -save -type \"mayaAscii\""));
    const Ints driverIds = intArray("pellixDataOverlayShape.patchDriverVertexIndices");
    ASSERT_TRUE(mel("file -force -new; file -force -open \"" + saved + "\""));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"), driverIds);
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 3),
              (Names{"chest_ctrl", "L_hand_ctrl", "R_hand_ctrl"}));
    EXPECT_EQ(sourceOf("R_hand_ctrl_patchShape.pellixSelectNode"), "R_hand_ctrl.message");
    std::remove(saved.c_str());
}
