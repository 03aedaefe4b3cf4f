#pragma once
// The undo queue. Undoable commands are kept after doIt; `undo` and `redo`
// walk the queue; running a new undoable command drops what could be redone.
// While executeCollecting runs, undoable commands go into its chunk instead.

#include <maya/MPxCommand.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <memory>
#include <vector>

namespace host {

// Executed undoable commands, undone in reverse and redone in order.
class UndoChunk
{
public:
    UndoChunk();
    ~UndoChunk();
    UndoChunk(const UndoChunk&) = delete;
    UndoChunk& operator=(const UndoChunk&) = delete;

    void append(std::unique_ptr<MPxCommand> command);
    bool isEmpty() const { return fCommands.empty(); }
    unsigned int length() const { return static_cast<unsigned int>(fCommands.size()); }

    MStatus undo();
    MStatus redo();

private:
    std::vector<std::unique_ptr<MPxCommand>> fCommands;
};

class UndoQueue
{
public:
    // Takes an executed undoable command: into the innermost collecting
    // chunk when there is one, else onto the queue.
    static void record(std::unique_ptr<MPxCommand> command);

    // Undo the last command / redo the last undone one. Fail with an error
    // message when there is nothing to undo or redo.
    static MStatus undo();
    static MStatus redo();

    // Drops the whole queue (new scene, opened scene, plug-in unload).
    static void flush();

    static unsigned int undoDepth();
    static unsigned int redoDepth();
    // The command string of the command the next undo would undo.
    static MString nextUndoName();
    // The command string of the command the next redo would redo.
    static MString nextRedoName();

    static bool isUndoing();
    static bool isRedoing();

    // `undoInfo -state`: while off, nothing is kept. Turning it off flushes the queue
    // unless `flush` is false (`-stateWithoutFlush`).
    static void setEnabled(bool enabled, bool flush);
    static bool isEnabled();

    // `undoInfo -openChunk` / `-closeChunk`: what runs in between is undone and redone
    // as one step, named `name` (or by its first command). Chunks nest; the outermost closes.
    static void openChunk(const MString& name);
    static MStatus closeChunk();
    static unsigned int openChunks();
};

// Runs MEL and gathers the undoable commands it executed into `chunk` (a new
// one when null) instead of the undo queue.
MStatus executeCollecting(const MString& mel, std::shared_ptr<UndoChunk>& chunk);

} // namespace host
