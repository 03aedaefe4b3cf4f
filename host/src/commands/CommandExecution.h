#pragma once
// Running one command: create the command object, hand it its arguments,
// collect its result and keep it for undo when it is undoable.

#include "commands/CommandRegistry.h"
#include "commands/mel/MelValue.h"

#include <maya/MArgList.h>
#include <maya/MStatus.h>

namespace host {

class CommandExecution
{
public:
    // Runs `entry` with `args`; its result (setResult / appendToResult)
    // ends up in `result`. Undoable commands go to the undo queue unless
    // recording is off.
    static MStatus run(const CommandEntry& entry, const MArgList& args, MelValue& result);

    // The result being built by the innermost running command.
    static MelValue& currentResult();
    // The name of the innermost running command; empty outside commands.
    static const MString& currentCommandName();

    // The entry whose creator is running (MPxCommand's constructor reads it).
    static const CommandEntry* entryBeingCreated();

    // How many NoUndoScopes are open.
    static int noUndoDepth();

    // Turns recording off for the lifetime of the scope
    // (MGlobal::executeCommand with undoEnabled false).
    class NoUndoScope
    {
    public:
        NoUndoScope();
        ~NoUndoScope();
        NoUndoScope(const NoUndoScope&) = delete;
        NoUndoScope& operator=(const NoUndoScope&) = delete;
    };
};

// Prefixes `message` with the running command's name ("ls: ...") unless it
// already starts with it; used for errors the framework raises on behalf of
// a command (bad flags, missing objects).
MString commandMessage(const MString& message);

} // namespace host
