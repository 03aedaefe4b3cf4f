// Scenes saved by Maya 2020-2026 by artists: each opens to its end, and saving,
// opening what was saved and saving again gives the same text.

#include "SceneTestSupport.h"
#include "support/RealScenesFolder.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
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
