// "surfacePinBind" and "surfaceUVPinBind" driven through MEL as a rigger meets them: what they
// connect and store, maintain offset, extending a node with "-n", their refusals and rollbacks,
// undo and redo; then what one of them alone does: surfacePinBind's translate mode and the
// control inverse, surfaceUVPinBind's UV sets and its redo.

#include "PinTestSupport.h"
#include "support/TestValues.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <string>
#include <vector>

using namespace pinbind;

namespace {

const double kTolerance = 1e-5;

const char* const kInverseWarning =
    "surfacePinBind: translate mode does not use the control inverse: the pin drives each control's "
    "translate, so its inverseMatrix is left unconnected.\n";

struct PinKind
{
    const char* command;
    const char* type;
};

class PinBind : public PinScene, public ::testing::WithParamInterface<PinKind>
{
protected:
    std::string command() const { return GetParam().command; }
    std::string type() const { return GetParam().type; }
    bool uvPin() const { return type() == "surfaceUVPin"; }

    // How many pins the node's bind data holds.
    size_t pinCount(const std::string& node) const
    {
        return uvPin() ? doubleArray(node + ".pinUVs").size() / 2 : intArray(node + ".vertexIndices").size() / 3;
    }
};

INSTANTIATE_TEST_SUITE_P(BothCommands, PinBind,
                         ::testing::Values(PinKind{"surfacePinBind", "surfacePin"},
                                           PinKind{"surfaceUVPinBind", "surfaceUVPin"}),
                         [](const ::testing::TestParamInfo<PinKind>& info) { return std::string(info.param.type); });

// The object-space point of the plane that pin `pin` of a surfacePin node was bound at.
MPoint boundPoint(const std::string& node, unsigned pin)
{
    const MDagPath path = pathNamed("pPlaneShape1");
    const std::vector<int> ids = intArray(node + ".vertexIndices");
    const std::vector<double> weights = doubleArray(node + ".baryWeights");
    MPoint sum(0.0, 0.0, 0.0);
    for (unsigned k = 0; k < 3; ++k) {
        MPoint corner;
        EXPECT_TRUE(MFnMesh(path).getPoint(ids.at(3 * pin + k), corner));
        sum += MVector(corner) * weights.at(3 * pin + k);
    }
    return sum;
}

MVector onThePlane(unsigned control, double height = 0.0)
{
    return MVector(kControlStart[control].x, height, kControlStart[control].z);
}

} // namespace

TEST_P(PinBind, ConnectsMeshControlsAndInversesAndPutsEachControlOnTheSurface)
{
    ASSERT_TRUE(mel("createNode transform -n grp; setAttr grp.translate 0 2 0; parent c1 grp"));
    // A control named twice gets one pin.
    host::MessageCapture capture;
    const std::string pin = melString(command() + " -iv true pPlane1 c0 c1 c2 grp|c1").asChar();
    EXPECT_EQ(warnings(capture), command() + ": control named twice, skipping c1\n");
    EXPECT_EQ(matrixArray(pin + ".bindControlMatrices").size(), 3u);
    EXPECT_EQ(melString("nodeType " + pin).asChar(), type());
    EXPECT_EQ(sourceOf(pin + ".deformedGeometry"), "pPlaneShape1.worldMesh[0]");
    EXPECT_EQ(sourceOf(pin + ".geometryWorldMatrix"), "pPlaneShape1.worldMatrix[0]");
    for (unsigned i = 0; i < 3; ++i) {
        const std::string c = "c" + std::to_string(i), element = "[" + std::to_string(i) + "]";
        SCOPED_TRACE(c);
        EXPECT_EQ(sourceOf(c + ".offsetParentMatrix"), pin + ".outputMatrix" + element);
        EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix" + element), c + ".inverseMatrix");
        for (const char* channel : {".tx", ".ty", ".tz", ".rx", ".ry", ".rz"})
            EXPECT_EQ(melDouble("getAttr " + c + channel), 0.0) << channel;
        for (const char* channel : {".sx", ".sy", ".sz"})
            EXPECT_EQ(melDouble("getAttr " + c + channel), 1.0) << channel;
        EXPECT_TRUE(vectorsNear(worldPosition(c), onThePlane(i), kTolerance));
    }
    // A control directly under the world has no parent inverse.
    EXPECT_EQ(sourceOf(pin + ".controlParentInverseMatrix[0]"), "");
    EXPECT_EQ(sourceOf(pin + ".controlParentInverseMatrix[1]"), "grp.worldInverseMatrix[0]");
    EXPECT_EQ(melInt("getAttr " + pin + ".bindUseControlInverse"), 1);
    // Without maintain offset the bind matrices are identities.
    EXPECT_EQ(melInt("getAttr " + pin + ".bindMaintainOffset"), 0);
    for (const MMatrix& m : matrixArray(pin + ".bindSurfaceMatrices"))
        EXPECT_EQ(m, MMatrix());
}

TEST_F(PinScene, SurfacePinStoresTheTriangleAndWeightsOfEachControlsClosestPoint)
{
    const std::string pin = melString("surfacePinBind pPlane1 c0 c1 c2").asChar();
    const std::vector<int> normalIds = intArray(pin + ".normalIndices");
    const std::vector<double> weights = doubleArray(pin + ".baryWeights");
    ASSERT_EQ(intArray(pin + ".vertexIndices").size(), 9u);
    ASSERT_EQ(normalIds.size(), 9u);
    ASSERT_EQ(weights.size(), 9u);
    EXPECT_EQ(doubleArray(pin + ".bindTangents").size(), 6u);
    EXPECT_EQ(matrixArray(pin + ".bindControlMatrices").size(), 3u);
    for (unsigned i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(vectorsNear(MVector(boundPoint(pin, i)), onThePlane(i), 1e-9));
        EXPECT_NEAR(weights[3 * i] + weights[3 * i + 1] + weights[3 * i + 2], 1.0, 1e-12);
        for (unsigned k = 0; k < 3; ++k) {
            EXPECT_GE(weights[3 * i + k], -0.01);
            EXPECT_GE(normalIds[3 * i + k], 0);
        }
    }
}

