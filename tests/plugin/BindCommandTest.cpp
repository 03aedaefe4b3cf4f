// "pellixDataBind": what a bind stores and connects, how patch vertices find their driver
// vertices, the errors that leave the scene as it was; a driver that already has an overlay
// (replacing it with its settings, name and tracked controls, rebinding some patches only,
// damaged stored bindings, undo and redo); and an instanced driver, where each instance has
// its own world mesh and overlay, with replacements whose deletion or renaming fails.

#include "BindCommandSupport.h"
#include "PinTestSupport.h"

#include <maya/MCallbackIdArray.h>
#include <maya/MDGMessage.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MMessage.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <climits>
#include <fstream>
#include <string>
#include <vector>

using pinbind::sourceOf;

namespace {

using Ints = std::vector<int>;
using Names = std::vector<std::string>;

std::string messages(const host::MessageCapture& capture, host::MessageKind kind)
{
    return capture.text(kind).asChar();
}

std::string outsideTolerance(const std::string& patch, int outside, int of, const std::string& tolerance)
{
    return "pellixDataBind: patch '" + patch + "' has " + std::to_string(outside) + " of " + std::to_string(of) +
           " vertices outside bind tolerance " + tolerance + ". Increase Bind Tolerance or align the patch with the "
           "driver.\n";
}

// A 5 x 5 driver and three patches on it: a quad, two quads sharing an edge, and a triangle
// whose local vertex order differs from the driver's.
class BindCommand : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        makeDriver("driver", fGrid);
        makePatch("patchA", fGrid, fIdsA, {{0, 1, 2, 3}});
        makePatch("patchB", fGrid, fIdsB, {{0, 1, 2, 3}, {3, 2, 4, 5}});
        makePatch("patchC", fGrid, fIdsC, {{1, 0, 2}});
    }

    static Ints concat(std::initializer_list<Ints> parts)
    {
        Ints all;
        for (const Ints& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    }

    // Every stored array, in the order of the overlay's attributes.
    static std::vector<Ints> storedArrays(const std::string& shape)
    {
        std::vector<Ints> arrays;
        for (const char* name : {"pvc", "pdvi", "pto", "ptc", "pti", "peo", "pec", "pei"})
            arrays.push_back(intArray(shape + "." + name));
        return arrays;
    }

    DriverGrid fGrid;
    const Ints fIdsA = {0, 5, 6, 1};
    const Ints fIdsB = {2, 7, 8, 3, 9, 4};
    const Ints fIdsC = {24, 18, 19};
};

// The same driver and patches, already bound (on the undo queue).
class BindCommandRebind : public BindCommand
{
protected:
    void SetUp() override
    {
        BindCommand::SetUp();
        ASSERT_TRUE(undoableMel("pellixDataBind driver patchA patchB patchC"));
    }
};

} // namespace

TEST_F(BindCommand, StoresEveryPatchOnTheDriverVerticesItSitsOn)
{
    host::MessageCapture capture;
    const MString shape = melString("pellixDataBind driver patchA patchB patchC");
    EXPECT_EQ(shape, "pellixDataOverlayShape");
    EXPECT_EQ(melString("nodeType pellixDataOverlayShape"), "pellixDataOverlay");
    EXPECT_EQ(melStrings("listRelatives -parent pellixDataOverlayShape")[0], "pellixDataOverlay");

    const std::vector<Ints> stored = storedArrays("pellixDataOverlayShape");
    EXPECT_EQ(stored[0], (Ints{4, 6, 3}));
    EXPECT_EQ(stored[1], concat({fIdsA, fIdsB, fIdsC}));
    EXPECT_EQ(stored[2], (Ints{0, 6, 18}));
    EXPECT_EQ(stored[3], (Ints{6, 12, 3}));
    ASSERT_EQ(stored[4].size(), 21u);
    EXPECT_EQ(Ints(stored[4].begin() + 18, stored[4].end()), (Ints{1, 0, 2}));
    // Edges as local index pairs: 4 for the quad, 7 for the two quads, 3 for the triangle.
    EXPECT_EQ(stored[5], (Ints{0, 8, 22}));
    EXPECT_EQ(stored[6], (Ints{8, 14, 6}));
    ASSERT_EQ(stored[7].size(), 28u);
    for (size_t i = 8; i < 22; ++i)
        EXPECT_LT(stored[7][i], 6) << i;

    // The driver comes in through its first world-space mesh.
    EXPECT_EQ(sourceOf("pellixDataOverlayShape.inMesh"), "driverShape.worldMesh[0]");
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchSourceMeshes", 3),
              (Names{"patchAShape", "patchBShape", "patchCShape"}));
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 3), (Names{"patchA", "patchB", "patchC"}));
    EXPECT_DOUBLE_EQ(melDouble("getAttr pellixDataOverlayShape.bindTolerance"), 0.0001);
    EXPECT_EQ(melInt("getAttr patchA.visibility"), 1);
    EXPECT_EQ(messages(capture, host::MessageKind::kInfo),
              "pellixDataBind created data overlay with 3 patch(es); 13 vertices matched at bind tolerance 0.0001.\n");
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning), "");
}

