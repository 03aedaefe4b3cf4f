// "surfacePinBind" driven through MEL: what it connects and stores, its two connection
// modes, extending a node with "-n", its refusals, and undo and redo.

#include "PluginTestSupport.h"
#include "SurfacePinBindTestSupport.h"

#include <maya/MFnMesh.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MDagPath.h>

#include <cmath>
#include <string>
#include <vector>

using namespace pinbind;

namespace {

class SurfacePinBind : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        // A 10 x 10 plane in XZ, four faces a side, and controls hovering above it.
        ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4"));
        addControl("c0", 1.2, 1.0, -3.1);
        addControl("c1", -2.0, 0.5, 2.2);
        addControl("c2", 3.7, -1.0, 0.4);
        addControl("c3", -4.1, 2.0, -0.9);
    }

    void addControl(const std::string& name, double x, double y, double z)
    {
        ASSERT_TRUE(mel("createNode transform -n " + name));
        ASSERT_TRUE(mel("setAttr " + name + ".translate " + std::to_string(x) + " " + std::to_string(y) + " " +
                        std::to_string(z)));
    }

    // Point of the plane's mesh, object space.
    MPoint meshPoint(int id)
    {
        MSelectionList list;
        MDagPath path;
        EXPECT_TRUE(list.add("pPlaneShape1") && list.getDagPath(0, path));
        MPoint point;
        EXPECT_TRUE(MFnMesh(path).getPoint(id, point));
        return point;
    }

    // The object-space point pin `pin` was bound at.
    MPoint boundPoint(const std::string& node, unsigned pin)
    {
        const std::vector<int> ids = intArray(node + ".vertexIndices");
        const std::vector<double> weights = doubleArray(node + ".baryWeights");
        MPoint sum(0.0, 0.0, 0.0);
        for (unsigned k = 0; k < 3; ++k) {
            const MPoint corner = meshPoint(ids.at(3 * pin + k));
            sum.x += weights.at(3 * pin + k) * corner.x;
            sum.y += weights.at(3 * pin + k) * corner.y;
            sum.z += weights.at(3 * pin + k) * corner.z;
        }
        return sum;
    }

    static std::string errorsOf(const host::MessageCapture& capture)
    {
        return capture.text(host::MessageKind::kError).asChar();
    }
};

} // namespace

TEST_F(SurfacePinBind, NewNodeConnectsMeshControlsAndInverseMatrices)
{
    ASSERT_TRUE(mel("createNode transform -n grp; setAttr grp.translate 0 2 0; parent c1 grp"));
    const std::string pin = melString("surfacePinBind -iv true pPlane1 c0 c1").asChar();
    ASSERT_FALSE(pin.empty());
    EXPECT_EQ(melString("nodeType " + pin), MString("surfacePin"));

    EXPECT_EQ(sourceOf(pin + ".deformedGeometry"), "pPlaneShape1.worldMesh[0]");
    EXPECT_EQ(sourceOf(pin + ".geometryWorldMatrix"), "pPlaneShape1.worldMatrix[0]");
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), pin + ".outputMatrix[1]");
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[0]"), "c0.inverseMatrix");
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[1]"), "c1.inverseMatrix");
    // A control directly under the world has no parent inverse.
    EXPECT_EQ(sourceOf(pin + ".controlParentInverseMatrix[0]"), "");
    EXPECT_EQ(sourceOf(pin + ".controlParentInverseMatrix[1]"), "grp.worldInverseMatrix[0]");
    EXPECT_EQ(melInt("getAttr " + pin + ".bindUseControlInverse"), 1);

    for (const char* control : {"c0", "c1"}) {
        SCOPED_TRACE(control);
        const std::string c(control);
        for (const char* channel : {".tx", ".ty", ".tz", ".rx", ".ry", ".rz"}) {
            EXPECT_EQ(melDouble("getAttr " + c + channel), 0.0) << channel;
        }
        for (const char* channel : {".sx", ".sy", ".sz"}) {
            EXPECT_EQ(melDouble("getAttr " + c + channel), 1.0) << channel;
        }
    }
}