TEST_F(PinScene, SurfaceUVPinStoresEachControlsUVInTheDefaultSetWithUTangents)
{
    const std::string pin = melString("surfaceUVPinBind pPlane1 c0 c1 c2").asChar();
    // The plane's UVs run linearly over its 10 units: UV distances between the pins are their
    // XZ distances over 10.
    const std::vector<double> uvs = doubleArray(pin + ".pinUVs");
    ASSERT_EQ(uvs.size(), 6u);
    for (unsigned i = 0; i < 3; ++i) {
        for (unsigned k = 0; k < 2; ++k) {
            EXPECT_GE(uvs[2 * i + k], 0.0);
            EXPECT_LE(uvs[2 * i + k], 1.0);
        }
        EXPECT_NEAR(std::fabs(uvs[2 * i] - uvs[0]), std::fabs(kControlStart[i].x - kControlStart[0].x) / 10.0, 1e-6);
        EXPECT_NEAR(std::fabs(uvs[2 * i + 1] - uvs[1]), std::fabs(kControlStart[i].z - kControlStart[0].z) / 10.0,
                    1e-6);
    }
    EXPECT_EQ(melString("getAttr " + pin + ".uvSet"), MString("map1"));
    const std::vector<int> triangles = intArray(pin + ".preferredTriangleIndices");
    ASSERT_EQ(triangles.size(), 3u);
    for (int t : triangles) {
        EXPECT_GE(t, 0);
        EXPECT_LT(t, 32);
    }
    // Without maintain offset every tangent is the U direction.
    EXPECT_EQ(doubleArray(pin + ".bindTangents"), std::vector<double>({1.0, 0.0, 1.0, 0.0, 1.0, 0.0}));
}

TEST_P(PinBind, MaintainOffsetStoresTheBindFrameAndKeepsEveryControlWhereItWas)
{
    ASSERT_TRUE(mel("setAttr c0.rotateY 30"));
    MMatrix before = worldMatrix("c0");
    const std::string pin = undoableResult(command() + " -mo pPlane1 c0");
    EXPECT_EQ(melInt("getAttr " + pin + ".bindMaintainOffset"), 1);
    const std::vector<MMatrix> controls = matrixArray(pin + ".bindControlMatrices");
    const std::vector<MMatrix> frames = matrixArray(pin + ".bindSurfaceMatrices");
    ASSERT_EQ(controls.size(), 1u);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_LT(matrixDistance(controls[0], before), 1e-12);
    // The frame sits at the closest point with the plane's normal.
    const MMatrix& f = frames[0];
    EXPECT_TRUE(vectorsNear(translationOf(f), onThePlane(0), uvPin() ? 1e-6 : 1e-9));
    EXPECT_NEAR(f(2, 1), 1.0, 1e-9);
    if (uvPin()) {
        // The control's Z axis, not U, sets the unit tangent.
        const std::vector<double> tangent = doubleArray(pin + ".bindTangents");
        ASSERT_EQ(tangent.size(), 2u);
        EXPECT_NEAR(tangent[0] * tangent[0] + tangent[1] * tangent[1], 1.0, 1e-6);
        EXPECT_GT(std::fabs(tangent[1]), 0.1);
    } else {
        // The tangent follows the control's X axis laid onto the plane.
        EXPECT_NEAR(f(0, 0), before(0, 0), 1e-9);
        EXPECT_NEAR(f(0, 2), before(0, 2), 1e-9);
        EXPECT_NEAR(f(0, 0) * f(1, 0) + f(0, 1) * f(1, 1) + f(0, 2) * f(1, 2), 0.0, 1e-12);
    }
    ASSERT_TRUE(mel("undo"));

    // Each way of connecting keeps turned, scaled and parented controls where they stood
    // (within the node's single precision), and the mesh then carries them.
    ASSERT_TRUE(mel("createNode transform -n grp; setAttr grp.translate 0 2 1; setAttr grp.rotateY 40; parent c1 grp"));
    ASSERT_TRUE(mel("setAttr c0.rotate 10 30 -20; setAttr c2.scale 2 1 0.5; setAttr c3.rotateX 90"));
    std::vector<MMatrix> start;
    for (int i = 0; i < 4; ++i)
        start.push_back(worldMatrix("c" + std::to_string(i)));
    std::vector<std::string> connections = {"-mo", "-mo -iv true"};
    if (!uvPin())
        connections.push_back("-mo -c matrix");
    for (const std::string& flags : connections) {
        SCOPED_TRACE(flags);
        ASSERT_TRUE(mel(command() + " " + flags + " pPlane1 c0 c1 c2 c3"));
        for (int i = 0; i < 4; ++i)
            EXPECT_LT(matrixDistance(worldMatrix("c" + std::to_string(i)), start[i]), kTolerance) << i;
    }
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 3"));
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(worldMatrix("c" + std::to_string(i))(3, 1), start[i](3, 1) + 3.0, kTolerance) << i;
}