TEST_F(BindCommand, TakesTheSelectionAndEachPatchMeshOnce)
{
    ASSERT_TRUE(mel("select -replace driverShape patchA patchAShape driver patchC"));
    host::MessageCapture capture;
    EXPECT_EQ(melString("pellixDataBind -name faceRig -hidePatches true"), "faceRigShape");
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning),
              "pellixDataBind: skipped driver mesh in patch list: driverShape\n");
    EXPECT_EQ(intArray("faceRigShape.patchVertexCounts"), (Ints{4, 3}));
    EXPECT_EQ(intArray("faceRigShape.patchDriverVertexIndices"), concat({fIdsA, fIdsC}));
    EXPECT_EQ(melInt("getAttr patchA.visibility"), 0);
    EXPECT_EQ(melInt("getAttr patchC.visibility"), 0);
    EXPECT_EQ(melInt("getAttr patchB.visibility"), 1);
}

TEST_F(BindCommand, ClickTargetsFollowTheUserSelectAttributes)
{
    // A select-parent switch on a patch directly under the world has no parent to give.
    makePatch("patchD", fGrid, {10, 15, 16, 11}, {{0, 1, 2, 3}});
    for (const char* command :
         {"createNode transform -name rig", "parent patchA rig", "createNode transform -name ctrlB",
          "addAttr -longName pellixSelectNode -attributeType message patchBShape",
          "connectAttr ctrlB.message patchBShape.pellixSelectNode", "createNode transform -name ctrlC",
          "addAttr -longName pellixSelectNode -attributeType message patchC",
          "connectAttr ctrlC.message patchC.pellixSelectNode", "createNode transform -name lonely",
          "addAttr -longName pellixSelectParent -attributeType bool patchA", "setAttr patchA.pellixSelectParent 1",
          "addAttr -longName pellixSelectParent -attributeType bool patchD", "setAttr patchD.pellixSelectParent 1",
          "pellixDataBind driver patchA patchB patchC patchD"})
        ASSERT_TRUE(mel(command)) << command;
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 4), (Names{"rig", "ctrlB", "ctrlC", "patchD"}));
}

TEST_F(BindCommand, WorldSpacePositionsWithNegativeCoordinatesAndCellBoundaries)
{
    // A driver away from the origin on both sides, moved by its transform; one patch built in
    // world space, one built in place and moved by its own transform, with vertices on cell
    // boundaries (multiples of the tolerance) and some nudged across them.
    DriverGrid grid;
    grid.x0 = -3.35;
    grid.y = -1.2;
    grid.z0 = -0.5;
    makeDriver("farDriver", grid);
    ASSERT_TRUE(mel("move -2.05 0 -7.1 farDriver"));
    makePatch("worldPatch", grid, {0, 5, 6, 1}, {{0, 1, 2, 3}}, MPoint(-2.05 + 0.03, 0.0, -7.1 - 0.03));
    makePatch("movedPatch", grid, {18, 23, 24, 19}, {{0, 1, 2, 3}}, MPoint(0.0, 0.049, 0.0));
    ASSERT_TRUE(mel("move -2.05 0 -7.1 movedPatch"));
    ASSERT_TRUE(mel("pellixDataBind -bindTolerance 0.05 farDriver worldPatch movedPatch"));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"), (Ints{0, 5, 6, 1, 18, 23, 24, 19}));

    // Without the patch transform's move the second patch is nowhere near the driver.
    ASSERT_TRUE(mel("move 0 0 0 movedPatch"));
    EXPECT_EQ(melFailure("pellixDataBind -bindTolerance 0.05 farDriver movedPatch"),
              outsideTolerance("|movedPatch|movedPatchShape", 4, 4, "0.05"));
}

