#include "commands/builtins/RenameCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/scene/NodeUuids.h"
#include "dg/Scene.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-ignoreShape", "-ignoreShape", CommandFlags::kNoArg},
    {"-uid", "-uuid", CommandFlags::kOptionalBool},
};
}

MStatus RenameCommand::setUuid(const MObject& node, const MString& uuid)
{
    if (!NodeUuids::isWellFormed(uuid)) {
        MGlobal::displayError(MString("rename: \"") + uuid + "\" is not a valid UUID.");
        return MS::kInvalidParameter;
    }
    NodeUuids::set(nodeOf(node), uuid);
    setResult(NodeUuids::of(nodeOf(node)));
    return MS::kSuccess;
}

MStatus RenameCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("rename", args, kFlags);
    if (!status)
        return status;
    const std::vector<MString>& objects = flags.objects();
    if (objects.empty() || objects.size() > 2) {
        MGlobal::displayError("rename: expects the node and its new name, or just a new name for the selected node.");
        return MS::kInvalidParameter;
    }
    MObject node;
    if (objects.size() == 2) {
        status = SceneNames::findNode("rename", objects[0], node);
    } else {
        MSelectionList selection;
        status = MGlobal::getActiveSelectionList(selection);
        if (status && selection.length() > 0)
            status = selection.getDependNode(0, node);
        else
            status = MS::kInvalidParameter;
        if (!status)
            MGlobal::displayError("rename: no object is selected to rename.");
    }
    if (!status)
        return status;
    const MString& newName = objects.back();
    if (flags.boolValue("-uid", false))
        return setUuid(node, newName);
    if (!isValidNodeName(newName)) {
        MGlobal::displayError(MString("rename: \"") + newName + "\" is not a valid node name.");
        return MS::kInvalidParameter;
    }
    status = mModifier.renameNode(node, newName);
    if (!status) {
        MGlobal::displayError(MString("rename: cannot rename ") + SceneNames::nodeName(node) + ".");
        return status;
    }
    status = execute("rename");
    if (!status)
        return status;
    setResult(MFnDependencyNode(node).name());
    return MS::kSuccess;
}

} // namespace host