TEST_P(PinBind, BindAndExtensionUndoAndRedoStepByStep)
{
    ASSERT_TRUE(mel("createNode transform -n grp; parent c1 grp; setAttr c0.rotateZ 20; setAttr c1.scaleX 3"));
    ASSERT_TRUE(mel("setAttr c2.rotateY 25"));
    const MMatrix c2Start = worldMatrix("c2");
    const std::string before = sceneText();
    const std::string pin = undoableResult(command() + " -mo -iv true pPlane1 c0 c1");
    const std::string bound = sceneText();
    ASSERT_NE(bound, before);
    // An extension keeps the node's maintain offset and control inverse.
    undoableResult(command() + " -n " + pin + " c2");
    const std::string extended = sceneText();
    EXPECT_LT(matrixDistance(worldMatrix("c2"), c2Start), kTolerance);
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[2]"), "c2.inverseMatrix");
    EXPECT_EQ(matrixArray(pin + ".bindControlMatrices").size(), 3u);
    for (const auto& [step, scene] : {std::make_pair("undo", bound), std::make_pair("undo", before),
                                      std::make_pair("redo", bound), std::make_pair("redo", extended)}) {
        ASSERT_TRUE(mel(step));
        EXPECT_EQ(sceneText(), scene);
    }
}

TEST_P(PinBind, AMeshWithoutValidNormalIdsFailsTheBindWithTheUsersErrorAndLeavesNothing)
{
    ASSERT_TRUE(mel("setAttr c1.rotateX 30"));
    for (const std::string flags : {"", " -mo"}) {
        SCOPED_TRACE(flags);
        ASSERT_TRUE(mel("hostMeshFault -invalidNormalIds true pPlaneShape1"));
        const std::string before = sceneText();
        host::MessageCapture capture;
        EXPECT_FALSE(mel(command() + flags + " pPlane1 c0 c1"));
        EXPECT_EQ(errors(capture), command() + ": mesh did not provide valid face-vertex normal ids: pPlaneShape1\n");
        EXPECT_EQ(melStrings("ls -type " + type()).length(), 0u);
        EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), "");
        EXPECT_EQ(melDouble("getAttr c1.rotateX"), 30.0);
        EXPECT_EQ(sceneText(), before);

        // The same bind goes through once the mesh is sound again.
        ASSERT_TRUE(mel("hostMeshFault -invalidNormalIds false pPlaneShape1"));
        const std::string pin = undoableResult(command() + flags + " pPlane1 c0 c1");
        EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), pin + ".outputMatrix[1]");
        ASSERT_TRUE(mel("undo"));
    }
}

TEST_F(PinScene, ABadMeshFailsAnExtensionAloneAndOnlyUntilItIsDeleted)
{
    const std::string pin = melString("surfacePinBind pPlane1 c0").asChar();
    const std::vector<int> vertexIds = intArray(pin + ".vertexIndices");
    ASSERT_TRUE(mel("hostMeshFault -invalidNormalIds true pPlaneShape1"));
    const std::string before = sceneText();
    // Restating the mode reconnects every control, so the rollback has connections to restore.
    EXPECT_EQ(melFailure("surfacePinBind -n " + pin + " -c translate c1"),
              "surfacePinBind: mesh did not provide valid face-vertex normal ids: pPlaneShape1\n");
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(sourceOf("c0.translateX"), "");
    EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), "");
    EXPECT_EQ(intArray(pin + ".vertexIndices"), vertexIds);
    EXPECT_EQ(sceneText(), before);

    // Another mesh binds; so does a new mesh given the damaged one's name.
    ASSERT_TRUE(mel("polyPlane -w 4 -h 4 -sx 2 -sy 2"));
    EXPECT_TRUE(mel("surfacePinBind pPlane2 c2"));
    ASSERT_TRUE(mel("delete pPlane1; polyPlane -w 10 -h 10 -sx 4 -sy 4 -n pPlane1"));
    EXPECT_TRUE(mel("surfacePinBind pPlane1 c1"));
}

