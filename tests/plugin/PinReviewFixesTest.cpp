// The pin commands as a rigger meets them: translate mode with the control inverse, a node
// switched from matrix to translate mode, meshes that already carry a deformer (and the
// one mesh resolver every command shares), and a pin node evaluated while the caller's
// task group is being cancelled.

#include "PluginTestSupport.h"
#include "SurfacePinBindTestSupport.h"
#include "SurfacePinNodeSupport.h"

#include "commands/MessageOutput.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MSelectionList.h>
#include <maya/MVector.h>

#include <tbb/task_group.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using pinbind::matrixDistance;
using pinbind::sceneText;
using pinbind::sourceOf;
using pinbind::undoableMel;
using pinbind::worldMatrix;

namespace {

const double kTolerance = 1e-5;

const char* const kInverseWarning =
    "surfacePinBind: translate mode does not use the control inverse: the pin drives each control's "
    "translate, so its inverseMatrix is left unconnected.\n";

class PinReviewFixes : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        // A 10 x 10 plane in XZ, four faces a side, and controls hovering above it.
        ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4"));
        addControl("c0", 1.2, 1.0, -3.1);
        addControl("c1", -2.0, 0.5, 2.2);
        ASSERT_TRUE(mel("select -cl"));
    }

    void addControl(const std::string& name, double x, double y, double z)
    {
        ASSERT_TRUE(mel("createNode transform -n " + name));
        ASSERT_TRUE(mel("setAttr " + name + ".translate " + std::to_string(x) + " " + std::to_string(y) + " " +
                        std::to_string(z)));
    }

    // World position of a control, queried as a user would.
    static MVector worldPosition(const std::string& control)
    {
        MDoubleArray values;
        EXPECT_TRUE(MGlobal::executeCommand(MString(("xform -q -ws -t " + control).c_str()), values));
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return values.length() == 3 ? MVector(values[0], values[1], values[2]) : MVector(nan, nan, nan);
    }

    // A matrix plug's value as getAttr gives it.
    static MMatrix matrixValue(const std::string& plug)
    {
        MDoubleArray values;
        EXPECT_TRUE(MGlobal::executeCommand(MString(("getAttr " + plug).c_str()), values));
        EXPECT_EQ(values.length(), 16u) << plug;
        double rows[4][4] = {};
        for (unsigned i = 0; i < 16 && i < values.length(); ++i)
            rows[i / 4][i % 4] = values[i];
        return MMatrix(rows);
    }

    // A target plane wrapped to a driver plane: it keeps its original geometry in an
    // intermediate "tgtShapeOrig" beside the deformed "tgtShape".
    static void makeWrappedTarget()
    {
        ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4 -n drv"));
        ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4 -n tgt"));
        ASSERT_TRUE(mel("vertexWrap drv tgt"));
        ASSERT_EQ(melInt("getAttr tgtShapeOrig.intermediateObject"), 1);
        ASSERT_TRUE(mel("select -cl"));
    }
};

std::string messages(const host::MessageCapture& capture, host::MessageKind kind)
{
    return capture.text(kind).asChar();
}

::testing::AssertionResult positionNear(const MVector& actual, double x, double y, double z)
{
    return vectorsNear(actual, MVector(x, y, z), kTolerance);
}

} // namespace

// --- Translate mode and the control inverse ---------------------------------------------

TEST_F(PinReviewFixes, TranslateModeWithInverseFollowsTheMeshWithoutFeedingBack)
{
    host::MessageCapture capture;
    const std::string pin = melString("surfacePinBind -c translate -iv true pPlane1 c0").asChar();
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning), kInverseWarning);
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[0]"), "");
    EXPECT_EQ(sourceOf("c0.translateY"), pin + ".outputTranslate[0].outputTranslateY");

    // Each height is read twice: a control fed back into its own pin would drift.
    for (double height : {1.0, 2.0}) {
        ASSERT_TRUE(mel("setAttr pPlane1.translateY " + std::to_string(height)));
        EXPECT_TRUE(positionNear(worldPosition("c0"), 1.2, height, -3.1)) << height;
        EXPECT_TRUE(positionNear(worldPosition("c0"), 1.2, height, -3.1)) << height;
    }

    // The setting is kept: switched to matrix mode, the control's inverse is connected.
    ASSERT_TRUE(mel("surfacePinBind -n " + pin + " -c matrix"));
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[0]"), "c0.inverseMatrix");
    EXPECT_TRUE(positionNear(worldPosition("c0"), 1.2, 2.0, -3.1));
}