TEST_F(BindCommand, TheSmallestToleranceIsStoredAndReportedAsGiven)
{
    // Which driver vertex wins a tie, and where a tolerance ends, the matching's own tests settle.
    host::MessageCapture capture;
    ASSERT_TRUE(mel("pellixDataBind -bindTolerance 1e-12 driver patchA"));
    EXPECT_EQ(melDouble("getAttr pellixDataOverlayShape.bindTolerance"), 1e-12);
    EXPECT_EQ(messages(capture, host::MessageKind::kInfo),
              "pellixDataBind created data overlay with 1 patch(es); 4 vertices matched at bind tolerance 1e-12.\n");
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"), fIdsA);
}

TEST_F(BindCommand, SharedDriverVerticesWarnWithinAPatchOnly)
{
    // Three patch vertices on driver vertex 6 count 2; patch A also uses 6 without a warning.
    makePatch("crowded", fGrid, {6, 6, 7, 6, 11}, {{0, 2, 4}, {1, 3, 2}});
    host::MessageCapture capture;
    ASSERT_TRUE(mel("pellixDataBind driver patchA crowded"));
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning),
              "pellixDataBind: patch '|crowded|crowdedShape' has 2 patch vertices sharing driver vertices.\n");
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"), concat({fIdsA, {6, 6, 7, 6, 11}}));
}

TEST_F(BindCommand, ErrorsLeaveTheSceneUntouched)
{
    ASSERT_TRUE(mel("createNode transform -name empty; createNode mesh -name meshless"));
    // A mesh kept only as history is not a driver, whether named by shape or by transform.
    makePatch("ghost", fGrid, {0, 5, 6, 1}, {{0, 1, 2, 3}});
    ASSERT_TRUE(mel("setAttr ghostShape.intermediateObject 1"));
    // Patch vertex 3 exactly 0.5 from driver vertices 1 and 2; one of four nudged vertices
    // outside, and the first failing patch ends the command.
    makePatch("halfway", fGrid, {0, 5, 6, 1}, {{0, 1, 2, 3}});
    ASSERT_TRUE(mel("move -relative 0.5 0 0 halfway.vtx[3]"));
    makePatch("nudged", fGrid, {10, 15, 16, 11}, {{0, 1, 2, 3}});
    ASSERT_TRUE(mel("move -relative 0 0 0.0002 nudged.vtx[1]; move -relative 0 0.001 0 patchB.vtx[2]"));
    ASSERT_TRUE(mel("select -replace driver"));
    const char* const badTolerance = "pellixDataBind: bindTolerance must be a finite value greater than zero.\n";
    const std::string noDriver = "pellixDataBind: first selected object must be a driver mesh: ";
    const char* const noPatch = "pellixDataBind: no valid patch meshes were found.\n";
    const char* const tooSmall = "pellixDataBind: bindTolerance must be at least 1e-12.\n";
    const struct
    {
        std::string call, errors, warnings;
    } cases[] = {
        {"pellixDataBind -bindTolerance 0 driver patchA", badTolerance, ""},
        {"pellixDataBind -bindTolerance -0.5 empty patchA", badTolerance, ""},
        {"pellixDataBind -bindTolerance 1e999 driver patchA", badTolerance, ""},
        {"pellixDataBind -bindTolerance abc driver patchA",
         "pellixDataBind: Flag -bindTolerance expects a number argument, not \"abc\".\n", ""},
        {"pellixDataBind empty patchA", noDriver + "empty\n", ""},
        {"pellixDataBind ghost patchA", noDriver + "ghost\n", ""},
        {"pellixDataBind ghostShape patchA", noDriver + "ghostShape\n", ""},
        {"pellixDataBind time1 patchA", noDriver + "time1\n", ""},
        {"pellixDataBind nothingHere patchA", "pellixDataBind: No object matches name: nothingHere\n", ""},
        {"pellixDataBind meshless patchA", "pellixDataBind: driver mesh has no vertices: meshless\n", ""},
        {"pellixDataBind driver ghost", noPatch, "pellixDataBind: skipped non-mesh patch: ghost\n"},
        {"pellixDataBind patchA empty time1", noPatch,
         "pellixDataBind: skipped non-mesh patch: empty\npellixDataBind: skipped non-mesh patch: time1\n"},
        {"pellixDataBind driver meshless", noPatch, "pellixDataBind: skipped patch mesh with no vertices: meshless\n"},
        {"pellixDataBind driver driverShape", noPatch,
         "pellixDataBind: skipped driver mesh in patch list: driverShape\n"},
        {"pellixDataBind -partialRebind true driver patchA",
         "pellixDataBind: partialRebind requires an existing overlay for the driver.\n", ""},
        {"pellixDataBind -bindTolerance 1e-13 driver patchA", tooSmall, ""},
        {"pellixDataBind -bindTolerance 1e-310 empty patchA", tooSmall, ""},
        {"pellixDataBind -bindTolerance 0.5 driver halfway", outsideTolerance("|halfway|halfwayShape", 1, 4, "0.5"), ""},
        {"pellixDataBind driver patchA nudged patchB", outsideTolerance("|nudged|nudgedShape", 1, 4, "0.0001"), ""},
        // One selected object is too few; the driver named again is the driver in the patch list.
        {"pellixDataBind", "pellixDataBind: select driver mesh followed by one or more patch meshes.\n", ""},
        {"pellixDataBind driver driver", noPatch, "pellixDataBind: skipped driver mesh in patch list: driverShape\n"},
        {"pellixDataBind -name \"face rig\" driver patchA",
         "pellixDataBind: overlay name is not a legal node name (it holds a space): face rig\n", ""},
        {"pellixDataBind -name 2ndRig driver patchA",
         "pellixDataBind: overlay name is not a legal node name (it starts with a digit): 2ndRig\n", ""},
        {"pellixDataBind -name rig# driver patchA",
         "pellixDataBind: overlay name is not a legal node name (it holds the character '#'): rig#\n", ""},
    };
    const std::string before = sceneText();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        host::MessageCapture capture;
        StderrCapture apiErrors;
        EXPECT_FALSE(mel(c.call));
        EXPECT_EQ(apiErrors.finish(), "");
        EXPECT_EQ(messages(capture, host::MessageKind::kError), c.errors);
        EXPECT_EQ(messages(capture, host::MessageKind::kWarning), c.warnings);
        EXPECT_EQ(sceneText(), before);
    }
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 0u);
}

