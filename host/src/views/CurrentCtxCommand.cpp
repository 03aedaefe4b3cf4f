#include "views/CurrentCtxCommand.h"

#include "views/ToolContexts.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>

namespace host {

MStatus CurrentCtxCommand::doIt(const MArgList& args)
{
    if (args.length() != 0) {
        MGlobal::displayError("currentCtx: takes no arguments.");
        return MS::kInvalidParameter;
    }
    setResult(currentContext());
    return MS::kSuccess;
}

} // namespace host
