// "pellixDataBind": what a bind stores and connects, how patch vertices find their driver
// vertices, and the errors that leave the scene as it was.

#include "BindCommandSupport.h"

#include "commands/MessageOutput.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include <string>
#include <vector>

namespace {

std::string messages(const host::MessageCapture& capture, host::MessageKind kind)
{
    return capture.text(kind).asChar();
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

    DriverGrid fGrid;
    const std::vector<int> fIdsA = {0, 5, 6, 1};
    const std::vector<int> fIdsB = {2, 7, 8, 3, 9, 4};
    const std::vector<int> fIdsC = {24, 18, 19};
};

std::vector<int> concat(std::initializer_list<std::vector<int>> parts)
{
    std::vector<int> all;
    for (const std::vector<int>& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace

TEST_F(BindCommand, StoresEveryPatchOnTheDriverVerticesItSitsOn)
{
    host::MessageCapture capture;
    const MString shape = melString("pellixDataBind driver patchA patchB patchC");
    EXPECT_EQ(shape, "pellixDataOverlayShape");
    EXPECT_EQ(melString("nodeType pellixDataOverlayShape"), "pellixDataOverlay");
    EXPECT_EQ(melStrings("listRelatives -parent pellixDataOverlayShape")[0], "pellixDataOverlay");

    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4, 6, 3}));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"), concat({fIdsA, fIdsB, fIdsC}));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchTriangleOffsets"), (std::vector<int>{0, 6, 18}));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchTriangleCounts"), (std::vector<int>{6, 12, 3}));
    const std::vector<int> triangles = intArray("pellixDataOverlayShape.patchTriangleIndices");
    ASSERT_EQ(triangles.size(), 21u);
    EXPECT_EQ(std::vector<int>(triangles.begin() + 18, triangles.end()), (std::vector<int>{1, 0, 2}));
    // Edges as local index pairs: 4 for the quad, 7 for the two quads, 3 for the triangle.
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchEdgeOffsets"), (std::vector<int>{0, 8, 22}));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchEdgeCounts"), (std::vector<int>{8, 14, 6}));
    const std::vector<int> edges = intArray("pellixDataOverlayShape.patchEdgeIndices");
    ASSERT_EQ(edges.size(), 28u);
    for (size_t i = 8; i < 22; ++i)
        EXPECT_LT(edges[i], 6) << i;

    // The driver comes in through its first world-space mesh.
    MPlugArray driverSources;
    const MPlug inMesh = MFnDependencyNode(nodeByName("pellixDataOverlayShape")).findPlug("inMesh", false);
    ASSERT_TRUE(inMesh.connectedTo(driverSources, true, false));
    ASSERT_EQ(driverSources.length(), 1u);
    const MPlug worldMesh = MFnDependencyNode(nodeByName("driverShape")).findPlug("worldMesh", false);
    EXPECT_EQ(driverSources[0].name(), worldMesh.elementByLogicalIndex(0).name());
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchSourceMeshes", 3),
              (std::vector<std::string>{"patchAShape", "patchBShape", "patchCShape"}));
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 3),
              (std::vector<std::string>{"patchA", "patchB", "patchC"}));
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
    EXPECT_EQ(intArray("faceRigShape.patchVertexCounts"), (std::vector<int>{4, 3}));
    EXPECT_EQ(intArray("faceRigShape.patchDriverVertexIndices"), concat({fIdsA, fIdsC}));
    EXPECT_EQ(melInt("getAttr patchA.visibility"), 0);
    EXPECT_EQ(melInt("getAttr patchC.visibility"), 0);
    EXPECT_EQ(melInt("getAttr patchB.visibility"), 1);
}

TEST_F(BindCommand, ClickTargetsFollowTheUserSelectAttributes)
{
    ASSERT_TRUE(mel("createNode transform -name rig"));
    ASSERT_TRUE(mel("parent patchA rig"));
    ASSERT_TRUE(mel("addAttr -longName pellixSelectParent -attributeType bool patchA"));
    ASSERT_TRUE(mel("setAttr patchA.pellixSelectParent 1"));
    ASSERT_TRUE(mel("createNode transform -name ctrlB"));
    ASSERT_TRUE(mel("addAttr -longName pellixSelectNode -attributeType message patchBShape"));
    ASSERT_TRUE(mel("connectAttr ctrlB.message patchBShape.pellixSelectNode"));
    ASSERT_TRUE(mel("createNode transform -name ctrlC"));
    ASSERT_TRUE(mel("addAttr -longName pellixSelectNode -attributeType message patchC"));
    ASSERT_TRUE(mel("connectAttr ctrlC.message patchC.pellixSelectNode"));
    // A select-parent switch on a patch directly under the world has no parent to give.
    ASSERT_TRUE(mel("createNode transform -name lonely"));
    makePatch("patchD", fGrid, {10, 15, 16, 11}, {{0, 1, 2, 3}});
    ASSERT_TRUE(mel("addAttr -longName pellixSelectParent -attributeType bool patchD"));
    ASSERT_TRUE(mel("setAttr patchD.pellixSelectParent 1"));

    ASSERT_TRUE(mel("pellixDataBind driver patchA patchB patchC patchD"));
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 4),
              (std::vector<std::string>{"rig", "ctrlB", "ctrlC", "patchD"}));
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
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"),
              (std::vector<int>{0, 5, 6, 1, 18, 23, 24, 19}));

    // Without the patch transform's move the second patch is nowhere near the driver.
    ASSERT_TRUE(mel("move 0 0 0 movedPatch"));
    host::MessageCapture capture;
    EXPECT_FALSE(mel("pellixDataBind -bindTolerance 0.05 farDriver movedPatch"));
    EXPECT_EQ(messages(capture, host::MessageKind::kError),
              "pellixDataBind: patch '|movedPatch|movedPatchShape' has 4 of 4 vertices outside bind tolerance 0.05. "
              "Increase Bind Tolerance or align the patch with the driver.\n");
}

