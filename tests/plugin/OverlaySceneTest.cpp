// Overlays and the other node types saved to a Maya ASCII file and opened again, in this
// process and in pellixbatch.

#include "PluginTestSupport.h"

#include "support/TestValues.h"

#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Distinct contents per array, so that a value landing in the wrong array shows.
struct ArrayValue
{
    const char* attribute;
    std::vector<int> values;
};

const std::vector<ArrayValue> kPatchArrays = {
    {"patchVertexCounts", {4, 3}},
    {"patchDriverVertexIndices", {10, 11, 12, 13, 20, 21, 22}},
    {"patchTriangleOffsets", {0, 6}},
    {"patchTriangleCounts", {6, 3}},
    {"patchTriangleIndices", {0, 1, 2, 0, 2, 3, 0, 1, 2}},
    {"patchEdgeOffsets", {0, 8}},
    {"patchEdgeCounts", {8, 6}},
    {"patchEdgeIndices", {0, 1, 1, 2, 2, 3, 3, 0, 0, 1, 1, 2, 2, -7}},
};

std::string int32ArrayText(const std::vector<int>& values)
{
    std::string text = " -type Int32Array " + std::to_string(values.size());
    for (int v : values) {
        text += " " + std::to_string(v);
    }
    return text;
}

std::vector<int> getIntArray(const std::string& plug)
{
    MIntArray result;
    EXPECT_TRUE(MGlobal::executeCommand(MString(("getAttr " + plug).c_str()), result)) << plug;
    return toVector(result);
}

// A scene file under /tmp, removed when the test ends.
class SceneFile
{
public:
    explicit SceneFile(const char* stem) : fPath("/tmp/" + std::string(stem) + "_" + std::to_string(getpid()) + ".ma") {}
    ~SceneFile() { std::remove(fPath.c_str()); }
    const std::string& path() const { return fPath; }

private:
    std::string fPath;
};

MStatus saveAs(const SceneFile& file)
{
    const MStatus renamed = mel("file -rename \"" + file.path() + "\"");
    if (!renamed) {
        return renamed;
    }
    return mel("file -save -type \"mayaAscii\"");
}

MStatus reopen(const SceneFile& file)
{
    return mel("file -force -open \"" + file.path() + "\"");
}

class OverlayScene : public PellixPluginTest
{
protected:
    void fillOverlay(const std::string& shape)
    {
        for (const ArrayValue& array : kPatchArrays) {
            ASSERT_TRUE(mel("setAttr " + shape + "." + array.attribute + int32ArrayText(array.values)));
        }
        ASSERT_TRUE(mel("setAttr " + shape + ".patchSourcePaths -type stringArray 2 \"|patchA|patchAShape\" "
                        "\"|rig|patch B\""));
        ASSERT_TRUE(mel("setAttr " + shape + ".patchSelectPaths -type stringArray 1 \"ctrl_\\\"quoted\\\"\""));
    }

    void expectFilled(const std::string& shape)
    {
        for (const ArrayValue& array : kPatchArrays) {
            EXPECT_EQ(getIntArray(shape + "." + array.attribute), array.values) << array.attribute;
        }
        EXPECT_EQ(toVector(melStrings("getAttr " + shape + ".patchSourcePaths")),
                  (std::vector<std::string>{"|patchA|patchAShape", "|rig|patch B"}));
        EXPECT_EQ(toVector(melStrings("getAttr " + shape + ".patchSelectPaths")),
                  (std::vector<std::string>{"ctrl_\"quoted\""}));
    }
};

} // namespace

TEST_F(OverlayScene, SaveAndReopenKeepsEveryPatchArray)
{
    SceneFile file("overlayArrays");
    ASSERT_EQ(melString("createNode pellixDataOverlay -name overlayShape"), MString("overlayShape"));
    fillOverlay("overlayShape");
    ASSERT_TRUE(mel("setAttr overlayShape.transparency 0.25"));
    ASSERT_TRUE(mel("setAttr overlayShape.hoverColor -type double3 0.1 0.2 0.3"));
    ASSERT_TRUE(saveAs(file));

    ASSERT_TRUE(mel("file -force -new"));
    EXPECT_FALSE(melInt("objExists overlayShape"));
    ASSERT_TRUE(reopen(file));

    ASSERT_EQ(melString("nodeType overlayShape"), MString("pellixDataOverlay"));
    expectFilled("overlayShape");
    EXPECT_FLOAT_EQ(static_cast<float>(melDouble("getAttr overlayShape.transparency")), 0.25f);
    EXPECT_FLOAT_EQ(static_cast<float>(melDouble("getAttr overlayShape.hoverColorG")), 0.2f);
}

TEST_F(OverlayScene, HoverAndSelectionAreNotSaved)
{
    SceneFile file("overlayHover");
    ASSERT_TRUE(mel("createNode pellixDataOverlay -name overlayShape"));
    fillOverlay("overlayShape");
    ASSERT_TRUE(mel("setAttr overlayShape.hoveredPatch 1"));
    ASSERT_TRUE(mel("setAttr overlayShape.selectedPatches -type Int32Array 2 0 1"));
    ASSERT_EQ(melInt("getAttr overlayShape.hoveredPatch"), 1);
    ASSERT_TRUE(saveAs(file));

    ASSERT_TRUE(reopen(file));
    EXPECT_EQ(melInt("getAttr overlayShape.hoveredPatch"), -1);
    EXPECT_TRUE(getIntArray("overlayShape.selectedPatches").empty());
    expectFilled("overlayShape");
}