TEST_F(PinReviewFixes, MatrixNodeWithInverseSwitchedToTranslateDropsEveryInverse)
{
    const std::string pin = melString("surfacePinBind -mo -iv true pPlane1 c0 c1").asChar();
    ASSERT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[1]"), "c1.inverseMatrix");

    host::MessageCapture capture;
    ASSERT_TRUE(mel("surfacePinBind -n " + pin + " -c translate"));
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning), kInverseWarning);
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[0]"), "");
    EXPECT_EQ(sourceOf(pin + ".controlLocalInverseMatrix[1]"), "");

    // Maintained offsets keep both controls where they stood, and the mesh carries them.
    EXPECT_TRUE(positionNear(worldPosition("c0"), 1.2, 1.0, -3.1));
    EXPECT_TRUE(positionNear(worldPosition("c1"), -2.0, 0.5, 2.2));
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 1"));
    EXPECT_TRUE(positionNear(worldPosition("c0"), 1.2, 2.0, -3.1));
    EXPECT_TRUE(positionNear(worldPosition("c1"), -2.0, 1.5, 2.2));
}

// --- Matrix mode switched to translate mode ---------------------------------------------

TEST_F(PinReviewFixes, SwitchingToTranslateModePlacesTheControlOnceAndUndoesExactly)
{
    const std::string pin = undoableMel("surfacePinBind pPlane1 c0");
    ASSERT_TRUE(positionNear(worldPosition("c0"), 1.2, 0.0, -3.1));
    const std::string matrixScene = sceneText();
    const MMatrix matrixWorld = worldMatrix("c0");

    undoableMel("surfacePinBind -n " + pin + " -c translate");
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), "");
    EXPECT_EQ(matrixDistance(matrixValue("c0.offsetParentMatrix"), MMatrix::identity), 0.0);
    EXPECT_TRUE(positionNear(worldPosition("c0"), 1.2, 0.0, -3.1));
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 2"));
    EXPECT_TRUE(positionNear(worldPosition("c0"), 1.2, 2.0, -3.1));
    ASSERT_TRUE(mel("setAttr pPlane1.translateY 0"));

    // Undo gives back the connection and the matrix it carried, exactly.
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(sceneText(), matrixScene);
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(matrixDistance(worldMatrix("c0"), matrixWorld), 0.0);

    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(sourceOf("c0.translateX"), pin + ".outputTranslate[0].outputTranslateX");
    EXPECT_TRUE(positionNear(worldPosition("c0"), 1.2, 0.0, -3.1));
}

TEST_F(PinReviewFixes, TranslateModeKeepsAnOffsetParentMatrixNothingDrove)
{
    // A hand-set offset is the rigger's own: only a matrix a connection left behind goes.
    ASSERT_TRUE(mel("setAttr c1.offsetParentMatrix -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1 0 0 5 0 1"));
    ASSERT_TRUE(mel("surfacePinBind -c translate pPlane1 c1"));
    EXPECT_TRUE(positionNear(worldPosition("c1"), -2.0, 5.0, 2.2));
}

// --- Meshes that carry a deformer, and the one mesh resolver ----------------------------

TEST_F(PinReviewFixes, EveryCommandTakesADeformedMeshByItsTransform)
{
    makeWrappedTarget();
    const std::string pin = melString("surfacePinBind tgt c0").asChar();
    EXPECT_EQ(sourceOf(pin + ".deformedGeometry"), "tgtShape.worldMesh[0]");
    const std::string uvPin = melString("surfaceUVPinBind tgt c1").asChar();
    EXPECT_EQ(sourceOf(uvPin + ".deformedGeometry"), "tgtShape.worldMesh[0]");
    ASSERT_TRUE(mel("polyPlane -w 5 -h 5 -sx 2 -sy 2 -n patch"));
    ASSERT_TRUE(mel("pellixDataBind tgt patch"));
    const MStringArray overlays = melStrings("ls -type pellixDataOverlay");
    ASSERT_EQ(overlays.length(), 1u);
    EXPECT_EQ(sourceOf(std::string(overlays[0].asChar()) + ".inMesh"), "tgtShape.worldMesh[0]");

    // The wrap carries the target, and the pins carry the controls with it.
    ASSERT_TRUE(mel("move -r 0 3 0 drv.vtx[0:24]"));
    EXPECT_TRUE(positionNear(worldPosition("c0"), 1.2, 3.0, -3.1));
    EXPECT_TRUE(positionNear(worldPosition("c1"), -2.0, 3.0, 2.2));
}

TEST_F(PinReviewFixes, AnIntermediateShapeOrAMeshlessObjectIsRefusedByEveryCommand)
{
    makeWrappedTarget();
    ASSERT_TRUE(mel("polyPlane -w 5 -h 5 -sx 2 -sy 2 -n patch"));
    const std::string pin = melString("surfacePinBind pPlane1 c0").asChar();
    ASSERT_TRUE(mel("select -cl"));
    const std::string before = sceneText();
    const std::pair<std::string, std::string> cases[] = {
        {"surfacePinBind tgtShapeOrig c1", "surfacePinBind: selected mesh is intermediate: tgtShapeOrig\n"},
        {"surfacePinBind -n " + pin + " tgtShapeOrig c1",
         "surfacePinBind: selected mesh is intermediate: tgtShapeOrig\n"},
        {"surfaceUVPinBind tgtShapeOrig c1", "surfaceUVPinBind: selected mesh is intermediate: tgtShapeOrig\n"},
        {"vertexWrap tgtShapeOrig patch", "vertexWrap: selected mesh is intermediate: tgtShapeOrig\n"},
        {"pellixDataBind tgtShapeOrig patch",
         "pellixDataBind: first selected object must be a driver mesh: tgtShapeOrig\n"},
        {"surfacePinBind c1 c0", "surfacePinBind: object has no visible mesh shape: c1\n"},
        {"surfaceUVPinBind c1 c0", "surfaceUVPinBind: object has no visible mesh shape: c1\n"},
    };
    for (const auto& [command, error] : cases) {
        host::MessageCapture capture;
        EXPECT_FALSE(mel(command)) << command;
        EXPECT_EQ(messages(capture, host::MessageKind::kError), error) << command;
        EXPECT_EQ(sceneText(), before) << command;
    }
}

