// The "surfacePin" node driven through its plugs: pins written by hand as the bind command
// writes them, the mesh moved and deformed, the outputs pulled and compared with frames
// worked out by hand.

#include "PluginTestSupport.h"
#include "SurfacePinNodeSupport.h"

#include "commands/MessageOutput.h"

#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MVector.h>

#include <string>
#include <vector>

namespace {

const double kTolerance = 1e-5;

// One pin on the first three corners of a face of the mesh, as the bind command stores it.
struct Pin
{
    int vertexIds[3];
    int normalIds[3];
    double weights[3];
    MPoint corners[3];  // object space
};

class SurfacePinNodeTest : public PellixPluginTest
{
protected:
    // A flat 2 x 2 plane in XZ facing +Y, made of sx x sy quads.
    void makePlane(int sx, int sy)
    {
        ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx " + std::to_string(sx) + " -sy " + std::to_string(sy) +
                        " -n plane"));
        ASSERT_EQ(1, melInt("objExists planeShape"));
    }

    void createPin(const std::string& meshPlug = "planeShape.worldMesh[0]")
    {
        ASSERT_TRUE(mel("createNode surfacePin -n pin"));
        ASSERT_TRUE(mel("connectAttr " + meshPlug + " pin.deformedGeometry"));
    }

    Pin pinOnFace(int face, double w0, double w1, double w2)
    {
        Pin pin{};
        MSelectionList list;
        MDagPath path;
        EXPECT_TRUE(list.add("planeShape") && list.getDagPath(0, path));
        MFnMesh mesh(path);
        MIntArray vertices;
        MIntArray normals;
        EXPECT_TRUE(mesh.getPolygonVertices(face, vertices));
        EXPECT_TRUE(mesh.getFaceNormalIds(face, normals));
        const double weights[3] = {w0, w1, w2};
        for (unsigned k = 0; k < 3; ++k) {
            pin.vertexIds[k] = vertices[k];
            pin.normalIds[k] = normals[k];
            pin.weights[k] = weights[k];
            EXPECT_TRUE(mesh.getPoint(vertices[k], pin.corners[k]));
        }
        return pin;
    }

    // Writes the pins' arrays; every pin's tangent is its first edge.
    void bind(const std::string& node, const std::vector<Pin>& pins)
    {
        std::vector<int> vertices;
        std::vector<int> normals;
        std::vector<double> weights;
        std::vector<double> tangents;
        for (const Pin& pin : pins) {
            vertices.insert(vertices.end(), pin.vertexIds, pin.vertexIds + 3);
            normals.insert(normals.end(), pin.normalIds, pin.normalIds + 3);
            weights.insert(weights.end(), pin.weights, pin.weights + 3);
            tangents.push_back(1.0);
            tangents.push_back(0.0);
        }
        setIntArray(node + ".vertexIndices", vertices);
        setIntArray(node + ".normalIndices", normals);
        setDoubleArray(node + ".baryWeights", weights);
        setDoubleArray(node + ".bindTangents", tangents);
    }

    // The frame of a pin on the flat plane in object space: tangent along its first edge,
    // normal +Y, binormal normal x tangent, at the weighted corners (moved by `lift`).
    static MMatrix planeFrame(const Pin& pin, const MVector& lift = MVector())
    {
        const MVector normal(0.0, 1.0, 0.0);
        const MVector tangent = (pin.corners[1] - pin.corners[0]).normal();
        MVector position = lift;
        for (int k = 0; k < 3; ++k) {
            position += pin.weights[k] * MVector(pin.corners[k]);
        }
        return frameFromRows(tangent, normal ^ tangent, normal, position);
    }

    // The errors printed while pulling the first output matrix.
    static std::string errorsWhilePulling(const std::string& node)
    {
        host::MessageCapture capture;
        pinOutputMatrix(node, 0);
        return capture.text(host::MessageKind::kError).asChar();
    }

    static MMatrix worldMatrixOf(const std::string& node)
    {
        MSelectionList list;
        MDagPath path;
        EXPECT_TRUE(list.add(node.c_str()) && list.getDagPath(0, path));
        return path.inclusiveMatrix();
    }

    static MMatrix transformMatrix(const std::string& name, const std::string& attributes)
    {
        EXPECT_TRUE(mel("createNode transform -n " + name));
        EXPECT_TRUE(mel(attributes));
        return worldMatrixOf(name);
    }
};

