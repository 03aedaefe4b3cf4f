// The built-in MEL commands, driven through MEL as scripts and scene files drive them.

#include "SceneTestSupport.h"

#include "commands/UndoQueue.h"
#include "support/TestValues.h"

#include <maya/MAnimControl.h>
#include <maya/MDGMessage.h>
#include <maya/MMessage.h>
#include <maya/MTime.h>

#include <string>
#include <vector>

namespace {

class BuiltinCommands : public SceneTest
{
};

typedef std::vector<std::string> Names;

// Every new scene starts with Maya's four startup cameras.
const Names kStartupCameras{"persp", "top", "front", "side"};

Names withCameras(const Names& more)
{
    Names names = kStartupCameras;
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

} // namespace

TEST_F(BuiltinCommands, CreateNodeSharesNamesParentsAndSelectsTheNewNode)
{
    run("createNode sceneTestNode -n shared; setAttr shared.cnt 4");
    EXPECT_EQ(text("createNode sceneTestNode -s -n shared"), "shared");
    EXPECT_EQ(toVector(strings("ls -type sceneTestNode")), Names{"shared"});
    EXPECT_EQ(number("getAttr shared.cnt"), 4);
    EXPECT_EQ(text("createNode transform -s -n shared"), "shared1") << "another type gets its own node";

    EXPECT_EQ(text("createNode sceneTestLocator -n \"pinShape\""), "pinShape");
    EXPECT_EQ(toVector(strings("listRelatives -p pinShape")), Names{"pin"});
    EXPECT_EQ(toVector(strings("listRelatives -s pin")), Names{"pinShape"});
    EXPECT_EQ(text("nodeType pin"), "transform");

    EXPECT_EQ(text("createNode transform -n \"grp\""), "grp");
    EXPECT_EQ(text("createNode transform -n \"ctrl\" -p \"grp\""), "ctrl");
    EXPECT_EQ(toVector(strings("listRelatives -p ctrl")), Names{"grp"});
    EXPECT_EQ(toVector(strings("ls -sl")), Names{"ctrl"});
    // A taken name is made unique rather than refused.
    EXPECT_NE(text("createNode sceneTestNode -n \"grp\""), "grp");
    const std::string skipped = text("createNode sceneTestNode -ss").asChar();
    EXPECT_EQ(toVector(strings("ls -type sceneTestNode")).back(), skipped);
    EXPECT_EQ(toVector(strings("ls -sl")).size(), 1u) << "-skipSelect keeps the selection";
}

TEST_F(BuiltinCommands, SetAttrAndGetAttrRoundTripEveryValueKind)
{
    run("createNode sceneTestNode -n n");
    EXPECT_TRUE(run("setAttr n.cnt 7; setAttr n.flag off; setAttr n.mode 5; setAttr n.ang 90"));
    EXPECT_EQ(number("getAttr n.cnt"), 7);
    EXPECT_EQ(number("getAttr n.flag"), 0);
    EXPECT_EQ(number("getAttr n.mode"), 5);
    EXPECT_EQ(text("getAttr -asString n.mode"), "c");
    EXPECT_DOUBLE_EQ(number("getAttr n.ang"), 90.0) << "angles read and write in degrees";
    EXPECT_TRUE(run("setAttr n.mode b"));
    EXPECT_EQ(number("getAttr n.mode"), 1) << "enum fields by name";

    EXPECT_TRUE(run("setAttr n.vec -type double3 1.5 -2 3"));
    EXPECT_EQ(text("getAttr n.vec"), "1.5 -2 3");
    EXPECT_TRUE(run("setAttr n.vec 4 5 6"));
    EXPECT_EQ(number("getAttr n.vz"), 6) << "children by their own name";

    EXPECT_TRUE(run("setAttr n.ia -type Int32Array 3 4 -4 40"));
    EXPECT_EQ(text("getAttr n.ia"), "4 -4 40");
    EXPECT_EQ(number("getAttr -size n.ia"), 3);
    EXPECT_TRUE(run("setAttr n.da -type doubleArray 2 0.1 1e-300"));
    EXPECT_EQ(text("getAttr n.da"), "0.1 1e-300");
    EXPECT_TRUE(run("setAttr n.sa -type stringArray 2 \"a b\" \"-q\""));
    EXPECT_EQ(toVector(strings("getAttr n.sa")), (Names{"a b", "-q"})) << "quoted words are values, not flags";
    EXPECT_TRUE(run("setAttr n.str -type \"string\" \"say \\\"hi\\\"\\n\""));
    EXPECT_EQ(text("getAttr n.str"), "say \"hi\"\n");
    EXPECT_TRUE(run("setAttr n.mat -type matrix 1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1"));
    EXPECT_EQ(text("getAttr n.mat"), "1 0 0 0 0 1 0 0 0 0 1 0 5 6 7 1");
}

TEST_F(BuiltinCommands, SetAttrMultiElementRangesAndRelativeNames)
{
    run("createNode sceneTestNode -n n");
    // Scene files select the created node and name attributes relative to it.
    EXPECT_TRUE(run("setAttr -s 4 \".vals[0:3]\" 1 2 3 4"));
    EXPECT_EQ(text("getAttr n.vals"), "1 2 3 4");
    EXPECT_EQ(number("getAttr -size n.vals"), 4);
    EXPECT_TRUE(run("setAttr \".vals[7]\" 8"));
    EXPECT_EQ(number("getAttr -size n.vals"), 5) << "elements stay sparse";
    EXPECT_EQ(number("getAttr n.vals[7]"), 8);
    EXPECT_TRUE(run("setAttr \".in[2].iv\" 2.5; setAttr \".in[2].inm\" -type \"string\" \"two\""));
    EXPECT_EQ(number("getAttr n.in[2].iv"), 2.5);
    EXPECT_EQ(text("getAttr n.in[2].inm"), "two");
}

TEST_F(BuiltinCommands, SetAttrRejectsBadValuesWithoutChangingTheScene)
{
    run("createNode sceneTestNode -n n; setAttr n.vec 1 2 3; setAttr n.ia -type Int32Array 1 9");
    const std::string before = sceneText();
    expectRefusals({
        {"setAttr n.vec 1 2", "setAttr: not enough values for n.vec: expected 3, found 2."},
        {"setAttr n.vec -type doubleArray 1 2", "setAttr: type \"doubleArray\" does not match n.vec (double3)."},
        {"setAttr n.ia -type Int32Array 3 1 2", "setAttr: not enough values for n.ia: expected 3, found 2."},
        {"setAttr n.ia -type Int32Array 1 2.5", "setAttr: \"2.5\" is not an integer (n.ia)."},
        {"setAttr n.cnt 1 2", "setAttr: too many values for n.cnt: \"2\" is left over."},
        {"setAttr n.cnt x", "setAttr: \"x\" is not an integer (n.cnt)."},
        {"setAttr n.str -type noSuchType 1", "setAttr: unknown data type \"noSuchType\"."},
        {"setAttr n.nothing 1", "setAttr: No attribute \"nothing\" on n."},
        {"setAttr n.vals 1", "setAttr: n.vals is an array: give an index or a range."},
        {"setAttr n.vals[-1] 1", "setAttr: \"n.vals[-1]\" has a bad index \"-1\"."},
        {"setAttr n.vals[5:2] 1", "setAttr: \"n.vals[5:2]\" has a bad index range."},
        {"setAttr n.links[0] 1", "setAttr: n.links[0] is a message attribute and holds no value."},
        {"setAttr nobody.cnt 1", "setAttr: No object matches name: nobody."},
    });
    EXPECT_EQ(sceneText(), before);
}

TEST_F(BuiltinCommands, SetAttrClampsToHardLimitsAndHonoursLocks)
{
    run("createNode sceneTestNode -n n");
    run("setAttr n.cnt 99");
    EXPECT_EQ(number("getAttr n.cnt"), 10);
    EXPECT_TRUE(run("setAttr -l on n.cnt 3"));
    EXPECT_EQ(number("getAttr -l n.cnt"), 1);
    run("createNode transform -n source; connectAttr source.tx n.vx");
    expectRefusals({
        {"setAttr n.cnt 4", "setAttr: The attribute 'n.count' is locked or connected and cannot be modified."},
        {"setAttr n.vec 4 5 6", "setAttr: The attribute 'n.vector' is locked or connected and cannot be modified."},
    });
    EXPECT_EQ(number("getAttr n.cnt"), 3);
    EXPECT_TRUE(run("setAttr -l off n.cnt 4"));
    EXPECT_EQ(number("getAttr n.cnt"), 4);
}

TEST_F(BuiltinCommands, AddAttrCreatesScalarsTypedAndCompoundAttributes)
{
    run("createNode transform -n t");
    EXPECT_TRUE(run("addAttr -ln weight -sn w -at double -dv 0.5 -min 0 -max 1 -k true t"));
    EXPECT_EQ(number("getAttr t.w"), 0.5);
    run("setAttr t.weight 3");
    EXPECT_EQ(number("getAttr t.weight"), 1) << "the new attribute clamps to its limits";
    EXPECT_TRUE(run("addAttr -ln tags -dt stringArray t; setAttr t.tags -type stringArray 1 x"));
    EXPECT_EQ(text("getAttr t.tags"), "x");
    EXPECT_TRUE(run("addAttr -ln pick -at enum -en \"off:on=4\" t; setAttr t.pick 4"));
    EXPECT_EQ(text("getAttr -as t.pick"), "on");
    EXPECT_TRUE(run("addAttr -ln offset -at double3 -nc 3 t"));
    EXPECT_FALSE(value("objExists t.offset").asInt()) << "a compound waits for its children";
    EXPECT_TRUE(run("addAttr -ln offsetX -at double -p offset t; addAttr -ln offsetY -at double -p offset t"));
    EXPECT_TRUE(run("addAttr -ln offsetZ -at double -p offset t"));
    EXPECT_TRUE(run("setAttr t.offset 1 2 3"));
    EXPECT_EQ(text("getAttr t.offset"), "1 2 3");
    EXPECT_TRUE(value("attributeQuery -n t -ex offsetY").asInt()) << "a child found by its own name";

    EXPECT_FALSE(run("addAttr -ln weight -at double t"));
    EXPECT_NE(errors().find("already has an attribute"), std::string::npos);
    EXPECT_FALSE(run("addAttr -ln other -at noSuchType t"));
    EXPECT_NE(errors().find("unknown attribute type"), std::string::npos);
    EXPECT_FALSE(run("addAttr -ln child -at double -p notACompound t"));
}

TEST_F(BuiltinCommands, ConnectAttrForceNextAvailableAndDisconnect)
{
    run("createNode sceneTestNode -n a; createNode sceneTestNode -n b; createNode sceneTestNode -n c");
    EXPECT_EQ(text("connectAttr a.cnt b.cnt"), "Connected a.count to b.count.");
    run("setAttr a.cnt 6");
    EXPECT_EQ(number("getAttr b.cnt"), 6) << "values flow along the connection";
    EXPECT_FALSE(run("connectAttr c.cnt b.cnt"));
    EXPECT_NE(errors().find("already has an incoming connection"), std::string::npos) << errors();
    EXPECT_TRUE(run("connectAttr -f c.cnt b.cnt"));
    EXPECT_EQ(toVector(strings("listConnections -s 1 -d 0 -p 1 b.cnt")), Names{"c.count"});

    EXPECT_TRUE(run("connectAttr -na a.message c.links; connectAttr -na b.message c.links"));
    EXPECT_EQ(toVector(strings("listConnections -d 0 -c 1 -p 1 c.links")),
              (Names{"c.links[0]", "a.message", "c.links[1]", "b.message"}));

    EXPECT_TRUE(run("disconnectAttr c.cnt b.cnt"));
    EXPECT_EQ(toVector(strings("listConnections -s 1 -d 0 b")), Names{});
    EXPECT_FALSE(run("disconnectAttr c.cnt b.cnt"));
    EXPECT_NE(errors().find("is not connected to"), std::string::npos);
    EXPECT_FALSE(run("connectAttr -na a.cnt b.cnt"));
    EXPECT_NE(errors().find("not an array"), std::string::npos);

    // Data of another type is refused, also by a generic attribute that accepts only meshes.
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"a.mat b.geo", "a.transformMatrix' -> 'b.geometry"},
        {"a.mat b.ia", "a.transformMatrix' -> 'b.intArray"},
        {"a.str b.ia", "a.text' -> 'b.intArray"}};
    for (const auto& [plugs, named] : refused) {
        clearMessages();
        EXPECT_FALSE(run("connectAttr " + plugs));
        EXPECT_EQ(errors(), "connectAttr: Connection not made: '" + named +
                                "'. Data types of source and destination are not compatible.\n");
    }
    EXPECT_EQ(toVector(strings("listConnections -s 1 -d 0 b")), Names{});
    EXPECT_TRUE(run("polyPlane -n plane; connectAttr planeShape.outMesh b.geo")) << errors();
}

