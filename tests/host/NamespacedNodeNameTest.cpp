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
    expectRefusals({{"rename plain \"rig::plain\"", "rename: \"rig::plain\" is not a valid node name."}});
    EXPECT_EQ(strings("ls plain")[0], "plain");
}

// `namespace` and `namespaceInfo` as scripts use them: new nodes go into the current
// namespace, every change undoes, and a namespace with nodes in it is removed only by
// merging them into its parent or the root, or deleting them.
TEST_F(NamespacedNodeName, NamespaceCommandAddsSetsListsAndRemoves)
{
    EXPECT_EQ(text("namespace -add rig"), "rig");
    EXPECT_EQ(number("namespace -exists rig"), 1.0);
    EXPECT_EQ(text("namespaceInfo -currentNamespace"), ":");
    ASSERT_TRUE(run("namespace -set rig"));
    EXPECT_EQ(text("namespaceInfo -cur -an"), ":rig");
    EXPECT_EQ(text("namespace -add face"), "rig:face") << "added below the current namespace";
    EXPECT_EQ(text("createNode transform -n ctrl"), "rig:ctrl");
    EXPECT_EQ(text("polyCube"), "rig:pCube1 rig:pCubeShape1");
    EXPECT_EQ(text("createNode transform -n \":loose\""), "loose") << "the root, named outright";
    EXPECT_EQ(text("createNode transform -n \"face:eye\""), "face:eye") << "a name with its own namespace";
    EXPECT_EQ(text("namespaceInfo -lon -r"), "rig:face");
    EXPECT_EQ(text("namespaceInfo -lon -an \":\""), ":UI :shared :face :rig");
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(number("objExists \"face:eye\""), 0.0);
    ASSERT_TRUE(run("namespace -set \":\""));
    EXPECT_EQ(text("namespaceInfo -lon"), "UI shared rig") << "a namespace only its node implied went with it";
    EXPECT_EQ(text("namespaceInfo -lod rig"), "rig:ctrl rig:pCube1 rig:pCubeShape1");
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(text("namespaceInfo -cur"), "rig") << "undo sets the namespace back";
    ASSERT_TRUE(run("namespace -set \":\""));

    expectRefusals({{"namespace -add rig", "namespace: A namespace called 'rig' already exists."},
                    {"namespace -set nowhere", "namespace: Namespace 'nowhere' does not exist."},
                    {"namespace -add \"9lives\"", "namespace: '9lives' is not a valid namespace name."},
                    {"namespace -rm rig", "namespace: Namespace 'rig' is not empty: use -mergeNamespaceWithParent, "
                                          "-mergeNamespaceWithRoot or -deleteNamespaceContent."},
                    {"namespace -rm UI", "namespace: Cannot remove Maya's namespace 'UI'."}});

    ASSERT_TRUE(run("namespace -rm rig -mergeNamespaceWithRoot"));
    EXPECT_EQ(number("namespace -exists rig"), 0.0);
    EXPECT_EQ(text("ls ctrl pCube1 pCubeShape1"), "ctrl pCube1 pCubeShape1");
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(text("ls \"rig:*\""), "rig:ctrl rig:pCube1 rig:pCubeShape1");
    ASSERT_TRUE(run("namespace -rm rig -deleteNamespaceContent"));
    EXPECT_EQ(strings("ls \"rig:*\"").length(), 0u);
    EXPECT_EQ(number("namespace -exists rig"), 0.0);
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(number("objExists \"rig:pCubeShape1\""), 1.0);

    // A new scene starts in the root with only Maya's namespaces.
    ASSERT_TRUE(run("namespace -set rig; file -f -new"));
    EXPECT_EQ(text("namespaceInfo -cur"), ":");
    EXPECT_EQ(text("namespaceInfo -lon"), "UI shared");
}
