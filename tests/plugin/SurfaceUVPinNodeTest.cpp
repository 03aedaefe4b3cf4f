// The "surfaceUVPin" node driven through its plugs: pins stored by UV position, resolved to
// triangles of the current mesh, re-resolved when the mesh's triangulation or the UV set
// changes.

#include "PluginTestSupport.h"
#include "SurfacePinNodeSupport.h"

#include "commands/MessageOutput.h"

#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnMeshData.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>

#include <string>
#include <vector>

namespace {

const double kTolerance = 1e-5;

// Two unit quads in XZ facing +Y, Q at the origin and R five units along X, both mapped onto
// the whole UV square with u = x and v = z. The far corner of Q, (1, 0, 1), is raised by
// `lift`. Split, Q is cut into two triangles along its other diagonal; the UVs stay.
MObject twoQuads(double lift, bool splitQ)
{
    MFloatPointArray points;
    const float corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    for (int quad = 0; quad < 2; ++quad) {
        for (int k = 0; k < 4; ++k) {
            const float y = (quad == 0 && k == 2) ? static_cast<float>(lift) : 0.0f;
            points.append(MFloatPoint(corners[k][0] + 5.0f * quad, y, corners[k][1]));
        }
    }
    std::vector<std::vector<int>> faces;
    if (splitQ) {
        faces = {{0, 1, 3}, {1, 2, 3}};
    } else {
        faces = {{0, 1, 2, 3}};
    }
    faces.push_back({4, 5, 6, 7});

    MIntArray counts;
    MIntArray connects;
    MFloatArray u;
    MFloatArray v;
    for (const std::vector<int>& face : faces) {
        counts.append(static_cast<int>(face.size()));
        for (int vertex : face) {
            connects.append(vertex);
            u.append(corners[vertex % 4][0]);
            v.append(corners[vertex % 4][1]);
        }
    }
    MStatus status;
    MFnMeshData dataFn;
    MObject data = dataFn.create(&status);
    EXPECT_TRUE(status);
    MFnMesh mesh;
    mesh.create(8, static_cast<int>(counts.length()), points, counts, connects, u, v, data, &status);
    EXPECT_TRUE(status);
    return data;
}

class SurfaceUVPinNodeTest : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(mel("createNode surfaceUVPin -n uvPin"));
    }

    // Feeds the mesh straight into the node (no DAG source: object space).
    void setMesh(MObject data)
    {
        MFnDependencyNode node(nodeByName("uvPin"));
        MPlug plug = node.findPlug("deformedGeometry", true);
        ASSERT_TRUE(plug.setValue(data));
    }

    struct UVPin
    {
        double u;
        double v;
        int preferred;
        double du = 1.0;
        double dv = 0.0;
    };

    static void bind(const std::string& node, const std::vector<UVPin>& pins)
    {
        std::vector<double> uvs;
        std::vector<double> tangents;
        std::vector<int> preferred;
        for (const UVPin& pin : pins) {
            uvs.insert(uvs.end(), {pin.u, pin.v});
            tangents.insert(tangents.end(), {pin.du, pin.dv});
            preferred.push_back(pin.preferred);
        }
        setDoubleArray(node + ".pinUVs", uvs);
        setDoubleArray(node + ".bindTangents", tangents);
        setIntArray(node + ".preferredTriangleIndices", preferred);
    }

    static std::string errorsWhilePulling()
    {
        host::MessageCapture capture;
        pinOutputMatrix("uvPin", 0);
        return capture.text(host::MessageKind::kError).asChar();
    }
};

TEST_F(SurfaceUVPinNodeTest, FramesFollowTheUVPositionAndTangent)
{
    setMesh(twoQuads(0.0, false));
    bind("uvPin", {{0.25, 0.5, -1}, {0.75, 0.25, -1, 0.0, 1.0}});

    // u runs along +X and v along +Z; the normal is +Y.
    const MVector x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    EXPECT_TRUE(matricesNear(pinOutputMatrix("uvPin", 0), frameFromRows(x, y ^ x, y, MVector(0.25, 0, 0.5)),
                             kTolerance));
    EXPECT_TRUE(matricesNear(pinOutputMatrix("uvPin", 1), frameFromRows(z, y ^ z, y, MVector(0.75, 0, 0.25)),
                             kTolerance));

    // Moving points without a change of topology moves the pins along.
    setMesh(twoQuads(1.0, false));
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 0)), MVector(0.25, 0.25, 0.5), kTolerance));
}

TEST_F(SurfaceUVPinNodeTest, SplitFaceReResolvesThroughPreferredIndexOrScan)
{
    // Triangles: Q (0, 1) then R (2, 3); the raised corner tells which triangle holds a pin.
    setMesh(twoQuads(1.0, false));
    bind("uvPin", {{0.25, 0.5, 2}, {0.8, 0.4, 1}, {0.2, 0.1, 1}, {0.25, 0.5, -1}});
    // The preferred triangle wins over the first triangle holding the UV.
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 0)), MVector(5.25, 0.0, 0.5), kTolerance));
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 1)), MVector(0.8, 0.4, 0.4), kTolerance));
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 2)), MVector(0.2, 0.1, 0.1), kTolerance));
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 3)), MVector(0.25, 0.25, 0.5), kTolerance));

    // Q split along its other diagonal: triangle 0 is (c0, c1, c3), triangle 1 (c1, c2, c3).
    setMesh(twoQuads(1.0, true));
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 0)), MVector(5.25, 0.0, 0.5), kTolerance));
    // Still inside its preferred triangle 1, now with weight 0.2 on the raised corner.
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 1)), MVector(0.8, 0.2, 0.4), kTolerance));
    // Triangle 1 no longer holds it: the scan finds triangle 0, without the raised corner.
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 2)), MVector(0.2, 0.0, 0.1), kTolerance));
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 3)), MVector(0.25, 0.0, 0.5), kTolerance));
}

