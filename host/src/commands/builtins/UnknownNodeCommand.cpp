#include "commands/builtins/UnknownNodeCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/scene/KeptSceneData.h"
#include "dag/UnknownNode.h"
#include "dg/Node.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-rcn", "-realClassName", CommandFlags::kNoArg},
    {"-rct", "-realClassTag", CommandFlags::kNoArg},
    {"-p", "-plugin", CommandFlags::kNoArg},
};
}

MStatus UnknownNodeCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("unknownNode", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 1) {
        MGlobal::displayError("unknownNode: expects one node.");
        return MS::kInvalidParameter;
    }
    MObject node;
    status = SceneNames::findNode("unknownNode", flags.objects()[0], node);
    if (!status)
        return status;
    if (!UnknownNode::isStandIn(nodeOf(node)->type)) {
        MGlobal::displayError(MString("unknownNode: ") + SceneNames::nodeName(node) + " is not an unknown node.");
        return MS::kInvalidParameter;
    }
    if (!flags.isQuery()) {
        MGlobal::displayError("unknownNode: only queries are supported (-q -realClassName, -realClassTag, -plugin).");
        return MS::kInvalidParameter;
    }
    if (flags.isSet("-rcn"))
        setResult(KeptSceneData::realTypeOf(node));
    else
        // The file names no class tag or plug-in for a node; Maya answers "" for them too.
        setResult(MString());
    return MS::kSuccess;
}

} // namespace host
