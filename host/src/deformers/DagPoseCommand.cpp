#include "deformers/DagPoseCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "deformers/AttributeBuilders.h"
#include "deformers/BindPose.h"
#include "deformers/DagPoseNode.h"
#include "dg/Node.h"
#include "dg/Registry.h"
#include "dg/Scene.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <vector>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-r", "-restore", CommandFlags::kNoArg},   {"-s", "-save", CommandFlags::kNoArg},
    {"-bp", "-bindPose", CommandFlags::kNoArg}, {"-g", "-global", CommandFlags::kNoArg},
    {"-n", "-name", CommandFlags::kOneArg},
};

MStatus fail(const MString& message)
{
    MGlobal::displayError("dagPose: " + message);
    return MS::kInvalidParameter;
}

bool isDagPose(const MObject& node)
{
    return nodeOf(node) && nodeOf(node)->type->info.name == DagPoseNode::typeName;
}

void addPose(const MObject& pose, bool bindOnly, std::vector<MObject>& poses)
{
    if (bindOnly && !MPlug(pose, DagPoseNode::bindPose).asBool())
        return;
    for (const MObject& known : poses)
        if (known == pose)
            return;
    poses.push_back(pose);
}

} // namespace

MStatus DagPoseCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    DEFORMER_CHECK(flags.parse("dagPose", args, kFlags));
    const bool restore = flags.isSet("-r"), save = flags.isSet("-s"), bindOnly = flags.isSet("-bp");
    if (restore == save)
        return fail("give one of -restore and -save.");
    MSelectionList list;
    DEFORMER_CHECK(SceneNames::namedOrSelected("dagPose", flags.objects(), list));
    if (list.length() == 0)
        return fail(restore ? "name or select a pose or its members." : "name or select the nodes to save.");

    MStringArray result;
    if (save) {
        std::vector<MDagPath> nodes;
        for (unsigned i = 0; i < list.length(); ++i) {
            MDagPath path;
            if (!list.getDagPath(i, path) || !path.node().hasFn(MFn::kTransform)) {
                MObject node;
                list.getDependNode(i, node);
                return fail(SceneNames::nodeName(node) + " is not a transform.");
            }
            nodes.push_back(path);
        }
        MObject pose;
        DEFORMER_CHECK(queueBindPose(mModifier, nodes, pose));
        DEFORMER_CHECK(mModifier.newPlugValueBool(MPlug(pose, DagPoseNode::bindPose), bindOnly));
        if (flags.isSet("-n"))
            DEFORMER_CHECK(mModifier.renameNode(pose, flags.arg("-n")));
        DEFORMER_CHECK(execute("dagPose"));
        result.append(MFnDependencyNode(pose).name());
        setResult(result);
        return MS::kSuccess;
    }

    std::vector<MObject> poses;
    for (unsigned i = 0; i < list.length(); ++i) {
        MObject node;
        list.getDependNode(i, node);
        if (isDagPose(node)) {
            addPose(node, false, poses);
            continue;
        }
        MPlugArray members;
        MPlug(node, MPxNode::message).destinations(members);
        for (unsigned k = 0; k < members.length(); ++k)
            if (isDagPose(members[k].node()))
                addPose(members[k].node(), bindOnly, poses);
    }
    if (poses.empty()) {
        MObject first;
        list.getDependNode(0, first);
        return fail(MString("no ") + (bindOnly ? "bind pose" : "pose") + " holds " + SceneNames::nodeName(first) + ".");
    }
    MStringArray kept;
    for (const MObject& pose : poses) {
        DEFORMER_CHECK(queueRestore(mModifier, pose, kept));
        result.append(MFnDependencyNode(pose).name());
    }
    DEFORMER_CHECK(execute("dagPose"));
    for (unsigned i = 0; i < kept.length(); ++i)
        MGlobal::displayWarning("dagPose: " + kept[i] + " has locked or connected channels that keep their values.");
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
