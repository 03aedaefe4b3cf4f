#include "commands/builtins/SelectCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-r", "-replace", CommandFlags::kOptionalBool},
    {"-add", "-add", CommandFlags::kOptionalBool},
    {"-af", "-addFirst", CommandFlags::kOptionalBool},
    {"-d", "-deselect", CommandFlags::kOptionalBool},
    {"-tgl", "-toggle", CommandFlags::kOptionalBool},
    {"-cl", "-clear", CommandFlags::kOptionalBool},
    {"-ne", "-noExpand", CommandFlags::kOptionalBool},
};
}

MStatus SelectCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("select", args, kFlags);
    if (!status)
        return status;
    status = MGlobal::getActiveSelectionList(mBefore);
    if (!status)
        return status;
    MSelectionList items;
    for (const MString& name : flags.objects()) {
        status = SceneNames::addMatches("select", name, items);
        if (!status) {
            // Scene files set attributes on what "select -ne" picks: after a failed
            // one they must not land on the node selected before.
            if (flags.boolValue("-ne", false))
                CHECK_MSTATUS(MGlobal::clearSelectionList());
            return status;
        }
    }
    MGlobal::ListAdjustment adjustment = MGlobal::kReplaceList;
    if (flags.boolValue("-add", false))
        adjustment = MGlobal::kAddToList;
    else if (flags.boolValue("-af", false))
        adjustment = MGlobal::kAddToHeadOfList;
    else if (flags.boolValue("-d", false))
        adjustment = MGlobal::kRemoveFromList;
    else if (flags.boolValue("-tgl", false))
        adjustment = MGlobal::kXORWithList;
    if (flags.boolValue("-cl", false)) {
        items.clear();
        adjustment = MGlobal::kReplaceList;
    }
    status = MGlobal::setActiveSelectionList(items, adjustment);
    if (!status) {
        MGlobal::displayError("select: cannot change the selection.");
        return status;
    }
    return MGlobal::getActiveSelectionList(mAfter);
}

MStatus SelectCommand::undoIt()
{
    return MGlobal::setActiveSelectionList(mBefore);
}

MStatus SelectCommand::redoIt()
{
    return MGlobal::setActiveSelectionList(mAfter);
}

} // namespace host