// --- Evaluation inside a cancelled task group -------------------------------------------

namespace {

// Pin bind arrays over a mesh's faces, with uneven weights and tangents.
struct PinArrays
{
    std::vector<int> vertices, normals;
    std::vector<double> weights, tangents, uvs;
};

PinArrays spreadPins(const std::string& shape, int count)
{
    PinArrays arrays;
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(shape.c_str()) && list.getDagPath(0, path));
    MFnMesh mesh(path);
    const int faces = mesh.numPolygons();
    for (int i = 0; i < count; ++i) {
        const int face = (i * 37) % faces;
        MIntArray faceVertices, faceNormals;
        EXPECT_TRUE(mesh.getPolygonVertices(face, faceVertices) && mesh.getFaceNormalIds(face, faceNormals));
        const double a = 0.1 + 0.8 * ((i * 7) % 11) / 11.0;
        const double b = (1.0 - a) * ((i * 5) % 9) / 9.0;
        const double w[3] = {a, b, 1.0 - a - b};
        for (unsigned k = 0; k < 3; ++k) {
            arrays.vertices.push_back(faceVertices[k]);
            arrays.normals.push_back(faceNormals[k]);
            arrays.weights.push_back(w[k]);
        }
        arrays.tangents.push_back(1.0 - 0.01 * (i % 50));
        arrays.tangents.push_back(0.02 * (i % 30));
        arrays.uvs.push_back(0.05 + 0.9 * std::fmod(i * 0.618034, 1.0));
        arrays.uvs.push_back(0.05 + 0.9 * std::fmod(i * 0.381966, 1.0));
    }
    return arrays;
}

template <class T>
std::vector<T> slice(const std::vector<T>& values, int perPin, int first, int size)
{
    return std::vector<T>(values.begin() + perPin * first, values.begin() + perPin * (first + size));
}

// A pin node of `type` on the grid holding pins [first, first + size).
void makePinNode(const std::string& type, const std::string& name, const PinArrays& pins, int first, int size)
{
    ASSERT_TRUE(mel("createNode " + type + " -n " + name));
    ASSERT_TRUE(mel("connectAttr gridShape.worldMesh[0] " + name + ".deformedGeometry"));
    ASSERT_TRUE(mel("connectAttr grid.worldMatrix[0] " + name + ".geometryWorldMatrix"));
    if (type == "surfaceUVPin") {
        setDoubleArray(name + ".pinUVs", slice(pins.uvs, 2, first, size));
    } else {
        setIntArray(name + ".vertexIndices", slice(pins.vertices, 3, first, size));
        setIntArray(name + ".normalIndices", slice(pins.normals, 3, first, size));
        setDoubleArray(name + ".baryWeights", slice(pins.weights, 3, first, size));
    }
    setDoubleArray(name + ".bindTangents", slice(pins.tangents, 2, first, size));
}

} // namespace

TEST_F(PinReviewFixes, CancellingTheCallersTaskGroupNeverHandsOutHalfComputedPins)
{
    ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 20 -sy 20 -n grid; setAttr grid.rotate 10 20 30"));
    ASSERT_TRUE(mel("move -r 0 0.2 0 grid.vtx[30:90]"));
    const int count = 1000;
    const PinArrays pins = spreadPins("gridShape", count);

    for (const std::string type : {"surfacePin", "surfaceUVPin"}) {
        // One node takes every pin (the parallel loop), ten take 100 each (the serial loop).
        const std::string all = type + "All";
        makePinNode(type, all, pins, 0, count);
        for (int part = 0; part < 10; ++part)
            makePinNode(type, type + "Part" + std::to_string(part), pins, part * 100, 100);

        // The host's evaluation can cancel its task group while a node computes inside it.
        tbb::task_group group;
        const tbb::task_group_status status = group.run_and_wait([&] {
            group.cancel();
            pinOutputMatrix(all, 0);
        });
        EXPECT_EQ(status, tbb::canceled) << type;

        for (int i = 0; i < count; ++i) {
            const std::string part = type + "Part" + std::to_string(i / 100);
            ASSERT_TRUE(matricesNear(pinOutputMatrix(all, i), pinOutputMatrix(part, i % 100), 0.0))
                << type << " pin " << i;
        }
    }
}
