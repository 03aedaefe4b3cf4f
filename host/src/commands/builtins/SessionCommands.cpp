#include "commands/builtins/SessionCommands.h"

#include "commands/Session.h"
#include "commands/UndoQueue.h"
#include "commands/builtins/CommandFlags.h"

#include <maya/MGlobal.h>

namespace host {

namespace {

const CommandFlags::Definition kUndoInfoFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-st", "-state", CommandFlags::kOptionalBool},
    {"-swf", "-stateWithoutFlush", CommandFlags::kOptionalBool},
    {"-ock", "-openChunk", CommandFlags::kNoArg},
    {"-cck", "-closeChunk", CommandFlags::kNoArg},
    {"-cn", "-chunkName", CommandFlags::kOneArg},
    {"-un", "-undoName", CommandFlags::kNoArg},
    {"-rn", "-redoName", CommandFlags::kNoArg},
    {"-uqe", "-undoQueueEmpty", CommandFlags::kNoArg},
    {"-rqe", "-redoQueueEmpty", CommandFlags::kNoArg},
    {"-in", "-infinity", CommandFlags::kOptionalBool},
    {"-l", "-length", CommandFlags::kOneArg},
};

const CommandFlags::Definition kQuitFlags[] = {
    {"-f", "-force", CommandFlags::kOptionalBool},
    {"-a", "-abort", CommandFlags::kOptionalBool},
    {"-ec", "-exitCode", CommandFlags::kOneArg},
};

QuitHandler& quitHandler()
{
    static QuitHandler handler;
    return handler;
}

} // namespace

MStatus UndoInfoCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("undoInfo", args, kUndoInfoFlags);
    if (!status)
        return status;
    if (flags.isQuery()) {
        if (flags.isSet("-st") || flags.isSet("-swf"))
            setResult(UndoQueue::isEnabled());
        else if (flags.isSet("-un"))
            setResult(UndoQueue::nextUndoName());
        else if (flags.isSet("-rn"))
            setResult(UndoQueue::nextRedoName());
        else if (flags.isSet("-uqe"))
            setResult(UndoQueue::undoDepth() == 0);
        else if (flags.isSet("-rqe"))
            setResult(UndoQueue::redoDepth() == 0);
        else if (flags.isSet("-in"))
            setResult(true);  // the queue keeps every step
        else if (flags.isSet("-cck") || flags.isSet("-ock"))
            setResult(UndoQueue::openChunks() > 0);
        else {
            MGlobal::displayError("undoInfo: give the flag to query.");
            return MS::kInvalidParameter;
        }
        return MS::kSuccess;
    }
    if (flags.isSet("-ock"))
        UndoQueue::openChunk(flags.arg("-cn"));
    if (flags.isSet("-cck"))
        return UndoQueue::closeChunk();
    if (flags.isSet("-st"))
        UndoQueue::setEnabled(flags.boolValue("-st", true), true);
    if (flags.isSet("-swf"))
        UndoQueue::setEnabled(flags.boolValue("-swf", true), false);
    return MS::kSuccess;
}

void setQuitHandler(QuitHandler handler)
{
    quitHandler() = std::move(handler);
}

MStatus QuitCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("quit", args, kQuitFlags);
    if (!status)
        return status;
    double code = 0.0;
    if (flags.isSet("-ec")) {
        status = flags.doubleValue("-ec", code);
        if (!status)
            return status;
    }
    if (!quitHandler()) {
        MGlobal::displayError("quit: this session has no program to end.");
        return MS::kFailure;
    }
    requestSessionEnd(static_cast<int>(code));
    quitHandler()(static_cast<int>(code), flags.boolValue("-a", false));
    return MS::kSuccess;
}

} // namespace host
