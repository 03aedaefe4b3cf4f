// "surfaceUVPinBind" driven through MEL: what it connects and stores, its refusals, a
// failing bind that must leave the controls alone, and undo and redo.

#include "PluginTestSupport.h"
#include "SurfacePinBindTestSupport.h"

#include <maya/MDagPath.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <string>
#include <vector>

using namespace pinbind;

namespace {

class SurfaceUVPinBind : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        // A 10 x 10 plane in XZ with its UVs spread over the unit square.
        ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4"));
        addControl("c0", 1.2, 1.0, -3.1);
        addControl("c1", -2.0, 0.5, 2.2);
        addControl("c2", 3.7, -1.0, 0.4);
    }

    void addControl(const std::string& name, double x, double y, double z)
    {
        ASSERT_TRUE(mel("createNode transform -n " + name));
        ASSERT_TRUE(mel("setAttr " + name + ".translate " + std::to_string(x) + " " + std::to_string(y) + " " +
                        std::to_string(z)));
    }
};

} // namespace

TEST_F(SurfaceUVPinBind, StoresEachControlsUVAndDrivesItsOffsetParentMatrix)
{
    ASSERT_TRUE(mel("createNode transform -n grp; parent c1 grp"));
    const std::string pin = melString("surfaceUVPinBind -iv true pPlane1 c0 c1 c2").asChar();
    EXPECT_EQ(melString("nodeType " + pin), MString("surfaceUVPin"));
    EXPECT_EQ(sourceOf(pin + ".deformedGeometry"), "pPlaneShape1.worldMesh[0]");
    EXPECT_EQ(sourceOf(pin + ".geometryWorldMatrix"), "pPlaneShape1.worldMatrix[0]");
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[2]"), "c2.inverseMatrix");
    EXPECT_EQ(sourceOf(pin + ".controlParentInverseMatrix[0]"), "");
    EXPECT_EQ(sourceOf(pin + ".controlParentInverseMatrix[1]"), "grp.worldInverseMatrix[0]");
    for (unsigned i = 0; i < 3; ++i) {
        const std::string c = "c" + std::to_string(i);
        EXPECT_EQ(sourceOf(c + ".offsetParentMatrix"), pin + ".outputMatrix[" + std::to_string(i) + "]");
        EXPECT_EQ(melDouble("getAttr " + c + ".tx"), 0.0);
        EXPECT_EQ(melDouble("getAttr " + c + ".sz"), 1.0);
    }

    // The plane's UVs run linearly over its 10 units: UV distances between the pins
    // are their XZ distances over 10.
    const std::vector<double> uvs = doubleArray(pin + ".pinUVs");
    ASSERT_EQ(uvs.size(), 6u);
    const double xz[3][2] = {{1.2, -3.1}, {-2.0, 2.2}, {3.7, 0.4}};
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_GE(uvs[2 * i], 0.0);
        EXPECT_LE(uvs[2 * i], 1.0);
        EXPECT_GE(uvs[2 * i + 1], 0.0);
        EXPECT_LE(uvs[2 * i + 1], 1.0);
        if (i > 0) {
            EXPECT_NEAR(std::fabs(uvs[2 * i] - uvs[0]), std::fabs(xz[i][0] - xz[0][0]) / 10.0, 1e-6);
            EXPECT_NEAR(std::fabs(uvs[2 * i + 1] - uvs[1]), std::fabs(xz[i][1] - xz[0][1]) / 10.0, 1e-6);
        }
    }

    EXPECT_EQ(melString("getAttr " + pin + ".uvSet"), MString("map1"));
    const std::vector<int> triangles = intArray(pin + ".preferredTriangleIndices");
    ASSERT_EQ(triangles.size(), 3u);
    for (int t : triangles) {
        EXPECT_GE(t, 0);
        EXPECT_LT(t, 32);
    }
    // Without maintain offset every tangent is the U direction and the matrices identities.
    const std::vector<double> tangents = doubleArray(pin + ".bindTangents");
    EXPECT_EQ(tangents, std::vector<double>({1.0, 0.0, 1.0, 0.0, 1.0, 0.0}));
    for (const MMatrix& m : matrixArray(pin + ".bindSurfaceMatrices")) {
        EXPECT_EQ(m, MMatrix());
    }
    EXPECT_EQ(melInt("getAttr " + pin + ".bindMaintainOffset"), 0);
    EXPECT_EQ(melInt("getAttr " + pin + ".bindUseControlInverse"), 1);
}

