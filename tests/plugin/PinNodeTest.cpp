// The "surfacePin" and "surfaceUVPin" nodes driven through their plugs: pins written by hand as
// the bind commands write them, the mesh moved and deformed, the outputs pulled and compared
// with frames worked out by hand; then both nodes against damaged, shortened or non-finite
// stored data, and their parallel loop against the serial one.

#include "PinTestSupport.h"
#include "support/TestValues.h"

#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnMeshData.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>

#include <tbb/task_group.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

using pinbind::doubleArray;
using pinbind::matrixArray;
using pinbind::worldMatrix;

namespace {

const double kTolerance = 1e-5;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// The errors printed while pulling a node's first output matrix.
std::string errorsWhilePulling(const std::string& node)
{
    host::MessageCapture capture;
    pinOutputMatrix(node, 0);
    return capture.text(host::MessageKind::kError).asChar();
}

bool finite(const MVector& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool finite(const MMatrix& m)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(m(r, c)))
                return false;
    return true;
}

// One pin on the first three corners of a face of the mesh, as the bind command stores it.
struct Pin
{
    int vertexIds[3];
    int normalIds[3];
    double weights[3];
    MPoint corners[3];  // object space
};

class SurfacePinNode : public PellixPluginTest
{
protected:
    // A flat 2 x 2 plane in XZ facing +Y, made of sx x sy quads, and a pin node on it.
    void makePlaneAndPin(int sx, int sy)
    {
        ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx " + std::to_string(sx) + " -sy " + std::to_string(sy) +
                        " -n plane; createNode surfacePin -n pin; connectAttr planeShape.worldMesh[0] "
                        "pin.deformedGeometry"));
    }

    Pin pinOnFace(int face, double w0, double w1, double w2)
    {
        Pin pin{};
        MFnMesh mesh(pathNamed("planeShape"));
        MIntArray vertices, normals;
        EXPECT_TRUE(mesh.getPolygonVertices(face, vertices) && mesh.getFaceNormalIds(face, normals));
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
    static void bind(const std::vector<Pin>& pins)
    {
        std::vector<int> vertices, normals;
        std::vector<double> weights, tangents;
        for (const Pin& pin : pins) {
            vertices.insert(vertices.end(), pin.vertexIds, pin.vertexIds + 3);
            normals.insert(normals.end(), pin.normalIds, pin.normalIds + 3);
            weights.insert(weights.end(), pin.weights, pin.weights + 3);
            tangents.insert(tangents.end(), {1.0, 0.0});
        }
        setIntArray("pin.vertexIndices", vertices);
        setIntArray("pin.normalIndices", normals);
        setDoubleArray("pin.baryWeights", weights);
        setDoubleArray("pin.bindTangents", tangents);
    }

    // The frame of a pin on the flat plane in object space: tangent along its first edge,
    // normal +Y, binormal normal x tangent, at the weighted corners (moved by `lift`).
    static MMatrix planeFrame(const Pin& pin, const MVector& lift = MVector())
    {
        const MVector normal(0.0, 1.0, 0.0);
        const MVector tangent = (pin.corners[1] - pin.corners[0]).normal();
        MVector position = lift;
        for (int k = 0; k < 3; ++k)
            position += pin.weights[k] * MVector(pin.corners[k]);
        return frameFromRows(tangent, normal ^ tangent, normal, position);
    }

    static MMatrix transformMatrix(const std::string& name, const std::string& attributes)
    {
        EXPECT_TRUE(mel("createNode transform -n " + name + "; " + attributes));
        return worldMatrix(name);
    }
};

} // namespace

TEST_F(SurfacePinNode, FollowsTheMovedAndDeformedMesh)
{
    makePlaneAndPin(1, 1);
    const Pin pin = pinOnFace(0, 0.2, 0.3, 0.5);
    bind({pin});
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin), kTolerance));

    // A moved and turned mesh carries the frame with it, axes and all.
    ASSERT_TRUE(mel("setAttr plane.translate 1 2 3; setAttr plane.rotate 0 90 30"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin) * worldMatrix("plane"), kTolerance));

    // Raising the third corner by 1 raises the pin by its weight on that corner.
    ASSERT_TRUE(mel("setAttr plane.rotate 0 0 0; setAttr plane.translate 0 0 0"));
    ASSERT_TRUE(mel("move -r 0 1 0 plane.vtx[" + std::to_string(pin.vertexIds[2]) + "]"));
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("pin", 0)),
                            translationOf(planeFrame(pin, MVector(0.0, 0.5, 0.0))), kTolerance));
}