TEST_F(PinScene, EveryCommandRefusesBadInputWithItsMessageAndChangesNothing)
{
    // A target plane wrapped to a driver plane keeps its original geometry in an intermediate
    // "tgtShapeOrig" beside the deformed "tgtShape".
    ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4 -n drv; polyPlane -w 10 -h 10 -sx 4 -sy 4 -n tgt"));
    ASSERT_TRUE(mel("vertexWrap drv tgt; polyPlane -w 5 -h 5 -sx 2 -sy 2 -n patch"));
    ASSERT_TRUE(mel("createNode surfacePin -n lonely; createNode surfacePin -n meshOnly"));
    ASSERT_TRUE(mel("createNode surfaceUVPin -n lonelyUV; createNode surfaceUVPin -n meshOnlyUV"));
    ASSERT_TRUE(mel("connectAttr pPlaneShape1.worldMesh[0] meshOnly.deformedGeometry"));
    ASSERT_TRUE(mel("connectAttr pPlaneShape1.worldMesh[0] meshOnlyUV.deformedGeometry"));
    const std::string pin = melString("surfacePinBind pPlane1 c3").asChar();
    ASSERT_TRUE(mel("createNode transform -n uvCtrl"));
    const std::string uvPin = melString("surfaceUVPinBind pPlane1 uvCtrl").asChar();
    // Pin nodes whose bind data is held in place.
    ASSERT_TRUE(mel("createNode transform -n heldCtrl; createNode transform -n heldUVCtrl"));
    const std::string heldPin = melString("surfacePinBind pPlane1 heldCtrl").asChar();
    const std::string heldUVPin = melString("surfaceUVPinBind pPlane1 heldUVCtrl").asChar();
    ASSERT_TRUE(mel("setAttr -lock true " + heldPin + ".baryWeights"));
    ASSERT_TRUE(mel("connectAttr lonely.bindMaintainOffset " + heldUVPin + ".bindMaintainOffset"));
    // A mesh without faces, a mesh under a group, and controls the pins could not take over.
    ASSERT_TRUE(mel("createNode mesh -n meshless; polyPlane -n inner; createNode transform -n grp; parent inner grp"));
    ASSERT_TRUE(mel("setAttr -lock true c1.offsetParentMatrix; setAttr c2.rotateX 30; setAttr -lock true c2.rx"));
    ASSERT_TRUE(mel("createNode transform -n stretched; setAttr stretched.scaleX 2"));
    ASSERT_TRUE(mel("createNode transform -n stretch; setAttr stretch.sx 2; connectAttr stretch.sx stretched.sy"));
    EXPECT_EQ(melDouble("getAttr stretched.scaleY"), 2.0);
    ASSERT_TRUE(mel("createNode transform -n pinned; setAttr pinned.tz 1; setAttr -lock true pinned.tz; select -cl"));
    ASSERT_TRUE(mel("createNode transform -n faraway; setAttr faraway.tx (1e308 * 10); select -cl"));
    const std::string before = sceneText();
    // "%" stands for each pin command in turn.
    const std::pair<std::string, std::string> refusals[] = {
        {"% c0 c1", "%: object has no visible mesh shape: c0\n"},
        {"% time1 c0", "%: object has no visible mesh shape: time1\n"},
        {"% Torso noSuchControl", "%: No object matches name: Torso\n"},
        {"% pPlane1 c0 noSuchControl", "%: No object matches name: noSuchControl\n"},
        {"% meshless c0", "%: mesh has no faces to pin to: meshless\n"},
        {"% pPlane1 time1", "%: control is not a transform: time1\n"},
        {"% pPlane1 c0 pPlaneShape1", "%: control is not a transform: pPlaneShape1\n"},
        {"% pPlane1 faraway", "%: control faraway has a non-finite world matrix; it cannot be pinned.\n"},
        {"% -mo pPlane1 pPlane1 c0", "%: the mesh cannot also be a control: pPlane1\n"},
        {"% innerShape grp", "%: control is a parent of the mesh: grp\n"},
        {"% pPlane1 c1", "%: cannot pin c1: c1.offsetParentMatrix is locked.\n"},
        {"% pPlane1 c2", "%: cannot pin c2: c2.rotateX is locked.\n"},
        {"% pPlane1 stretched", "%: cannot pin stretched: stretched.scaleY is connected.\n"},
        {"% -iv maybe pPlane1 c0", "%: Flag -inverse expects a boolean argument, not \"maybe\".\n"},
        {"% tgtShapeOrig c1", "%: selected mesh is intermediate: tgtShapeOrig\n"},
        {"% c1 c0", "%: object has no visible mesh shape: c1\n"},
        {"surfacePinBind -c sideways pPlane1 c0", "surfacePinBind: -connect must be 'matrix' or 'translate'.\n"},
        {"surfacePinBind -c translate pPlane1 pinned",
         "surfacePinBind: cannot pin pinned: pinned.translateZ is locked.\n"},
        {"surfacePinBind pPlane1", "Usage: surfacePinBind mesh ctrl0 ctrl1 ...\n"},
        {"% -n noSuchPin c0", "%: No object matches name: noSuchPin\n"},
        {"surfacePinBind -n lonely c0", "surfacePinBind: node has no mesh connected: lonely\n"},
        {"surfaceUVPinBind -n lonelyUV c0", "surfaceUVPinBind: node has no mesh connected: lonelyUV\n"},
        {"surfacePinBind -n meshOnly c0", "surfacePinBind: node has no connected controls: meshOnly\n"},
        {"surfaceUVPinBind -n meshOnlyUV c0", "surfaceUVPinBind: node has no connected controls: meshOnlyUV\n"},
        {"surfacePinBind -n c1 c0", "surfacePinBind: c1 is not a surfacePin node.\n"},
        {"surfaceUVPinBind -n " + pin + " c0", "surfaceUVPinBind: " + pin + " is not a surfaceUVPin node.\n"},
        {"surfacePinBind -n " + pin + " tgtShapeOrig c1",
         "surfacePinBind: selected mesh is intermediate: tgtShapeOrig\n"},
        {"surfaceUVPinBind -n " + uvPin + " tgtShapeOrig c1",
         "surfaceUVPinBind: selected mesh is intermediate: tgtShapeOrig\n"},
        {"surfacePinBind -n " + heldPin + " c0",
         "surfacePinBind: cannot bind again to " + heldPin + ": " + heldPin + ".baryWeights is locked.\n"},
        {"surfaceUVPinBind -n " + heldUVPin + " c0", "surfaceUVPinBind: cannot bind again to " + heldUVPin + ": " +
                                                       heldUVPin + ".bindMaintainOffset is connected.\n"},
        {"surfaceUVPinBind -n " + uvPin + " pPlane1 c1",
         "surfaceUVPinBind: cannot pin c1: c1.offsetParentMatrix is locked.\n"},
        {"surfaceUVPinBind pPlane1", "surfaceUVPinBind requires a mesh and at least one control.\n"},
        {"vertexWrap tgtShapeOrig patch", "vertexWrap: selected mesh is intermediate: tgtShapeOrig\n"},
        {"pellixDataBind tgtShapeOrig patch",
         "pellixDataBind: first selected object must be a driver mesh: tgtShapeOrig\n"},
        {"hostMeshFault pPlaneShape1", "hostMeshFault: give -invalidNormalIds or -refuseRawPoints.\n"},
        {"hostMeshFault -refuseRawPoints true pPlaneShape1", "hostMeshFault: -refuseRawPoints takes no object.\n"},
        {"hostMeshFault -invalidNormalIds maybe pPlaneShape1",
         "hostMeshFault: -invalidNormalIds takes true or false, not \"maybe\".\n"},
        {"hostMeshFault -invalidNormalIds true", "hostMeshFault: name one mesh shape.\n"},
        {"hostMeshFault -invalidNormalIds true pPlane1", "hostMeshFault: pPlane1 is not a mesh shape.\n"},
        {"hostMeshFault -invalidNormalIds true nothingHere", "hostMeshFault: no object matches name: nothingHere\n"},
    };
    for (const auto& [row, rowError] : refusals) {
        for (const char* command : {"surfacePinBind", "surfaceUVPinBind"}) {
            std::string call = row;
            std::string error = rowError;
            if (call[0] != '%' && command != std::string("surfacePinBind"))
                continue;  // a row of one command runs once
            for (std::string* text : {&call, &error}) {
                if ((*text)[0] == '%')
                    text->replace(0, 1, command);
            }
            SCOPED_TRACE(call);
            host::MessageCapture capture;
            StderrCapture apiErrors;
            EXPECT_FALSE(mel(call));
            EXPECT_EQ(apiErrors.finish(), "");
            EXPECT_EQ(errors(capture), error);
            EXPECT_EQ(sceneText(), before);
        }
    }

    // Channels locked at the values the pins give them do not stand in their way.
    ASSERT_TRUE(mel("createNode transform -n steady; setAttr steady.translate 1 1 1"));
    ASSERT_TRUE(mel("setAttr -lock true steady.sx; setAttr -lock true steady.sy; setAttr -lock true steady.rz"));
    for (const char* command : {"surfacePinBind", "surfaceUVPinBind"}) {
        const std::string steadyPin = undoableResult(std::string(command) + " pPlane1 steady");
        EXPECT_EQ(sourceOf("steady.offsetParentMatrix"), steadyPin + ".outputMatrix[0]");
        ASSERT_TRUE(mel("undo"));
    }
}

