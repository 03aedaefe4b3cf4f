// Maya ASCII scene files: saving, opening, round trips and malformed files.

#include "SceneTestSupport.h"

#include "support/TestValues.h"

#include "commands/FileState.h"
#include "commands/UndoQueue.h"

#include <maya/MFileIO.h>
#include <maya/MDGMessage.h>
#include <maya/MMessage.h>
#include <maya/MObjectHandle.h>
#include <maya/MSelectionList.h>
#include <maya/MSceneMessage.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class SceneFile : public SceneTest
{
protected:
    // A scene with every kind of stored value, dynamic attributes, a hierarchy,
    // an instance and connections, message arrays included.
    void buildRichScene()
    {
        const char* script = R"MEL(
            createNode transform -n "rig";
            setAttr ".t" -type "double3" 1 2.5 -3;
            setAttr ".r" -type "double3" 90 0 45;
            addAttr -ln "weight" -sn "wt" -at "double" -dv 0.25 -min 0 -max 1 -k true;
            setAttr ".wt" 0.75;
            addAttr -ln "tags" -dt "stringArray";
            setAttr ".tags" -type "stringArray" 3 "left arm" "quote \" inside" "";
            addAttr -ln "offset" -at "double3" -nc 3;
            addAttr -ln "offsetX" -at "double" -p "offset";
            addAttr -ln "offsetY" -at "double" -p "offset";
            addAttr -ln "offsetZ" -at "double" -p "offset";
            setAttr ".offset" 0.1 0.2 0.3;
            addAttr -ln "points" -sn "pts" -at "double3" -m -nc 3;
            addAttr -ln "pointX" -sn "ptx" -at "double" -p "points";
            addAttr -ln "pointY" -sn "pty" -at "double" -p "points";
            addAttr -ln "pointZ" -sn "ptz" -at "double" -p "points";
            setAttr -s 2 ".pts[0:1]" -type "double3" 1 2 3 4 5 6;
            addAttr -ln "pick" -at "enum" -en "off:on=4:auto";
            setAttr ".pick" 5;
            addAttr -ln "spin" -at "doubleAngle" -dv 45;
            addAttr -ln "scratch" -at "double" -s false;
            setAttr ".scratch" 9;
            createNode transform -n "ctrl" -p "rig";
            createNode sceneTestLocator -n "ctrlShape" -p "ctrl";
            createNode transform -n "other";
            parent -add -s "ctrlShape" "other";
            createNode sceneTestNode -n "store";
            setAttr ".ia" -type "Int32Array" 4 3 4 4 -4;
            setAttr ".da" -type "doubleArray" 3 0.1 3.3333333333333335 1e-300;
            setAttr ".sa" -type "stringArray" 2 "a" "b\\c";
            setAttr ".str" -type "string" "multi\nline";
            setAttr ".mat" -type "matrix" 1 0 0 0 0 1 0 0 0 0 1 0 4 5 6 1;
            setAttr ".vec" -type "double3" 7 8 9;
            setAttr ".flag" no;
            setAttr ".mode" 5;
            setAttr ".ang" 30;
            setAttr ".cnt" 3;
            setAttr -s 3 ".vals[0:2]" 1 0 3;
            setAttr ".vals[10]" 11;
            setAttr ".in[1].iv" 2;
            setAttr ".in[1].inm" -type "string" "one";
            setAttr ".cache" 42;
            connectAttr "ctrl.message" "store.links[0]";
            connectAttr "other.message" "store.links[3]";
            connectAttr "store.cnt" "ctrl.tx";
            select -cl;
        )MEL";
        ASSERT_TRUE(run(script)) << errors();
    }

    MStatus save(const std::string& path) { return run("file -rename \"" + path + "\"; file -save -type \"mayaAscii\""); }
    MStatus open(const std::string& path) { return run("file -f -o \"" + path + "\""); }
};

} // namespace