TEST_F(SurfacePinNode, AGeometryWorldMatrixConnectionReplacesTheMeshPathAndOutMeshUsesTheShapes)
{
    makePlaneAndPin(1, 1);
    const Pin pin = pinOnFace(0, 0.25, 0.25, 0.5);
    bind({pin});
    ASSERT_TRUE(mel("setAttr plane.translate 0 5 0"));
    const MMatrix driver = transformMatrix("driver", "setAttr driver.translate -3 0 1; setAttr driver.scale 2 2 2");
    ASSERT_TRUE(mel("connectAttr driver.worldMatrix[0] pin.geometryWorldMatrix"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin) * driver, kTolerance));

    // Once disconnected, the mesh's own world matrix counts again, also for its outMesh.
    ASSERT_TRUE(mel("disconnectAttr driver.worldMatrix[0] pin.geometryWorldMatrix"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin) * worldMatrix("plane"), kTolerance));
    ASSERT_TRUE(mel("connectAttr -f planeShape.outMesh pin.deformedGeometry; setAttr plane.translate 0 0 -4"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), planeFrame(pin) * worldMatrix("plane"), kTolerance));
}

TEST_F(SurfacePinNode, TranslateOnlyIgnoresLocalInversesButAppliesParentInverses)
{
    makePlaneAndPin(1, 1);
    const Pin pin = pinOnFace(0, 0.2, 0.3, 0.5);
    bind({pin});
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

TEST_F(SurfacePinNode, OneTranslateChildComputesTheWholeArray)
{
    makePlaneAndPin(1, 1);
    const std::vector<Pin> pins = {pinOnFace(0, 1.0, 0.0, 0.0), pinOnFace(0, 0.0, 0.0, 1.0)};
    bind(pins);
    EXPECT_NEAR(translationOf(planeFrame(pins[1])).x, melDouble("getAttr pin.outputTranslate[1].outputTranslateX"),
                kTolerance);
    EXPECT_EQ(2u, pinOutputCount("pin", "outputTranslate"));
    EXPECT_TRUE(vectorsNear(pinOutputTranslate("pin", 0), translationOf(planeFrame(pins[0])), kTolerance));
}

TEST_F(SurfacePinNode, SparseParentInversesApplyOnlyWhereConnected)
{
    makePlaneAndPin(1, 1);
    const std::vector<Pin> pins = {pinOnFace(0, 0.2, 0.3, 0.5), pinOnFace(0, 0.5, 0.25, 0.25),
                                   pinOnFace(0, 0.1, 0.1, 0.8)};
    bind(pins);
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

TEST_F(SurfacePinNode, MaintainOffsetKeepsTheControlWhereItWasBound)
{
    makePlaneAndPin(1, 1);
    const Pin pin = pinOnFace(0, 0.2, 0.3, 0.5);
    bind({pin});
    const MMatrix bindFrame = pinOutputMatrix("pin", 0);
    const MMatrix control =
        transformMatrix("control0", "setAttr control0.translate 0.5 3 -1; setAttr control0.rotate 10 20 30");
    setMatrixArray("pin.bindSurfaceMatrices", {bindFrame});
    setMatrixArray("pin.bindControlMatrices", {control});
    ASSERT_TRUE(mel("setAttr pin.bindMaintainOffset 1"));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), control, kTolerance));

    // Once the mesh moves, the control keeps its offset to the surface.
    ASSERT_TRUE(mel("setAttr plane.translate 1 1 1; setAttr plane.rotate 0 45 0"));
    const MMatrix moved = planeFrame(pin) * worldMatrix("plane");
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), control * bindFrame.inverse() * moved, kTolerance));

    // A pin without a bind surface matrix follows the surface frame itself.
    bind({pin, pin});
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 1), moved, kTolerance));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("pin", 0), control * bindFrame.inverse() * moved, kTolerance));
}

