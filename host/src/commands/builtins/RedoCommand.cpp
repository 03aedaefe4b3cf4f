#include "commands/builtins/RedoCommand.h"

#include "commands/UndoQueue.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>

namespace host {

MStatus RedoCommand::doIt(const MArgList& args)
{
    if (args.length() != 0) {
        MGlobal::displayError("redo: takes no arguments.");
        return MS::kInvalidParameter;
    }
    return UndoQueue::redo();
}

} // namespace host
