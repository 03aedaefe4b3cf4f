#include "commands/builtins/UndoCommand.h"

#include "commands/UndoQueue.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>

namespace host {

MStatus UndoCommand::doIt(const MArgList& args)
{
    if (args.length() != 0) {
        MGlobal::displayError("undo: takes no arguments.");
        return MS::kInvalidParameter;
    }
    return UndoQueue::undo();
}

} // namespace host