TEST_F(BindCommandRebind, ReplacingKeepsUserNameSettingsAndTrackedControlsUntilANewNameIsGiven)
{
    for (const char* command :
         {"rename pellixDataOverlay faceRig", "setAttr pellixDataOverlayShape.color 1 0 0.5",
          "setAttr pellixDataOverlayShape.selectedColor 0 0 1", "setAttr pellixDataOverlayShape.liveDraw 1",
          "setAttr pellixDataOverlayShape.drawWireframe 1", "setAttr pellixDataOverlayShape.transparency 0.25",
          "setAttr pellixDataOverlayShape.readoutTextSize 20", "createNode shapeControl -name sc1",
          "createNode shapeControl -name sc2", "createNode transform -name notAControl",
          // Sparse, with a repeat and a node of another type: kept in order, each once.
          "connectAttr sc2.message pellixDataOverlayShape.trackedShapeControls[2]",
          "connectAttr notAControl.message pellixDataOverlayShape.trackedShapeControls[4]",
          "connectAttr sc1.message pellixDataOverlayShape.trackedShapeControls[7]",
          "connectAttr sc2.message pellixDataOverlayShape.trackedShapeControls[9]"})
        ASSERT_TRUE(mel(command)) << command;
    const std::string before = sceneText();

    host::MessageCapture capture;
    MString shape;
    ASSERT_TRUE(undoableMel("pellixDataBind -bindTolerance 0.001 driver patchC patchA", &shape));
    EXPECT_EQ(shape, "faceRigShape");
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
    EXPECT_EQ(melStrings("listRelatives -parent faceRigShape")[0], "faceRig");
    EXPECT_EQ(intArray("faceRigShape.patchVertexCounts"), (Ints{3, 4}));
    EXPECT_EQ(intArray("faceRigShape.patchDriverVertexIndices"), (Ints{24, 18, 19, 0, 5, 6, 1}));
    EXPECT_DOUBLE_EQ(melDouble("getAttr faceRigShape.bindTolerance"), 0.001);
    for (const auto& [attribute, value] : {std::make_pair("colorB", 0.5), std::make_pair("colorR", 1.0),
                                           std::make_pair("selectedColorB", 1.0), std::make_pair("transparency", 0.25),
                                           std::make_pair("liveDraw", 1.0), std::make_pair("drawWireframe", 1.0),
                                           std::make_pair("readoutTextSize", 20.0)})
        EXPECT_FLOAT_EQ(float(melDouble(std::string("getAttr faceRigShape.") + attribute)), float(value)) << attribute;
    EXPECT_EQ(messageSources("faceRigShape.trackedShapeControls", 3), (Names{"sc2", "sc1", ""}));
    EXPECT_EQ(messages(capture, host::MessageKind::kInfo),
              "pellixDataBind created data overlay with 2 patch(es); 7 vertices matched at bind tolerance 0.001.\n");
    const std::string after = sceneText();

    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(sceneText(), before);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{4, 6, 3}));
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(sceneText(), after);
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);

    // A new name replaces the old one.
    EXPECT_EQ(melString("pellixDataBind -name lips driver patchB"), "lipsShape");
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
    EXPECT_EQ(melInt("objExists faceRig"), 0);
}

