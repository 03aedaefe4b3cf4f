#include "commands/builtins/CreateNodeCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/scene/KeptSceneData.h"
#include "dag/UnknownNode.h"
#include "dg/Registry.h"
#include "dg/Scene.h"

#include <maya/MFnDagNode.h>
#include <maya/MFileIO.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>

#include <cstring>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-n", "-name", CommandFlags::kOneArg},
    {"-p", "-parent", CommandFlags::kOneArg},
    {"-ss", "-skipSelect", CommandFlags::kOptionalBool},
    {"-s", "-shared", CommandFlags::kOptionalBool},
};
}

MStatus CreateNodeCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("createNode", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 1) {
        MGlobal::displayError("createNode: expects one node type.");
        return MS::kInvalidParameter;
    }
    const MString& typeName = flags.objects()[0];
    const NodeType* type = findRegisteredType(typeName);
    // A scene file's node of a type the host lacks is kept in a stand-in node.
    const bool standIn = !type && MFileIO::isReadingFile();
    if (standIn)
        type = UnknownNode::standInFor(typeName, flags.isSet("-p"));
    if (!type) {
        MGlobal::displayError(MString("createNode: Unknown object type: ") + typeName);
        return MS::kInvalidParameter;
    }
    if (type->abstract) {
        MGlobal::displayError(MString("createNode: ") + typeName + " is an abstract type and cannot be created.");
        return MS::kInvalidParameter;
    }
    const MString name = flags.arg("-n");
    if (flags.isSet("-n") && !isValidNodeName(name)) {
        MGlobal::displayError(MString("createNode: \"") + name + "\" is not a valid node name.");
        return MS::kInvalidParameter;
    }
    if (flags.boolValue("-s", false) && name.length() > 0) {
        // A shared node that exists already is used as it is.
        // It is selected as a new node would be, so that the relative setAttrs
        // that follow it in a scene file reach it.
        if (Node* existing = findNodeByName(name)) {
            if (existing->type == type && (!standIn || KeptSceneData::realTypeOf(existing->object()) == typeName)) {
                mSelect = false;
                if (!flags.boolValue("-ss", false)) {
                    status = MGlobal::selectByName(name, MGlobal::kReplaceList);
                    if (!status) {
                        MGlobal::displayError("createNode: cannot select the new node.");
                        return status;
                    }
                }
                setResult(name);
                return MS::kSuccess;
            }
        }
    }
    MObject parent;
    if (flags.isSet("-p")) {
        status = SceneNames::findNode("createNode", flags.arg("-p"), parent);
        if (!status)
            return status;
        if (!type->isDag || !parent.hasFn(MFn::kDagNode)) {
            MGlobal::displayError(MString("createNode: ") + typeName + " cannot be parented under " +
                                  SceneNames::nodeName(parent) + ".");
            return MS::kInvalidParameter;
        }
    }

    MObject created = type->isDag ? mModifier.createNode(type->info.name, parent, &status)
                                  : static_cast<MDGModifier&>(mModifier).createNode(type->info.name, &status);
    if (!status) {
        MGlobal::displayError(MString("createNode: cannot create a node of type ") + typeName + ".");
        return status;
    }
    status = execute("createNode");
    if (!status)
        return status;
    mNode = created;
    if (type->isShape && parent.isNull() && created.hasFn(MFn::kTransform)) {
        // The modifier made a transform for the shape; the shape is the result.
        MFnDagNode transform(created);
        if (transform.childCount() > 0)
            mNode = transform.child(0);
        if (name.length() > 5 && std::strcmp(name.asChar() + name.length() - 5, "Shape") == 0) {
            status = mModifier.renameNode(created, name.substring(0, static_cast<int>(name.length()) - 6));
            if (!status)
                return status;
        }
    }
    if (name.length() > 0) {
        status = mModifier.renameNode(mNode, name);
        if (status)
            status = execute("createNode");
        if (!status)
            return status;
    }
    if (standIn)
        KeptSceneData::rememberRealType(mNode, typeName);
    if (flags.boolValue("-s", false) && MFileIO::isReadingFile())
        KeptSceneData::rememberShared(mNode);
    mSelect = !flags.boolValue("-ss", false);
    if (mSelect) {
        status = MGlobal::getActiveSelectionList(mPreviousSelection);
        if (status)
            status = MGlobal::select(mNode, MGlobal::kReplaceList);
        if (!status) {
            MGlobal::displayError("createNode: cannot select the new node.");
            return status;
        }
    }
    setResult(MFnDependencyNode(mNode).name());
    return MS::kSuccess;
}

MStatus CreateNodeCommand::undoIt()
{
    if (mSelect) {
        MStatus status = MGlobal::setActiveSelectionList(mPreviousSelection);
        if (!status)
            return status;
    }
    return ModifierCommand::undoIt();
}

MStatus CreateNodeCommand::redoIt()
{
    MStatus status = ModifierCommand::redoIt();
    if (status && mSelect)
        status = MGlobal::select(mNode, MGlobal::kReplaceList);
    return status;
}

} // namespace host