TEST_F(SurfaceUVPinNodeTest, AMissingUVSetLeavesEveryPinUnresolvedAndAnEmptyNameReadsTheCurrentSet)
{
    setMesh(twoQuads(0.0, false));
    bind("uvPin", {{0.25, 0.5, -1}});
    EXPECT_TRUE(errorsWhilePulling().empty());

    // A set the mesh does not have gives no triangles: every pin is unresolved.
    ASSERT_TRUE(mel("setAttr uvPin.uvSet -type \"string\" \"missing\""));
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_NE(std::string::npos, errorsWhilePulling().find(
                                         "SurfaceUVPin: pin UVs did not resolve to valid mesh vertices or normals. "
                                         "Re-run surfaceUVPinBind after topology or UV changes."));
    }

    // An empty name reads the mesh's current set.
    ASSERT_TRUE(mel("setAttr uvPin.uvSet -type \"string\" \"\""));
    EXPECT_TRUE(errorsWhilePulling().empty());
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 0)), MVector(0.25, 0.0, 0.5), kTolerance));
}

TEST_F(SurfaceUVPinNodeTest, UVOutsideEveryTriangleFollowsTheNearestCentroid)
{
    setMesh(twoQuads(0.0, false));
    // Beyond Q's edge u = 0: nearest centroid is Q's first triangle, weights unclamped.
    bind("uvPin", {{-0.5, 0.75, -1}});
    EXPECT_TRUE(vectorsNear(translationOf(pinOutputMatrix("uvPin", 0)), MVector(-0.5, 0.0, 0.75), kTolerance));
}

TEST_F(SurfaceUVPinNodeTest, ZeroPinsEmptyTheOutputs)
{
    setMesh(twoQuads(0.0, false));
    bind("uvPin", {{0.25, 0.5, -1}, {0.5, 0.5, -1}});
    EXPECT_EQ(2u, pinOutputCount("uvPin", "outputMatrix"));
    EXPECT_EQ(2u, pinOutputCount("uvPin", "outputTranslate"));
    setDoubleArray("uvPin.pinUVs", {0.25});
    EXPECT_EQ(0u, pinOutputCount("uvPin", "outputMatrix"));
    EXPECT_EQ(0u, pinOutputCount("uvPin", "outputTranslate"));
}

TEST_F(SurfaceUVPinNodeTest, NullGeometryIsAnError)
{
    bind("uvPin", {{0.25, 0.5, -1}});
    EXPECT_EQ(errorsWhilePulling(), "SurfaceUVPin: deformedGeometry is null\n");
}

TEST_F(SurfaceUVPinNodeTest, ParallelEvaluationMatchesSerialEvaluation)
{
    ASSERT_TRUE(mel("polyPlane -w 4 -h 3 -sx 12 -sy 9 -n grid"));
    ASSERT_TRUE(mel("move -r 0 0.4 0 grid.vtx[20:60]"));

    // 200 pins over the UV square in one node (parallel loop), and in two of 100 (serial).
    std::vector<UVPin> pins;
    for (int i = 0; i < 200; ++i) {
        pins.push_back({0.02 + 0.96 * ((i * 37) % 200) / 200.0, 0.03 + 0.94 * ((i * 53) % 197) / 197.0, -1,
                        1.0 - 0.004 * i, 0.003 * i});
    }
    auto makeNode = [&](const std::string& name, int first, int size) {
        if (name != "uvPin") {
            ASSERT_TRUE(mel("createNode surfaceUVPin -n " + name));
        }
        ASSERT_TRUE(mel("connectAttr gridShape.worldMesh[0] " + name + ".deformedGeometry"));
        bind(name, std::vector<UVPin>(pins.begin() + first, pins.begin() + first + size));
    };
    makeNode("uvPin", 0, 200);
    makeNode("half0", 0, 100);
    makeNode("half1", 100, 100);
    ASSERT_TRUE(mel("setAttr grid.rotate 20 0 -10"));

    host::MessageCapture capture;
    EXPECT_FALSE(matricesNear(pinOutputMatrix("uvPin", 0), MMatrix(), 1e-3));
    for (unsigned i = 0; i < 200; ++i) {
        const std::string half = i < 100 ? "half0" : "half1";
        ASSERT_TRUE(matricesNear(pinOutputMatrix("uvPin", i), pinOutputMatrix(half, i % 100), 0.0)) << "pin " << i;
    }
    EXPECT_EQ(capture.text(host::MessageKind::kError), MString());
}

} // namespace