TEST_F(PinScene, EveryCommandTakesADeformedMeshByItsTransformAndTheWrapCarriesThePins)
{
    ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4 -n drv; polyPlane -w 10 -h 10 -sx 4 -sy 4 -n tgt"));
    ASSERT_TRUE(mel("vertexWrap drv tgt; polyPlane -w 5 -h 5 -sx 2 -sy 2 -n patch"));
    const std::string pin = melString("surfacePinBind tgt c0").asChar();
    EXPECT_EQ(sourceOf(pin + ".deformedGeometry"), "tgtShape.worldMesh[0]");
    const std::string uvPin = melString("surfaceUVPinBind tgt c1").asChar();
    EXPECT_EQ(sourceOf(uvPin + ".deformedGeometry"), "tgtShape.worldMesh[0]");
    ASSERT_TRUE(mel("pellixDataBind tgt patch"));
    const MStringArray overlays = melStrings("ls -type pellixDataOverlay");
    ASSERT_EQ(overlays.length(), 1u);
    EXPECT_EQ(sourceOf(std::string(overlays[0].asChar()) + ".inMesh"), "tgtShape.worldMesh[0]");

    ASSERT_TRUE(mel("move -r 0 3 0 drv.vtx[0:24]"));
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), onThePlane(0, 3.0), kTolerance));
    EXPECT_TRUE(vectorsNear(worldPosition("c1"), onThePlane(1, 3.0), kTolerance));
}

// surfacePinBind alone: the selection, translate mode, extending, precision, riding the mesh.

TEST_F(PinScene, SurfacePinBindTakesTheSelectionAndAMeshShape)
{
    ASSERT_TRUE(mel("select -r pPlane1 c0 c1"));
    const std::string pin = melString("surfacePinBind").asChar();
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), pin + ".outputMatrix[1]");
    const std::string byShape = melString("surfacePinBind pPlaneShape1 c2").asChar();
    EXPECT_EQ(sourceOf(byShape + ".deformedGeometry"), "pPlaneShape1.worldMesh[0]");
}

