#include "commands/builtins/ObjectTypeCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/NodeTypeHierarchy.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-i", "-isType", CommandFlags::kOneArg},
    {"-isa", "-isAType", CommandFlags::kOneArg},
};
}

MStatus ObjectTypeCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("objectType", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 1) {
        MGlobal::displayError("objectType: expects one object name.");
        return MS::kInvalidParameter;
    }
    MString name = flags.objects()[0];
    const int dot = name.index('.');
    if (dot > 0)
        name = name.substring(0, dot - 1);
    MObject node;
    status = SceneNames::findNode("objectType", name, node);
    if (!status)
        return status;
    if (flags.isSet("-i"))
        setResult(nodeTypeName(node) == flags.arg("-i"));
    else if (flags.isSet("-isa"))
        setResult(isOfType(node, flags.arg("-isa")));
    else
        setResult(nodeTypeName(node));
    return MS::kSuccess;
}

} // namespace host