TEST_F(SurfacePinBind, BindsEachControlToTheClosestPointOfItsFace)
{
    const std::string pin = melString("surfacePinBind pPlane1 c0 c1 c2").asChar();
    const std::vector<int> ids = intArray(pin + ".vertexIndices");
    const std::vector<int> normalIds = intArray(pin + ".normalIndices");
    const std::vector<double> weights = doubleArray(pin + ".baryWeights");
    ASSERT_EQ(ids.size(), 9u);
    ASSERT_EQ(normalIds.size(), 9u);
    ASSERT_EQ(weights.size(), 9u);
    EXPECT_EQ(doubleArray(pin + ".bindTangents").size(), 6u);

    const double expected[3][2] = {{1.2, -3.1}, {-2.0, 2.2}, {3.7, 0.4}};
    for (unsigned i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const MPoint p = boundPoint(pin, i);
        EXPECT_NEAR(p.x, expected[i][0], 1e-9);
        EXPECT_NEAR(p.y, 0.0, 1e-9);
        EXPECT_NEAR(p.z, expected[i][1], 1e-9);
        EXPECT_NEAR(weights[3 * i] + weights[3 * i + 1] + weights[3 * i + 2], 1.0, 1e-12);
        for (unsigned k = 0; k < 3; ++k) {
            EXPECT_GE(weights[3 * i + k], -0.01);
            EXPECT_GE(normalIds[3 * i + k], 0);
        }
    }

    // Without maintain offset the bind matrices are identities.
    EXPECT_EQ(melInt("getAttr " + pin + ".bindMaintainOffset"), 0);
    for (const MMatrix& m : matrixArray(pin + ".bindSurfaceMatrices")) {
        EXPECT_EQ(m, MMatrix());
    }
    EXPECT_EQ(matrixArray(pin + ".bindControlMatrices").size(), 3u);
}

TEST_F(SurfacePinBind, MaintainOffsetStoresTheBindFrameAndTheControlMatrix)
{
    ASSERT_TRUE(mel("setAttr c0.rotateY 30"));
    const MMatrix before = worldMatrix("c0");
    const std::string pin = melString("surfacePinBind -mo pPlane1 c0").asChar();
    EXPECT_EQ(melInt("getAttr " + pin + ".bindMaintainOffset"), 1);

    const std::vector<MMatrix> controls = matrixArray(pin + ".bindControlMatrices");
    const std::vector<MMatrix> frames = matrixArray(pin + ".bindSurfaceMatrices");
    ASSERT_EQ(controls.size(), 1u);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_LT(matrixDistance(controls[0], before), 1e-12);

    // The frame sits at the closest point, its normal is the plane's, and its tangent
    // follows the control's X axis laid onto the plane.
    const MMatrix& f = frames[0];
    EXPECT_NEAR(f(3, 0), 1.2, 1e-9);
    EXPECT_NEAR(f(3, 1), 0.0, 1e-9);
    EXPECT_NEAR(f(3, 2), -3.1, 1e-9);
    EXPECT_NEAR(f(2, 1), 1.0, 1e-9);
    EXPECT_NEAR(f(0, 0), before(0, 0), 1e-9);
    EXPECT_NEAR(f(0, 2), before(0, 2), 1e-9);
    EXPECT_NEAR(f(0, 0) * f(1, 0) + f(0, 1) * f(1, 1) + f(0, 2) * f(1, 2), 0.0, 1e-12);
}

