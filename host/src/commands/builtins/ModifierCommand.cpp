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

MStatus ModifierCommand::execute(const char* command, const MString& whatFailed)
{
    MStatus status = mModifier.doIt();
    if (!status) {
        mModifier.undoIt();  // the failure reported is the one that stopped doIt
        MGlobal::displayError(MString(command) + ": " + (whatFailed.length() ? whatFailed : status.errorString()));
    }
    return status;
}

} // namespace host
