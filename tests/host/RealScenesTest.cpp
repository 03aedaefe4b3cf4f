// Scenes saved by Maya 2020-2026 by artists: each opens to its end, and saving,
// opening what was saved and saving again gives the same text.

#include "SceneTestSupport.h"
#include "StoredMeshReader.h"

#include "support/RealScenesFolder.h"
#include "support/TestValues.h"

#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

class RealScenes : public SceneTest
{
protected:
    MStatus open(const std::string& path) { return run("file -f -o \"" + path + "\""); }

    // The name of the last node the file creates, so a test can tell the read reached it.
    static std::string lastCreatedName(const std::string& text)
    {
        const size_t at = text.rfind("\ncreateNode ");
        const size_t name = text.find("-n \"", at);
        return text.substr(name + 4, text.find('"', name + 4) - name - 4);
    }

    const std::vector<std::string> fScenes = realScenePaths();
};

TEST_F(RealScenes, EachOpensToItsEnd)
{
    if (fScenes.empty())
        GTEST_SKIP() << kNoRealScenes;
    for (const std::string& scene : fScenes) {
        SCOPED_TRACE(scene);
        clearMessages();
        ASSERT_TRUE(open(scene)) << errors();
        const std::string last = lastCreatedName(readFile(scene));
        EXPECT_EQ(value("objExists \"" + last + "\"").asInt(), 1) << last;
        EXPECT_EQ(errors(), "");
    }
}

TEST_F(RealScenes, SaveOpenSaveGivesTheSameText)
{
    if (fScenes.empty())
        GTEST_SKIP() << kNoRealScenes;
    for (const std::string& scene : fScenes) {
        SCOPED_TRACE(scene);
        ASSERT_TRUE(open(scene)) << errors();
        const std::string first = tempPath("first.ma");
        ASSERT_TRUE(run("file -rename \"" + first + "\"; file -save")) << errors();
        const std::string text = readFile(first);
        clearMessages();
        ASSERT_TRUE(open(first)) << errors();
        EXPECT_EQ(errors(), "") << "the saved scene reads without errors";
        ASSERT_TRUE(run("file -rename \"" + first + "\"; file -save")) << errors();
        EXPECT_EQ(readFile(first), text);
    }
}

TEST_F(RealScenes, SavingKeepsRequirementsFileInfoReferencesAndUuids)
{
    if (fScenes.empty())
        GTEST_SKIP() << kNoRealScenes;
    for (const std::string& scene : fScenes) {
        SCOPED_TRACE(scene);
        const std::string original = readFile(scene);
        ASSERT_TRUE(open(scene)) << errors();
        const std::string path = tempPath("saved.ma");
        ASSERT_TRUE(run("file -rename \"" + path + "\"; file -save")) << errors();
        const std::string saved = readFile(path);
        std::istringstream lines(original);
        for (std::string line; std::getline(lines, line);) {
            // Maya wraps long statements over lines; the host writes each on one.
            if (line.empty() || line.back() != ';')
                continue;
            if (line.rfind("fileInfo ", 0) == 0 || line.rfind("file -r", 0) == 0 || line.rfind("\trename -uid ", 0) == 0) {
                EXPECT_NE(saved.find(line + "\n"), std::string::npos) << line;
            }
            if (line.rfind("requires ", 0) == 0 && line.find("requires maya ") == std::string::npos) {
                // The plug-in and its version, whatever types other lines of it add.
                const size_t plugin = line.rfind(" \"", line.rfind(" \""));
                EXPECT_NE(saved.find(line.substr(plugin)), std::string::npos) << line;
            }
        }
    }
}

} // namespace

namespace {

bool near(double expected, double got)
{
    return std::abs(expected - got) <= 1e-4 * std::max(1.0, std::abs(expected));
}

std::string vertexName(const std::string& mesh, size_t index)
{
    return mesh + ".vtx[" + std::to_string(index) + "]";
}

class RealSceneGeometry : public SceneTest
{
protected:
    std::string scenePath(const std::string& name) const { return realScenesFolder() + "/" + name; }
    bool hasScene(const std::string& name) const { return !realScenePath(name).empty(); }

    static std::vector<int> storedMeshes(const stored::Scene& scene)
    {
        std::vector<int> meshes;
        for (size_t i = 0; i < scene.nodes.size(); ++i) {
            const stored::DagNode& n = scene.nodes[i];
            if (n.type == "mesh" && n.storesVertices && !n.hasInMesh && n.parentKnown)
                meshes.push_back(int(i));
        }
        return meshes;
    }