TEST_F(SurfaceUVPinBind, MaintainOffsetStoresFramesControlMatricesAndAUnitTangent)
{
    ASSERT_TRUE(mel("setAttr c0.rotateY 30"));
    const MMatrix before = worldMatrix("c0");
    const std::string pin = melString("surfaceUVPinBind -mo pPlane1 c0").asChar();
    EXPECT_EQ(melInt("getAttr " + pin + ".bindMaintainOffset"), 1);
    const std::vector<MMatrix> controls = matrixArray(pin + ".bindControlMatrices");
    const std::vector<MMatrix> frames = matrixArray(pin + ".bindSurfaceMatrices");
    ASSERT_EQ(controls.size(), 1u);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_LT(matrixDistance(controls[0], before), 1e-12);
    EXPECT_NEAR(frames[0](3, 0), 1.2, 1e-6);
    EXPECT_NEAR(frames[0](3, 2), -3.1, 1e-6);
    EXPECT_NEAR(frames[0](2, 1), 1.0, 1e-9);
    const std::vector<double> tangent = doubleArray(pin + ".bindTangents");
    ASSERT_EQ(tangent.size(), 2u);
    EXPECT_NEAR(tangent[0] * tangent[0] + tangent[1] * tangent[1], 1.0, 1e-6);
    // The control's Z axis, not U, sets the tangent.
    EXPECT_GT(std::fabs(tangent[1]), 0.1);
}

TEST_F(SurfaceUVPinBind, RefusesBadInputWithItsMessageAndChangesNothing)
{
    const std::string before = sceneText();
    struct Refusal {
        const char* call;
        const char* error;
    };
    const Refusal refusals[] = {
        {"surfaceUVPinBind -n pin pPlane1 c0",
         "surfaceUVPinBind: appending to existing nodes is not implemented yet.\n"},
        {"surfaceUVPinBind pPlane1", "surfaceUVPinBind requires a mesh and at least one control.\n"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.call);
        host::MessageCapture capture;
        EXPECT_FALSE(mel(refusal.call));
        EXPECT_EQ(capture.text(host::MessageKind::kError), MString(refusal.error));
        EXPECT_EQ(sceneText(), before);
    }
}

TEST_F(SurfaceUVPinBind, FailingBindOnAMeshWithoutUVsLeavesTheControlsAlone)
{
    // One quad with no UVs at all.
    MFloatPointArray points;
    points.append(MFloatPoint(0, 0, 0));
    points.append(MFloatPoint(1, 0, 0));
    points.append(MFloatPoint(1, 0, 1));
    points.append(MFloatPoint(0, 0, 1));
    MIntArray counts;
    counts.append(4);
    MIntArray connects;
    for (int v : {0, 3, 2, 1}) {
        connects.append(v);
    }
    MStatus status;
    const MObject transform = MFnMesh().create(4, 1, points, counts, connects, MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    const std::string mesh = MFnDagNode(transform).name().asChar();

    ASSERT_TRUE(mel("setAttr c0.rotateX 30; setAttr c0.scaleY 2"));
    const std::string before = sceneText();
    host::MessageCapture capture;
    EXPECT_FALSE(mel("surfaceUVPinBind " + mesh + " c0"));
    const std::string shape = MFnDagNode(MFnDagNode(transform).child(0)).partialPathName().asChar();
    EXPECT_EQ(capture.text(host::MessageKind::kError),
              MString(("surfaceUVPinBind: mesh face is missing usable UVs in UV set map1: " + shape + ".f[0]\n")
                          .c_str()));
    EXPECT_EQ(melDouble("getAttr c0.rotateX"), 30.0);
    EXPECT_EQ(melDouble("getAttr c0.scaleY"), 2.0);
    EXPECT_EQ(melDouble("getAttr c0.translateX"), 1.2);
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), "");
    EXPECT_EQ(sceneText(), before);
}

TEST_F(SurfaceUVPinBind, UndoAndRedoRoundTripTheSavedScene)
{
    ASSERT_TRUE(mel("setAttr c0.rotateY 20; setAttr c1.scaleX 3"));
    const std::string before = sceneText();
    const std::string pin = undoableMel("surfaceUVPinBind -mo -iv true pPlane1 c0 c1");
    const std::string bound = sceneText();
    ASSERT_NE(bound, before);
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(sceneText(), before);
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(sceneText(), bound);
}