TEST_F(BuiltinCommands, ListConnectionsFiltersDirectionAndNamesPlugs)
{
    run("createNode sceneTestNode -n a; createNode sceneTestNode -n b; createNode sceneTestNode -n c");
    run("connectAttr a.cnt b.cnt; connectAttr b.vec c.vec");
    // In the order of the node's attributes: vec comes before cnt.
    EXPECT_EQ(toVector(strings("listConnections b")), (Names{"c", "a"}));
    EXPECT_EQ(toVector(strings("listConnections -s 0 b")), Names{"c"});
    EXPECT_EQ(toVector(strings("listConnections -d 0 b")), Names{"a"});
    EXPECT_EQ(toVector(strings("listConnections -d 0 -p 1 -c 1 b")), (Names{"b.count", "a.count"}));
    EXPECT_FALSE(run("listConnections nobody"));
}

TEST_F(BuiltinCommands, ParentMovesInstancesAndRefusesCycles)
{
    run("createNode transform -n a; createNode transform -n b; createNode transform -n c -p b");
    EXPECT_EQ(toVector(strings("parent b a")), Names{"b"});
    EXPECT_EQ(toVector(strings("listRelatives -ad -f a")), (Names{"|a|b|c", "|a|b"}));
    EXPECT_FALSE(run("parent a c"));
    EXPECT_NE(errors().find("lies below it"), std::string::npos) << errors();
    EXPECT_TRUE(run("parent -w b"));
    EXPECT_EQ(toVector(strings("listRelatives -p b")), Names{});
    EXPECT_EQ(toVector(strings("listRelatives -c a")), Names{});

    run("createNode sceneTestLocator -n locShape -p c");
    EXPECT_FALSE(run("parent locShape a")) << "shapes move only with -shape";
    EXPECT_TRUE(run("parent -add -s locShape a"));
    EXPECT_EQ(toVector(strings("listRelatives -s -f a")), Names{"|a|locShape"});
    EXPECT_EQ(toVector(strings("listRelatives -s -f c")), Names{"|b|c|locShape"});
}