TEST_F(SurfacePinBind, TranslateModeDrivesTranslateChannelsWhateverTheCase)
{
    ASSERT_TRUE(mel("setAttr c0.rotateY 45; setAttr c1.rotateY 45"));
    const std::string byConnect = melString("surfacePinBind -c TRANSLATE pPlane1 c0").asChar();
    const std::string byFlag = melString("surfacePinBind -to true pPlane1 c1").asChar();
    for (const auto& bound :
         {std::make_pair(byConnect, std::string("c0")), std::make_pair(byFlag, std::string("c1"))}) {
        SCOPED_TRACE(bound.second);
        const std::string& pin = bound.first;
        const std::string& c = bound.second;
        EXPECT_EQ(sourceOf(c + ".translateX"), pin + ".outputTranslate[0].outputTranslateX");
        EXPECT_EQ(sourceOf(c + ".translateY"), pin + ".outputTranslate[0].outputTranslateY");
        EXPECT_EQ(sourceOf(c + ".translateZ"), pin + ".outputTranslate[0].outputTranslateZ");
        EXPECT_EQ(sourceOf(c + ".offsetParentMatrix"), "");
        EXPECT_EQ(melDouble("getAttr " + c + ".rotateY"), 45.0);
    }
    // "-c" outranks "-to".
    const std::string pin = melString("surfacePinBind -c Matrix -to true pPlane1 c2").asChar();
    EXPECT_EQ(sourceOf("c2.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(sourceOf("c2.translateX"), "");
}

TEST_F(SurfacePinBind, SelectionSuppliesTheMeshAndControls)
{
    ASSERT_TRUE(mel("select -r pPlane1 c0 c1"));
    const std::string pin = melString("surfacePinBind").asChar();
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), pin + ".outputMatrix[1]");
    // The mesh shape itself serves as well as its transform.
    const std::string byShape = melString("surfacePinBind pPlaneShape1 c2").asChar();
    EXPECT_EQ(sourceOf(byShape + ".deformedGeometry"), "pPlaneShape1.worldMesh[0]");
}

TEST_F(SurfacePinBind, RefusesBadInputWithItsMessageAndChangesNothing)
{
    ASSERT_TRUE(mel("createNode surfacePin -n lonely; createNode surfacePin -n meshOnly"));
    ASSERT_TRUE(mel("connectAttr pPlaneShape1.worldMesh[0] meshOnly.deformedGeometry"));
    const std::string before = sceneText();

    struct Refusal {
        const char* call;
        const char* error;  // "" when the command fails without a message of its own
    };
    const Refusal refusals[] = {
        {"surfacePinBind -c sideways pPlane1 c0", "surfacePinBind: -connect must be 'matrix' or 'translate'.\n"},
        {"surfacePinBind pPlane1", "Usage: surfacePinBind mesh ctrl0 ctrl1 ...\n"},
        {"surfacePinBind c0 c1", ""},
        {"surfacePinBind -n lonely c0", "surfacePinBind: node has no mesh connected.\n"},
        {"surfacePinBind -n meshOnly c0", "surfacePinBind: node has no connected controls.\n"},
        {"surfacePinBind -n c1 c0", "surfacePinBind: c1 is not a surfacePin node.\n"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.call);
        host::MessageCapture capture;
        EXPECT_FALSE(mel(refusal.call));
        if (*refusal.error) {
            EXPECT_EQ(errorsOf(capture), refusal.error);
        }
        EXPECT_EQ(sceneText(), before);
    }
    // An unknown control name fails before anything is made.
    EXPECT_FALSE(mel("surfacePinBind pPlane1 c0 noSuchControl"));
    EXPECT_EQ(sceneText(), before);
}

TEST_F(SurfacePinBind, ExtendingAddsControlsAfterTheExistingOnesAndReconnectsOnlyNewOnes)
{
    const std::string pin = melString("surfacePinBind pPlane1 c0 c1").asChar();
    // The animator's later edit on an existing control survives an extension...
    ASSERT_TRUE(mel("setAttr c0.rotateX 30"));
    host::MessageCapture capture;
    EXPECT_EQ(melString("surfacePinBind -n " + pin + " c2 c0").asChar(), pin);
    EXPECT_EQ(capture.text(host::MessageKind::kWarning),
              MString("surfacePinBind: control already bound, skipping c0\n"));
    EXPECT_EQ(sourceOf("c2.offsetParentMatrix"), pin + ".outputMatrix[2]");
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(melDouble("getAttr c0.rotateX"), 30.0);
    EXPECT_EQ(intArray(pin + ".vertexIndices").size(), 9u);

    // ...but restating the mode reconnects every control.
    EXPECT_TRUE(mel("surfacePinBind -n " + pin + " -c matrix c3"));
    EXPECT_EQ(melDouble("getAttr c0.rotateX"), 0.0);
    EXPECT_EQ(sourceOf("c3.offsetParentMatrix"), pin + ".outputMatrix[3]");
    EXPECT_EQ(intArray(pin + ".vertexIndices").size(), 12u);
    // Existing pins are bound again where their controls now are (placed by the node's
    // single-precision evaluation).
    const MPoint p = boundPoint(pin, 1);
    EXPECT_NEAR(p.x, -2.0, 1e-5);
    EXPECT_NEAR(p.z, 2.2, 1e-5);
}