TEST_F(SurfaceUVPinBind, RedoBindsAgainWhereTheControlsWereWhenTheCommandRan)
{
    const std::string pin = undoableMel("surfaceUVPinBind pPlane1 c0");
    const std::vector<double> first = doubleArray(pin + ".pinUVs");
    ASSERT_TRUE(mel("undo"));
    // Moved behind the undo queue's back, so that redo stays available.
    MSelectionList list;
    MPlug translateX;
    ASSERT_TRUE(list.add("c0.translateX") && list.getPlug(0, translateX));
    ASSERT_TRUE(translateX.setValue(-4.0));
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(doubleArray(pin + ".pinUVs"), first);
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
}

TEST_F(SurfaceUVPinBind, SwitchingBetweenUVSetsOfTheSameSizeResolvesThePinsInTheNewLayout)
{
    // A unit quad with two UV sets of four UVs each: "map1" runs u along +X, "mirror" along -X.
    ASSERT_TRUE(mel("createNode transform -n quad; createNode mesh -n quadShape -p quad"));
    ASSERT_TRUE(mel("setAttr \"quadShape.uvst[0].uvsn\" -type \"string\" \"map1\";"
                    "setAttr -s 4 \"quadShape.uvst[0].uvsp[0:3]\" -type \"float2\" 0 0 1 0 0 1 1 1;"
                    "setAttr \"quadShape.uvst[1].uvsn\" -type \"string\" \"mirror\";"
                    "setAttr -s 4 \"quadShape.uvst[1].uvsp[0:3]\" -type \"float2\" 1 0 0 0 1 1 0 1;"
                    "setAttr \"quadShape.cuvs\" -type \"string\" \"map1\";"
                    "setAttr -s 4 \"quadShape.vt[0:3]\" -0.5 0 0.5 0.5 0 0.5 -0.5 0 -0.5 0.5 0 -0.5;"
                    "setAttr -s 4 \"quadShape.ed[0:3]\" 0 1 0 1 3 0 3 2 0 2 0 0;"
                    "setAttr -s 1 \"quadShape.fc[0:0]\" -type \"polyFaces\" f 4 0 1 2 3 mu 0 4 0 1 3 2 mu 1 4 0 1 3 2;"));
    MSelectionList list;
    MDagPath shape;
    ASSERT_TRUE(list.add("quadShape") && list.getDagPath(0, shape));
    ASSERT_EQ(MFnMesh(shape).numUVs("map1"), 4);
    ASSERT_EQ(MFnMesh(shape).numUVs("mirror"), 4);
    addControl("q0", -0.3, 1.0, 0.2);
    const std::string pin = melString("surfaceUVPinBind quad q0").asChar();
    MMatrix world = worldMatrix("q0");
    EXPECT_NEAR(world(3, 0), -0.3, 1e-5);
    EXPECT_NEAR(world(3, 2), 0.2, 1e-5);

    // The stored UV (0.2, 0.3) lies at the mirrored point in the other set, and back.
    ASSERT_TRUE(mel("setAttr " + pin + ".uvSet -type \"string\" \"mirror\""));
    world = worldMatrix("q0");
    EXPECT_NEAR(world(3, 0), 0.3, 1e-5);
    EXPECT_NEAR(world(3, 1), 0.0, 1e-5);
    EXPECT_NEAR(world(3, 2), 0.2, 1e-5);
    ASSERT_TRUE(mel("setAttr " + pin + ".uvSet -type \"string\" \"map1\""));
    EXPECT_NEAR(worldMatrix("q0")(3, 0), -0.3, 1e-5);
}

TEST_F(SurfaceUVPinBind, MaintainOffsetKeepsEveryControlWhereItWasAndMovesItWithTheMesh)
{
    ASSERT_TRUE(mel("createNode transform -n grp; setAttr grp.translate 0 2 1; setAttr grp.rotateY 40; parent c1 grp"));
    ASSERT_TRUE(mel("setAttr c0.rotate 10 30 -20; setAttr c2.scale 2 1 0.5"));
    const char* const controls[] = {"c0", "c1", "c2"};
    std::vector<MMatrix> before;
    for (const char* c : controls) {
        before.push_back(worldMatrix(c));
    }
    ASSERT_TRUE(mel("surfaceUVPinBind -mo -iv true pPlane1 c0 c1 c2"));
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_LT(matrixDistance(worldMatrix(controls[i]), before[i]), 1e-5) << controls[i];
    }
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 3"));
    for (unsigned i = 0; i < 3; ++i) {
        EXPECT_NEAR(worldMatrix(controls[i])(3, 1), before[i](3, 1) + 3.0, 1e-5) << controls[i];
    }
}
