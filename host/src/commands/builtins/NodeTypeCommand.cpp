#include "commands/builtins/NodeTypeCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/NodeTypeHierarchy.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-i", "-inherited", CommandFlags::kOptionalBool},
};
}

MStatus NodeTypeCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("nodeType", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 1) {
        MGlobal::displayError("nodeType: expects one object name.");
        return MS::kInvalidParameter;
    }
    MString name = flags.objects()[0];
    const int dot = name.index('.');
    if (dot > 0)
        name = name.substring(0, dot - 1);  // a plug or component answers with its node's type
    MObject node;
    status = SceneNames::findNode("nodeType", name, node);
    if (!status)
        return status;
    if (flags.boolValue("-i", false))
        setResult(inheritedTypeNames(node));
    else
        setResult(nodeTypeName(node));
    return MS::kSuccess;
}

} // namespace host