TEST_F(BindCommand, DistanceEqualToTheToleranceIsOutside)
{
    // Patch vertex 3 halfway between driver vertices 1 and 2: exactly 0.5 from each.
    makePatch("halfway", fGrid, {0, 5, 6, 1}, {{0, 1, 2, 3}});
    ASSERT_TRUE(mel("move -relative 0.5 0 0 halfway.vtx[3]"));
    const std::string before = sceneText();
    host::MessageCapture capture;
    EXPECT_FALSE(mel("pellixDataBind -bindTolerance 0.5 driver halfway"));
    EXPECT_EQ(messages(capture, host::MessageKind::kError),
              "pellixDataBind: patch '|halfway|halfwayShape' has 1 of 4 vertices outside bind tolerance 0.5. "
              "Increase Bind Tolerance or align the patch with the driver.\n");
    EXPECT_EQ(sceneText(), before);

    // Just above, the tie goes to the vertex in the lower x cell.
    ASSERT_TRUE(mel("pellixDataBind -bindTolerance 0.5000001 driver halfway"));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"), (std::vector<int>{0, 5, 6, 1}));
}

TEST_F(BindCommand, TiesGoToTheLowerZCellThenTheLowerXCellThenTheLowerId)
{
    // 0 and 1 tie for (1.5, 0, 0.5): 1 has the lower z cell though the higher x and id.
    // 2 and 3 tie for (4.5, 0, 0): 3 has the lower x cell though the higher id.
    // 4 and 5 coincide: the lower id wins.
    makeMesh("tieDriver",
             {MPoint(1, 0, 1), MPoint(2, 0, 0), MPoint(5, 0, 0), MPoint(4, 0, 0), MPoint(8, 0, 0), MPoint(8, 0, 0)},
             {{0, 1, 2}, {3, 4, 5}});
    makeMesh("tiePatch", {MPoint(1.5, 0, 0.5), MPoint(4.5, 0, 0), MPoint(8, 0, 0.1)}, {{0, 1, 2}});
    ASSERT_TRUE(mel("pellixDataBind -bindTolerance 0.75 tieDriver tiePatch"));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"), (std::vector<int>{1, 3, 4}));
}

TEST_F(BindCommand, SharedDriverVerticesWarnWithinAPatchOnly)
{
    // Three patch vertices on driver vertex 6 count 2; patch A also uses 6 without a warning.
    makePatch("crowded", fGrid, {6, 6, 7, 6, 11}, {{0, 2, 4}, {1, 3, 2}});
    host::MessageCapture capture;
    ASSERT_TRUE(mel("pellixDataBind driver patchA crowded"));
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning),
              "pellixDataBind: patch '|crowded|crowdedShape' has 2 patch vertices sharing driver vertices.\n");
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"),
              concat({fIdsA, {6, 6, 7, 6, 11}}));
}

TEST_F(BindCommand, OneOfFourVerticesOutsideFailsTheWholeBind)
{
    ASSERT_TRUE(mel("move -relative 0 0.001 0 patchB.vtx[2]"));
    makePatch("nudged", fGrid, {10, 15, 16, 11}, {{0, 1, 2, 3}});
    ASSERT_TRUE(mel("move -relative 0 0 0.0002 nudged.vtx[1]"));
    const std::string before = sceneText();
    host::MessageCapture capture;
    EXPECT_FALSE(mel("pellixDataBind driver patchA nudged patchB"));
    // The first failing patch ends the command.
    EXPECT_EQ(messages(capture, host::MessageKind::kError),
              "pellixDataBind: patch '|nudged|nudgedShape' has 1 of 4 vertices outside bind tolerance 0.0001. "
              "Increase Bind Tolerance or align the patch with the driver.\n");
    EXPECT_EQ(sceneText(), before);
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 0u);
}