TEST_F(SurfacePinNode, DeletedFacesLeaveIdsOutOfRangeUntilRebound)
{
    // Two quads side by side; the pin sits on the second, which holds the highest vertex ids.
    makePlaneAndPin(2, 1);
    const Pin pin = pinOnFace(1, 0.2, 0.3, 0.5);
    bind({pin});
    EXPECT_EQ(errorsWhilePulling("pin"), "");

    // Without the second face its vertices are gone: the stored ids point past the end, and
    // moving the remaining points does not make them usable.
    ASSERT_TRUE(mel("delete plane.f[1]"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt == 2) {
            ASSERT_TRUE(mel("move -r 0 1 0 plane.vtx[0]"));
        }
        EXPECT_NE(errorsWhilePulling("pin").find("SurfacePin: bind vertex or normal indices of pin are out of range. "
                                                 "Re-run surfacePinBind after topology changes."),
                  std::string::npos)
            << attempt;
    }
    const Pin rebound = pinOnFace(0, 0.2, 0.3, 0.5);
    bind({rebound});
    EXPECT_EQ(errorsWhilePulling("pin"), "");
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("pin", 0)), translationOf(planeFrame(rebound)),
                            kTolerance));
}

namespace {

// Two unit quads in XZ facing +Y, Q at the origin and R five units along X, both mapped onto
// the whole UV square with u = x and v = z. The far corner of Q, (1, 0, 1), is raised by
// `lift`. Split, Q is cut into two triangles along its other diagonal; the UVs stay.
MObject twoQuads(double lift, bool splitQ)
{
    MFloatPointArray points;
    const float corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    for (int quad = 0; quad < 2; ++quad)
        for (int k = 0; k < 4; ++k)
            points.append(MFloatPoint(corners[k][0] + 5.0f * quad, (quad == 0 && k == 2) ? float(lift) : 0.0f,
                                      corners[k][1]));
    std::vector<std::vector<int>> faces = splitQ ? std::vector<std::vector<int>>{{0, 1, 3}, {1, 2, 3}}
                                                 : std::vector<std::vector<int>>{{0, 1, 2, 3}};
    faces.push_back({4, 5, 6, 7});
    MIntArray counts, connects;
    MFloatArray u, v;
    for (const std::vector<int>& face : faces) {
        counts.append(static_cast<int>(face.size()));
        for (int vertex : face) {
            connects.append(vertex);
            u.append(corners[vertex % 4][0]);
            v.append(corners[vertex % 4][1]);
        }
    }
    MStatus status;
    MObject data = MFnMeshData().create(&status);
    EXPECT_TRUE(status);
    MFnMesh mesh;
    mesh.create(8, static_cast<int>(counts.length()), points, counts, connects, u, v, data, &status);
    EXPECT_TRUE(status);
    // One UV per face corner, in order.
    MIntArray uvIds;
    for (unsigned i = 0; i < connects.length(); ++i)
        uvIds.append(static_cast<int>(i));
    EXPECT_TRUE(mesh.assignUVs(counts, uvIds));
    return data;
}

class SurfaceUVPinNode : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(mel("createNode surfaceUVPin -n uvPin"));
    }

    // Feeds the mesh straight into the node (no DAG source: object space).
    static void setMesh(MObject data)
    {
        MPlug plug = MFnDependencyNode(nodeByName("uvPin")).findPlug("deformedGeometry", true);
        ASSERT_TRUE(plug.setValue(data));
    }

    struct UVPin
    {
        double u, v;
        int preferred;
        double du = 1.0, dv = 0.0;
    };

    static void bind(const std::vector<UVPin>& pins)
    {
        std::vector<double> uvs, tangents;
        std::vector<int> preferred;
        for (const UVPin& pin : pins) {
            uvs.insert(uvs.end(), {pin.u, pin.v});
            tangents.insert(tangents.end(), {pin.du, pin.dv});
            preferred.push_back(pin.preferred);
        }
        setDoubleArray("uvPin.pinUVs", uvs);
        setDoubleArray("uvPin.bindTangents", tangents);
        setIntArray("uvPin.preferredTriangleIndices", preferred);
    }

    static MVector position(unsigned pin) { return translationOf(pinOutputMatrix("uvPin", pin)); }
};

} // namespace

