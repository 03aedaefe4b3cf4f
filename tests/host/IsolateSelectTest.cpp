// isolateSelect as scripts drive it in batch mode: the panel's objectSet, its
// members, the queries, and which paths the isolated view draws.

#include "CommandTestSupport.h"

#include "support/TestValues.h"
#include "views/IsolateSelect.h"

#include <maya/MFnSet.h>
#include <maya/MSelectionList.h>

namespace {

class IsolateSelect : public CommandTest
{
protected:
    static MObject nodeOf(const char* name)
    {
        MSelectionList list;
        MObject node;
        list.add(name);
        list.getDependNode(0, node);
        return node;
    }
    static bool inSet(const char* set, const char* member)
    {
        MFnSet fn(nodeOf(set));
        return fn.isMember(pathNamed(member));
    }
    static bool drawn(const char* panel, const char* path)
    {
        return host::isolateShows(panel, pathNamed(path));
    }
};

TEST_F(IsolateSelect, StateAndViewObjectsFollowThePanelsSet)
{
    EXPECT_EQ(answer("isolateSelect -q -state modelPanel4"), "0");
    EXPECT_EQ(answer("isolateSelect -q -viewObjects modelPanel4"), "");

    ASSERT_EQ(run("isolateSelect -state 1 modelPanel4"), MS::kSuccess) << errors();
    EXPECT_EQ(answer("isolateSelect -q -state modelPanel4"), "1");
    EXPECT_EQ(answer("isolateSelect -q -viewObjects modelPanel4"), "modelPanel4ViewSelectedSet");
    EXPECT_EQ(answer("nodeType modelPanel4ViewSelectedSet"), "objectSet");
    EXPECT_EQ(answer("isolateSelect -q -s modelPanel1"), "0");

    ASSERT_EQ(run("isolateSelect -state 0 modelPanel4"), MS::kSuccess) << errors();
    EXPECT_EQ(answer("isolateSelect -q -viewObjects modelPanel4"), "");
    // The set stays for the next time the panel isolates.
    EXPECT_EQ(answer("objExists modelPanel4ViewSelectedSet"), "1");
}

TEST_F(IsolateSelect, SelectionLoadsOrAddsToTheSet)
{
    run("spaceLocator -n a; spaceLocator -n b; spaceLocator -n c");
    run("select -r a b");
    ASSERT_EQ(run("isolateSelect -loadSelected modelPanel2"), MS::kSuccess) << errors();
    run("select -r c");
    ASSERT_EQ(run("isolateSelect -addSelected modelPanel2"), MS::kSuccess) << errors();
    EXPECT_TRUE(inSet("modelPanel2ViewSelectedSet", "a"));
    EXPECT_TRUE(inSet("modelPanel2ViewSelectedSet", "c"));

    run("select -r b");
    ASSERT_EQ(run("isolateSelect -ls -state 1 modelPanel2"), MS::kSuccess) << errors();
    EXPECT_FALSE(inSet("modelPanel2ViewSelectedSet", "a"));
    EXPECT_TRUE(inSet("modelPanel2ViewSelectedSet", "b"));
    EXPECT_FALSE(inSet("modelPanel2ViewSelectedSet", "c"));
    EXPECT_TRUE(drawn("modelPanel2", "|b|bShape"));
    EXPECT_FALSE(drawn("modelPanel2", "|c|cShape"));
}

TEST_F(IsolateSelect, SetEditedElsewhereShowsAfterUpdate)
{
    run("spaceLocator -n a; spaceLocator -n b");
    run("isolateSelect -state 1 -ado a modelPanel4");
    MFnSet set(nodeOf("modelPanel4ViewSelectedSet"));
    ASSERT_EQ(set.addMember(pathNamed("b")), MS::kSuccess);
    EXPECT_FALSE(drawn("modelPanel4", "|b|bShape"));
    ASSERT_EQ(run("isolateSelect -update modelPanel4"), MS::kSuccess) << errors();
    EXPECT_TRUE(drawn("modelPanel4", "|b|bShape"));
}

TEST_F(IsolateSelect, DeletingTheSetEndsIsolation)
{
    run("spaceLocator -n a; isolateSelect -state 1 -ado a modelPanel3");
    ASSERT_EQ(run("delete modelPanel3ViewSelectedSet"), MS::kSuccess) << errors();
    EXPECT_EQ(answer("isolateSelect -q -state modelPanel3"), "0");
    EXPECT_EQ(answer("isolateSelect -q -viewObjects modelPanel3"), "");
    run("spaceLocator -n b");
    EXPECT_TRUE(drawn("modelPanel3", "|b|bShape"));
    // Isolating again makes a fresh set.
    ASSERT_EQ(run("isolateSelect -state 1 modelPanel3"), MS::kSuccess) << errors();
    EXPECT_EQ(answer("isolateSelect -q -viewObjects modelPanel3"), "modelPanel3ViewSelectedSet");
    EXPECT_FALSE(drawn("modelPanel3", "|b|bShape"));
}

TEST_F(IsolateSelect, BadPanelsAndObjectsAreRefusedWithoutChangingTheSet)
{
    run("spaceLocator -n a; isolateSelect -state 1 -ado a modelPanel4");
    EXPECT_EQ(failure("isolateSelect -state 1 graphEditor1"), "isolateSelect: No model panel named 'graphEditor1'.\n");
    EXPECT_EQ(failure("isolateSelect -q -state"), "isolateSelect: expects the name of one model panel.\n");
    EXPECT_EQ(failure("isolateSelect -rdo a -ado nowhere modelPanel4"), "isolateSelect: Object 'nowhere' not found.\n");
    EXPECT_TRUE(inSet("modelPanel4ViewSelectedSet", "a"));
    EXPECT_EQ(failure("isolateSelect -ado modelPanel4ViewSelectedSet modelPanel4"),
              "isolateSelect: 'modelPanel4ViewSelectedSet' is not a DAG object.\n");
    EXPECT_EQ(failure("isolateSelect -q -state -viewObjects modelPanel4"),
              "isolateSelect: query one of -state and -viewObjects.\n");
    EXPECT_EQ(failure("isolateSelect -viewObjects modelPanel4"), "isolateSelect: -viewObjects can only be queried.\n");
}

} // namespace
