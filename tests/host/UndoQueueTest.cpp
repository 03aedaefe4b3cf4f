// The undo queue, command results and the MGlobal services around commands.

#include "CommandTestSupport.h"

#include "commands/Session.h"
#include "commands/UndoQueue.h"
#include "support/HostFixture.h"

#include <maya/MCommandResult.h>
#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MEventMessage.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <string>
#include <vector>

using host::UndoQueue;
using UndoQueueTest = CommandTest;

TEST_F(UndoQueueTest, UndoAndRedoWalkTheQueueInOrder)
{
    ASSERT_EQ(run("testCounter 1; testCounter 10; testCounter 100;"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 111);
    EXPECT_EQ(UndoQueue::undoDepth(), 3u);

    ASSERT_EQ(run("undo; undo;"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 1);
    EXPECT_TRUE(undoObservation().undoingInUndo);
    EXPECT_EQ(UndoQueue::redoDepth(), 2u);

    ASSERT_EQ(run("redo;"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 11);
    EXPECT_TRUE(undoObservation().redoingInRedo);
    EXPECT_FALSE(MGlobal::isUndoing());
    EXPECT_FALSE(MGlobal::isRedoing());

    // A new command drops what could still be redone.
    ASSERT_EQ(run("testCounter 1000;"), MS::kSuccess);
    EXPECT_EQ(UndoQueue::redoDepth(), 0u);
    EXPECT_NE(run("redo;"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 1011);

    ASSERT_EQ(run("undo; undo; undo;"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 0);
    clearMessages();
    EXPECT_NE(run("undo;"), MS::kSuccess);
    EXPECT_EQ(warnings(), "There are no more commands to undo.\n");
    EXPECT_EQ(counterValue(), 0);
}

TEST_F(UndoQueueTest, OnlyUndoableCommandsRunWithUndoOnAreKept)
{
    ASSERT_EQ(run("testRecord 1; testEcho a;"), MS::kSuccess);
    EXPECT_EQ(UndoQueue::undoDepth(), 0u);

    // executeCommand keeps its commands off the queue unless asked.
    ASSERT_EQ(MGlobal::executeCommand("testCounter 5"), MS::kSuccess);
    EXPECT_EQ(UndoQueue::undoDepth(), 0u);
    ASSERT_EQ(MGlobal::executeCommand("testCounter 7", false, true), MS::kSuccess);
    EXPECT_EQ(UndoQueue::undoDepth(), 1u);
    EXPECT_EQ(counterValue(), 12);
    ASSERT_EQ(UndoQueue::undo(), MS::kSuccess);
    EXPECT_EQ(counterValue(), 5);

    // A failed command is not kept either.
    EXPECT_NE(run("testCounter notANumber;"), MS::kSuccess);
    EXPECT_EQ(UndoQueue::undoDepth(), 0u);
}

TEST_F(UndoQueueTest, CollectingRunsGatherCommandsIntoTheirOwnChunk)
{
    ASSERT_EQ(run("testCounter 1;"), MS::kSuccess);
    std::shared_ptr<host::UndoChunk> chunk;
    ASSERT_EQ(host::executeCollecting("testCounter 10; testRecord x; testCounter 100;", chunk), MS::kSuccess);
    ASSERT_TRUE(chunk);
    EXPECT_EQ(chunk->length(), 2u);
    EXPECT_EQ(UndoQueue::undoDepth(), 1u) << "collected commands stay off the queue";
    EXPECT_EQ(counterValue(), 111);

    ASSERT_EQ(chunk->undo(), MS::kSuccess);
    EXPECT_EQ(counterValue(), 1);
    ASSERT_EQ(chunk->redo(), MS::kSuccess);
    EXPECT_EQ(counterValue(), 111);
}

TEST_F(UndoQueueTest, NewAndOpenedScenesFlushTheQueue)
{
    ASSERT_EQ(run("testCounter 1; testCounter 2;"), MS::kSuccess);
    ASSERT_EQ(UndoQueue::undoDepth(), 2u);
    ASSERT_EQ(run("file -force -new;"), MS::kSuccess) << errors();
    EXPECT_EQ(UndoQueue::undoDepth(), 0u);
    EXPECT_NE(run("undo;"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 3);
}

TEST_F(UndoQueueTest, ExecuteCommandHandsBackTypedResults)
{
    int count = 0;
    ASSERT_EQ(MGlobal::executeCommand("testRecord a b c", count), MS::kSuccess);
    EXPECT_EQ(count, 3);

    MStringArray words;
    ASSERT_EQ(MGlobal::executeCommand("testEcho x \"y z\"", words), MS::kSuccess);
    ASSERT_EQ(words.length(), 2u);
    EXPECT_EQ(words[1], MString("y z"));

    MCommandResult result;
    ASSERT_EQ(MGlobal::executeCommand("testEcho one", result), MS::kSuccess);
    EXPECT_EQ(result.resultType(), MCommandResult::kStringArray);
    MString single;
    EXPECT_EQ(result.getResult(single), MS::kFailure) << "an array is not a string";
    ASSERT_EQ(result.getResult(words), MS::kSuccess);
    EXPECT_EQ(words[0], MString("one"));

    ASSERT_EQ(MGlobal::executeCommand("testRecord 1 2", result), MS::kSuccess);
    EXPECT_EQ(result.resultType(), MCommandResult::kInt);
    double asDouble = 0.0;
    EXPECT_EQ(result.getResult(asDouble), MS::kSuccess);
    EXPECT_DOUBLE_EQ(asDouble, 2.0);

    // A string result is not a number; failures pass their status through.
    double number = 0.0;
    EXPECT_EQ(MGlobal::executeCommand("testEcho", number), MS::kFailure);
    EXPECT_EQ(MGlobal::executeCommand("testFailQuietly", count), MS::kInvalidParameter);
    MStatus status;
    EXPECT_EQ(MGlobal::executeCommandStringResult("testEcho p q", false, false, &status), MString("p q"));
    EXPECT_EQ(status, MS::kSuccess);
}

// undoInfo as scripts use it: a chunk undoes and redoes as one step, undo can be turned off
// (flushing the queue unless asked not to), and the queue tells what undo and redo would do.
TEST_F(UndoQueueTest, UndoInfoChunksStateAndNames)
{
    struct Restore
    {
        ~Restore() { UndoQueue::setEnabled(true, false); while (UndoQueue::openChunks() > 0) UndoQueue::closeChunk(); }
    } restore;
    ASSERT_EQ(run("testCounter 1; undoInfo -openChunk -chunkName \"two steps\"; testCounter 10;"
                  "undoInfo -openChunk; testCounter 100; undoInfo -closeChunk; undoInfo -closeChunk"),
              MS::kSuccess);
    host::MelValue result;
    ASSERT_EQ(run("undoInfo -q -undoName", &result), MS::kSuccess);
    EXPECT_EQ(result.asString(), MString("two steps"));
    ASSERT_EQ(run("undo"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 1) << "the chunk, nested chunk and all, is one step";
    ASSERT_EQ(run("undoInfo -q -redoName", &result), MS::kSuccess);
    EXPECT_EQ(result.asString(), MString("two steps"));
    ASSERT_EQ(run("redo"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 111);

    ASSERT_EQ(run("undoInfo -stateWithoutFlush off; testCounter 1000; undoInfo -q -state", &result), MS::kSuccess);
    EXPECT_EQ(result.asInt(), 0);
    ASSERT_EQ(run("undoInfo -swf on; undo"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 1001) << "what ran with undo off is not undone";
    ASSERT_EQ(run("undoInfo -state off; undoInfo -state on; undoInfo -q -undoQueueEmpty", &result), MS::kSuccess);
    EXPECT_EQ(result.asInt(), 1) << "turning undo off flushes the queue";
    clearMessages();
    EXPECT_NE(run("undoInfo -closeChunk"), MS::kSuccess);
    EXPECT_EQ(warnings(), "undoInfo: there is no open chunk to close.\n");
    // Nothing to end in a test: quit says so and the script goes on failing there.
    EXPECT_NE(run("quit -f"), MS::kSuccess);
    EXPECT_NE(errors().find("quit: this session has no program to end."), std::string::npos) << errors();
}

namespace {

void countSelectionChanges(void* clientData)
{
    ++*static_cast<int*>(clientData);
}

} // namespace

TEST_F(UndoQueueTest, SelectionChangedFiresOnlyWhenTheSelectionChanges)
{
    ASSERT_EQ(run("createNode transform -n \"a\"; createNode transform -n \"b\";"), MS::kSuccess);
    ASSERT_EQ(MGlobal::clearSelectionList(), MS::kSuccess);
    int changes = 0;
    MStatus status;
    MCallbackId id = MEventMessage::addEventCallback("SelectionChanged", countSelectionChanges, &changes, &status);
    ASSERT_EQ(status, MS::kSuccess);

    EXPECT_EQ(MGlobal::selectByName("a", MGlobal::kReplaceList), MS::kSuccess);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(MGlobal::selectByName("a", MGlobal::kAddToList), MS::kSuccess);
    EXPECT_EQ(changes, 1) << "adding what is already selected changes nothing";
    EXPECT_EQ(MGlobal::selectByName("b", MGlobal::kAddToHeadOfList), MS::kSuccess);
    EXPECT_EQ(changes, 2);

    MSelectionList active;
    ASSERT_EQ(MGlobal::getActiveSelectionList(active), MS::kSuccess);
    MStringArray names;
    active.getSelectionStrings(names);
    ASSERT_EQ(names.length(), 2u);
    EXPECT_EQ(names[0], MString("b"));
    EXPECT_EQ(names[1], MString("a"));

    EXPECT_EQ(MGlobal::selectByName("a", MGlobal::kXORWithList), MS::kSuccess);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(MGlobal::selectByName("nothingLikeThis", MGlobal::kReplaceList), MS::kInvalidParameter);
    EXPECT_EQ(changes, 3) << "a failed selection leaves it alone";
    EXPECT_EQ(MGlobal::clearSelectionList(), MS::kSuccess);
    EXPECT_EQ(MGlobal::clearSelectionList(), MS::kSuccess);
    EXPECT_EQ(changes, 4);
    MMessage::removeCallback(id);
}

namespace {

// What "SelectionChanged" listeners saw: the active selection at each notice.
void recordSelectionAtNotice(void* clientData)
{
    MSelectionList active;
    MGlobal::getActiveSelectionList(active);
    MStringArray names;
    active.getSelectionStrings(names);
    std::string joined;
    for (unsigned i = 0; i < names.length(); ++i)
        joined += (i ? " " : "") + std::string(names[i].asChar());
    static_cast<std::vector<std::string>*>(clientData)->push_back(joined);
}

} // namespace

// Deleting selected nodes, or undoing their creation, takes them out of the active selection
// and tells the "SelectionChanged" listeners once per edit, as Maya does.
TEST_F(UndoQueueTest, RemovedSelectedNodesLeaveTheSelectionWithOneNotice)
{
    ASSERT_EQ(run("createNode transform -n gone; createNode transform -n also; createNode transform -n kept;"
                  "createNode transform -n loose; select -r gone also kept;"),
              MS::kSuccess);
    std::vector<std::string> notices;
    MStatus status;
    MCallbackId id = MEventMessage::addEventCallback("SelectionChanged", recordSelectionAtNotice, &notices, &status);
    ASSERT_EQ(status, MS::kSuccess);

    ASSERT_EQ(run("delete gone also;"), MS::kSuccess) << errors();
    EXPECT_EQ(notices, std::vector<std::string>({"kept"}));
    ASSERT_EQ(run("undo;"), MS::kSuccess);
    EXPECT_EQ(notices.back(), "gone also kept") << "undoing a delete gives the selection back";
    ASSERT_EQ(run("redo;"), MS::kSuccess);
    EXPECT_EQ(notices.back(), "kept");
    notices.clear();
    ASSERT_EQ(run("delete loose;"), MS::kSuccess);
    EXPECT_TRUE(notices.empty()) << "nothing selected went";

    // A plug-in command's modifier: what it created and selected leaves the selection on undo.
    MDagModifier modifier;
    MObject made = modifier.createNode("transform", MObject::kNullObj, &status);
    ASSERT_EQ(modifier.doIt(), MS::kSuccess);
    ASSERT_EQ(MGlobal::select(made, MGlobal::kAddToList), MS::kSuccess);
    ASSERT_EQ(notices.size(), 1u);
    ASSERT_EQ(modifier.undoIt(), MS::kSuccess);
    EXPECT_EQ(notices, std::vector<std::string>({"kept transform1", "kept"}));
    MMessage::removeCallback(id);
}

TEST_F(UndoQueueTest, MessagesGoToTheSinkByKind)
{
    MGlobal::displayInfo("plain info");
    MGlobal::displayWarning("careful");
    MGlobal::displayError("broken");
    EXPECT_EQ(infos(), "plain info\n");
    EXPECT_EQ(warnings(), "careful\n");
    EXPECT_EQ(errors(), "broken\n");
    EXPECT_EQ(MGlobal::mayaState(), MGlobal::kBatch);
    EXPECT_EQ(MGlobal::apiVersion(), 20230300);
}

TEST_F(UndoQueueTest, AppendedResultsWidenToTheKindThatHoldsThemAll)
{
    MCommandResult result;
    ASSERT_EQ(MGlobal::executeCommand("testAppend 1 2", result), MS::kSuccess);
    EXPECT_EQ(result.resultType(), MCommandResult::kIntArray);

    ASSERT_EQ(MGlobal::executeCommand("testAppend 1 2.5 3", result), MS::kSuccess);
    ASSERT_EQ(result.resultType(), MCommandResult::kDoubleArray);
    MDoubleArray numbers;
    ASSERT_EQ(result.getResult(numbers), MS::kSuccess);
    ASSERT_EQ(numbers.length(), 3u);
    EXPECT_DOUBLE_EQ(numbers[1], 2.5);
    EXPECT_DOUBLE_EQ(numbers[2], 3.0);

    MStringArray words;
    ASSERT_EQ(MGlobal::executeCommand("testAppend 1 0.5 name", words), MS::kSuccess);
    ASSERT_EQ(words.length(), 3u);
    EXPECT_EQ(words[0], MString("1"));
    EXPECT_EQ(words[1], MString("0.5"));
    EXPECT_EQ(words[2], MString("name"));

    // Nothing appended: no result at all.
    ASSERT_EQ(MGlobal::executeCommand("testAppend", result), MS::kSuccess);
    EXPECT_EQ(result.resultType(), MCommandResult::kInvalid);
}

TEST_F(UndoQueueTest, IdleCommandsRunInOrderWhenTheHostIsIdle)
{
    ASSERT_EQ(MGlobal::executeCommandOnIdle("testCounter 1"), MS::kSuccess);
    ASSERT_EQ(MGlobal::executeCommandOnIdle("testRecord later"), MS::kSuccess);
    EXPECT_EQ(counterValue(), 0) << "nothing runs before the host is idle";
    ASSERT_EQ(host::runIdleCommands(), MS::kSuccess);
    EXPECT_EQ(counterValue(), 1);
    ASSERT_EQ(recordedCalls().size(), 1u);
    EXPECT_EQ(recordedCalls()[0].asString(0), MString("later"));
    ASSERT_EQ(host::runIdleCommands(), MS::kSuccess);
    EXPECT_EQ(counterValue(), 1) << "each queued command runs once";
}

namespace {

class ModifierUndo : public HostFixture
{
};

} // namespace

TEST_F(ModifierUndo, UndoingAConnectionRestoresTheDestinationsValue)
{
    MObject a = create("transform", "a");
    MObject b = create("transform", "b");
    ASSERT_TRUE(plug(a, "translateX").setValue(5.0));
    ASSERT_TRUE(plug(b, "translateX").setValue(3.0));

    MDGModifier modifier;
    ASSERT_TRUE(modifier.connect(plug(a, "translateX"), plug(b, "translateX")));
    ASSERT_TRUE(modifier.doIt());
    EXPECT_DOUBLE_EQ(plug(b, "translateX").asDouble(), 5.0);

    ASSERT_TRUE(modifier.undoIt());
    EXPECT_FALSE(plug(b, "translateX").isConnected());
    EXPECT_DOUBLE_EQ(plug(b, "translateX").asDouble(), 3.0);

    // Redo connects again; a broken connection keeps the last value it carried.
    ASSERT_TRUE(modifier.doIt());
    MDGModifier breaker;
    ASSERT_TRUE(breaker.disconnect(plug(a, "translateX"), plug(b, "translateX")));
    ASSERT_TRUE(breaker.doIt());
    EXPECT_DOUBLE_EQ(plug(b, "translateX").asDouble(), 5.0);
}

TEST_F(ModifierUndo, UndoAfterAFailedDoItRevertsOnlyWhatRan)
{
    MObject a = create("transform", "a");
    MObject b = create("transform", "b");
    MObject c = create("transform", "c");
    ASSERT_TRUE(plug(c, "translateZ").setValue(1.0));
    MDGModifier driver;
    ASSERT_TRUE(driver.connect(plug(a, "translateZ"), plug(b, "translateZ")));
    ASSERT_TRUE(driver.doIt());

    MDGModifier modifier;
    ASSERT_TRUE(modifier.newPlugValueDouble(plug(b, "translateY"), 2.0));
    ASSERT_TRUE(modifier.connect(plug(c, "translateZ"), plug(b, "translateZ")));  // already driven
    ASSERT_TRUE(modifier.newPlugValueDouble(plug(b, "rotateX"), 9.0));
    EXPECT_FALSE(modifier.doIt());
    EXPECT_DOUBLE_EQ(plug(b, "translateY").asDouble(), 2.0);
    EXPECT_DOUBLE_EQ(plug(b, "rotateX").asDouble(), 0.0);

    // A value set since must survive: the write that never ran has nothing to undo.
    ASSERT_TRUE(plug(b, "rotateX").setValue(7.0));
    ASSERT_TRUE(modifier.undoIt());
    EXPECT_DOUBLE_EQ(plug(b, "translateY").asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(plug(b, "rotateX").asDouble(), 7.0);
    EXPECT_EQ(plug(b, "translateZ").source(), plug(a, "translateZ"));

    // A modifier that never ran undoes nothing.
    MDGModifier unused;
    ASSERT_TRUE(unused.newPlugValueDouble(plug(b, "rotateX"), 1.0));
    ASSERT_TRUE(unused.undoIt());
    EXPECT_DOUBLE_EQ(plug(b, "rotateX").asDouble(), 7.0);
}