TEST_F(SurfaceUVPinNode, FramesFollowTheUVPositionAndTangentAndTheNearestCentroidOutside)
{
    setMesh(twoQuads(0.0, false));
    // Beyond Q's edge u = 0: the nearest centroid is Q's first triangle, weights unclamped.
    bind({{0.25, 0.5, -1}, {0.75, 0.25, -1, 0.0, 1.0}, {-0.5, 0.75, -1}});

    // u runs along +X and v along +Z; the normal is +Y.
    const MVector x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    EXPECT_TRUE(matricesNear(pinOutputMatrix("uvPin", 0), frameFromRows(x, y ^ x, y, MVector(0.25, 0, 0.5)),
                             kTolerance));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("uvPin", 1), frameFromRows(z, y ^ z, y, MVector(0.75, 0, 0.25)),
                             kTolerance));
    EXPECT_TRUE(vectorsNear(position(2), MVector(-0.5, 0.0, 0.75), kTolerance));

    // Moving points without a change of topology moves the pins along.
    setMesh(twoQuads(1.0, false));
    EXPECT_TRUE(vectorsNear(position(0), MVector(0.25, 0.25, 0.5), kTolerance));
}

TEST_F(SurfaceUVPinNode, SplitFaceReResolvesThroughPreferredIndexOrScan)
{
    // Triangles: Q (0, 1) then R (2, 3); the raised corner tells which triangle holds a pin.
    setMesh(twoQuads(1.0, false));
    bind({{0.25, 0.5, 2}, {0.8, 0.4, 1}, {0.2, 0.1, 1}, {0.25, 0.5, -1}});
    // The preferred triangle wins over the first triangle holding the UV.
    EXPECT_TRUE(vectorsNear(position(0), MVector(5.25, 0.0, 0.5), kTolerance));
    EXPECT_TRUE(vectorsNear(position(1), MVector(0.8, 0.4, 0.4), kTolerance));
    EXPECT_TRUE(vectorsNear(position(2), MVector(0.2, 0.1, 0.1), kTolerance));
    EXPECT_TRUE(vectorsNear(position(3), MVector(0.25, 0.25, 0.5), kTolerance));

    // Q split along its other diagonal: triangle 0 is (c0, c1, c3), triangle 1 (c1, c2, c3).
    setMesh(twoQuads(1.0, true));
    EXPECT_TRUE(vectorsNear(position(0), MVector(5.25, 0.0, 0.5), kTolerance));
    // Still inside its preferred triangle 1, now with weight 0.2 on the raised corner.
    EXPECT_TRUE(vectorsNear(position(1), MVector(0.8, 0.2, 0.4), kTolerance));
    // Triangle 1 no longer holds it: the scan finds triangle 0, without the raised corner.
    EXPECT_TRUE(vectorsNear(position(2), MVector(0.2, 0.0, 0.1), kTolerance));
    EXPECT_TRUE(vectorsNear(position(3), MVector(0.25, 0.0, 0.5), kTolerance));
}

TEST_F(SurfaceUVPinNode, AMissingUVSetLeavesEveryPinUnresolvedAndAnEmptyNameReadsTheCurrentSet)
{
    setMesh(twoQuads(0.0, false));
    bind({{0.25, 0.5, -1}});
    EXPECT_EQ(errorsWhilePulling("uvPin"), "");

    // A set the mesh does not have gives no triangles: every pin is unresolved.
    ASSERT_TRUE(mel("setAttr uvPin.uvSet -type \"string\" \"missing\""));
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_NE(errorsWhilePulling("uvPin").find("SurfaceUVPin: pin UVs of uvPin did not resolve to valid mesh "
                                                   "vertices or normals. Re-run surfaceUVPinBind after topology or "
                                                   "UV changes."),
                  std::string::npos);
    }
    // An empty name reads the mesh's current set.
    ASSERT_TRUE(mel("setAttr uvPin.uvSet -type \"string\" \"\""));
    EXPECT_EQ(errorsWhilePulling("uvPin"), "");
    EXPECT_TRUE(vectorsNear(position(0), MVector(0.25, 0.0, 0.5), kTolerance));
}