TEST_F(OverlayScene, EveryNodeTypeSavesAndOpens)
{
    SceneFile file("allTypes");
    ASSERT_TRUE(mel("createNode shapeControl -name controlShape; setAttr controlShape.primitive 1"));
    ASSERT_TRUE(mel("setAttr controlShape.hasBBox 1; setAttr controlShape.bbMaxY 2.5"));
    ASSERT_TRUE(mel("createNode surfacePin -name pin; setAttr pin.vertexIndices -type Int32Array 3 4 5 6"));
    ASSERT_TRUE(mel("setAttr pin.bindMaintainOffset 1; createNode surfaceUVPin -name uvPin"));
    ASSERT_TRUE(mel("setAttr uvPin.uvSet -type \"string\" \"skinUVs\""));
    ASSERT_TRUE(mel("setAttr uvPin.pinUVs -type doubleArray 2 0.25 0.75; createNode vertexWrap -name wrap"));
    ASSERT_TRUE(mel("setAttr wrap.vertexMapping[1] -type Int32Array 3 -1 7 2"));
    ASSERT_TRUE(saveAs(file));

    ASSERT_TRUE(reopen(file));
    EXPECT_EQ(melInt("getAttr controlShape.primitive"), 1);
    EXPECT_EQ(melInt("getAttr controlShape.hasBBox"), 1);
    EXPECT_DOUBLE_EQ(melDouble("getAttr controlShape.bbMaxY"), 2.5);
    EXPECT_EQ(getIntArray("pin.vertexIndices"), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(melInt("getAttr pin.bindMaintainOffset"), 1);
    EXPECT_EQ(melString("getAttr uvPin.uvSet"), MString("skinUVs"));
    EXPECT_EQ(getIntArray("wrap.vertexMapping[1]"), (std::vector<int>{-1, 7, 2}));
}

TEST_F(OverlayScene, PellixbatchOpensASavedOverlay)
{
    SceneFile file("overlayBatch");
    ASSERT_TRUE(mel("createNode pellixDataOverlay -name overlayShape"));
    fillOverlay("overlayShape");
    ASSERT_TRUE(saveAs(file));

    std::string output;
    EXPECT_EQ(runPellixbatch(std::string("-plugin \"") + PELLIX_PLUGIN_PATH + "\" -file \"" + file.path() +
                                 "\" -command \"getAttr overlayShape.patchDriverVertexIndices\"",
                             output),
              0)
        << output;
    EXPECT_NE(output.find("// Result: 10 11 12 13 20 21 22 //"), std::string::npos) << output;
}

TEST(DemoScript, RunsToTheEndShowingEveryPartAtWork)
{
    std::string output;
    // The test data folder is <source>/tests/data; the script lives in <source>/scripts.
    std::string root = PELLIX_TEST_DATA;
    root.erase(root.rfind("/tests/data"));
    const std::string script = root + "/scripts/demo.mel";
    ASSERT_EQ(runPellixbatch("-script \"" + script + "\"", output), 0) << output;

    auto shows = [&output](const std::string& text) { return output.find(text) != std::string::npos; };
    EXPECT_TRUE(shows("// Result: shapeControl pellixDataOverlay hoverMarker surfacePin surfaceUVPin vertexWrap //"));
    // Both patches bound, stored and read back after the reopen.
    EXPECT_TRUE(shows("2 patch(es); 12 vertices matched at bind tolerance 0.0001."));
    const std::string binding = "// Result: 0 1 2 5 6 7 17 18 19 22 23 24 //";
    ASSERT_NE(output.find(binding), std::string::npos) << output;
    EXPECT_NE(output.find(binding, output.find("opening it again")), std::string::npos) << output;
    // Selecting the belly control selects patch 1; undo and redo swap the tolerances.
    EXPECT_TRUE(shows("marks patch 1 as selected\n// Result: 1 //"));
    EXPECT_TRUE(shows("redo the second\n// Result: 0.0001 //\n// Result: torsoOverlayShape //\n// Result: 0.001 //"));
    // The side control rides the rock up by 3; the wrapped cloth vertex follows the body's.
    // The side control ends at (2, 3, 0), to the last digits of the pin's frame math.
    const size_t carried = output.find("carries them along\n// Result: ");
    ASSERT_NE(carried, std::string::npos) << output;
    const size_t side = output.find("// Result: ", output.find('\n', carried + 20));
    ASSERT_NE(side, std::string::npos) << output;
    double x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(output.c_str() + side, "// Result: %lf %lf %lf //", &x, &y, &z), 3) << output.substr(side, 80);
    EXPECT_NEAR(x, 2.0, 1e-9);
    EXPECT_NEAR(y, 3.0, 1e-9);
    EXPECT_NEAR(z, 0.0, 1e-9);
    EXPECT_TRUE(shows("cloth's vertex 12 with it\n// Result: 0 1 0 //\n// Result: 0 1 0 //"));
    EXPECT_TRUE(shows("(vertex 12 lowered by 2)\n// Result: 0 -1 0 //"));
    EXPECT_TRUE(shows("sits where its curve was\n// Result: 0 1 0 //"));
    EXPECT_TRUE(shows("brings it back\n// Result: hipCtrlShape //\n// Result: hipCtrlShape headCtrlShape //"));
    EXPECT_TRUE(shows("The shape controls are back\n// Result: hipCtrlShape headCtrlShape //"));
    EXPECT_TRUE(shows("== Done"));
    EXPECT_FALSE(shows("Error:")) << output;
}