TEST_F(SceneFile, SaveOpenSaveGivesTheSameText)
{
    buildRichScene();
    const std::string first = tempPath("first.ma");
    const std::string again = tempPath("again.ma");
    ASSERT_TRUE(save(first));
    ASSERT_TRUE(save(first)) << "saving twice";
    const std::string text = readFile(first);
    ASSERT_TRUE(open(first)) << errors();
    ASSERT_TRUE(save(first));
    EXPECT_EQ(readFile(first), text);
    ASSERT_TRUE(save(again));
    std::string renamed = readFile(again);
    for (size_t at = renamed.find("again.ma"); at != std::string::npos; at = renamed.find("again.ma", at))
        renamed.replace(at, 8, "first.ma");
    EXPECT_EQ(renamed, text) << "only the file name differs";
}

TEST_F(SceneFile, WritesMayaSyntax)
{
    buildRichScene();
    const std::string text = sceneText();
    const char* expected[] = {
        "//Maya ASCII 2023 scene\n",
        "requires maya \"2023\";\n",
        "currentUnit -l centimeter -a degree -t film;\n",
        "createNode transform -n \"ctrl\" -p \"|rig\";\n",
        "\taddAttr -ci true -k true -sn \"wt\" -ln \"weight\" -at \"double\" -dv 0.25 -min 0 -max 1;\n",
        "\taddAttr -ci true -sn \"offset\" -ln \"offset\" -at \"double3\" -nc 3;\n",
        "\taddAttr -ci true -sn \"offsetX\" -ln \"offsetX\" -at \"double\" -p \"offset\";\n",
        "\tsetAttr \".r\" -type \"double3\" 90 0 45 ;\n",
        "\tsetAttr \".ia\" -type \"Int32Array\" 4 3 4 4 -4 ;\n",
        "\tsetAttr \".da\" -type \"doubleArray\" 3 0.1 3.3333333333333335 1e-300 ;\n",
        "\tsetAttr \".sa\" -type \"stringArray\" 2 \"a\" \"b\\\\c\" ;\n",
        "\tsetAttr \".str\" -type \"string\" \"multi\\nline\" ;\n",
        "\tsetAttr \".mat\" -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1 0 4 5 6 1 ;\n",
        "\tsetAttr \".flag\" no;\n",
        "\tsetAttr -s 4 \".vals[0:2]\" 1 0 3;\n",
        "\tsetAttr -s 2 \".pts[0:1]\" -type \"double3\" 1 2 3 4 5 6 ;\n",
        "\taddAttr -ci true -sn \"pick\" -ln \"pick\" -at \"enum\" -en \"off:on=4:auto\";\n",
        "\tsetAttr \".pick\" 5;\n",
        "\taddAttr -ci true -sn \"spin\" -ln \"spin\" -at \"doubleAngle\" -dv 45;\n",
        "\taddAttr -ci true -s false -sn \"scratch\" -ln \"scratch\" -at \"double\";\n",
        "\tsetAttr \".vals[10]\" 11;\n",
        "\tsetAttr \".in[1].iv\" 2;\n",
        "parent -s -add \"|rig|ctrl|ctrlShape\" \"|other\";\n",
        "connectAttr \"ctrl.msg\" \"store.links[0]\";\n",
        "connectAttr \"other.msg\" \"store.links[3]\";\n",
        "connectAttr \"store.cnt\" \"ctrl.tx\";\n",
        "// End of scene.ma\n",
    };
    for (const char* line : expected)
        EXPECT_NE(text.find(line), std::string::npos) << "missing: " << line << "\nin:\n" << text;
    EXPECT_EQ(text.find(".cache"), std::string::npos) << "non-storable values are not written";
    EXPECT_EQ(text.find("\".tx\""), std::string::npos) << "connected destinations are not written";
    EXPECT_EQ(text.find("\".scratch\""), std::string::npos) << "a non-storable dynamic attribute keeps no value";
    EXPECT_NE(text.find("\tsetAttr \".ang\" 30;\n"), std::string::npos) << "angles in degrees, shortest form";
    EXPECT_LT(text.find("createNode transform -n \"rig\""), text.find("createNode transform -n \"ctrl\""));
}

