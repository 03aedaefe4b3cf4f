#include "commands/UndoQueue.h"

#include "commands/CommandExecution.h"
#include "commands/mel/MelInterpreter.h"

#include <maya/MGlobal.h>

namespace host {

namespace {

struct Collector
{
    UndoChunk* chunk;
    int noUndoDepth;  // NoUndoScopes open when collecting began
};

struct QueueState
{
    bool enabled = true;
    // `undoInfo -openChunk`: the chunk being gathered, its name and how deeply it is open.
    std::unique_ptr<UndoChunk> openChunk;
    MString openChunkName;
    unsigned int openDepth = 0;
    // [0, position) can be undone, [position, size) redone.
    std::vector<std::unique_ptr<MPxCommand>> commands;
    size_t position = 0;
    std::vector<Collector> collectors;
    bool undoing = false;
    bool redoing = false;
};

QueueState& state()
{
    static QueueState instance;
    return instance;
}

class FlagScope
{
public:
    explicit FlagScope(bool& flag) : fFlag(flag), fPrevious(flag) { fFlag = true; }
    ~FlagScope() { fFlag = fPrevious; }

private:
    bool& fFlag;
    bool fPrevious;
};

// One queue entry holding a closed `undoInfo` chunk.
class ChunkCommand : public MPxCommand
{
public:
    ChunkCommand(std::unique_ptr<UndoChunk> chunk, const MString& name) : fChunk(std::move(chunk))
    {
        setCommandString(name);
    }
    MStatus doIt(const MArgList&) override { return MS::kSuccess; }
    MStatus undoIt() override { return fChunk->undo(); }
    MStatus redoIt() override { return fChunk->redo(); }
    bool isUndoable() const override { return true; }

private:
    std::unique_ptr<UndoChunk> fChunk;
};

} // namespace

UndoChunk::UndoChunk() = default;

UndoChunk::~UndoChunk() = default;

void UndoChunk::append(std::unique_ptr<MPxCommand> command)
{
    fCommands.push_back(std::move(command));
}

MStatus UndoChunk::undo()
{
    FlagScope undoing(state().undoing);
    for (auto it = fCommands.rbegin(); it != fCommands.rend(); ++it) {
        MStatus status = (*it)->undoIt();
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

MStatus UndoChunk::redo()
{
    FlagScope redoing(state().redoing);
    for (auto& command : fCommands) {
        MStatus status = command->redoIt();
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

void UndoQueue::record(std::unique_ptr<MPxCommand> command)
{
    QueueState& s = state();
    const int depth = CommandExecution::noUndoDepth();
    if (!s.collectors.empty()) {
        // A NoUndoScope opened inside the collecting run keeps commands out.
        if (s.collectors.back().noUndoDepth == depth)
            s.collectors.back().chunk->append(std::move(command));
        return;
    }
    // Commands run while undoing, redoing or with undo off are not kept.
    if (depth > 0 || s.undoing || s.redoing || !s.enabled)
        return;
    if (s.openChunk) {
        if (s.openChunkName.length() == 0)
            s.openChunkName = command->commandString();
        s.openChunk->append(std::move(command));
        return;
    }
    s.commands.resize(s.position);
    s.commands.push_back(std::move(command));
    s.position = s.commands.size();
}

MStatus UndoQueue::undo()
{
    QueueState& s = state();
    if (s.position == 0) {
        MGlobal::displayWarning("There are no more commands to undo.");
        return MS::kFailure;
    }
    MPxCommand* command = s.commands[s.position - 1].get();
    MStatus status;
    {
        FlagScope undoing(s.undoing);
        status = command->undoIt();
    }
    if (!status) {
        // The scene no longer matches the queue: drop the history.
        MGlobal::displayError(command->commandString() + ": undo failed; the undo queue was flushed.");
        flush();
        return status;
    }
    --s.position;
    return MS::kSuccess;
}

MStatus UndoQueue::redo()
{
    QueueState& s = state();
    if (s.position >= s.commands.size()) {
        MGlobal::displayWarning("There are no more commands to redo.");
        return MS::kFailure;
    }
    MPxCommand* command = s.commands[s.position].get();
    MStatus status;
    {
        FlagScope redoing(s.redoing);
        status = command->redoIt();
    }
    if (!status) {
        MGlobal::displayError(command->commandString() + ": redo failed; the undo queue was flushed.");
        flush();
        return status;
    }
    ++s.position;
    return MS::kSuccess;
}

void UndoQueue::flush()
{
    QueueState& s = state();
    // Move out first: destructors may run commands that touch the queue.
    std::vector<std::unique_ptr<MPxCommand>> dropped;
    dropped.swap(s.commands);
    s.position = 0;
    dropped.clear();
}

unsigned int UndoQueue::undoDepth()
{
    return static_cast<unsigned int>(state().position);
}

unsigned int UndoQueue::redoDepth()
{
    return static_cast<unsigned int>(state().commands.size() - state().position);
}

MString UndoQueue::nextUndoName()
{
    const QueueState& s = state();
    return s.position ? s.commands[s.position - 1]->commandString() : MString();
}

MString UndoQueue::nextRedoName()
{
    const QueueState& s = state();
    return s.position < s.commands.size() ? s.commands[s.position]->commandString() : MString();
}

bool UndoQueue::isUndoing()
{
    return state().undoing;
}

bool UndoQueue::isRedoing()
{
    return state().redoing;
}

void UndoQueue::setEnabled(bool enabled, bool flush)
{
    state().enabled = enabled;
    if (!enabled && flush)
        UndoQueue::flush();
}

bool UndoQueue::isEnabled()
{
    return state().enabled;
}

void UndoQueue::openChunk(const MString& name)
{
    QueueState& s = state();
    if (s.openDepth++ == 0) {
        s.openChunk = std::make_unique<UndoChunk>();
        s.openChunkName = name;
    }
}

MStatus UndoQueue::closeChunk()
{
    QueueState& s = state();
    if (s.openDepth == 0) {
        MGlobal::displayWarning("undoInfo: there is no open chunk to close.");
        return MS::kFailure;
    }
    if (--s.openDepth > 0)
        return MS::kSuccess;
    std::unique_ptr<UndoChunk> chunk = std::move(s.openChunk);
    if (chunk->isEmpty())
        return MS::kSuccess;
    s.commands.resize(s.position);
    s.commands.push_back(std::make_unique<ChunkCommand>(std::move(chunk), s.openChunkName));
    s.position = s.commands.size();
    return MS::kSuccess;
}

unsigned int UndoQueue::openChunks()
{
    return state().openDepth;
}

MStatus executeCollecting(const MString& mel, std::shared_ptr<UndoChunk>& chunk)
{
    if (!chunk)
        chunk = std::make_shared<UndoChunk>();
    QueueState& s = state();
    s.collectors.push_back(Collector{chunk.get(), CommandExecution::noUndoDepth()});
    MStatus status = MelInterpreter::run(mel);
    s.collectors.pop_back();
    return status;
}

} // namespace host