// Both pin nodes on the plane and controls of PinScene.

TEST_F(PinScene, OutputsOfUnboundOrMissingPinsReadAsDefaultsAndAMeshlessNodeSaysSo)
{
    ASSERT_TRUE(mel("createNode surfacePin -n p; connectAttr pPlaneShape1.worldMesh[0] p.deformedGeometry"));
    ASSERT_TRUE(mel("getAttr p.outputTranslate[0]"));
    EXPECT_EQ(melDouble("getAttr p.outputTranslate[0].outputTranslateX"), 0.0);
    EXPECT_EQ(melDouble("getAttr p.outputTranslate[2].outputTranslateZ"), 0.0);
    EXPECT_TRUE(matricesNear(pinOutputMatrix("p", 1), MMatrix(), 0.0));

    for (const std::string command : {"surfacePinBind", "surfaceUVPinBind"}) {
        SCOPED_TRACE(command);
        const std::string pin = melString(command + " pPlane1 c0").asChar();
        const MVector bound = worldPosition("c0");
        ASSERT_TRUE(mel("getAttr " + pin + ".outputTranslate[1]"));
        EXPECT_EQ(melDouble("getAttr " + pin + ".outputTranslate[1].outputTranslateY"), 0.0);
        EXPECT_TRUE(matricesNear(pinOutputMatrix(pin, 3), MMatrix(), 0.0));
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), bound, 1e-9));
        EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix(pin, 0)), bound, 1e-5));
        ASSERT_TRUE(mel("delete " + pin));
    }

    ASSERT_TRUE(mel("createNode surfacePin -n bare; createNode surfaceUVPin -n bareUV"));
    setIntArray("bare.vertexIndices", {0, 1, 2});
    setDoubleArray("bareUV.pinUVs", {0.25, 0.5});
    setDoubleArray("bareUV.bindTangents", {1.0, 0.0});
    EXPECT_NE(errorsWhilePulling("bare").find("SurfacePin: bare.deformedGeometry is null"), std::string::npos);
    EXPECT_EQ(errorsWhilePulling("bareUV"), "SurfaceUVPin: bareUV.deformedGeometry is null\n");
}

TEST_F(PinScene, ThePinCountIsThatOfTheShortestArray)
{
    const PinArrays pins = spreadPins("pPlaneShape1", 3);
    for (const std::string type : {"surfacePin", "surfaceUVPin"}) {
        SCOPED_TRACE(type);
        makePinNode(type, type + "Node", "pPlaneShape1", pins, 0, 3);
        const std::string node = type + "Node";
        EXPECT_EQ(3u, pinOutputCount(node, "outputMatrix"));
        setDoubleArray(node + ".bindTangents", {1.0, 0.0, 1.0, 0.0, 1.0});
        EXPECT_EQ(2u, pinOutputCount(node, "outputMatrix"));
        EXPECT_EQ(2u, pinOutputCount(node, "outputTranslate"));
        // Zero pins empty the outputs.
        if (type == "surfaceUVPin")
            setDoubleArray(node + ".pinUVs", {0.25});
        else
            setIntArray(node + ".vertexIndices", {});
        EXPECT_EQ(0u, pinOutputCount(node, "outputMatrix"));
        EXPECT_EQ(0u, pinOutputCount(node, "outputTranslate"));
    }
}