TEST_F(PinScene, TranslateModeDrivesTranslateChannelsWhateverTheCase)
{
    ASSERT_TRUE(mel("setAttr c0.rotateY 45; setAttr c1.rotateY 45"));
    const std::string byConnect = melString("surfacePinBind -c TRANSLATE pPlane1 c0").asChar();
    const std::string byFlag = melString("surfacePinBind -to true pPlane1 c1").asChar();
    for (const auto& [pin, c] : {std::make_pair(byConnect, std::string("c0")), std::make_pair(byFlag, std::string("c1"))}) {
        SCOPED_TRACE(c);
        for (const char* axis : {"X", "Y", "Z"})
            EXPECT_EQ(sourceOf(c + ".translate" + axis), pin + ".outputTranslate[0].outputTranslate" + axis);
        EXPECT_EQ(sourceOf(c + ".offsetParentMatrix"), "");
        EXPECT_EQ(melDouble("getAttr " + c + ".rotateY"), 45.0);
    }
    // "-c" outranks "-to".
    const std::string pin = melString("surfacePinBind -c Matrix -to true pPlane1 c2").asChar();
    EXPECT_EQ(sourceOf("c2.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(sourceOf("c2.translateX"), "");
}

TEST_F(PinScene, TranslateModeMaintainOffsetFollowsTheMeshAndTogglesWithTheAttribute)
{
    const std::string pin = melString("surfacePinBind -mo -c translate pPlane1 c0 c1").asChar();
    auto translate = [](const std::string& c) {
        return MVector(melDouble("getAttr " + c + ".translateX"), melDouble("getAttr " + c + ".translateY"),
                       melDouble("getAttr " + c + ".translateZ"));
    };
    // Bound where they stand, then carried by the mesh with their offset; without the offset
    // they sit on the surface, and with it again they are back above it.
    const MVector up(0, 1, 0);
    EXPECT_TRUE(vectorsNear(translate("c0"), kControlStart[0], kTolerance));
    EXPECT_TRUE(vectorsNear(translate("c1"), kControlStart[1], kTolerance));
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 1"));
    EXPECT_TRUE(vectorsNear(translate("c0"), kControlStart[0] + up, kTolerance));
    EXPECT_TRUE(vectorsNear(translate("c1"), kControlStart[1] + up, kTolerance));
    ASSERT_TRUE(mel("setAttr " + pin + ".bindMaintainOffset 0"));
    EXPECT_TRUE(vectorsNear(translate("c0"), MVector(boundPoint(pin, 0)) + up, kTolerance));
    EXPECT_TRUE(vectorsNear(translate("c1"), MVector(boundPoint(pin, 1)) + up, kTolerance));
    ASSERT_TRUE(mel("setAttr " + pin + ".bindMaintainOffset 1"));
    EXPECT_TRUE(vectorsNear(translate("c0"), kControlStart[0] + up, kTolerance));
    EXPECT_TRUE(vectorsNear(translate("c1"), kControlStart[1] + up, kTolerance));
}

TEST_F(PinScene, TranslateModeWithInverseFollowsTheMeshWithoutFeedingBack)
{
    host::MessageCapture capture;
    const std::string pin = melString("surfacePinBind -c translate -iv true pPlane1 c0").asChar();
    EXPECT_EQ(warnings(capture), kInverseWarning);
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[0]"), "");
    EXPECT_EQ(sourceOf("c0.translateY"), pin + ".outputTranslate[0].outputTranslateY");
    // Each height is read twice: a control fed back into its own pin would drift.
    for (double height : {1.0, 2.0}) {
        ASSERT_TRUE(mel("setAttr pPlane1.translateY " + std::to_string(height)));
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), onThePlane(0, height), kTolerance)) << height;
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), onThePlane(0, height), kTolerance)) << height;
    }
    // The setting is kept: switched to matrix mode, the control's inverse is connected.
    ASSERT_TRUE(mel("surfacePinBind -n " + pin + " -c matrix"));
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[0]"), "c0.inverseMatrix");
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), onThePlane(0, 2.0), kTolerance));

    // A matrix node with the inverse switched to translate drops every inverse; maintained
    // offsets keep the controls where they stood, and the mesh carries them.
    const std::string offset = melString("surfacePinBind -mo -iv true pPlane1 c2 c3").asChar();
    ASSERT_EQ(sourceOf(offset + ".controlLocalInverseMatrix[1]"), "c3.inverseMatrix");
    capture.clear();
    ASSERT_TRUE(mel("surfacePinBind -n " + offset + " -c translate"));
    EXPECT_EQ(warnings(capture), kInverseWarning);
    EXPECT_EQ(sourceOf(offset + ".controlLocalInverseMatrix[0]"), "");
    EXPECT_EQ(sourceOf(offset + ".controlLocalInverseMatrix[1]"), "");
    const MVector up(0, 1, 0);
    EXPECT_TRUE(vectorsNear(worldPosition("c2"), kControlStart[2], kTolerance));
    EXPECT_TRUE(vectorsNear(worldPosition("c3"), kControlStart[3], kTolerance));
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 3"));
    EXPECT_TRUE(vectorsNear(worldPosition("c2"), kControlStart[2] + up, kTolerance));
    EXPECT_TRUE(vectorsNear(worldPosition("c3"), kControlStart[3] + up, kTolerance));
}

TEST_F(PinScene, SwitchingToTranslateModePlacesTheControlOnceAndUndoesExactly)
{
    const std::string pin = undoableResult("surfacePinBind pPlane1 c0");
    ASSERT_TRUE(vectorsNear(worldPosition("c0"), onThePlane(0), kTolerance));
    const std::string matrixScene = sceneText();
    const MMatrix matrixWorld = worldMatrix("c0");

    undoableResult("surfacePinBind -n " + pin + " -c translate");
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), "");
    MDoubleArray offset;
    ASSERT_TRUE(MGlobal::executeCommand("getAttr c0.offsetParentMatrix", offset));
    ASSERT_EQ(offset.length(), 16u);
    for (unsigned k = 0; k < 16; ++k)
        EXPECT_EQ(offset[k], k % 5 == 0 ? 1.0 : 0.0) << k;
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), onThePlane(0), kTolerance));
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 2"));
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), onThePlane(0, 2.0), kTolerance));
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 0"));

    // Undo gives back the connection and the matrix it carried, exactly.
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(sceneText(), matrixScene);
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(matrixDistance(worldMatrix("c0"), matrixWorld), 0.0);
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(sourceOf("c0.translateX"), pin + ".outputTranslate[0].outputTranslateX");
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), onThePlane(0), kTolerance));

    // A hand-set offset is the rigger's own: only a matrix a connection left behind goes.
    ASSERT_TRUE(mel("setAttr c1.offsetParentMatrix -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1 0 0 5 0 1"));
    ASSERT_TRUE(mel("surfacePinBind -c translate pPlane1 c1"));
    EXPECT_TRUE(vectorsNear(worldPosition("c1"), onThePlane(1, 5.0), kTolerance));
}

TEST_P(PinBind, ExtendingAddsControlsAfterTheExistingOnesAndReconnectsOnlyNewOnes)
{
    const std::string pin = melString(command() + " pPlane1 c0 c1").asChar();
    // The animator's later edit on an existing control survives an extension.
    ASSERT_TRUE(mel("setAttr c0.rotateX 30"));
    host::MessageCapture capture;
    EXPECT_EQ(melString(command() + " -n " + pin + " c2 c0").asChar(), pin);
    EXPECT_EQ(warnings(capture), command() + ": control already bound, skipping c0\n");
    EXPECT_EQ(sourceOf("c2.offsetParentMatrix"), pin + ".outputMatrix[2]");
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(melDouble("getAttr c0.rotateX"), 30.0);
    EXPECT_EQ(pinCount(pin), 3u);
    EXPECT_TRUE(vectorsNear(worldPosition("c2"), onThePlane(2), kTolerance));

    // A mesh named first replaces the node's mesh.
    ASSERT_TRUE(mel("polyPlane -w 4 -h 4 -sx 1 -sy 1"));
    ASSERT_TRUE(mel(command() + " -n " + pin + " pPlane2 c3"));
    EXPECT_EQ(sourceOf(pin + ".deformedGeometry"), "pPlaneShape2.worldMesh[0]");
    EXPECT_EQ(sourceOf(pin + ".geometryWorldMatrix"), "pPlaneShape2.worldMatrix[0]");
    EXPECT_EQ(pinCount(pin), 4u);
}

