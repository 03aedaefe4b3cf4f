// DAG display settings that plug-ins rely on for helper objects: "hiddenInOutliner" and the
// drawing overrides exist on every DAG node with Maya's defaults and are saved when changed,
// and a node flagged not to be written stays out of scene files while the scene still lists it.

#include "SceneTestSupport.h"

#include "support/TestValues.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MSelectionList.h>

#include <string>

namespace {

class DagDisplaySettings : public SceneTest
{
};

} // namespace

TEST_F(DagDisplaySettings, EveryDagNodeHasOutlinerAndOverrideSettingsAtMayasDefaults)
{
    value("createNode transform -n holder; createNode sceneTestLocator -n holderShape -p holder");
    for (const char* node : {"holder", "holderShape"}) {
        SCOPED_TRACE(node);
        const std::string n = node;
        EXPECT_EQ(number("getAttr " + n + ".hiddenInOutliner"), 0.0);
        EXPECT_EQ(number("getAttr " + n + ".overrideEnabled"), 0.0);
        EXPECT_EQ(number("getAttr " + n + ".overrideDisplayType"), 0.0);
        EXPECT_EQ(number("getAttr " + n + ".overrideVisibility"), 1.0);
    }
    MFnEnumAttribute displayType(MFnDependencyNode(nodeNamed("holder")).attribute("overrideDisplayType"));
    EXPECT_EQ(displayType.fieldName(0), MString("Normal"));
    EXPECT_EQ(displayType.fieldName(1), MString("Template"));
    EXPECT_EQ(displayType.fieldName(2), MString("Reference"));
}

TEST_F(DagDisplaySettings, ChangedSettingsAreSavedByTheirShortNames)
{
    value("createNode transform -n helper; setAttr helper.hio 1; setAttr helper.ove 1; setAttr helper.ovdt 2");
    const std::string text = sceneText();
    EXPECT_NE(text.find("setAttr \".hio\" yes;"), std::string::npos) << text;
    EXPECT_NE(text.find("setAttr \".ove\" yes;"), std::string::npos) << text;
    EXPECT_NE(text.find("setAttr \".ovdt\" 2;"), std::string::npos) << text;
}

TEST_F(DagDisplaySettings, NodesFlaggedNotToBeWrittenAreLeftOutOfTheFileButStillListed)
{
    value("createNode transform -n kept; createNode transform -n scratch; createNode sceneTestLocator -n scratchShape "
          "-p scratch");
    MFnDependencyNode scratch(nodeNamed("scratch"));
    MFnDependencyNode scratchShape(nodeNamed("scratchShape"));
    ASSERT_EQ(scratch.setDoNotWrite(true), MS::kSuccess);
    ASSERT_EQ(scratchShape.setDoNotWrite(true), MS::kSuccess);
    EXPECT_FALSE(scratch.canBeWritten());
    EXPECT_TRUE(MFnDependencyNode(nodeNamed("kept")).canBeWritten());

    const std::string text = sceneText();
    EXPECT_NE(text.find("createNode transform -n \"kept\";"), std::string::npos) << text;
    EXPECT_EQ(text.find("scratch"), std::string::npos) << text;
    // As in Maya, "ls" lists such nodes all the same; only files leave them out.
    EXPECT_EQ(strings("ls -type sceneTestLocator").length(), 1u);
    EXPECT_EQ(strings("ls scratch").length(), 1u);
}

TEST_F(DagDisplaySettings, HideAndShowHiddenTurnVisibilityOffAndOnUndoably)
{
    ASSERT_TRUE(run("createNode transform -n a; createNode transform -n b; hide a b; select -r b; showHidden"));
    EXPECT_EQ(number("getAttr a.v") + 2 * number("getAttr b.v"), 2.0) << "a hidden, b shown again";
    ASSERT_TRUE(run("undo; undo; undo"));
    EXPECT_EQ(number("getAttr a.v") + number("getAttr b.v"), 2.0);
    ASSERT_TRUE(run("redo; showHidden -all"));
    EXPECT_EQ(number("getAttr a.v"), 1.0);
    expectRefusals({
        {"select -cl; hide", "hide: name or select the objects to hide."},
        {"createNode polyCube -n maker; showHidden maker", "showHidden: maker is not a DAG object."},
    });
}