TEST_F(SceneFile, OpenRestoresValuesDynamicAttributesAndConnections)
{
    buildRichScene();
    const std::string path = tempPath("rich.ma");
    ASSERT_TRUE(save(path));
    ASSERT_TRUE(run("file -new"));
    EXPECT_EQ(value("objExists rig").asInt(), 0) << "only the startup cameras and default nodes";
    ASSERT_TRUE(open(path)) << errors();

    EXPECT_EQ(text("getAttr store.ia"), "3 4 4 -4");
    EXPECT_EQ(text("getAttr store.da"), "0.1 3.3333333333333335 1e-300") << "doubles read back exactly";
    EXPECT_EQ(text("getAttr store.sa"), "a b\\c");
    EXPECT_EQ(text("getAttr store.str"), "multi\nline");
    EXPECT_EQ(text("getAttr store.mat"), "1 0 0 0 0 1 0 0 0 0 1 0 4 5 6 1");
    EXPECT_EQ(text("getAttr store.vals"), "1 0 3 11");
    EXPECT_EQ(number("getAttr store.vals[10]"), 11);
    EXPECT_EQ(text("getAttr store.in[1].inm"), "one");
    EXPECT_DOUBLE_EQ(number("getAttr store.ang"), 30);
    EXPECT_EQ(number("getAttr store.flag"), 0);
    EXPECT_EQ(number("getAttr rig.wt"), 0.75);
    EXPECT_EQ(text("getAttr rig.offset"), "0.1 0.2 0.3");
    EXPECT_EQ(text("getAttr rig.pts[1]"), "4 5 6");
    EXPECT_EQ(text("getAttr -as rig.pick"), "auto");
    EXPECT_EQ(number("getAttr rig.spin"), 45);
    EXPECT_EQ(number("getAttr rig.scratch"), 0);
    EXPECT_EQ(strings("getAttr rig.tags").length(), 3u);
    EXPECT_EQ(text("getAttr rig.tags").asChar(), std::string("left arm quote \" inside "));
    EXPECT_EQ(number("getAttr ctrl.tx"), 3);
    EXPECT_EQ(text("listConnections -d 0 -p 1 store.links"), "ctrl.message other.message");
    EXPECT_EQ(text("listRelatives -s -f other"), "|other|ctrlShape") << "the instance is back";
    EXPECT_EQ(text("file -q -sn"), path.c_str());
    EXPECT_EQ(strings("ls -sl").length(), 0u);
    EXPECT_EQ(host::UndoQueue::undoDepth(), 0u) << "opening is not undoable";
}

TEST_F(SceneFile, NonStorableAttributesAreBackAtTheirDefaults)
{
    buildRichScene();
    EXPECT_EQ(number("getAttr store.cache"), 42);
    const std::string path = tempPath("cache.ma");
    ASSERT_TRUE(save(path));
    ASSERT_TRUE(open(path));
    EXPECT_EQ(number("getAttr store.cache"), 0);
}

TEST_F(SceneFile, OpenFiresSceneMessagesAndRaisesTheFileFlags)
{
    run("createNode sceneTestNode -n store");
    const std::string path = tempPath("flags.ma");
    ASSERT_TRUE(save(path));

    struct Record
    {
        std::vector<std::string> events;
    } record;
    auto before = [](void* data) {
        static_cast<Record*>(data)->events.push_back(std::string("beforeOpen ") +
                                                     (MFileIO::isOpeningFile() ? "opening" : "idle"));
    };
    auto after = [](void* data) {
        static_cast<Record*>(data)->events.push_back(std::string("afterOpen ") +
                                                     (MFileIO::isOpeningFile() ? "opening" : "idle"));
    };
    auto added = [](MObject&, void* data) {
        static_cast<Record*>(data)->events.push_back(std::string("added ") +
                                                     (MFileIO::isOpeningFile() && MFileIO::isReadingFile()
                                                          ? "while reading" : "outside a read"));
    };
    MStatus status;
    MCallbackId ids[3];
    ids[0] = MSceneMessage::addCallback(MSceneMessage::kBeforeOpen, before, &record, &status);
    ASSERT_TRUE(status);
    ids[1] = MSceneMessage::addCallback(MSceneMessage::kAfterOpen, after, &record, &status);
    ASSERT_TRUE(status);
    ids[2] = MDGMessage::addNodeAddedCallback(added, "sceneTestNode", &record, &status);
    ASSERT_TRUE(status);
    const bool opened = open(path);
    for (MCallbackId id : ids)
        MMessage::removeCallback(id);
    ASSERT_TRUE(opened) << errors();
    EXPECT_EQ(record.events,
              (std::vector<std::string>{"beforeOpen idle", "added while reading", "afterOpen idle"}));
    EXPECT_FALSE(MFileIO::isReadingFile());
}