TEST_F(PinScene, RestatingTheModeOfAnExtendedNodeReconnectsAndRebindsEveryControl)
{
    const std::string pin = melString("surfacePinBind pPlane1 c0 c1").asChar();
    ASSERT_TRUE(mel("setAttr c0.rotateX 30"));
    // The existing pins are bound again where their controls now are (placed by the node's
    // single-precision evaluation).
    EXPECT_TRUE(mel("surfacePinBind -n " + pin + " -c matrix c3"));
    EXPECT_EQ(melDouble("getAttr c0.rotateX"), 0.0);
    EXPECT_EQ(sourceOf("c3.offsetParentMatrix"), pin + ".outputMatrix[2]");
    EXPECT_EQ(intArray(pin + ".vertexIndices").size(), 9u);
    EXPECT_TRUE(vectorsNear(MVector(boundPoint(pin, 1)), onThePlane(1), kTolerance));
}

TEST_P(PinBind, ExtendingAfterAControlWasDeletedGivesEveryControlItsOwnPin)
{
    const std::string pin = melString(command() + " pPlane1 c0 c1 c2").asChar();
    ASSERT_TRUE(mel("delete c1"));
    ASSERT_TRUE(mel(command() + " -n " + pin + " c3"));
    // Pins follow the remaining controls in element order, then the new one, each control
    // staying on the surface where it was.
    EXPECT_EQ(pinCount(pin), 3u);
    const std::pair<const char*, unsigned> controls[] = {{"c0", 0}, {"c2", 2}, {"c3", 3}};
    for (unsigned pinIndex = 0; pinIndex < 3; ++pinIndex) {
        const auto& [control, start] = controls[pinIndex];
        SCOPED_TRACE(control);
        EXPECT_EQ(sourceOf(std::string(control) + ".offsetParentMatrix"),
                  pin + ".outputMatrix[" + std::to_string(pinIndex) + "]");
        EXPECT_TRUE(vectorsNear(worldPosition(control), onThePlane(start), kTolerance));
    }
}

TEST_F(PinScene, ExtendingKeepsTheNodesModeAndSettings)
{
    const std::string pin = melString("surfacePinBind -c translate -mo -iv true pPlane1 c0").asChar();
    ASSERT_TRUE(mel("surfacePinBind -n " + pin + " c1"));
    EXPECT_EQ(sourceOf("c1.translateX"), pin + ".outputTranslate[1].outputTranslateX");
    EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), "");
    // The inverse setting is kept for a later switch to matrix mode, but a translate-driven
    // control's inverse is never fed back into the pin.
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[1]"), "");
    EXPECT_EQ(melInt("getAttr " + pin + ".bindUseControlInverse"), 1);
    EXPECT_EQ(melInt("getAttr " + pin + ".bindMaintainOffset"), 1);
    EXPECT_EQ(matrixArray(pin + ".bindSurfaceMatrices").size(), 2u);
}

TEST_F(PinScene, SavedAndReopenedBindDataKeepsFullDoublePrecision)
{
    // Controls at coordinates no float can hold give weights and matrices that need doubles.
    ASSERT_TRUE(mel("setAttr c0.translate 1.2345678901234567 0.3333333333333333 -3.0987654321098765;"
                    "setAttr c1.rotate 12.345678901234567 -7.654321098765432 0.1234567890123456"));
    const std::string pin = melString("surfacePinBind -mo pPlane1 c0 c1").asChar();
    const std::vector<double> weights = doubleArray(pin + ".baryWeights");
    const std::vector<double> tangents = doubleArray(pin + ".bindTangents");
    const std::vector<MMatrix> surfaces = matrixArray(pin + ".bindSurfaceMatrices");
    const std::vector<MMatrix> controls = matrixArray(pin + ".bindControlMatrices");
    ASSERT_EQ(weights.size(), 6u);
    ASSERT_EQ(controls.size(), 2u);
    ASSERT_NE(double(float(controls[0](3, 0))), controls[0](3, 0));

    const std::string file = ::testing::TempDir() + "pinPrecision.ma";
    ASSERT_TRUE(mel("file -rename \"" + file + "\"; file -save -type \"mayaAscii\"; file -f -new; file -f -open \"" +
                    file + "\""));
    EXPECT_EQ(doubleArray(pin + ".baryWeights"), weights);
    EXPECT_EQ(doubleArray(pin + ".bindTangents"), tangents);
    for (const auto& [plug, saved] : {std::make_pair(".bindSurfaceMatrices", surfaces),
                                      std::make_pair(".bindControlMatrices", controls)}) {
        const std::vector<MMatrix> reopened = matrixArray(pin + plug);
        ASSERT_EQ(reopened.size(), saved.size()) << plug;
        for (size_t i = 0; i < saved.size(); ++i)
            EXPECT_EQ(matrixDistance(reopened[i], saved[i]), 0.0) << plug << i;
    }
}

