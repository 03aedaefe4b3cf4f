#include "commands/builtins/ModifierCommand.h"

#include <maya/MGlobal.h>

namespace host {

MStatus ModifierCommand::undoIt()
{
    if (!mCreated.isNull()) {
        MStatus status = MGlobal::setActiveSelectionList(mSelectionBefore);
        if (!status)
            return status;
    }
    return mModifier.undoIt();
}

MStatus ModifierCommand::redoIt()
{
    MStatus status = mModifier.doIt();
    if (status && !mCreated.isNull())
        status = MGlobal::select(mCreated, MGlobal::kReplaceList);
    return status;
}

MStatus ModifierCommand::selectCreated(const MObject& node)
{
    MStatus status = MGlobal::getActiveSelectionList(mSelectionBefore);
    if (!status)
        return status;
    mCreated = node;
    return MGlobal::select(node, MGlobal::kReplaceList);
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
