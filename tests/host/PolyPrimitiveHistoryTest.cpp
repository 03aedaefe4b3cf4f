// Poly primitives built by history nodes and by the commands, against meshes Maya saved: counts,
// points, face corners and UVs of each primitive at the settings Maya's files use; history from
// scene files evaluates, and history through nodes the host does not evaluate is reported.

#include "SceneTestSupport.h"
#include "support/RealScenesFolder.h"

#include <maya/MFloatArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// One primitive as Maya saved it: the creating command's flags and what its mesh held.
struct Reference
{
    const char* name;
    const char* type;     // the history node's
    const char* command;  // run with " -ch on" or " -ch off" after it
    int vertices, faces, uvs;
    std::vector<std::pair<int, MPoint>> points;
    std::vector<std::pair<int, std::vector<int>>> faceVertices;
    std::pair<int, std::vector<int>> faceUVs;
    std::vector<std::pair<int, std::pair<float, float>>> uvPoints;
};

// Values copied from meshes of Maya ASCII scenes (primitives whose history was deleted).
const Reference kReferences[] = {
    {"Cube", "polyCube", "polyCube", 8, 6, 14,
     {{0, {-0.5, -0.5, 0.5}}, {5, {0.5, 0.5, -0.5}}}, {{4, {1, 7, 5, 3}}}, {4, {1, 10, 11, 3}}, {{10, {0.875f, 0.0f}}}},
    {"Sphere", "polySphere", "polySphere", 382, 400, 439,
     {{0, {0.14877813, -0.98768836, -0.048340943}}, {181, {0.80901754, 0, -0.5877856}}, {381, {0, 1, 0}}},
     {{360, {1, 0, 380}}}, {360, {1, 0, 399}}, {{399, {0.025f, 0.0f}}}},
    {"Plane", "polyPlane", "polyPlane", 121, 100, 121,
     {{0, {-0.5, 0, 0.5}}, {11, {-0.5, 0, 0.40000001}}, {120, {0.5, 0, -0.5}}}, {{10, {11, 12, 23, 22}}},
     {10, {11, 12, 23, 22}}, {{12, {0.1f, 0.1f}}}},
    {"CylinderWithCapCentres", "polyCylinder", "polyCylinder -sc 1", 42, 60, 84,
     {{0, {0.95105714, -1, -0.30901718}}, {20, {0.95105714, 1, -0.30901718}}, {41, {0, 1, 0}}},
     {{40, {20, 21, 41}}, {20, {1, 0, 40}}}, {40, {80, 79, 83}},
     {{62, {0.64860266f, 0.79546607f}}, {41, {0.375f, 0.68843985f}}, {82, {0.5f, 0.15000001f}}, {83, {0.5f, 0.83749998f}}}},
    {"Cone", "polyCone", "polyCone", 21, 21, 42,
     {{0, {0.95105714, -1, -0.30901718}}, {9, {-1.000000238419, -1, 0}}, {20, {0, 1, 0}}},
     {{0, {0, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}}, {1, {0, 1, 20}}}, {1, {20, 21, 41}},
     {{0, {0.7377643f, 0.1727457f}}, {41, {0.5f, 1.0f}}}},
    {"Torus", "polyTorus", "polyTorus", 400, 400, 441,
     {{0, {0.47552857, 0, -0.15450859}}, {100, {0.95105714, 0.50000006, -0.30901718}}, {200, {1.42658579, 0, -0.4635258}}},
     {{0, {1, 0, 20, 21}}}, {0, {1, 0, 21, 22}}, {{22, {0.050000001f, 0.94999999f}}}},
};

class PolyPrimitiveHistory : public SceneTest, public ::testing::WithParamInterface<std::tuple<Reference, bool>>
{
protected:
    static MFnMesh meshOf(const std::string& name)
    {
        MSelectionList list;
        EXPECT_TRUE(list.add(name.c_str())) << name;
        MDagPath path;
        list.getDagPath(0, path);
        path.extendToShape();
        return MFnMesh(path);
    }
};