TEST_F(SurfacePinNodeTest, FollowsTheMovedAndDeformedMesh)
{
    makePlane(1, 1);
    createPin();
    const Pin pin = pinOnFace(0, 0.2, 0.3, 0.5);
    bind("pin", {pin});

    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin), kTolerance));

    // A moved and turned mesh carries the frame with it, axes and all.
    ASSERT_TRUE(mel("setAttr plane.translate 1 2 3"));
    ASSERT_TRUE(mel("setAttr plane.rotate 0 90 30"));
    const MMatrix world = worldMatrixOf("plane");
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin) * world, kTolerance));

    // Raising the third corner by 1 raises the pin by its weight on that corner.
    ASSERT_TRUE(mel("setAttr plane.rotate 0 0 0"));
    ASSERT_TRUE(mel("setAttr plane.translate 0 0 0"));
    ASSERT_TRUE(mel("move -r 0 1 0 plane.vtx[" + std::to_string(pin.vertexIds[2]) + "]"));
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("pin", 0)),
                            translationOf(planeFrame(pin, MVector(0.0, 0.5, 0.0))), kTolerance));
}

TEST_F(SurfacePinNodeTest, GeometryWorldMatrixConnectionReplacesTheMeshPath)
{
    makePlane(1, 1);
    createPin();
    const Pin pin = pinOnFace(0, 0.25, 0.25, 0.5);
    bind("pin", {pin});
    ASSERT_TRUE(mel("setAttr plane.translate 0 5 0"));
    const MMatrix driver = transformMatrix("driver", "setAttr driver.translate -3 0 1; setAttr driver.scale 2 2 2");

    ASSERT_TRUE(mel("connectAttr driver.worldMatrix[0] pin.geometryWorldMatrix"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin) * driver, kTolerance));

    // Once disconnected, the mesh's own world matrix counts again.
    ASSERT_TRUE(mel("disconnectAttr driver.worldMatrix[0] pin.geometryWorldMatrix"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin) * worldMatrixOf("plane"), kTolerance));
}

TEST_F(SurfacePinNodeTest, OutMeshInputEvaluatesWithTheShapesWorldMatrix)
{
    makePlane(1, 1);
    createPin("planeShape.outMesh");
    const Pin pin = pinOnFace(0, 0.6, 0.2, 0.2);
    bind("pin", {pin});
    ASSERT_TRUE(mel("setAttr plane.translate 0 0 -4"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin) * worldMatrixOf("plane"), kTolerance));
}

TEST_F(SurfacePinNodeTest, TranslateOnlyIgnoresLocalInversesButAppliesParentInverses)
{
    makePlane(1, 1);
    createPin();
    const Pin pin = pinOnFace(0, 0.2, 0.3, 0.5);
    bind("pin", {pin});
    const MMatrix parent = transformMatrix("parent0", "setAttr parent0.translate 1 2 3; setAttr parent0.rotate 0 0 90");
    const MMatrix control = transformMatrix("control0", "setAttr control0.translate 0 0 5; setAttr control0.rotate 45 0 0");
    ASSERT_TRUE(mel("connectAttr parent0.worldInverseMatrix[0] pin.controlParentInverseMatrix[0]"));
    ASSERT_TRUE(mel("connectAttr control0.inverseMatrix pin.controlLocalInverseMatrix[0]"));
    const MMatrix frame = planeFrame(pin);

    // Translation only: the pin position through the parent inverse as a point.
    const MVector expectedPosition = translationOf(frame * parent.inverse());
    EXPECT_TRUE(vectorsNear(pinOutputTranslate("pin", 0), expectedPosition, kTolerance));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), frame * parent.inverse(), kTolerance));

    // With the control inverse in use, the local inverse comes first, for both outputs.
    ASSERT_TRUE(mel("setAttr pin.bindUseControlInverse 1"));
    const MMatrix expected = control.inverse() * frame * parent.inverse();
    EXPECT_TRUE(vectorsNear(pinOutputTranslate("pin", 0), translationOf(expected), kTolerance));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), expected, kTolerance));
    EXPECT_FALSE(vectorsNear(translationOf(expected), expectedPosition, kTolerance));
}

TEST_F(SurfacePinNodeTest, OneTranslateChildComputesTheWholeArray)
{
    makePlane(1, 1);
    createPin();
    const std::vector<Pin> pins = {pinOnFace(0, 1.0, 0.0, 0.0), pinOnFace(0, 0.0, 0.0, 1.0)};
    bind("pin", pins);
    EXPECT_NEAR(translationOf(planeFrame(pins[1])).x, melDouble("getAttr pin.outputTranslate[1].outputTranslateX"),
                kTolerance);
    EXPECT_EQ(2u, pinOutputCount("pin", "outputTranslate"));
    EXPECT_TRUE(vectorsNear(pinOutputTranslate("pin", 0), translationOf(planeFrame(pins[0])), kTolerance));
}

