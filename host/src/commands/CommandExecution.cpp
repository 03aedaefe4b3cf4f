#include "commands/CommandExecution.h"

#include "commands/Session.h"
#include "commands/UndoQueue.h"

#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

#include <deque>
#include <memory>

namespace host {

namespace {

struct Frame
{
    MString name;
    MelValue result;
};

// Deque: references to frames stay valid while nested commands push more.
std::deque<Frame>& frames()
{
    static std::deque<Frame> stack;
    return stack;
}

int gNoUndoDepth = 0;
const CommandEntry* gEntryBeingCreated = nullptr;

// Pops the frame even when a command throws.
class FrameScope
{
public:
    explicit FrameScope(const MString& name) { frames().push_back(Frame{name, MelValue()}); }
    ~FrameScope() { frames().pop_back(); }
    Frame& frame() { return frames().back(); }
};

} // namespace

MStatus CommandExecution::run(const CommandEntry& entry, const MArgList& args, MelValue& result)
{
    // Selected nodes the command deletes leave the selection, told once when it ends.
    SelectionEditScope selectionEdit;
    FrameScope scope(entry.name);
    Frame& frame = scope.frame();

    std::unique_ptr<MPxCommand> command;
    {
        const CommandEntry* outer = gEntryBeingCreated;
        gEntryBeingCreated = &entry;
        command.reset(static_cast<MPxCommand*>(entry.creator()));
        gEntryBeingCreated = outer;
    }
    if (!command) {
        MGlobal::displayError(entry.name + ": the command object could not be created.");
        return MS::kFailure;
    }

    MStatus status = command->doIt(args);
    result = std::move(frame.result);
    if (status && command->isUndoable())
        UndoQueue::record(std::move(command));
    return status;
}

MelValue& CommandExecution::currentResult()
{
    // Results set outside any command land in a scratch value.
    static MelValue scratch;
    return frames().empty() ? scratch : frames().back().result;
}

const MString& CommandExecution::currentCommandName()
{
    static const MString none;
    return frames().empty() ? none : frames().back().name;
}

const CommandEntry* CommandExecution::entryBeingCreated()
{
    return gEntryBeingCreated;
}

int CommandExecution::noUndoDepth()
{
    return gNoUndoDepth;
}

CommandExecution::NoUndoScope::NoUndoScope()
{
    ++gNoUndoDepth;
}

CommandExecution::NoUndoScope::~NoUndoScope()
{
    --gNoUndoDepth;
}

MString commandMessage(const MString& message)
{
    const MString& name = CommandExecution::currentCommandName();
    if (name.length() == 0)
        return message;
    const MString prefix = name + ":";
    if (message.length() >= prefix.length() && message.substring(0, prefix.length() - 1) == prefix)
        return message;
    return prefix + " " + message;
}

} // namespace host