TEST_F(BindCommandRebind, PartialRebindKeepsOrderControlsAndUnchangedPatchesAndRefusesAForeignOne)
{
    ASSERT_TRUE(mel("createNode transform -name ctrlB"));
    ASSERT_TRUE(mel("connectAttr -force ctrlB.message pellixDataOverlayShape.patchControl[1]"));
    ASSERT_TRUE(mel("disconnectAttr patchC.message pellixDataOverlayShape.patchControl[2]"));
    const std::vector<Ints> old = storedArrays("pellixDataOverlayShape");
    // Patch B moves one row up the driver.
    ASSERT_TRUE(mel("move 0 0 1 patchB"));

    host::MessageCapture capture;
    EXPECT_EQ(melString("pellixDataBind -partialRebind true driver patchB"), "pellixDataOverlayShape");
    const std::vector<Ints> now = storedArrays("pellixDataOverlayShape");
    EXPECT_EQ(now[0], old[0]);
    EXPECT_EQ(now[1], (Ints{0, 5, 6, 1, 7, 12, 13, 8, 14, 9, 24, 18, 19}));
    for (size_t i = 2; i < old.size(); ++i)
        EXPECT_EQ(now[i], old[i]) << i;
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchSourceMeshes", 3),
              (Names{"patchAShape", "patchBShape", "patchCShape"}));
    // A carried control stays; a patch without one gets its click target again.
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 3), (Names{"patchA", "ctrlB", "patchC"}));
    EXPECT_EQ(messages(capture, host::MessageKind::kInfo),
              "pellixDataBind rebound 1 selected patch(es); preserved 2 unchanged patch(es); 6 vertices rematched at "
              "bind tolerance 0.0001.\n");

    makePatch("patchD", fGrid, {10, 15, 16, 11}, {{0, 1, 2, 3}});
    const std::string before = sceneText();
    capture.clear();
    EXPECT_FALSE(mel("pellixDataBind -partialRebind true driver patchA patchD"));
    EXPECT_EQ(messages(capture, host::MessageKind::kError),
              "pellixDataBind: selected patch is not part of the existing overlay: |patchD|patchDShape\n");
    EXPECT_EQ(sceneText(), before);
}