TEST_F(PinScene, ShortenedBindArraysLeaveConnectedControlsWhereTheyWere)
{
    for (const std::string command : {"surfacePinBind -c translate", "surfacePinBind", "surfaceUVPinBind"}) {
        SCOPED_TRACE(command);
        const std::string pin = melString(command + " pPlane1 c0 c1").asChar();
        const MVector first = worldPosition("c0");
        const MVector second = worldPosition("c1");
        ASSERT_TRUE(finite(first) && finite(second));

        // One pin left: the second control keeps the last position it was given.
        const bool uvPin = command.find("UV") != std::string::npos;
        const std::string kept = pin + (uvPin ? ".pinUVs" : ".baryWeights");
        std::vector<double> values = doubleArray(kept);
        ASSERT_GE(values.size(), uvPin ? 4u : 6u);
        values.resize(uvPin ? 2 : 3);
        setDoubleArray(kept, values);
        EXPECT_TRUE(vectorsNear(worldPosition("c1"), second, 1e-9));
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), first, 1e-5));

        // No pin left, as in a saved scene whose array was emptied.
        setDoubleArray(kept, {});
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), first, 1e-9));
        EXPECT_TRUE(vectorsNear(worldPosition("c1"), second, 1e-9));
        ASSERT_TRUE(mel("delete " + pin));
    }
}

TEST_F(PinScene, NonFiniteBindDataLeavesThatPinOutWithAnErrorOnce)
{
    struct Damage
    {
        const char* command;  // maintain offset, so that both matrix arrays are in use
        const char* attribute;
        int value;  // the damaged value, one of the second pin's; -1 for a matrix array
        double bad;
    };
    const Damage damages[] = {
        {"surfacePinBind -mo", "baryWeights", 3, kNaN},          {"surfacePinBind -mo", "baryWeights", 3, kInf},
        {"surfacePinBind -mo", "bindTangents", 2, kNaN},         {"surfacePinBind -mo", "bindTangents", 2, kInf},
        {"surfacePinBind -mo", "bindSurfaceMatrices", -1, kNaN}, {"surfacePinBind -mo", "bindSurfaceMatrices", -1, kInf},
        {"surfacePinBind -mo", "bindControlMatrices", -1, kNaN}, {"surfacePinBind -mo", "bindControlMatrices", -1, kInf},
        {"surfaceUVPinBind", "pinUVs", 3, kNaN},                 {"surfaceUVPinBind", "bindTangents", 3, kNaN},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(std::string(damage.command) + " " + damage.attribute + (std::isnan(damage.bad) ? " nan" : " inf"));
        const std::string pin = melString(std::string(damage.command) + " pPlane1 c0 c1").asChar();
        const MVector first = worldPosition("c0");
        const MMatrix second = pinOutputMatrix(pin, 1);
        const std::string plug = pin + "." + damage.attribute;
        if (damage.value >= 0) {
            std::vector<double> values = doubleArray(plug);
            ASSERT_GT(values.size(), size_t(damage.value));
            values[size_t(damage.value)] = damage.bad;
            setDoubleArray(plug, values);
        } else {
            std::vector<MMatrix> matrices = matrixArray(plug);
            ASSERT_EQ(matrices.size(), 2u);
            matrices[1][3][1] = damage.bad;
            setMatrixArray(plug, matrices);
        }

        host::MessageCapture capture;
        const MMatrix damaged = pinOutputMatrix(pin, 1);
        EXPECT_EQ(errors(capture), pin + ": pin 1 has non-finite " + damage.attribute +
                                       "; the pin is left out until it is bound again.\n");
        EXPECT_TRUE(finite(damaged));
        EXPECT_TRUE(matricesNear(damaged, second, 1e-12));
        EXPECT_TRUE(finite(worldPosition("c1")));
        // The other pin is untouched, and the error is not repeated on every pull.
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), first, 1e-5));
        capture.clear();
        ASSERT_TRUE(mel("move -r 0 1 0 pPlane1"));
        EXPECT_TRUE(vectorsNear(worldPosition("c0"), first + MVector(0, 1, 0), 1e-5));
        EXPECT_TRUE(matricesNear(pinOutputMatrix(pin, 1), second, 1e-12));
        EXPECT_EQ(errors(capture), "");
        ASSERT_TRUE(mel("move -r 0 -1 0 pPlane1; delete " + pin));
    }

    // A pin first evaluated on non-finite data gives a finite output, and follows the mesh once
    // it is bound again with finite data.
    ASSERT_TRUE(mel("createNode surfacePin -n p; connectAttr pPlaneShape1.worldMesh[0] p.deformedGeometry"));
    setIntArray("p.vertexIndices", {0, 1, 5});
    setIntArray("p.normalIndices", {0, 1, 5});
    setDoubleArray("p.baryWeights", {kNaN, 0.0, 1.0});
    setDoubleArray("p.bindTangents", {1.0, 0.0});
    host::MessageCapture capture;
    EXPECT_TRUE(matricesNear(pinOutputMatrix("p", 0), MMatrix(), 0.0));
    EXPECT_EQ(errors(capture), "p: pin 0 has non-finite baryWeights; the pin is left out until it is bound again.\n");
    setDoubleArray("p.baryWeights", {0.0, 0.0, 1.0});
    capture.clear();
    EXPECT_GT(translationOf(pinOutputMatrix("p", 0)).length(), 0.0);
    EXPECT_EQ(errors(capture), "");
}

