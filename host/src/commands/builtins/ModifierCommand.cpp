#include "commands/builtins/ModifierCommand.h"

#include <maya/MGlobal.h>

namespace host {

MStatus ModifierCommand::undoIt()
{
    return mModifier.undoIt();
}

MStatus ModifierCommand::redoIt()
{
    return mModifier.doIt();
}

MStatus ModifierCommand::execute(const char* command)
{
    MStatus status = mModifier.doIt();
    if (!status) {
        mModifier.undoIt();
        MGlobal::displayError(MString(command) + ": " + status.errorString());
    }
    return status;
}

} // namespace host