TEST_F(SurfacePinNodeTest, SparseParentInversesApplyOnlyWhereConnected)
{
    makePlane(1, 1);
    createPin();
    const std::vector<Pin> pins = {pinOnFace(0, 0.2, 0.3, 0.5), pinOnFace(0, 0.5, 0.25, 0.25),
                                   pinOnFace(0, 0.1, 0.1, 0.8)};
    bind("pin", pins);
    const MMatrix p0 = transformMatrix("parent0", "setAttr parent0.translate 0 -2 0");
    const MMatrix p2 = transformMatrix("parent2", "setAttr parent2.rotate 0 30 0; setAttr parent2.translate 4 0 0");
    ASSERT_TRUE(mel("connectAttr parent0.worldInverseMatrix[0] pin.controlParentInverseMatrix[0]"));
    ASSERT_TRUE(mel("connectAttr parent2.worldInverseMatrix[0] pin.controlParentInverseMatrix[2]"));

    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pins[0]) * p0.inverse(), kTolerance));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 1), planeFrame(pins[1]), kTolerance));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 2), planeFrame(pins[2]) * p2.inverse(), kTolerance));

    // Connecting the missing element completes the array.
    const MMatrix p1 = transformMatrix("parent1", "setAttr parent1.translate 0 0 7");
    ASSERT_TRUE(mel("connectAttr parent1.worldInverseMatrix[0] pin.controlParentInverseMatrix[1]"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 1), planeFrame(pins[1]) * p1.inverse(), kTolerance));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 2), planeFrame(pins[2]) * p2.inverse(), kTolerance));
}

TEST_F(SurfacePinNodeTest, MaintainOffsetKeepsTheControlWhereItWasBound)
{
    makePlane(1, 1);
    createPin();
    const Pin pin = pinOnFace(0, 0.2, 0.3, 0.5);
    bind("pin", {pin});
    const MMatrix bindFrame = pinOutputMatrix("pin", 0);
    const MMatrix control = transformMatrix("control0", "setAttr control0.translate 0.5 3 -1; setAttr control0.rotate 10 20 30");

    setMatrixArray("pin.bindSurfaceMatrices", {bindFrame});
    setMatrixArray("pin.bindControlMatrices", {control});
    ASSERT_TRUE(mel("setAttr pin.bindMaintainOffset 1"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), control, kTolerance));

    // Once the mesh moves, the control keeps its offset to the surface.
    ASSERT_TRUE(mel("setAttr plane.translate 1 1 1; setAttr plane.rotate 0 45 0"));
    const MMatrix moved = planeFrame(pin) * worldMatrixOf("plane");
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), control * bindFrame.inverse() * moved, kTolerance));

    // A pin without a bind surface matrix follows the surface frame itself.
    bind("pin", {pin, pin});
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 1), moved, kTolerance));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), control * bindFrame.inverse() * moved, kTolerance));
}

TEST_F(SurfacePinNodeTest, PinCountIsTheShortestArrayAndZeroPinsEmptyTheOutputs)
{
    makePlane(1, 1);
    createPin();
    const Pin pin = pinOnFace(0, 0.2, 0.3, 0.5);
    bind("pin", {pin, pin, pin});
    EXPECT_EQ(3u, pinOutputCount("pin", "outputMatrix"));

    setDoubleArray("pin.bindTangents", {1.0, 0.0, 1.0, 0.0, 1.0});
    EXPECT_EQ(2u, pinOutputCount("pin", "outputMatrix"));
    EXPECT_EQ(2u, pinOutputCount("pin", "outputTranslate"));

    setIntArray("pin.vertexIndices", {});
    EXPECT_EQ(0u, pinOutputCount("pin", "outputMatrix"));
    EXPECT_EQ(0u, pinOutputCount("pin", "outputTranslate"));
}

TEST_F(SurfacePinNodeTest, DeletedFacesLeaveIdsOutOfRangeUntilRebound)
{
    // Two quads side by side; the pin sits on the second, which holds the highest vertex ids.
    makePlane(2, 1);
    createPin();
    const Pin pin = pinOnFace(1, 0.2, 0.3, 0.5);
    bind("pin", {pin});
    EXPECT_TRUE(errorsWhilePulling("pin").empty());

    // Without the second face its vertices are gone: the stored ids point past the end.
    ASSERT_TRUE(mel("delete plane.f[1]"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_NE(std::string::npos, errorsWhilePulling("pin").find(
                                         "SurfacePin: bind vertex or normal indices of pin are out of range. "
                                         "Re-run surfacePinBind after topology changes."));
    }
    // Moving the remaining points does not make the stale ids usable.
    ASSERT_TRUE(mel("move -r 0 1 0 plane.vtx[0]"));
    EXPECT_NE(std::string::npos, errorsWhilePulling("pin").find("SurfacePin: bind vertex or normal indices"));

    const Pin rebound = pinOnFace(0, 0.2, 0.3, 0.5);
    bind("pin", {rebound});
    EXPECT_TRUE(errorsWhilePulling("pin").empty());
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("pin", 0)), translationOf(planeFrame(rebound)),
                            kTolerance));
}