TEST_F(BuiltinCommands, SelectAndLsWorkOnNamesWildcardsAndTypes)
{
    run("createNode transform -n ctrlA; createNode transform -n ctrlB; createNode sceneTestNode -n data");
    run("select -cl");
    EXPECT_EQ(toVector(strings("ls -sl")), Names{});
    run("select ctrl*");
    EXPECT_EQ(toVector(strings("ls -sl")), (Names{"ctrlA", "ctrlB"}));
    run("select -d ctrlA");
    EXPECT_EQ(toVector(strings("ls -sl")), Names{"ctrlB"});
    run("select -add data; select -tgl ctrlB");
    EXPECT_EQ(toVector(strings("ls -sl")), Names{"data"});
    EXPECT_FALSE(run("select nobody"));

    EXPECT_EQ(toVector(strings("ls -type transform")), withCameras({"ctrlA", "ctrlB"}));
    EXPECT_EQ(toVector(strings("ls -type sceneTestNode -type transform ctrlB data")), (Names{"ctrlB", "data"}));
    run("parent ctrlB ctrlA");
    EXPECT_EQ(toVector(strings("ls -l ctrlB")), Names{"|ctrlA|ctrlB"});
    EXPECT_EQ(toVector(strings("ls nothingLikeThis*")), Names{});
    EXPECT_EQ(value("objExists ctrlB").asInt(), 1);
    EXPECT_EQ(value("objExists ctrlB.tx").asInt(), 1);
    EXPECT_EQ(value("objExists ctrlB.noAttr").asInt(), 0);
    EXPECT_EQ(text("nodeType data.cnt"), "sceneTestNode");

    // -all: the deletable root objects and nodes outside the DAG, not the cameras or the nodes
    // every scene has; -allDependencyNodes: every node; -hierarchy: the objects and all below
    // them; -visible: only what is drawn.
    run("createNode transform -n loose; createNode transform -n lockedNode; lockNode lockedNode");
    run("select -all");
    EXPECT_EQ(toVector(strings("ls -sl")), (Names{"ctrlA", "data", "loose"}));
    run("select -adn");
    EXPECT_TRUE(value("ls -sl").asStringArray().length() > 20) << "defaults, cameras and locked nodes too";
    EXPECT_EQ(value("stringArrayContains(\"time1\", `ls -sl`)").asInt(), 1);
    run("createNode transform -n grand -p ctrlB; setAttr ctrlB.visibility 0");
    run("select -hi ctrlA");
    EXPECT_EQ(toVector(strings("ls -sl")), (Names{"ctrlA", "ctrlB", "grand"}));
    run("select -hi -vis ctrlA");
    EXPECT_EQ(toVector(strings("ls -sl")), Names{"ctrlA"});
}