TEST_F(SceneFile, NewFiresItsMessagesEmptiesTheSceneAndDestroysItsNodes)
{
    run("createNode transform -n a; file -rename \"" + tempPath("named.ma") + "\"");
    std::vector<std::string> events;
    auto onBefore = [](void* data) { static_cast<std::vector<std::string>*>(data)->push_back("beforeNew"); };
    auto onAfter = [](void* data) { static_cast<std::vector<std::string>*>(data)->push_back("afterNew"); };
    MStatus status;
    MCallbackId beforeId = MSceneMessage::addCallback(MSceneMessage::kBeforeNew, onBefore, &events, &status);
    MCallbackId afterId = MSceneMessage::addCallback(MSceneMessage::kAfterNew, onAfter, &events, &status);
    EXPECT_TRUE(run("file -f -new"));
    MMessage::removeCallback(beforeId);
    MMessage::removeCallback(afterId);
    EXPECT_EQ(events, (std::vector<std::string>{"beforeNew", "afterNew"}));
    EXPECT_EQ(strings("ls -type transform -type camera").length(), 8u) << "only the startup cameras";
    EXPECT_EQ(value("objExists a").asInt(), 0);
    EXPECT_EQ(text("file -q -sn"), "");
    EXPECT_FALSE(run("file -save")) << "an untitled scene needs a name first";

    // Nothing can bring back the nodes of a cleared scene, so they are destroyed
    // then and there: a plug-in's nodes must not outlive an unload that follows.
    std::vector<MObjectHandle> handles;
    for (int i = 0; i < 8; ++i) {
        const std::string group = "group" + std::to_string(i);
        ASSERT_TRUE(run("createNode transform -n " + group + "; createNode transform -p " + group +
                        " -n child" + std::to_string(i)));
        for (const std::string& name : {group, "child" + std::to_string(i)}) {
            MSelectionList list;
            ASSERT_TRUE(list.add(name.c_str()));
            MObject node;
            ASSERT_TRUE(list.getDependNode(0, node));
            handles.emplace_back(node);
        }
    }
    ASSERT_TRUE(run("file -f -new"));
    for (const MObjectHandle& handle : handles)
        EXPECT_FALSE(handle.isAlive());
}

TEST_F(SceneFile, MalformedFilesGiveAnErrorNamingFileAndLine)
{
    const std::string head = "//Maya ASCII 2023 scene\nrequires maya \"2023\";\ncreateNode transform -n \"kept\";\n";
    struct Case
    {
        const char* name;
        std::string body;
        const char* message;
        int line;
    } cases[] = {
        {"badType.ma", "\tsetAttr \".t\" -type \"Int32Array\" 1 2 ;\n", "does not match", 4},
        {"shortArray.ma", "createNode sceneTestNode -n \"s\";\n\tsetAttr \".ia\" -type \"Int32Array\" 5 1 2 ;\n",
         "not enough values", 5},
        {"badIndex.ma", "createNode sceneTestNode -n \"s\";\n\tsetAttr \".vals[99999999999]\" 1;\n", "bad index", 5},
        {"badConnection.ma", "connectAttr \"nobody.tx\" \"kept.tx\";\n", "No object matches name: nobody", 4},
    };
    for (const Case& c : cases) {
        const std::string path = tempPath(c.name);
        writeFile(path, head + c.body);
        clearMessages();
        EXPECT_TRUE(open(path)) << c.name << ": a bad statement does not end the read";
        const std::string where = path + " line " + std::to_string(c.line);
        EXPECT_NE(errors().find(where), std::string::npos) << c.name << " gave:\n" << errors();
        EXPECT_NE(errors().find(c.message), std::string::npos) << c.name << " gave:\n" << errors();
        EXPECT_EQ(value("objExists kept").asInt(), 1) << c.name << ": what was read stays";
    }
}