TEST_F(SurfacePinNodeTest, NullGeometryIsAnError)
{
    ASSERT_TRUE(mel("createNode surfacePin -n pin"));
    setIntArray("pin.vertexIndices", {0, 1, 2});
    EXPECT_NE(std::string::npos, errorsWhilePulling("pin").find("SurfacePin: pin.deformedGeometry is null"));
}

TEST_F(SurfacePinNodeTest, ParallelEvaluationMatchesSerialEvaluation)
{
    ASSERT_TRUE(mel("polySphere -r 2 -sa 24 -sh 16 -n plane"));
    ASSERT_TRUE(mel("setAttr plane.translate 1 -2 0.5; setAttr plane.rotate 15 25 35"));
    MSelectionList list;
    MDagPath path;
    ASSERT_TRUE(list.add("planeShape") && list.getDagPath(0, path));
    MFnMesh mesh(path);
    const int faces = mesh.numPolygons();

    // 300 pins spread over the faces with uneven weights and tangents.
    const int count = 300;
    std::vector<int> vertices;
    std::vector<int> normals;
    std::vector<double> weights;
    std::vector<double> tangents;
    for (int i = 0; i < count; ++i) {
        const int face = (i * 37) % faces;
        MIntArray faceVertices;
        MIntArray faceNormals;
        ASSERT_TRUE(mesh.getPolygonVertices(face, faceVertices));
        ASSERT_TRUE(mesh.getFaceNormalIds(face, faceNormals));
        const double a = 0.1 + 0.8 * ((i * 7) % 11) / 11.0;
        const double b = (1.0 - a) * ((i * 5) % 9) / 9.0;
        const double w[3] = {a, b, 1.0 - a - b};
        for (unsigned k = 0; k < 3; ++k) {
            vertices.push_back(faceVertices[k]);
            normals.push_back(faceNormals[k]);
            weights.push_back(w[k]);
        }
        tangents.push_back(1.0 - 0.01 * (i % 50));
        tangents.push_back(0.02 * (i % 30));
    }

    // One node holds all pins (parallel loop); three hold 100 each (serial loop).
    auto makeNode = [&](const std::string& name, int first, int size) {
        ASSERT_TRUE(mel("createNode surfacePin -n " + name));
        ASSERT_TRUE(mel("connectAttr planeShape.worldMesh[0] " + name + ".deformedGeometry"));
        ASSERT_TRUE(mel("connectAttr plane.worldMatrix[0] " + name + ".geometryWorldMatrix"));
        setIntArray(name + ".vertexIndices",
                    std::vector<int>(vertices.begin() + 3 * first, vertices.begin() + 3 * (first + size)));
        setIntArray(name + ".normalIndices",
                    std::vector<int>(normals.begin() + 3 * first, normals.begin() + 3 * (first + size)));
        setDoubleArray(name + ".baryWeights",
                       std::vector<double>(weights.begin() + 3 * first, weights.begin() + 3 * (first + size)));
        setDoubleArray(name + ".bindTangents",
                       std::vector<double>(tangents.begin() + 2 * first, tangents.begin() + 2 * (first + size)));
    };
    makeNode("all", 0, count);
    for (int part = 0; part < 3; ++part) {
        makeNode("part" + std::to_string(part), part * 100, 100);
    }
    // Every pin sits on the sphere, between its faces' chords and its radius.
    const MVector centre(1.0, -2.0, 0.5);
    for (int i = 0; i < count; i += 25) {
        const double distance = (translationOf(pinOutputMatrix("all", i)) - centre).length();
        EXPECT_GT(distance, 1.9) << "pin " << i;
        EXPECT_LT(distance, 2.0 + kTolerance) << "pin " << i;
    }
    ASSERT_TRUE(mel("move -r 0.3 0.1 0 plane.vtx[5:40]"));

    for (int i = 0; i < count; ++i) {
        const std::string part = "part" + std::to_string(i / 100);
        const MMatrix serial = pinOutputMatrix(part, i % 100);
        const MMatrix parallel = pinOutputMatrix("all", i);
        ASSERT_TRUE(matricesNear(parallel, serial, 0.0)) << "pin " << i;
        ASSERT_TRUE(vectorsNear(pinOutputTranslate("all", i), pinOutputTranslate(part, i % 100), 0.0)) << "pin " << i;
    }
}

} // namespace