TEST_F(BindCommandRebind, DamagedStoredBindingsOrAMissingSourceAreRefusedNotRead)
{
    struct Damage
    {
        const char* what;
        const char* attribute;
        Ints values;
        const char* error;
    };
    const char* const invalid = "pellixDataBind: existing overlay topology is invalid; use a full Rebind.\n";
    const char* const incomplete = "pellixDataBind: existing overlay topology is incomplete; use a full Rebind.\n";
    const Damage damages[] = {
        // Patch A is rebound, so its negative count is only met as the start of the next copy.
        {"negative count before a copied patch", "pvc", {-4, 6, 3}, invalid},
        {"counts whose sum wraps in 32 bits", "pvc", {INT_MAX, INT_MAX, 3}, invalid},
        {"vertex slice past the end", "pvc", {4, 6, 4}, invalid},
        {"triangle offset plus count wraps", "pto", {0, INT_MAX, 18}, invalid},
        {"negative edge offset", "peo", {0, -8, 22}, invalid},
        {"edge counts shorter than the patches", "pec", {8, 14}, incomplete},
        {"triangle offsets shorter than the patches", "pto", {0}, incomplete},
        {"no patches stored", "pvc", {},
         "pellixDataBind: existing overlay binding data could not be read; use a full Rebind.\n"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        const std::vector<Ints> healthy = storedArrays("pellixDataOverlayShape");
        std::string command = "setAttr pellixDataOverlayShape." + std::string(damage.attribute) + " -type Int32Array " +
                              std::to_string(damage.values.size());
        for (int v : damage.values)
            command += " " + std::to_string(v);
        ASSERT_TRUE(undoableMel(command));
        const std::string before = sceneText();
        host::MessageCapture capture;
        EXPECT_FALSE(mel("pellixDataBind -partialRebind true driver patchA"));
        EXPECT_EQ(messages(capture, host::MessageKind::kError), damage.error);
        EXPECT_EQ(sceneText(), before);
        ASSERT_TRUE(mel("undo"));
        EXPECT_EQ(storedArrays("pellixDataOverlayShape"), healthy);
    }

    ASSERT_TRUE(mel("disconnectAttr patchBShape.message pellixDataOverlayShape.patchSourceMeshes[1]"));
    EXPECT_EQ(melFailure("pellixDataBind -partialRebind true driver patchA"),
              "pellixDataBind: an existing patch source is missing; use a full Rebind.\n");
    // A full rebind starts afresh.
    ASSERT_TRUE(mel("pellixDataBind driver patchA patchB"));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{4, 6}));
}

TEST_F(BindCommandRebind, AReferencedRigsOverlayAndPatchesAreNotReplacedOrDeleted)
{
    // Their file would bring them back beside a replacement on reopen.
    const std::string rig = ::testing::TempDir() + "boundRig.ma";
    std::ofstream(rig, std::ios::binary) << sceneText();
    ASSERT_TRUE(mel("file -f -new; file -r -ns \"rig\" \"" + rig + "\""));
    const std::string before = sceneText();
    StderrCapture apiErrors;
    EXPECT_EQ(melFailure("pellixDataBind rig:driver rig:patchA"),
              "pellixDataBind: cannot replace the overlay rig:pellixDataOverlay: it is from a referenced file.\n");
    EXPECT_EQ(melFailure("pellixPatchCreate -e -remove rig:patchA"),
              "pellixPatchCreate: cannot remove the patch 'rig:patchA': it is from a referenced file.\n");
    EXPECT_EQ(apiErrors.finish(), "");
    EXPECT_EQ(sceneText(), before);
}

TEST_F(BindCommandRebind, UndoAndRedoOfAFirstBindRestoreTheSavedScene)
{
    ASSERT_TRUE(mel("undo"));  // the fixture's bind
    const std::string empty = sceneText();
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 0u);

    ASSERT_TRUE(undoableMel("pellixDataBind -hidePatches true driver patchA patchC"));
    const std::string bound = sceneText();
    EXPECT_EQ(melInt("getAttr patchA.visibility"), 0);
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(sceneText(), empty);
    EXPECT_EQ(melInt("getAttr patchA.visibility"), 1);
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(sceneText(), bound);
    EXPECT_EQ(melInt("getAttr patchC.visibility"), 0);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{4, 3}));
}

TEST_F(BindCommandRebind, PatchesTheRigKeepsVisibleStayVisibleWithAWarning)
{
    // A locked patch node still hides.
    ASSERT_TRUE(mel("setAttr -lock true patchC.visibility; createNode transform -n switch; "
                    "connectAttr switch.visibility patchA.visibility; lockNode -lock true patchB"));
    host::MessageCapture capture;
    EXPECT_EQ(melString("pellixDataBind -hidePatches true driver patchA patchB patchC"), "pellixDataOverlayShape");
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning),
              "pellixDataBind: patch patchA stays visible: its visibility is connected.\n"
              "pellixDataBind: patch patchC stays visible: its visibility is locked.\n");
    EXPECT_EQ(melInt("getAttr patchA.visibility") + melInt("getAttr patchC.visibility"), 2);
    EXPECT_EQ(melInt("getAttr patchB.visibility"), 0);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{4, 6, 3}));
}

