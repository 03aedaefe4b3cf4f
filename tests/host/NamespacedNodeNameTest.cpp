// Node names with namespaces, as Maya takes them wherever a node is named: "ns:name",
// nested namespaces, and a leading ":" for the root namespace. Missing namespaces come
// into being with the name, as Maya's -name flags and rename create them.

#include "SceneTestSupport.h"

#include <string>

namespace {

class NamespacedNodeName : public SceneTest
{
};

} // namespace

TEST_F(NamespacedNodeName, NamesKeepTheirNamespacesAndAreUniqueWithinThem)
{
    EXPECT_EQ(text("createNode transform -n \"rig:root\""), "rig:root");
    EXPECT_EQ(text("createNode transform -n \"rig:root\""), "rig:root1");
    EXPECT_EQ(text("createNode transform -n root"), "root");
    EXPECT_EQ(text("createNode transform -n \"rig:face:ctrl#\""), "rig:face:ctrl1");
    // The root namespace named outright is no part of the name.
    EXPECT_EQ(text("createNode transform -n \":stand\""), "stand");
    EXPECT_EQ(text("rename stand \"rig:stand\""), "rig:stand");

    // A wildcard stays in the namespace it names; -r looks in the nested ones too.
    EXPECT_EQ(strings("ls \"rig:*\"").length(), 3u);
    EXPECT_EQ(strings("ls -r true \"rig:*\"").length(), 4u);
    EXPECT_EQ(text("nodeType \"rig:face:ctrl1\""), "transform");
    ASSERT_TRUE(run("setAttr \"rig:root.translateX\" 2"));
    EXPECT_EQ(number("getAttr \"rig:root.translateX\""), 2.0);
}

TEST_F(NamespacedNodeName, NamespacedNodesSurviveSaveAndOpen)
{
    ASSERT_TRUE(run("createNode transform -n \"rig:root\"; setAttr \"rig:root.translateY\" 3"));
    ASSERT_TRUE(run("createNode transform -n \"rig:face:ctrl\" -p \"rig:root\""));
    const std::string path = tempPath("namespaced.ma");
    ASSERT_TRUE(run("file -rename \"" + path + "\"; file -save -type \"mayaAscii\""));
    ASSERT_TRUE(run("file -f -new"));
    ASSERT_TRUE(run("file -f -o \"" + path + "\""));
    EXPECT_EQ(number("getAttr \"rig:root.translateY\""), 3.0);
    EXPECT_EQ(strings("listRelatives -parent \"rig:face:ctrl\"")[0], "rig:root");
}

TEST_F(NamespacedNodeName, EmptyOrDigitLeadingNamespacesAreRefused)
{
    const std::string scene = sceneText();
    for (const char* bad : {"rig::x", "rig:", ":", "::x", "rig:9x", "9rig:x", "rig:a b", "ri#g:x"}) {
        clearMessages();
        EXPECT_FALSE(run(std::string("createNode transform -n \"") + bad + "\"")) << bad;
        EXPECT_EQ(errors(), std::string("createNode: \"") + bad + "\" is not a valid node name.\n");
    }
    EXPECT_EQ(sceneText(), scene);
    ASSERT_TRUE(run("createNode transform -n plain"));
    clearMessages();
    EXPECT_FALSE(run("rename plain \"rig::plain\""));
    EXPECT_EQ(errors(), "rename: \"rig::plain\" is not a valid node name.\n");
    EXPECT_EQ(strings("ls plain")[0], "plain");
}
