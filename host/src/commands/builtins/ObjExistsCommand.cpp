#include "commands/builtins/ObjExistsCommand.h"

#include "commands/builtins/SceneNames.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>

namespace host {

MStatus ObjExistsCommand::doIt(const MArgList& args)
{
    if (args.length() != 1) {
        MGlobal::displayError("objExists: expects one object name.");
        return MS::kInvalidParameter;
    }
    setResult(SceneNames::exists(args.asString(0)));
    return MS::kSuccess;
}

} // namespace host
