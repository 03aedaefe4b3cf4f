// How objects are drawn besides their geometry: locator shapes' local
// position and scale, drawing overrides reaching children from their parents,
// display layers driving their members' overrides, and the display status
// (lead, active, hilite, template, live, dormant) the viewport reads.

#include "SceneTestSupport.h"

#include "support/TestValues.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MHWGeometryUtilities.h>
#include <maya/MPlug.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MSelectionList.h>

#include <string>

using MHWRender::DisplayStatus;
using MHWRender::MGeometryUtilities;

namespace {

class DisplayOverrides : public SceneTest
{
protected:
    void TearDown() override
    {
        run("makeLive -n");
        run("select -cl");
        run("hilite -r");
        SceneTest::TearDown();
    }

    DisplayStatus statusOf(const char* name) { return MGeometryUtilities::displayStatus(pathNamed(name)); }

    // grp|loc|locShape and grp|box|boxShape.
    void buildGroup()
    {
        run("createNode transform -n grp");
        run("spaceLocator -n loc");
        run("polyCube -n box");
        run("parent loc box grp");
    }
};

} // namespace

TEST_F(DisplayOverrides, LocatorShapesCarryLocalPositionAndScale)
{
    EXPECT_EQ(MString("loc"), strings("spaceLocator -p 1 2 3 -n loc")[0]);
    MDagPath shape = pathNamed("locShape");
    EXPECT_EQ(MString("locator"), text("nodeType locShape"));
    EXPECT_EQ(2.0, MPlug(shape.node(), MPxLocatorNode::localPositionY).asDouble());
    for (const char* axis : {"X", "Y", "Z"})
        EXPECT_EQ(1.0, number(std::string("getAttr locShape.localScale") + axis)) << axis;
    run("setAttr locShape.localScale 2 3 4");
    EXPECT_EQ(3.0, MPlug(shape.node(), MPxLocatorNode::localScaleY).asDouble());
    EXPECT_EQ(4.0, number("getAttr locShape.lsz"));
    // The local position is carried to the world through the transform.
    run("setAttr loc.translate 10 0 0");
    EXPECT_EQ(11.0, number("getAttr locShape.worldPosition[0].worldPositionX"));
    // A plain locator made by type gets the same attributes.
    run("createNode locator -n bare");
    EXPECT_EQ(0.0, number("getAttr bare.localPositionZ"));
    // The position is given in the working unit.
    run("currentUnit -l m; spaceLocator -p 1 0 0 -n far; currentUnit -l cm");
    EXPECT_EQ(100.0, number("getAttr farShape.localPositionX"));
    EXPECT_FALSE(run("spaceLocator -p 1 2"));
    EXPECT_EQ("spaceLocator: -p takes three numbers.\n", errors());
}

TEST_F(DisplayOverrides, NearestEnabledOverrideOnThePathDecidesTheDisplayType)
{
    buildGroup();
    EXPECT_FALSE(pathNamed("locShape").isTemplated());
    run("setAttr grp.overrideEnabled 1");
    run("setAttr grp.overrideDisplayType 1");
    EXPECT_TRUE(pathNamed("locShape").isTemplated());
    EXPECT_TRUE(pathNamed("boxShape").isTemplated());
    EXPECT_EQ(MHWRender::kTemplate, statusOf("boxShape"));
    // The child's own enabled override is nearer and says normal.
    run("setAttr loc.overrideEnabled 1");
    EXPECT_FALSE(pathNamed("locShape").isTemplated());
    EXPECT_TRUE(pathNamed("boxShape").isTemplated());
    // Overrides that are not enabled say nothing.
    run("setAttr grp.overrideEnabled 0");
    EXPECT_FALSE(pathNamed("boxShape").isTemplated());
    // The template flag on a parent templates everything below it.
    run("setAttr grp.template 1");
    EXPECT_TRUE(pathNamed("locShape").isTemplated());
    EXPECT_EQ(MHWRender::kTemplate, statusOf("locShape"));
}

