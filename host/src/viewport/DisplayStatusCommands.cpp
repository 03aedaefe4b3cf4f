#include "viewport/DisplayStatusCommands.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "viewport/DisplayStatus.h"

#include <maya/MDagPath.h>
#include <maya/MGlobal.h>

namespace host {

namespace {

const CommandFlags::Definition kHiliteFlags[] = {
    {"-r", "-replace", CommandFlags::kOptionalBool},
    {"-u", "-unHilite", CommandFlags::kOptionalBool},
    {"-tgl", "-toggle", CommandFlags::kOptionalBool},
};

const CommandFlags::Definition kLiveFlags[] = {
    {"-n", "-none", CommandFlags::kOptionalBool},
};

// The DAG objects named, or the selected ones when none are.
MStatus namedOrSelected(const char* command, const CommandFlags& flags, MSelectionList& items)
{
    if (flags.objects().empty())
        return MGlobal::getActiveSelectionList(items);
    for (const MString& name : flags.objects()) {
        MStatus status = SceneNames::addMatches(command, name, items);
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

MSelectionList without(const MSelectionList& list, const MDagPath& path)
{
    MSelectionList kept;
    for (unsigned k = 0; k < list.length(); ++k) {
        MDagPath other;
        if (list.getDagPath(k, other) && !(other == path))
            kept.add(other);
    }
    return kept;
}

} // namespace

MStatus HiliteCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("hilite", args, kHiliteFlags);
    if (!status)
        return status;
    MSelectionList items;
    status = namedOrSelected("hilite", flags, items);
    if (!status)
        return status;
    mBefore = hiliteList();
    mAfter = flags.boolValue("-r", false) ? MSelectionList() : mBefore;
    for (unsigned i = 0; i < items.length(); ++i) {
        MDagPath path;
        if (!items.getDagPath(i, path))
            continue;
        const bool listed = mAfter.hasItem(path);
        if (flags.boolValue("-u", false) || (flags.boolValue("-tgl", false) && listed))
            mAfter = without(mAfter, path);
        else if (!listed)
            mAfter.add(path);
    }
    return redoIt();
}

MStatus HiliteCommand::undoIt()
{
    hiliteList() = mBefore;
    return MS::kSuccess;
}

MStatus HiliteCommand::redoIt()
{
    hiliteList() = mAfter;
    return MS::kSuccess;
}

MStatus MakeLiveCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("makeLive", args, kLiveFlags);
    if (!status)
        return status;
    mBefore = liveList();
    mAfter.clear();
    if (!flags.boolValue("-n", false)) {
        MSelectionList items;
        status = namedOrSelected("makeLive", flags, items);
        if (!status)
            return status;
        MDagPath path;
        for (unsigned i = 0; i < items.length() && mAfter.length() == 0; ++i)
            if (items.getDagPath(i, path))
                mAfter.add(path);
        if (mAfter.length() == 0) {
            MGlobal::displayError("makeLive: give a DAG object to make live.");
            return MS::kInvalidParameter;
        }
    }
    return redoIt();
}

MStatus MakeLiveCommand::undoIt()
{
    liveList() = mBefore;
    return MS::kSuccess;
}

MStatus MakeLiveCommand::redoIt()
{
    liveList() = mAfter;
    return MS::kSuccess;
}

} // namespace host