TEST_F(SurfacePinBind, ExtendingAfterAControlWasDeletedGivesEveryControlItsOwnPin)
{
    const std::string pin = melString("surfacePinBind pPlane1 c0 c1 c2").asChar();
    ASSERT_TRUE(mel("delete c1"));
    ASSERT_TRUE(mel("surfacePinBind -n " + pin + " c3"));
    // Pins follow the remaining controls in element order, then the new one.
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(sourceOf("c2.offsetParentMatrix"), pin + ".outputMatrix[1]");
    EXPECT_EQ(sourceOf("c3.offsetParentMatrix"), pin + ".outputMatrix[2]");
    EXPECT_EQ(intArray(pin + ".vertexIndices").size(), 9u);
    const MPoint p = boundPoint(pin, 1);
    EXPECT_NEAR(p.x, 3.7, 1e-5);
    EXPECT_NEAR(p.z, 0.4, 1e-5);
}

TEST_F(SurfacePinBind, ExtendingKeepsTheNodesModeAndSettings)
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

    // A mesh named first replaces the node's mesh.
    ASSERT_TRUE(mel("polyPlane -w 4 -h 4 -sx 1 -sy 1"));
    ASSERT_TRUE(mel("surfacePinBind -n " + pin + " pPlane2 c2"));
    EXPECT_EQ(sourceOf(pin + ".deformedGeometry"), "pPlaneShape2.worldMesh[0]");
    EXPECT_EQ(sourceOf(pin + ".geometryWorldMatrix"), "pPlaneShape2.worldMatrix[0]");
    EXPECT_EQ(intArray(pin + ".vertexIndices").size(), 9u);
}

TEST_F(SurfacePinBind, UndoAndRedoRoundTripTheSavedScene)
{
    ASSERT_TRUE(mel("createNode transform -n grp; parent c1 grp; setAttr c0.rotateZ 20"));
    const std::string before = sceneText();
    const std::string pin = undoableMel("surfacePinBind -mo -iv true pPlane1 c0 c1");
    const std::string bound = sceneText();
    ASSERT_NE(bound, before);

    undoableMel("surfacePinBind -n " + pin + " c2");
    const std::string extended = sceneText();
    ASSERT_NE(extended, bound);

    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(sceneText(), bound);
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(sceneText(), before);
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(sceneText(), bound);
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(sceneText(), extended);
}

TEST_F(SurfacePinBind, SavedAndReopenedBindDataKeepsFullDoublePrecision)
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
    const std::vector<MMatrix> reopenedSurfaces = matrixArray(pin + ".bindSurfaceMatrices");
    const std::vector<MMatrix> reopenedControls = matrixArray(pin + ".bindControlMatrices");
    ASSERT_EQ(reopenedSurfaces.size(), surfaces.size());
    ASSERT_EQ(reopenedControls.size(), controls.size());
    for (size_t i = 0; i < surfaces.size(); ++i) {
        EXPECT_EQ(matrixDistance(reopenedSurfaces[i], surfaces[i]), 0.0) << i;
        EXPECT_EQ(matrixDistance(reopenedControls[i], controls[i]), 0.0) << i;
    }
}

// Evaluation through the node: what the bound controls do afterwards.

TEST_F(SurfacePinBind, MaintainOffsetKeepsEveryControlWhereItWas)
{
    ASSERT_TRUE(mel("createNode transform -n grp; setAttr grp.translate 0 2 1; setAttr grp.rotateY 40; parent c1 grp"));
    ASSERT_TRUE(mel("setAttr c0.rotate 10 30 -20; setAttr c2.scale 2 1 0.5; setAttr c3.rotateX 90"));
    const char* const controls[] = {"c0", "c1", "c2", "c3"};
    std::vector<MMatrix> before;
    for (const char* c : controls) {
        before.push_back(worldMatrix(c));
    }
    for (const char* flags : {"-mo", "-mo -iv true", "-mo -c matrix"}) {
        SCOPED_TRACE(flags);
        ASSERT_TRUE(mel(std::string("surfacePinBind ") + flags + " pPlane1 c0 c1 c2 c3"));
        for (unsigned i = 0; i < 4; ++i) {
            // The node evaluates in single precision.
            EXPECT_LT(matrixDistance(worldMatrix(controls[i]), before[i]), 1e-5) << controls[i];
        }
    }
}