TEST_P(PolyPrimitiveHistory, MeshesMatchWhatMayaSaved)
{
    const Reference& r = std::get<0>(GetParam());
    const bool history = std::get<1>(GetParam());
    const MStringArray made = strings(std::string(r.command) + (history ? " -ch on" : " -ch off"));
    ASSERT_EQ(made.length(), 2u);
    EXPECT_EQ(text("nodeType " + std::string(made[1].asChar())), history ? r.type : "mesh")
        << "the result names the history node, or the shape without history";
    // Without history, the command's settings reach the same geometry; with it, so does a reopened scene.
    if (history) {
        save("primitive.ma");
        ASSERT_TRUE(run("file -f -o \"" + tempPath("primitive.ma") + "\"")) << errors();
    }
    MFnMesh mesh = meshOf(made[0].asChar());
    EXPECT_EQ(mesh.numVertices(), r.vertices);
    EXPECT_EQ(mesh.numPolygons(), r.faces);
    EXPECT_EQ(mesh.numUVs(), r.uvs);
    for (const auto& [index, expected] : r.points) {
        MPoint p;
        ASSERT_TRUE(mesh.getPoint(index, p));
        EXPECT_LT(p.distanceTo(expected), 2e-6) << "vertex " << index << " at " << p.x << " " << p.y << " " << p.z;
    }
    for (const auto& [face, expected] : r.faceVertices) {
        MIntArray corners;
        ASSERT_TRUE(mesh.getPolygonVertices(face, corners));
        EXPECT_EQ(std::vector<int>(corners.begin(), corners.end()), expected) << "face " << face;
    }
    std::vector<int> uvIds;
    for (int k = 0; k < int(r.faceUVs.second.size()); ++k) {
        int id = -1;
        ASSERT_TRUE(mesh.getPolygonUVid(r.faceUVs.first, k, id));
        uvIds.push_back(id);
    }
    EXPECT_EQ(uvIds, r.faceUVs.second);
    MFloatArray u, v;
    ASSERT_TRUE(mesh.getUVs(u, v));
    for (const auto& [index, expected] : r.uvPoints) {
        ASSERT_LT(unsigned(index), u.length());
        EXPECT_NEAR(u[unsigned(index)], expected.first, 1e-6) << "uv " << index;
        EXPECT_NEAR(v[unsigned(index)], expected.second, 1e-6) << "uv " << index;
    }
}

INSTANTIATE_TEST_SUITE_P(Primitives, PolyPrimitiveHistory,
                         ::testing::Combine(::testing::ValuesIn(kReferences), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "WithHistory" : "WithoutHistory");
                         });

class PrimitiveNodes : public SceneTest
{
};

TEST_F(PrimitiveNodes, HistoryFollowsItsSettingsAxisAndUndo)
{
    ASSERT_TRUE(run("polyCylinder -ch on -r 2 -h 4 -sx 8 -sy 3 -sz 2 -ax 1 0 0 -n pipe")) << errors();
    EXPECT_EQ(number("getAttr polyCylinder1.r"), 2.0);
    EXPECT_EQ(number("getAttr polyCylinder1.sc"), 2.0);
    EXPECT_EQ(number("polyEvaluate -v pipe"), 8 * 4 + 2 * 8 + 2);
    EXPECT_EQ(number("polyEvaluate -f pipe"), 8 * 3 + 2 * (8 + 8));
    // Along +X: the caps sit at x = -2 and 2.
    EXPECT_EQ(value("polyEvaluate -b pipe").asDoubleArray()[0], -2.0);
    ASSERT_TRUE(run("setAttr polyCylinder1.h 10; setAttr polyCylinder1.ax 0 1 0"));
    const MDoubleArray box = value("polyEvaluate -b pipe").asDoubleArray();
    EXPECT_NEAR(box[3], 5.0, 1e-6);
    ASSERT_TRUE(run("undo; undo; undo"));
    EXPECT_EQ(number("objExists polyCylinder1"), 0);
    EXPECT_EQ(number("objExists pipe"), 0);

    // Freezing a transform leaves a transformGeometry in the history.
    ASSERT_TRUE(run("polyCube -ch on -n box; createNode transformGeometry -n frozen;"
                    "setAttr frozen.txf -type \"matrix\" 2 0 0 0 0 2 0 0 0 0 2 0 1 0 0 1;"
                    "connectAttr -f polyCube1.out frozen.ig; connectAttr -f frozen.og boxShape.i"));
    EXPECT_EQ(value("polyEvaluate -b box").asDoubleArray()[1], 2.0) << "x = 2 x + 1";
    ASSERT_TRUE(run("setAttr frozen.itf 1"));
    EXPECT_EQ(value("polyEvaluate -b box").asDoubleArray()[1], -0.25) << "x = (x - 1) / 2";

    // A quarter turn of twist moves each section ring of a four-sided torus on by one.
    ASSERT_TRUE(run("polyTorus -ch on -sx 5 -sy 4 -n plain; polyTorus -ch on -sx 5 -sy 4 -tw 90 -n twisted"));
    for (int i = 0; i < 5; ++i) {
        const MDoubleArray from = value("pointPosition twisted.vtx[" + std::to_string(i) + "]").asDoubleArray();
        const MDoubleArray to = value("pointPosition plain.vtx[" + std::to_string(5 + i) + "]").asDoubleArray();
        EXPECT_LT(MPoint(from[0], from[1], from[2]).distanceTo(MPoint(to[0], to[1], to[2])), 1e-6) << i;
    }
}