TEST_F(DisplayOverrides, DisplayLayerDrivesItsMembersOverrides)
{
    buildGroup();
    EXPECT_EQ(MString("layer1"), text("createDisplayLayer -nr grp"));
    EXPECT_EQ(MString("rig"), text("createDisplayLayer -n rig box"));
    EXPECT_EQ(MString("grp"), strings("editDisplayLayerMembers -q layer1")[0]);
    EXPECT_EQ(1u, strings("editDisplayLayerMembers -q layer1").length());
    EXPECT_EQ(2u, strings("editDisplayLayerMembers -q rig").length());  // box and boxShape
    // Members take the layer's settings as their overrides.
    EXPECT_EQ(1.0, number("getAttr box.overrideEnabled"));
    run("setAttr rig.displayType 2");
    EXPECT_EQ(2.0, number("getAttr boxShape.overrideDisplayType"));
    EXPECT_FALSE(pathNamed("boxShape").isTemplated());
    run("setAttr rig.displayType 1");
    EXPECT_TRUE(pathNamed("boxShape").isTemplated());
    run("setAttr rig.enabled 0");
    EXPECT_FALSE(pathNamed("boxShape").isTemplated());
    run("setAttr rig.enabled 1");
    EXPECT_TRUE(pathNamed("boxShape").isVisible());
    run("setAttr rig.visibility 0");
    EXPECT_EQ(0.0, number("getAttr box.overrideVisibility"));
    EXPECT_FALSE(pathNamed("boxShape").isVisible());
    EXPECT_TRUE(pathNamed("locShape").isVisible());
    run("setAttr rig.visibility 1");
    // A hidden layer on the parent hides its children, even with overrides of their own.
    run("setAttr loc.overrideEnabled 1");
    run("setAttr layer1.visibility 0");
    EXPECT_FALSE(pathNamed("locShape").isVisible());
    run("setAttr layer1.visibility 1");
    run("setAttr loc.overrideEnabled 0");

    // A parent's layer reaches the children of a member when they have no override of their own.
    run("setAttr layer1.displayType 1");
    EXPECT_TRUE(pathNamed("locShape").isTemplated());

    // Moving an object to another layer takes it out of the first.
    EXPECT_EQ(1.0, number("editDisplayLayerMembers -nr layer1 box"));
    EXPECT_EQ(MString("boxShape"), strings("editDisplayLayerMembers -q rig")[0]);
    EXPECT_EQ(1u, strings("editDisplayLayerMembers -q rig").length());
    EXPECT_EQ(0.0, number("editDisplayLayerMembers -nr layer1 box"));
    EXPECT_EQ(1.0, number("editDisplayLayerMembers layer1 box"));
    EXPECT_EQ(0u, strings("editDisplayLayerMembers -q rig").length());

    EXPECT_FALSE(run("editDisplayLayerMembers grp box"));
    EXPECT_EQ("editDisplayLayerMembers: 'grp' is not a display layer.\n", errors());
}

TEST_F(DisplayOverrides, UndoingALayerGivesMembersTheirOwnOverridesBack)
{
    buildGroup();
    run("setAttr box.overrideEnabled 1");
    run("setAttr box.overrideDisplayType 2");
    run("createDisplayLayer -nr -n rig box");
    run("setAttr rig.displayType 1");
    EXPECT_TRUE(pathNamed("boxShape").isTemplated());
    run("undo");
    run("undo");
    ASSERT_EQ(1u, strings("ls -type displayLayer").length()) << "only every scene's defaultLayer";
    EXPECT_EQ(MString("defaultLayer"), strings("ls -type displayLayer")[0]);
    EXPECT_EQ(2.0, number("getAttr box.overrideDisplayType"));
    EXPECT_FALSE(pathNamed("boxShape").isTemplated());
    run("redo");
    EXPECT_EQ(MString("box"), strings("editDisplayLayerMembers -q rig")[0]);
}

TEST_F(DisplayOverrides, EmptyLayerTakesNothingAndSavedLayersKeepTheirMembers)
{
    buildGroup();
    run("select box");
    EXPECT_EQ(MString("layer1"), text("createDisplayLayer -e"));
    EXPECT_EQ(0u, strings("editDisplayLayerMembers -q layer1").length());
    EXPECT_EQ(MString("layer2"), text("createDisplayLayer"));
    EXPECT_EQ(2u, strings("editDisplayLayerMembers -q layer2").length());
    run("setAttr layer2.displayType 2");
    const std::string path = tempPath("layers.ma");
    run("file -rename \"" + path + "\"");
    run("file -save");
    run("file -f -new");
    run("file -f -open \"" + path + "\"");
    EXPECT_EQ(2u, strings("editDisplayLayerMembers -q layer2").length());
    EXPECT_EQ(2.0, number("getAttr boxShape.overrideDisplayType"));
}

TEST_F(DisplayOverrides, DisplayStatusFollowsSelectionLeadHiliteTemplateAndLive)
{
    buildGroup();
    run("polySphere -n ball");
    EXPECT_EQ(MHWRender::kDormant, statusOf("boxShape"));
    run("select box ball");
    EXPECT_EQ(MHWRender::kActive, statusOf("boxShape"));
    EXPECT_EQ(MHWRender::kLead, statusOf("ballShape"));
    EXPECT_EQ(M3dView::kLead, M3dView::displayStatus(pathNamed("ballShape")));
    // A selected parent makes everything below it selected.
    run("select grp");
    EXPECT_EQ(MHWRender::kLead, statusOf("boxShape"));
    EXPECT_EQ(MHWRender::kLead, statusOf("locShape"));
    EXPECT_EQ(MHWRender::kDormant, statusOf("ballShape"));
    // Templated objects draw as template, or active template when selected.
    run("setAttr box.template 1");
    EXPECT_EQ(MHWRender::kActiveTemplate, statusOf("boxShape"));
    run("select -cl");
    EXPECT_EQ(MHWRender::kTemplate, statusOf("boxShape"));
    // Hilited objects that are not selected draw hilited.
    run("hilite ball");
    EXPECT_EQ(MHWRender::kHilite, statusOf("ballShape"));
    run("select ball");
    EXPECT_EQ(MHWRender::kLead, statusOf("ballShape"));
    run("select -cl");
    run("hilite -u ball");
    EXPECT_EQ(MHWRender::kDormant, statusOf("ballShape"));
    // The live object draws live until nothing is live.
    run("makeLive ball");
    EXPECT_EQ(MHWRender::kLive, statusOf("ballShape"));
    run("undo");
    EXPECT_EQ(MHWRender::kDormant, statusOf("ballShape"));
    run("redo");
    run("makeLive -n");
    EXPECT_EQ(MHWRender::kDormant, statusOf("ballShape"));
}