    const std::vector<std::string> fScenes = realScenePaths();
};

// The reader is checked first against what the scenes' notes say they hold.
TEST_F(RealSceneGeometry, ReaderFindsTheCountsTheScenesNotesGive)
{
    if (fScenes.empty())
        GTEST_SKIP() << kNoRealScenes;
    struct Expected
    {
        const char* scene;
        std::vector<std::pair<int, int>> vertsFaces;  // of the stored meshes, in file order
    };
    const Expected expected[] = {
        {"Chess.ma", {{1124, 1090}}},
        {"Axe.ma", {{2216, 2080}}},
        {"SkullRock.ma", {{191, 179}, {38, 31}, {24, 17}, {72, 60}, {38, 31}, {74, 72}, {29, 26}}},
        {"mylamp.ma", {{168, 183}, {122, 130}, {126, 106}, {206, 216}}},
        {"squareMAN-skinned.ma", {{120, 90}}},
    };
    for (const Expected& e : expected) {
        if (!hasScene(e.scene))
            continue;
        SCOPED_TRACE(e.scene);
        const stored::Scene scene = stored::readScene(scenePath(e.scene));
        std::vector<std::pair<int, int>> got;
        for (int mesh : storedMeshes(scene))
            got.emplace_back(int(scene.localPoints(mesh).size()), scene.nodes[size_t(mesh)].faceCount);
        if (std::string(e.scene) == "SkullRock.ma" || std::string(e.scene) == "mylamp.ma") {
            // The notes list them in no particular order.
            std::vector<std::pair<int, int>> want = e.vertsFaces;
            std::sort(want.begin(), want.end());
            std::sort(got.begin(), got.end());
            EXPECT_EQ(got, want);
        } else {
            EXPECT_EQ(got, e.vertsFaces);
        }
    }
    if (hasScene("White Box Rig.ma")) {
        const stored::Scene scene = stored::readScene(scenePath("White Box Rig.ma"));
        const std::vector<int> meshes = storedMeshes(scene);
        EXPECT_EQ(meshes.size(), 39u);
        int rotated = 0;
        for (int mesh : meshes) {
            EXPECT_EQ(scene.localPoints(mesh).size(), 8u);
            EXPECT_EQ(scene.nodes[size_t(mesh)].faceCount, 6);
            bool underRotation = false;
            for (int n = scene.nodes[size_t(mesh)].parent; n >= 0; n = scene.nodes[size_t(n)].parent)
                for (double r : scene.nodes[size_t(n)].channels.rotate)
                    underRotation = underRotation || r != 0;
            rotated += underRotation;
        }
        EXPECT_EQ(rotated, 38);
    }
}

// Each stored mesh, opened by the host, has the file's counts, its transform the file's local and
// world matrices, and its points where the file's channels put them in the world.
TEST_F(RealSceneGeometry, StoredMeshesHaveTheFilesCountsMatricesAndWorldPoints)
{
    if (fScenes.empty())
        GTEST_SKIP() << kNoRealScenes;
    const auto expectNear = [](const stored::Mat4& want, const MDoubleArray& got, const char* what) {
        ASSERT_EQ(got.length(), 16u);
        for (unsigned k = 0; k < 16; ++k)
            EXPECT_PRED2(near, want[k / 4][k % 4], got[k]) << what << " element " << k;
    };
    int compared = 0;
    for (const std::string& path : fScenes) {
        SCOPED_TRACE(path);
        const stored::Scene scene = stored::readScene(path);
        ASSERT_TRUE(run("file -f -o \"" + path + "\"")) << errors();
        for (int mesh : storedMeshes(scene)) {
            const std::string name = scene.fullPath(mesh);
            SCOPED_TRACE(name);
            const std::vector<stored::Vec3> local = scene.localPoints(mesh);
            EXPECT_EQ(value("polyEvaluate -v \"" + name + "\"").asInt(), int(local.size()));
            EXPECT_EQ(value("polyEvaluate -f \"" + name + "\"").asInt(), scene.nodes[size_t(mesh)].faceCount);
            const int transform = scene.nodes[size_t(mesh)].parent;
            if (transform < 0 || !scene.worldIsStatic(mesh))
                continue;
            const std::string transformName = scene.fullPath(transform);
            const stored::Mat4 world = scene.worldMatrix(transform);
            expectNear(world, value("xform -q -ws -m \"" + transformName + "\"").asDoubleArray(), "world");
            expectNear(stored::localMatrix(scene.nodes[size_t(transform)].channels),
                       value("xform -q -m \"" + transformName + "\"").asDoubleArray(), "local");

            std::vector<stored::Vec3> want;
            for (const stored::Vec3& p : local)
                want.push_back(stored::transformPoint(p, world));
            // A few vertices through the command, in the scene's units.
            for (size_t i : {size_t(0), want.size() / 3, want.size() / 2, want.size() - 1}) {
                const MDoubleArray got = value("pointPosition -w \"" + vertexName(name, i) + "\"").asDoubleArray();
                ASSERT_EQ(got.length(), 3u);
                for (unsigned k = 0; k < 3; ++k)
                    EXPECT_PRED2(near, want[i][k], got[k]) << "vertex " << i << " axis " << k;
            }
            ++compared;
            // Every vertex through the API, in centimetres whatever unit the scene was saved in.
            MPointArray points;
            ASSERT_TRUE(MFnMesh(pathNamed(name)).getPoints(points, MSpace::kWorld));
            ASSERT_EQ(points.length(), want.size());
            int wrong = 0;
            for (unsigned i = 0; i < points.length(); ++i)
                for (unsigned k = 0; k < 3; ++k)
                    if (!near(want[i][k] * scene.unitToCentimetres, points[i][k]) && wrong++ < 3)
                        ADD_FAILURE() << "vertex " << i << " axis " << k << ": want "
                                      << want[i][k] * scene.unitToCentimetres << ", got " << points[i][k];
            EXPECT_EQ(wrong, 0);
        }
    }
    if (hasScene("White Box Rig.ma")) {
        EXPECT_GE(compared, 39);
    }
}

} // namespace