TEST_F(BindCommand, ErrorsBeforeCreationLeaveTheSceneUntouched)
{
    struct Case
    {
        const char* call;
        const char* errors;
        const char* warnings;
    };
    ASSERT_TRUE(mel("createNode transform -name empty; createNode mesh -name meshless"));
    // A mesh kept only as history is not a driver, whether named by shape or by transform.
    makePatch("ghost", fGrid, {0, 5, 6, 1}, {{0, 1, 2, 3}});
    ASSERT_TRUE(mel("setAttr ghostShape.intermediateObject 1"));
    // The same object named twice is one object to the command.
    ASSERT_TRUE(mel("select -replace driver"));
    const Case cases[] = {
        {"pellixDataBind -bindTolerance 0 driver patchA",
         "pellixDataBind: bindTolerance must be a finite value greater than zero.\n", ""},
        {"pellixDataBind -bindTolerance -0.5 empty patchA",
         "pellixDataBind: bindTolerance must be a finite value greater than zero.\n", ""},
        {"pellixDataBind -bindTolerance 1e999 driver patchA",
         "pellixDataBind: bindTolerance must be a finite value greater than zero.\n", ""},
        {"pellixDataBind -bindTolerance abc driver patchA",
         "pellixDataBind: Flag -bindTolerance expects a number argument, not \"abc\".\n", ""},
        {"pellixDataBind empty patchA", "pellixDataBind: first selected object must be a driver mesh: empty\n", ""},
        {"pellixDataBind ghost patchA", "pellixDataBind: first selected object must be a driver mesh: ghost\n", ""},
        {"pellixDataBind ghostShape patchA",
         "pellixDataBind: first selected object must be a driver mesh: ghostShape\n", ""},
        {"pellixDataBind time1 patchA", "pellixDataBind: first selected object must be a driver mesh: time1\n", ""},
        {"pellixDataBind nothingHere patchA", "pellixDataBind: No object matches name: nothingHere\n", ""},
        {"pellixDataBind meshless patchA", "pellixDataBind: driver mesh has no vertices: meshless\n", ""},
        {"pellixDataBind driver ghost", "pellixDataBind: no valid patch meshes were found.\n",
         "pellixDataBind: skipped non-mesh patch: ghost\n"},
        {"pellixDataBind patchA empty time1", "pellixDataBind: no valid patch meshes were found.\n",
         "pellixDataBind: skipped non-mesh patch: empty\npellixDataBind: skipped non-mesh patch: time1\n"},
        {"pellixDataBind driver meshless", "pellixDataBind: no valid patch meshes were found.\n",
         "pellixDataBind: skipped patch mesh with no vertices: meshless\n"},
        {"pellixDataBind driver driverShape", "pellixDataBind: no valid patch meshes were found.\n",
         "pellixDataBind: skipped driver mesh in patch list: driverShape\n"},
        {"pellixDataBind driver driver", "pellixDataBind: no valid patch meshes were found.\n",
         "pellixDataBind: skipped driver mesh in patch list: driverShape\n"},
        {"pellixDataBind", "pellixDataBind: select driver mesh followed by one or more patch meshes.\n", ""},
        {"pellixDataBind -partialRebind true driver patchA",
         "pellixDataBind: partialRebind requires an existing overlay for the driver.\n", ""},
        {"pellixDataBind -bindTolerance 1e-13 driver patchA",
         "pellixDataBind: bindTolerance must be at least 1e-12.\n", ""},
        {"pellixDataBind -bindTolerance 1e-310 empty patchA",
         "pellixDataBind: bindTolerance must be at least 1e-12.\n", ""},
        {"pellixDataBind -name \"face rig\" driver patchA",
         "pellixDataBind: overlay name is not a legal node name (it holds a space): face rig\n", ""},
        {"pellixDataBind -name 2ndRig driver patchA",
         "pellixDataBind: overlay name is not a legal node name (it starts with a digit): 2ndRig\n", ""},
        {"pellixDataBind -name rig# driver patchA",
         "pellixDataBind: overlay name is not a legal node name (it holds the character '#'): rig#\n", ""},
    };
    const std::string before = sceneText();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        host::MessageCapture capture;
        StderrCapture apiErrors;
        EXPECT_FALSE(mel(c.call));
        EXPECT_EQ(apiErrors.finish(), "");
        EXPECT_EQ(messages(capture, host::MessageKind::kError), c.errors);
        EXPECT_EQ(messages(capture, host::MessageKind::kWarning), c.warnings);
        EXPECT_EQ(sceneText(), before);
    }
}

TEST_F(BindCommand, SmallestStorableToleranceIsReportedAndStoredAsGiven)
{
    host::MessageCapture capture;
    ASSERT_TRUE(mel("pellixDataBind -bindTolerance 1e-12 driver patchA"));
    EXPECT_EQ(melDouble("getAttr pellixDataOverlayShape.bindTolerance"), 1e-12);
    EXPECT_EQ(messages(capture, host::MessageKind::kInfo),
              "pellixDataBind created data overlay with 1 patch(es); 4 vertices matched at bind tolerance 1e-12.\n");
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchDriverVertexIndices"), fIdsA);
}