TEST_F(BuiltinCommands, RenameAndDeleteReportWhatTheyDid)
{
    run("createNode transform -n a; createNode transform -n b");
    EXPECT_EQ(text("rename a b"), "b1") << "a taken name is numbered";
    EXPECT_FALSE(run("rename b \"bad name\""));
    EXPECT_TRUE(run("delete b1"));
    EXPECT_EQ(toVector(strings("ls -type transform")), withCameras({"b"}));
    run("select b; delete");
    EXPECT_EQ(toVector(strings("ls -type transform")), kStartupCameras);
    EXPECT_FALSE(run("delete nobody"));
}

TEST_F(BuiltinCommands, UndoAndRedoRestoreTheSceneForEveryEditingCommand)
{
    run("createNode transform -n root; createNode sceneTestNode -n n");
    const char* edits[] = {
        "createNode transform -n extra -p root",
        "setAttr n.ia -type Int32Array 2 5 6",
        "setAttr n.vec 1 2 3",
        "connectAttr root.tx n.cnt",
        "addAttr -ln extraValue -at double -dv 2 root",
        "createNode transform -n leaf; parent leaf root",
        "delete root",
        "rename n renamed",
    };
    for (const char* edit : edits) {
        const std::string before = sceneText();
        const unsigned depth = host::UndoQueue::undoDepth();
        ASSERT_TRUE(run(edit)) << edit << "\n" << errors();
        const std::string after = sceneText();
        ASSERT_NE(after, before) << edit;
        const unsigned commands = host::UndoQueue::undoDepth() - depth;
        for (unsigned i = 0; i < commands; ++i)
            ASSERT_TRUE(run("undo")) << edit;
        EXPECT_EQ(sceneText(), before) << "undo of: " << edit;
        for (unsigned i = 0; i < commands; ++i)
            ASSERT_TRUE(run("redo")) << edit;
        EXPECT_EQ(sceneText(), after) << "redo of: " << edit;
    }
}