TEST_F(PinScene, ASavedSceneWithEmptiedBindArraysOpensAndQueries)
{
    const std::string pin = melString("surfacePinBind -c translate pPlane1 c0 c1").asChar();
    setDoubleArray(pin + ".baryWeights", {});
    const std::string path = "/tmp/pellixPinRobustness" + std::to_string(::getpid()) + ".ma";
    ASSERT_TRUE(mel("file -rename \"" + path + "\"; file -save -type \"mayaAscii\"; file -force -new"));
    ASSERT_TRUE(mel("file -force -open \"" + path + "\""));
    std::remove(path.c_str());

    // No pin is left to place the controls: their first queries read the outputs' defaults.
    EXPECT_TRUE(vectorsNear(worldPosition("c0"), MVector(0.0, 0.0, 0.0), 0.0));
    EXPECT_TRUE(vectorsNear(worldPosition("c1"), MVector(0.0, 0.0, 0.0), 0.0));
    EXPECT_EQ(melDouble("getAttr " + pin + ".outputTranslate[1].outputTranslateZ"), 0.0);
}

TEST_F(PinScene, TheParallelLoopGivesTheSerialResultsEvenUnderACancelledTaskGroup)
{
    ASSERT_TRUE(mel("polySphere -r 2 -sa 24 -sh 16 -n ball; setAttr ball.translate 1 -2 0.5; "
                    "setAttr ball.rotate 15 25 35"));
    const int count = 1000;
    const PinArrays pins = spreadPins("ballShape", count);
    const MVector centre(1.0, -2.0, 0.5);
    for (const std::string type : {"surfacePin", "surfaceUVPin"}) {
        SCOPED_TRACE(type);
        // One node takes every pin (the parallel loop), ten take 100 each (the serial loop).
        const std::string all = type + "All";
        makePinNode(type, all, "ballShape", pins, 0, count);
        for (int part = 0; part < 10; ++part)
            makePinNode(type, type + "Part" + std::to_string(part), "ballShape", pins, part * 100, 100);
        // Every surface pin sits on the sphere, between its faces' chords and its radius (a UV
        // pin outside every UV triangle extrapolates from the nearest one).
        for (int i = 0; type == "surfacePin" && i < count; i += 25) {
            const double distance = (translationOf(pinOutputMatrix(all, i)) - centre).length();
            EXPECT_GT(distance, 1.9) << "pin " << i;
            EXPECT_LT(distance, 2.0 + kTolerance) << "pin " << i;
        }
        ASSERT_TRUE(mel("move -r 0.3 0.1 0 ball.vtx[5:40]"));

        // The host's evaluation can cancel its task group while a node computes inside it.
        host::MessageCapture capture;
        tbb::task_group group;
        EXPECT_EQ(group.run_and_wait([&] {
            group.cancel();
            pinOutputMatrix(all, 0);
        }),
                  tbb::canceled);
        for (int i = 0; i < count; ++i) {
            const std::string part = type + "Part" + std::to_string(i / 100);
            ASSERT_TRUE(matricesNear(pinOutputMatrix(all, i), pinOutputMatrix(part, i % 100), 0.0)) << "pin " << i;
            ASSERT_TRUE(vectorsNear(pinOutputTranslate(all, i), pinOutputTranslate(part, i % 100), 0.0)) << i;
        }
        EXPECT_EQ(errors(capture), "");
    }
}
