#include "commands/builtins/LockNodeCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MSelectionList.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-l", "-lock", CommandFlags::kOptionalBool},
    {"-q", "-query", CommandFlags::kNoArg},
    {"-ic", "-ignoreComponents", CommandFlags::kOptionalBool},
    {"-lu", "-lockUnpublished", CommandFlags::kOptionalBool},
    {"-lockName", "-lockName", CommandFlags::kOptionalBool},
};
}

MStatus LockNodeCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("lockNode", args, kFlags);
    if (!status)
        return status;
    MSelectionList nodes;
    if (flags.objects().empty()) {
        status = MGlobal::getActiveSelectionList(nodes);
        if (!status)
            return status;
    }
    for (const MString& name : flags.objects()) {
        status = SceneNames::addMatches("lockNode", name, nodes);
        if (!status)
            return status;
    }
    if (nodes.length() == 0) {
        MGlobal::displayError("lockNode: no node is named or selected.");
        return MS::kInvalidParameter;
    }
    if (flags.isQuery()) {
        MIntArray states;
        for (unsigned i = 0; i < nodes.length(); ++i) {
            MObject node;
            if (nodes.getDependNode(i, node))
                states.append(MFnDependencyNode(node).isLocked() ? 1 : 0);
        }
        setResult(states);
        return MS::kSuccess;
    }
    mLock = flags.boolValue("-l", true);
    for (unsigned i = 0; i < nodes.length(); ++i) {
        MObject node;
        if (!nodes.getDependNode(i, node))
            continue;
        mChanges.emplace_back(node, MFnDependencyNode(node).isLocked());
    }
    return redoIt();
}

MStatus LockNodeCommand::redoIt()
{
    for (auto& change : mChanges) {
        MStatus status = MFnDependencyNode(change.first).setLocked(mLock);
        if (!status) {
            MGlobal::displayError(MString("lockNode: cannot lock ") + SceneNames::nodeName(change.first) + ".");
            return status;
        }
    }
    return MS::kSuccess;
}

MStatus LockNodeCommand::undoIt()
{
    for (auto& change : mChanges) {
        MStatus status = MFnDependencyNode(change.first).setLocked(change.second);
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

} // namespace host
