#include "views/IsolateSelectCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "views/IsolateSelect.h"

#include <maya/MFnSet.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-s", "-state", CommandFlags::kOptionalBool},
    {"-ado", "-addDagObject", CommandFlags::kOneArg},
    {"-rdo", "-removeDagObject", CommandFlags::kOneArg},
    {"-as", "-addSelected", CommandFlags::kNoArg},
    {"-ls", "-loadSelected", CommandFlags::kNoArg},
    {"-u", "-update", CommandFlags::kNoArg},
    {"-vo", "-viewObjects", CommandFlags::kNoArg},
};

// The DAG paths a list of names stands for; fails with the user's message on
// a name that is no DAG object.
MStatus dagPathsNamed(const CommandFlags& flags, const char* flag, MSelectionList& paths)
{
    for (unsigned use = 0; use < flags.uses(flag); ++use) {
        const MString name = flags.arg(flag, use);
        MSelectionList found;
        if (!found.add(name) || found.length() == 0) {
            MGlobal::displayError(MString("isolateSelect: Object '") + name + "' not found.");
            return MS::kInvalidParameter;
        }
        for (unsigned i = 0; i < found.length(); ++i) {
            MDagPath path;
            if (!found.getDagPath(i, path)) {
                MGlobal::displayError(MString("isolateSelect: '") + name + "' is not a DAG object.");
                return MS::kInvalidParameter;
            }
            paths.add(path);
        }
    }
    return MS::kSuccess;
}

// The DAG objects of the active selection (components count as their object).
MSelectionList selectedDagPaths()
{
    MSelectionList active;
    MGlobal::getActiveSelectionList(active);
    MSelectionList paths;
    for (unsigned i = 0; i < active.length(); ++i) {
        MDagPath path;
        if (active.getDagPath(i, path))
            paths.add(path, MObject::kNullObj, true);
    }
    return paths;
}

} // namespace

MStatus IsolateSelectCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("isolateSelect", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 1) {
        MGlobal::displayError("isolateSelect: expects the name of one model panel.");
        return MS::kInvalidParameter;
    }
    const MString panel = flags.objects()[0];
    if (!isIsolatablePanel(panel)) {
        MGlobal::displayError(MString("isolateSelect: No model panel named '") + panel + "'.");
        return MS::kInvalidParameter;
    }

    if (flags.isQuery()) {
        if (flags.isSet("-s") == flags.isSet("-vo") || flags.isSet("-ado") || flags.isSet("-rdo") ||
            flags.isSet("-as") || flags.isSet("-ls") || flags.isSet("-u")) {
            MGlobal::displayError("isolateSelect: query one of -state and -viewObjects.");
            return MS::kInvalidParameter;
        }
        if (flags.isSet("-s"))
            setResult(isolateState(panel));
        else
            setResult(isolateViewObjects(panel));
        return MS::kSuccess;
    }
    if (flags.isSet("-vo")) {
        MGlobal::displayError("isolateSelect: -viewObjects can only be queried.");
        return MS::kInvalidParameter;
    }

    // Names are checked before the set changes.
    MSelectionList added, removed;
    status = dagPathsNamed(flags, "-ado", added);
    if (status)
        status = dagPathsNamed(flags, "-rdo", removed);
    if (!status)
        return status;

    const bool editsSet = flags.isSet("-ado") || flags.isSet("-rdo") || flags.isSet("-as") || flags.isSet("-ls");
    if (editsSet) {
        MObject setObject;
        status = isolateSet(panel, setObject);
        if (!status) {
            MGlobal::displayError(MString("isolateSelect: cannot create the set of ") + panel + ".");
            return status;
        }
        MFnSet set(setObject);
        if (flags.isSet("-ls")) {
            status = set.clear();
            if (status)
                status = set.addMembers(selectedDagPaths());
        }
        if (status && flags.isSet("-as"))
            status = set.addMembers(selectedDagPaths());
        if (status && added.length() > 0)
            status = set.addMembers(added);
        if (status && removed.length() > 0)
            status = set.removeMembers(removed);
        if (!status) {
            MGlobal::displayError(MString("isolateSelect: cannot change the set of ") + panel + ".");
            return status;
        }
    }
    if (flags.isSet("-s")) {
        status = setIsolateState(panel, flags.boolValue("-s", true));
        if (!status) {
            MGlobal::displayError(MString("isolateSelect: cannot create the set of ") + panel + ".");
            return status;
        }
    }
    // Edits through this command show at once; edits made to the set by
    // other means show on -update.
    if (editsSet || flags.isSet("-u"))
        updateIsolateView(panel);
    return MS::kSuccess;
}

} // namespace host