namespace {

// Locks a plug once a bind starts connecting its new overlay, so that hiding a patch fails
// after the overlay was made and partly filled.
class LockWhenOverlayIsConnected
{
public:
    explicit LockWhenOverlayIsConnected(const char* plug) : fPlug(plug)
    {
        fId = MDGMessage::addConnectionCallback(lock, this);
    }
    ~LockWhenOverlayIsConnected()
    {
        MMessage::removeCallback(fId);
        mel(std::string("setAttr -lock false ") + fPlug);
    }

private:
    static void lock(MPlug&, MPlug& destination, bool made, void* data)
    {
        if (!made || MFnDependencyNode(destination.node()).typeName() != "pellixDataOverlay")
            return;
        MSelectionList list;
        MPlug plug;
        if (list.add(static_cast<LockWhenOverlayIsConnected*>(data)->fPlug) && list.getPlug(0, plug))
            plug.setLocked(true);
    }

    const char* fPlug;
    MCallbackId fId = 0;
};

} // namespace

TEST_F(BindCommandRebind, FailureAfterCreationLeavesNoHalfBuiltOverlay)
{
    const std::string withOldOverlay = sceneText();
    {
        LockWhenOverlayIsConnected sabotage("patchC.visibility");
        EXPECT_FALSE(mel("pellixDataBind -hidePatches true -name other driver patchA patchC"));
    }
    EXPECT_EQ(sceneText(), withOldOverlay);
    EXPECT_EQ(melInt("getAttr patchA.visibility"), 1);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{4, 6, 3}));

    ASSERT_TRUE(mel("undo"));  // the fixture's bind
    const std::string withoutOverlay = sceneText();
    {
        LockWhenOverlayIsConnected sabotage("patchC.visibility");
        EXPECT_FALSE(mel("pellixDataBind -hidePatches true driver patchA patchC"));
    }
    EXPECT_EQ(sceneText(), withoutOverlay);
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 0u);
}

namespace {

// The driver's shape also sits under "inst", ten units along x: its instance 1.
class BindCommandInstance : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        makeDriver("driver", fNear);
        ASSERT_TRUE(mel("createNode transform -n inst; setAttr inst.translate 10 0 0"));
        ASSERT_TRUE(mel("parent -add -shape driverShape inst"));
        fFar.x0 = 10.0;
        makePatch("nearPatch", fNear, {0, 5, 6, 1}, {{0, 1, 2, 3}});
        makePatch("nearPatch2", fNear, {12, 17, 18, 13}, {{0, 1, 2, 3}});
        makePatch("farPatch", fFar, {0, 5, 6, 1}, {{0, 1, 2, 3}});
        makePatch("farPatch2", fFar, {2, 7, 8, 3, 9, 4}, {{0, 1, 2, 3}, {3, 2, 4, 5}});
    }

    static std::string bind(const std::string& arguments)
    {
        MString result;
        EXPECT_TRUE(undoableMel("pellixDataBind " + arguments, &result)) << arguments;
        return result.asChar();
    }

    DriverGrid fNear;
    DriverGrid fFar;
};

// Locks the overlay shape a bind creates while the bind deletes the overlay it replaces, so
// that renaming the new shape fails, and unlocks it when the rollback restores the old
// overlay, so that the rollback can delete it again.
class RenameSaboteur
{
public:
    RenameSaboteur()
    {
        fIds.append(MDGMessage::addNodeAddedCallback(nodeAdded, "dependNode", this));
        fIds.append(MDGMessage::addNodeRemovedCallback(nodeRemoved, "dependNode", this));
    }
    ~RenameSaboteur() { MMessage::removeCallbacks(fIds); }

    bool lockedAndUnlocked() const { return fLocked && fUnlocked; }

private:
    static void nodeAdded(MObject& node, void* data)
    {
        auto* self = static_cast<RenameSaboteur*>(data);
        if (self->fNewShape.isNull() && MFnDependencyNode(node).typeName() == "pellixDataOverlay") {
            self->fNewShape = node;
        } else if (self->fLocked && !self->fUnlocked) {
            self->fUnlocked = static_cast<bool>(MFnDependencyNode(self->fNewShape).setLocked(false));
        }
    }

    static void nodeRemoved(MObject&, void* data)
    {
        auto* self = static_cast<RenameSaboteur*>(data);
        if (!self->fNewShape.isNull() && !self->fLocked)
            self->fLocked = static_cast<bool>(MFnDependencyNode(self->fNewShape).setLocked(true));
    }

    MCallbackIdArray fIds;
    MObject fNewShape;
    bool fLocked = false;
    bool fUnlocked = false;
};

} // namespace