TEST_F(PinScene, ControlsRideTheMeshAsItMovesAndDeforms)
{
    ASSERT_TRUE(mel("surfacePinBind pPlane1 c0 c1; surfacePinBind -c translate pPlane1 c2"));
    // Without maintain offset each control sits at its bound point, the plane's normal up.
    EXPECT_TRUE(vectorsNear(translationOf(worldMatrix("c0")), onThePlane(0), kTolerance));
    EXPECT_NEAR(worldMatrix("c0")(2, 1), 1.0, kTolerance);
    EXPECT_TRUE(vectorsNear(worldPosition("c2"), onThePlane(2), kTolerance));

    ASSERT_TRUE(mel("setAttr pPlane1.translate 1 3 0"));
    const MVector moved(1, 3, 0);
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_TRUE(vectorsNear(worldPosition("c" + std::to_string(i)), onThePlane(i) + moved, kTolerance)) << i;
    // Lifting the whole surface by one unit lifts every control with it.
    ASSERT_TRUE(mel("move -r 0 1 0 pPlane1.vtx[0:24]"));
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_TRUE(vectorsNear(worldPosition("c" + std::to_string(i)), onThePlane(i, 1.0) + moved, kTolerance))
            << i;
}

TEST_F(PinScene, ControlRidesASkinnedMeshAsItsJointTurns)
{
    ASSERT_TRUE(mel("select -cl; joint -p -5 0 0 -n root; joint -p 5 0 0 -n end; skinCluster root pPlane1"));
    ASSERT_TRUE(mel("surfacePinBind pPlane1 c0 c2"));
    const MMatrix before[2] = {worldMatrix("c0"), worldMatrix("c2")};
    // The whole chain turns a quarter round y about the root, and the skin, rigidly, with it.
    ASSERT_TRUE(mel("setAttr root.ry 90"));
    MMatrix turn;
    turn(0, 0) = turn(2, 2) = 0.0;
    turn(0, 2) = -1.0;
    turn(2, 0) = 1.0;
    MMatrix toRoot, fromRoot;
    toRoot(3, 0) = 5.0;
    fromRoot(3, 0) = -5.0;
    const MMatrix after[2] = {worldMatrix("c0"), worldMatrix("c2")};
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(after[i].isEquivalent(before[i] * toRoot * turn * fromRoot, 1e-5)) << "control " << i;
}

// surfaceUVPinBind alone: a mesh without UVs, redo, UV sets.

TEST_F(PinScene, UVPinBindOnAMeshWithoutUVsLeavesTheControlsAlone)
{
    // One quad with no UVs at all.
    MFloatPointArray points;
    for (const MFloatPoint& p : {MFloatPoint(0, 0, 0), MFloatPoint(1, 0, 0), MFloatPoint(1, 0, 1), MFloatPoint(0, 0, 1)})
        points.append(p);
    MIntArray counts, connects;
    counts.append(4);
    for (int v : {0, 3, 2, 1})
        connects.append(v);
    MStatus status;
    const MObject transform = MFnMesh().create(4, 1, points, counts, connects, MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    const std::string mesh = MFnDagNode(transform).name().asChar();

    ASSERT_TRUE(mel("setAttr c0.rotateX 30; setAttr c0.scaleY 2"));
    const std::string before = sceneText();
    const std::string shape = MFnDagNode(MFnDagNode(transform).child(0)).partialPathName().asChar();
    EXPECT_EQ(melFailure("surfaceUVPinBind " + mesh + " c0"),
              "surfaceUVPinBind: mesh face is missing usable UVs in UV set map1: " + shape + ".f[0]\n");
    EXPECT_EQ(melDouble("getAttr c0.rotateX"), 30.0);
    EXPECT_EQ(melDouble("getAttr c0.scaleY"), 2.0);
    EXPECT_EQ(melDouble("getAttr c0.translateX"), 1.2);
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), "");
    EXPECT_EQ(sceneText(), before);
}

TEST_F(PinScene, UVPinRedoBindsAgainWhereTheControlsWereWhenTheCommandRan)
{
    const std::string pin = undoableResult("surfaceUVPinBind pPlane1 c0");
    const std::vector<double> first = doubleArray(pin + ".pinUVs");
    ASSERT_TRUE(mel("undo"));
    // Moved behind the undo queue's back, so that redo stays available.
    ASSERT_TRUE(plugNamed("c0.translateX").setValue(-4.0));
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(doubleArray(pin + ".pinUVs"), first);
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
}

TEST_F(PinScene, UVPinsResolveInTheLayoutOfTheSetTheyAreSwitchedTo)
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
    const MDagPath shape = pathNamed("quadShape");
    ASSERT_EQ(MFnMesh(shape).numUVs("map1"), 4);
    ASSERT_EQ(MFnMesh(shape).numUVs("mirror"), 4);
    ASSERT_TRUE(mel("setAttr c0.translate -0.3 1 0.2"));
    const std::string pin = melString("surfaceUVPinBind quad c0").asChar();
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), MVector(-0.3, 0, 0.2), kTolerance));

    // The stored UV (0.2, 0.3) lies at the mirrored point in the other set, and back.
    ASSERT_TRUE(mel("setAttr " + pin + ".uvSet -type \"string\" \"mirror\""));
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), MVector(0.3, 0, 0.2), kTolerance));
    // Extending the node binds in its set, so every control stays where it is.
    ASSERT_TRUE(mel("setAttr c1.translate 0.1 1 -0.2"));
    ASSERT_TRUE(mel("surfaceUVPinBind -n " + pin + " c1"));
    EXPECT_EQ(std::string(melString("getAttr " + pin + ".uvSet").asChar()), "mirror");
    EXPECT_TRUE(vectorsNear(worldPosition("c1"), MVector(0.1, 0, -0.2), kTolerance));
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), MVector(0.3, 0, 0.2), kTolerance));
    ASSERT_TRUE(mel("setAttr " + pin + ".uvSet -type \"string\" \"map1\""));
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), MVector(-0.3, 0, 0.2), kTolerance));
}