TEST_F(SurfacePinBind, TranslateModeMaintainOffsetFollowsTheMeshAndTogglesWithTheAttribute)
{
    const std::string pin = melString("surfacePinBind -mo -c translate pPlane1 c0 c1").asChar();
    const MPoint start[] = {MPoint(1.2, 1.0, -3.1), MPoint(-2.0, 0.5, 2.2)};
    auto expectTranslate = [&](const char* control, const MPoint& expected) {
        const std::string c(control);
        EXPECT_NEAR(melDouble("getAttr " + c + ".translateX"), expected.x, 1e-5) << control;
        EXPECT_NEAR(melDouble("getAttr " + c + ".translateY"), expected.y, 1e-5) << control;
        EXPECT_NEAR(melDouble("getAttr " + c + ".translateZ"), expected.z, 1e-5) << control;
    };
    // Bound where they stand, then carried by the mesh with their offset.
    expectTranslate("c0", start[0]);
    expectTranslate("c1", start[1]);
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 1"));
    expectTranslate("c0", start[0] + MVector(0, 1, 0));
    expectTranslate("c1", start[1] + MVector(0, 1, 0));

    // Without the offset they sit on the surface; with it again they are back above it.
    ASSERT_TRUE(mel("setAttr " + pin + ".bindMaintainOffset 0"));
    expectTranslate("c0", boundPoint(pin, 0) + MVector(0, 1, 0));
    expectTranslate("c1", boundPoint(pin, 1) + MVector(0, 1, 0));
    ASSERT_TRUE(mel("setAttr " + pin + ".bindMaintainOffset 1"));
    expectTranslate("c0", start[0] + MVector(0, 1, 0));
    expectTranslate("c1", start[1] + MVector(0, 1, 0));
}

TEST_F(SurfacePinBind, ControlsRideTheMeshAsItMovesAndDeforms)
{
    ASSERT_TRUE(mel("surfacePinBind pPlane1 c0 c1"));
    ASSERT_TRUE(mel("surfacePinBind -c translate pPlane1 c2"));
    // Without maintain offset each control sits at its bound point, the plane's normal up.
    MMatrix c0 = worldMatrix("c0");
    EXPECT_NEAR(c0(3, 0), 1.2, 1e-5);
    EXPECT_NEAR(c0(3, 1), 0.0, 1e-5);
    EXPECT_NEAR(c0(3, 2), -3.1, 1e-5);
    EXPECT_NEAR(c0(2, 1), 1.0, 1e-5);
    EXPECT_NEAR(melDouble("getAttr c2.translateX"), 3.7, 1e-5);
    EXPECT_NEAR(melDouble("getAttr c2.translateY"), 0.0, 1e-5);

    ASSERT_TRUE(mel("setAttr pPlane1.translate 1 3 0"));
    c0 = worldMatrix("c0");
    EXPECT_NEAR(c0(3, 0), 2.2, 1e-5);
    EXPECT_NEAR(c0(3, 1), 3.0, 1e-5);
    EXPECT_NEAR(worldMatrix("c1")(3, 1), 3.0, 1e-5);
    EXPECT_NEAR(melDouble("getAttr c2.translateX"), 4.7, 1e-5);
    EXPECT_NEAR(melDouble("getAttr c2.translateY"), 3.0, 1e-5);

    // Lifting the whole surface by one unit lifts every control with it.
    ASSERT_TRUE(mel("move -r 0 1 0 pPlane1.vtx[0:24]"));
    EXPECT_NEAR(worldMatrix("c0")(3, 1), 4.0, 1e-5);
    EXPECT_NEAR(worldMatrix("c1")(3, 1), 4.0, 1e-5);
    EXPECT_NEAR(melDouble("getAttr c2.translateY"), 4.0, 1e-5);
}

TEST_F(SurfacePinBind, ControlRidesASkinnedMeshAsItsJointTurns)
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