TEST_F(BindCommandInstance, EachInstanceFeedsItsOwnOverlayThroughItsWorldMesh)
{
    EXPECT_EQ(bind("-name farOverlay inst farPatch"), "farOverlayShape");
    EXPECT_EQ(sourceOf("farOverlayShape.inMesh"), "driverShape.worldMesh[1]");
    EXPECT_EQ(intArray("farOverlayShape.patchDriverVertexIndices"), (Ints{0, 5, 6, 1}));

    // The first instance's overlay is a new one beside it, not a replacement.
    EXPECT_EQ(bind("-name nearOverlay |driver|driverShape nearPatch"), "nearOverlayShape");
    EXPECT_EQ(sourceOf("nearOverlayShape.inMesh"), "driverShape.worldMesh[0]");
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 2u);

    // A patch of one instance lies off the other instance's vertices.
    EXPECT_EQ(melFailure("pellixDataBind driver farPatch"), outsideTolerance("|farPatch|farPatchShape", 4, 4, "0.0001"));
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 2u);
}

TEST_F(BindCommandInstance, RebindThroughAnInstanceReplacesOnlyThatInstancesOverlay)
{
    bind("-name farOverlay inst farPatch");
    bind("-name nearOverlay driver nearPatch");
    ASSERT_TRUE(mel("setAttr farOverlayShape.drawWireframe true"));

    // Replaced by the logical index of its world mesh, keeping its name and settings; a partial
    // rebind finds it the same way.
    for (const char* arguments : {"|inst|driverShape farPatch farPatch2", "-partialRebind true inst farPatch2"}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(bind(arguments), "farOverlayShape");
        EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 2u);
        EXPECT_EQ(sourceOf("farOverlayShape.inMesh"), "driverShape.worldMesh[1]");
        EXPECT_EQ(intArray("farOverlayShape.patchVertexCounts"), (Ints{4, 6}));
        EXPECT_EQ(melInt("getAttr farOverlayShape.drawWireframe"), 1);
        EXPECT_EQ(intArray("nearOverlayShape.patchVertexCounts"), (Ints{4}));
        EXPECT_EQ(sourceOf("nearOverlayShape.inMesh"), "driverShape.worldMesh[0]");
    }
}

TEST_F(BindCommandInstance, LockedOldOverlayStopsTheReplacementAndStaysAsItWas)
{
    EXPECT_EQ(bind("driver nearPatch nearPatch2"), "pellixDataOverlayShape");
    // A locked overlay could not be deleted: the lock, on its transform or its shape, is found
    // before anything is made.
    for (const char* locked : {"pellixDataOverlay", "pellixDataOverlayShape"}) {
        SCOPED_TRACE(locked);
        ASSERT_TRUE(mel(std::string("lockNode -lock true ") + locked));
        const std::string before = sceneText();
        host::MessageCapture capture;
        StderrCapture apiErrors;
        EXPECT_FALSE(mel("pellixDataBind driver nearPatch2"));
        EXPECT_EQ(apiErrors.finish(), "");
        EXPECT_EQ(messages(capture, host::MessageKind::kError),
                  "pellixDataBind: cannot replace the locked overlay: pellixDataOverlay\n");
        EXPECT_EQ(sceneText(), before);
        EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{4, 4}));
        ASSERT_TRUE(mel(std::string("lockNode -lock false ") + locked));
    }

    // Unlocked, the same replacement goes through under the old name.
    EXPECT_EQ(bind("driver nearPatch2"), "pellixDataOverlayShape");
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{4}));
}

TEST_F(BindCommandInstance, FailedRenameOfTheNewOverlayRestoresTheOldOne)
{
    EXPECT_EQ(bind("driver nearPatch nearPatch2"), "pellixDataOverlayShape");
    const std::string before = sceneText();
    {
        RenameSaboteur saboteur;
        StderrCapture apiErrors;
        EXPECT_FALSE(mel("pellixDataBind driver nearPatch2"));
        EXPECT_TRUE(saboteur.lockedAndUnlocked());
        EXPECT_NE(apiErrors.finish().find("API error detected in pellixDataBindCommand"), std::string::npos);
    }
    EXPECT_EQ(sceneText(), before);
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{4, 4}));
    EXPECT_EQ(sourceOf("pellixDataOverlayShape.inMesh"), "driverShape.worldMesh[0]");

    // Nothing of the failed run is left to get in the way of the next one.
    EXPECT_EQ(bind("driver nearPatch2"), "pellixDataOverlayShape");
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (Ints{4}));
}
