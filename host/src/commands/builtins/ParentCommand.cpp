#include "commands/builtins/ParentCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-w", "-world", CommandFlags::kOptionalBool},
    {"-add", "-addObject", CommandFlags::kOptionalBool},
    {"-s", "-shape", CommandFlags::kOptionalBool},
    {"-r", "-relative", CommandFlags::kOptionalBool},
    {"-a", "-absolute", CommandFlags::kOptionalBool},
    {"-nc", "-noConnections", CommandFlags::kOptionalBool},
};

// Whether `node` is `ancestor` or lies below it.
bool isBelow(const MObject& node, const MObject& ancestor)
{
    if (node == ancestor)
        return true;
    MFnDagNode fn(node);
    for (unsigned i = 0; i < fn.parentCount(); ++i) {
        MObject parent = fn.parent(i);
        if (!parent.isNull() && parent.hasFn(MFn::kDagNode) && isBelow(parent, ancestor))
            return true;
    }
    return false;
}

} // namespace

MStatus ParentCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("parent", args, kFlags);
    if (!status)
        return status;
    const bool toWorld = flags.boolValue("-w", false);
    const bool addInstance = flags.boolValue("-add", false);
    std::vector<MString> names = flags.objects();

    MObject parent;
    if (!toWorld) {
        if (names.empty()) {
            MGlobal::displayError("parent: expects the objects and their new parent.");
            return MS::kInvalidParameter;
        }
        status = SceneNames::findNode("parent", names.back(), parent);
        if (!status)
            return status;
        names.pop_back();
        if (!parent.hasFn(MFn::kDagNode)) {
            MGlobal::displayError(MString("parent: ") + SceneNames::nodeName(parent) + " is not a DAG node.");
            return MS::kInvalidParameter;
        }
    } else if (addInstance) {
        MGlobal::displayError("parent: -addObject needs a parent, not -world.");
        return MS::kInvalidParameter;
    }

    MSelectionList children;
    if (names.empty()) {
        status = MGlobal::getActiveSelectionList(children);
        if (!status)
            return status;
        if (children.length() == 0) {
            MGlobal::displayError("parent: no objects given or selected.");
            return MS::kInvalidParameter;
        }
    }
    for (const MString& name : names) {
        status = SceneNames::addMatches("parent", name, children);
        if (!status)
            return status;
    }

    std::vector<MObject> moved;
    for (unsigned i = 0; i < children.length(); ++i) {
        MObject child;
        status = children.getDependNode(i, child);
        if (!status || !child.hasFn(MFn::kDagNode)) {
            MGlobal::displayError("parent: only DAG nodes can be parented.");
            return MS::kInvalidParameter;
        }
        if (!parent.isNull() && isBelow(parent, child)) {
            MGlobal::displayError(MString("parent: cannot parent ") + SceneNames::nodeName(child) + " under " +
                                  SceneNames::nodeName(parent) + ", which lies below it.");
            return MS::kInvalidParameter;
        }
        if (child.hasFn(MFn::kShape) && !flags.boolValue("-s", false) && !parent.isNull()) {
            MGlobal::displayError(MString("parent: ") + SceneNames::nodeName(child) + " is a shape: use -shape to parent it.");
            return MS::kInvalidParameter;
        }
        if (addInstance) {
            MFnDagNode parentFn(parent);
            status = parentFn.addChild(child, MFnDagNode::kNextPos, true);
            if (!status) {
                MGlobal::displayError(MString("parent: cannot add an instance of ") + SceneNames::nodeName(child) + ".");
                undoIt();
                return status;
            }
            mInstances.emplace_back(parent, child);
        } else {
            status = mModifier.reparentNode(child, parent);
            if (!status) {
                MGlobal::displayError(MString("parent: cannot parent ") + SceneNames::nodeName(child) + ".");
                return status;
            }
        }
        moved.push_back(child);
    }
    if (!addInstance) {
        status = execute("parent");
        if (!status)
            return status;
    }
    MStringArray result;
    for (const MObject& child : moved) {
        if (addInstance) {
            MDagPath path;
            MDagPath::getAPathTo(parent, path);
            path.push(child);
            result.append(path.partialPathName());
        } else {
            result.append(SceneNames::nodeName(child));
        }
    }
    setResult(result);
    return MS::kSuccess;
}

MStatus ParentCommand::undoIt()
{
    for (auto it = mInstances.rbegin(); it != mInstances.rend(); ++it) {
        MFnDagNode parentFn(it->first);
        MStatus status = parentFn.removeChild(it->second);
        if (!status)
            return status;
    }
    return ModifierCommand::undoIt();
}

MStatus ParentCommand::redoIt()
{
    for (auto& instance : mInstances) {
        MFnDagNode parentFn(instance.first);
        MStatus status = parentFn.addChild(instance.second, MFnDagNode::kNextPos, true);
        if (!status)
            return status;
    }
    return ModifierCommand::redoIt();
}

} // namespace host
