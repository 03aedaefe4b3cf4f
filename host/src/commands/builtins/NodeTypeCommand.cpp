#include "commands/builtins/NodeTypeCommand.h"

#include "commands/builtins/SceneNames.h"

#include <maya/MArgList.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>

namespace host {

MStatus NodeTypeCommand::doIt(const MArgList& args)
{
    if (args.length() != 1) {
        MGlobal::displayError("nodeType: expects one object name.");
        return MS::kInvalidParameter;
    }
    MString name = args.asString(0);
    const int dot = name.index('.');
    if (dot > 0)
        name = name.substring(0, dot - 1);  // a plug answers with its node's type
    MObject node;
    MStatus status = SceneNames::findNode("nodeType", name, node);
    if (!status)
        return status;
    setResult(MFnDependencyNode(node).typeName());
    return MS::kSuccess;
}

} // namespace host
