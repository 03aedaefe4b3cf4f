// The undo queue, command results and the MGlobal services around commands.

#include "CommandTestSupport.h"

#include "commands/Session.h"
#include "commands/UndoQueue.h"
#include "support/HostFixture.h"

#include <maya/MCommandResult.h>
#include <maya/MDGModifier.h>
#include <maya/MEventMessage.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

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

TEST_F(UndoQueueTest, DeletedNodesLeaveTheActiveSelection)
{
    ASSERT_EQ(run("createNode transform -n \"gone\"; createNode transform -n \"kept\";"), MS::kSuccess);
    ASSERT_EQ(MGlobal::selectByName("gone", MGlobal::kReplaceList), MS::kSuccess);
    ASSERT_EQ(MGlobal::selectByName("kept", MGlobal::kAddToList), MS::kSuccess);
    ASSERT_EQ(run("delete gone;"), MS::kSuccess) << errors();
    MSelectionList active;
    MGlobal::getActiveSelectionList(active);
    MStringArray names;
    active.getSelectionStrings(names);
    ASSERT_EQ(names.length(), 1u);
    EXPECT_EQ(names[0], MString("kept"));
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