TEST_F(SceneFile, FilesThatAreNotScenesAreRefusedAndSaveRefusesOtherTypes)
{
    const std::string notAScene = tempPath("notes.ma");
    writeFile(notAScene, "createNode transform -n \"x\";\n");
    EXPECT_FALSE(open(notAScene));
    EXPECT_NE(errors().find(notAScene + " line 1: not a Maya ASCII scene file."), std::string::npos) << errors();
    EXPECT_EQ(value("objExists x").asInt(), 0) << "such a file fails whole";

    const std::string binary = tempPath("binary.ma");
    writeFile(binary, std::string("//Maya ASCII 2023 scene\ncreateNode tra\0nsform;\n", 47));
    EXPECT_FALSE(open(binary));
    EXPECT_NE(errors().find(binary + " line 2"), std::string::npos) << errors();

    EXPECT_FALSE(open(tempPath("missing.ma")));
    EXPECT_NE(errors().find("no such file"), std::string::npos) << errors();

    // Saving refuses other file types.
    run("file -rename \"" + tempPath("x.mb") + "\"");
    EXPECT_FALSE(run("file -save -type \"mayaBinary\""));
    EXPECT_NE(errors().find("only mayaAscii"), std::string::npos) << errors();
    EXPECT_FALSE(std::ifstream(tempPath("x.mb")).good());
}

TEST_F(SceneFile, RequiresOfAPluginThatCannotBeFoundWarnsAndTheReadGoesOn)
{
    run("createNode sceneTestForeign -n foreign");
    const std::string path = tempPath("foreign.ma");
    ASSERT_TRUE(save(path));
    const std::string text = readFile(path);
    EXPECT_NE(text.find("requires -nodeType \"sceneTestForeign\" \"sceneTestMissingPlugin\""), std::string::npos)
        << text;
    clearMessages();
    host::MessageCapture capture(true);
    EXPECT_TRUE(open(path));
    EXPECT_EQ(errors(), "");
    const size_t requiresAt = text.find("requires -nodeType");
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + requiresAt, '\n'));
    EXPECT_EQ(std::string(capture.text(host::MessageKind::kWarning).asChar()).find(
                  path + " line " + std::to_string(line) +
                  ": requires: the plug-in \"sceneTestMissingPlugin\" cannot be found; the scene keeps what it "
                  "needs from it.\n"),
              0u);
    EXPECT_EQ(value("objExists foreign").asInt(), 1);
    ASSERT_TRUE(save(path));
    EXPECT_EQ(readFile(path), text) << "the requirement is written once";
}

TEST_F(SceneFile, ValuesAreReadInTheUnitsTheFileDeclares)
{
    const std::string path = tempPath("radians.ma");
    writeFile(path, "//Maya ASCII 2023 scene\n"
                    "currentUnit -l centimeter -a radian -t film;\n"
                    "createNode sceneTestNode -n \"n\";\n"
                    "\tsetAttr \".ang\" 3.141592653589793;\n"
                    "currentUnit -l centimeter -a degree -t film;\n");
    ASSERT_TRUE(open(path)) << errors();
    EXPECT_EQ(number("getAttr n.ang"), 180);
}

TEST_F(SceneFile, QueriesTheSceneNameAndItsShortForm)
{
    const std::string path = tempPath("named.ma");
    EXPECT_EQ(text("file -rename \"" + path + "\""), path.c_str());
    EXPECT_EQ(text("file -q -sn"), path.c_str());
    EXPECT_EQ(text("file -q -sn -shn"), "named.ma");
    EXPECT_FALSE(run("file -q -new"));
    EXPECT_FALSE(run("file -new -save"));
    EXPECT_NE(errors().find("only one of"), std::string::npos) << errors();
}