TEST_F(PrimitiveNodes, BadSettingsAreRefusedOrKeptInBounds)
{
    expectRefusals({
        {"polyTorus -sy 2", "polyTorus: -sy is out of range: 2."},
        {"polyCone -r 0", "polyCone: -r is out of range: 0."},
        {"polyCylinder -ax 1 0", "polyCylinder: -axis takes three numbers."},
        {"polyCube -cuv 5", "polyCube: -cuv is out of range: 5."},
    });
    EXPECT_EQ(strings("ls -type mesh").length(), 0u);
    // A node given subdivisions past what can be held makes an empty mesh, not a crash.
    ASSERT_TRUE(run("polyPlane -ch on -n big; setAttr polyPlane1.sw 100000; setAttr polyPlane1.sh 100000"));
    EXPECT_EQ(number("polyEvaluate -v big"), 0);
    ASSERT_TRUE(run("setAttr polyPlane1.sw -3; setAttr polyPlane1.sh 0"));
    EXPECT_EQ(number("polyEvaluate -v big"), 4) << "too few subdivisions are raised to one";
}

TEST_F(PrimitiveNodes, RealScenesBuildTheirPrimitiveHistory)
{
    // A mesh fed by a node the host does not evaluate keeps the geometry the file gives it; one without is named.
    {
        host::MessageCapture capture;
        ASSERT_TRUE(openText("createNode transform -n kept; createNode mesh -n keptShape -p kept;\n"
                             "\tsetAttr -s 3 \".vt[0:2]\" 0 0 0 1 0 0 0 1 0;\n"
                             "\tsetAttr -s 3 \".ed[0:2]\" 0 1 0 1 2 0 2 0 0;\n"
                             "\tsetAttr \".fc[0]\" -type \"polyFaces\" f 3 0 1 2;\n"
                             "createNode transform -n lost; createNode mesh -n lostShape -p lost;\n"
                             "createNode polyBevel3 -n bevel1; createNode polyBevel3 -n bevel2;\n"
                             "connectAttr bevel1.out keptShape.i; connectAttr bevel2.out lostShape.i;\n"))
            << errors();
        EXPECT_EQ(number("polyEvaluate -v kept"), 3);
        EXPECT_NE(std::string(capture.text(host::MessageKind::kWarning).asChar())
                      .find("file: the host does not evaluate \"polyBevel3\" nodes, and the file holds no geometry for "
                            "the meshes they build: lostShape.\n"),
                  std::string::npos)
            << capture.text(host::MessageKind::kWarning).asChar();
    }
    const std::string folder = realScenesFolder();
    if (!std::filesystem::exists(folder + "/SkellyRoomSet.ma"))
        GTEST_SKIP() << "no real scenes in " << folder;
    const struct
    {
        const char* scene;
        const char* mesh;
        int vertices, faces;
    } cases[] = {
        {"SkellyRoomSet.ma", "pPlaneShape1", 121, 100}, {"SkellyRoomSet.ma", "pCubeShape3", 8, 6},
        {"SkellyRoomSet.ma", "pSphereShape1", 382, 400}, {"SkellyRoomSet.ma", "pCylinderShape1", 42, 60},
        {"Lamp_RK.ma", "pCubeShape1", 8, 6},       {"SimpleRopeRig.ma", "RopeShape1Orig", 322, 340},
    };
    std::string opened;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.scene) + " " + c.mesh);
        if (opened != c.scene) {
            ASSERT_TRUE(run("file -f -o \"" + folder + "/" + c.scene + "\"")) << errors();
            opened = c.scene;
        }
        EXPECT_EQ(number(std::string("polyEvaluate -v ") + c.mesh), c.vertices);
        EXPECT_EQ(number(std::string("polyEvaluate -f ") + c.mesh), c.faces);
    }
    // Meshes built through nodes the host does not evaluate, with no geometry in the file: said once per type.
    host::MessageCapture capture;
    ASSERT_TRUE(run("file -f -o \"" + folder + "/01B_Challenge_Lamp_Additive.ma\"")) << errors();
    const std::string warnings = capture.text(host::MessageKind::kWarning).asChar();
    const std::string said = "file: the host does not evaluate \"polyTweakUV\" nodes, and the file holds no geometry for "
                             "the meshes they build: ";
    ASSERT_NE(warnings.find(said), std::string::npos) << warnings;
    EXPECT_EQ(warnings.find(said, warnings.find(said) + 1), std::string::npos) << "once";
}

} // namespace