TEST_F(BuiltinCommands, CurrentTimeStoresTheTimeAndFiresTimeChangeBeforeForceUpdate)
{
    std::vector<std::string> fired;
    auto onTime = [](MTime& time, void* data) {
        static_cast<std::vector<std::string>*>(data)->push_back("time " + std::to_string(time.as(MTime::kFilm)));
    };
    auto onUpdate = [](MTime& time, void* data) {
        static_cast<std::vector<std::string>*>(data)->push_back("update " + std::to_string(time.as(MTime::kFilm)));
    };
    MStatus status;
    MCallbackId timeId = MDGMessage::addTimeChangeCallback(onTime, &fired, &status);
    ASSERT_TRUE(status);
    MCallbackId updateId = MDGMessage::addForceUpdateCallback(onUpdate, &fired, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(number("currentTime 12"), 12);
    MMessage::removeCallback(timeId);
    MMessage::removeCallback(updateId);
    EXPECT_EQ(fired, (std::vector<std::string>{"time 12.000000", "update 12.000000"}));
    EXPECT_DOUBLE_EQ(MAnimControl::currentTime().as(MTime::kFilm), 12.0);
    EXPECT_EQ(number("currentTime -q"), 12);
    EXPECT_FALSE(run("currentTime soon"));
}

TEST_F(BuiltinCommands, PrintWritesItsArgumentAsItStands)
{
    host::MessageCapture capture;
    EXPECT_TRUE(run("print \"one\\n\"; print \"two\""));
    EXPECT_EQ(std::string(capture.text(host::MessageKind::kPrint).asChar()), "one\ntwo");
}

TEST_F(BuiltinCommands, UndoOfCreateNodeAndSelectRestoresTheSelection)
{
    run("createNode transform -n a; createNode transform -n b; select a");
    run("createNode transform -n c");
    EXPECT_EQ(toVector(strings("ls -sl")), Names{"c"});
    run("undo");
    EXPECT_EQ(toVector(strings("ls -sl")), Names{"a"});
    run("redo");
    EXPECT_EQ(toVector(strings("ls -sl")), Names{"c"});
    run("select -add a; select -tgl c");
    EXPECT_EQ(toVector(strings("ls -sl")), Names{"a"});
    run("undo");
    EXPECT_EQ(toVector(strings("ls -sl")), (Names{"c", "a"}));
    run("undo; undo");
    EXPECT_EQ(toVector(strings("ls -sl")), Names{"a"});
}

TEST_F(BuiltinCommands, BadFlagsTypesParentsAndValuelessGetAttrAreClearErrors)
{
    run("createNode sceneTestNode -n n; setAttr n.in[0].iv 1");
    expectRefusals({
        {"createNode noSuchType", "createNode: Unknown object type: noSuchType"},
        {"createNode transform -p nowhere", "createNode: No object matches name: nowhere"},
        {"ls -noSuchFlag", "ls: invalid flag -noSuchFlag."},
        {"createNode transform -n", "createNode: flag -n needs an argument."},
        {"getAttr n.links[0]", "getAttr: n.links[0] is a message attribute and holds no value."},
        {"getAttr n.in[0]", "getAttr: n.in[0] is a compound attribute: ask for its children."},
        {"getAttr n.in", "getAttr: n.in is an array of values that getAttr cannot list: ask for one element."},
        {"getAttr -size n.cnt", "getAttr: n.cnt is not an array: -size needs one."},
        {"getAttr n.vals[0:2]", "getAttr: \"n.vals[0:2]\" has a bad index \"0:2\"."},
        {"getAttr n", "getAttr: \"n\" is not an attribute name."},
    });
    EXPECT_FALSE(run("getAttr"));
    EXPECT_FALSE(run("connectAttr a.b"));
    EXPECT_FALSE(run("createNode transform -p n")) << "a dependency node is no parent";
    EXPECT_EQ(toVector(strings("ls -type transform")), kStartupCameras);

    EXPECT_EQ(number("getAttr -size n.in"), 1);
    EXPECT_EQ(text("getAttr -type n.ia"), "Int32Array");
    EXPECT_EQ(number("getAttr -size n.ia"), 0) << "an unset typed array is empty";
}

TEST_F(BuiltinCommands, CurrentUnitChangesHowValuesAreWrittenAndRead)
{
    run("createNode sceneTestNode -n n; setAttr n.ang 180");
    EXPECT_EQ(text("currentUnit -q -a"), "deg");
    EXPECT_TRUE(run("currentUnit -a radian"));
    EXPECT_EQ(text("currentUnit -q -f -a"), "radian");
    EXPECT_DOUBLE_EQ(number("getAttr n.ang"), 3.141592653589793);
    run("setAttr n.ang 1");
    EXPECT_TRUE(run("currentUnit -a degree"));
    EXPECT_DOUBLE_EQ(number("getAttr n.ang"), 57.29577951308232);
    EXPECT_FALSE(run("currentUnit -l furlong"));
    EXPECT_NE(errors().find("unknown unit \"furlong\""), std::string::npos) << errors();
    EXPECT_EQ(text("currentUnit -q -l"), "cm") << "a bad unit changes nothing";
}

TEST_F(BuiltinCommands, FlagsWithOptionalBooleansLeaveObjectsAlone)
{
    run("createNode sceneTestNode -n a; createNode sceneTestNode -n b; connectAttr a.cnt b.cnt");
    // "-p" takes a following boolean but not a node name.
    EXPECT_EQ(toVector(strings("listConnections -p b")), Names{"a.count"});
    EXPECT_EQ(toVector(strings("listConnections -p on b")), Names{"a.count"});
    EXPECT_EQ(toVector(strings("listConnections -p off b")), Names{"a"});
    EXPECT_EQ(toVector(strings("listConnections -p 0 -s true -d false a")), Names{});
}
