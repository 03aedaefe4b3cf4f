#include "views/SetToolToCommand.h"

#include "views/ToolContexts.h"
#include "views/Views.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>

namespace host {

MStatus SetToolToCommand::doIt(const MArgList& args)
{
    if (args.length() != 1) {
        MGlobal::displayError("setToolTo: expects the name of one tool context.");
        return MS::kInvalidParameter;
    }
    const MString name = args.asString(0);
    if (!setCurrentContext(name)) {
        MGlobal::displayError(MString("setToolTo: Context '") + name + "' not found.");
        return MS::kInvalidParameter;
    }
    // The views draw the new tool's manipulator.
    scheduleRefreshAll();
    return MS::kSuccess;
}

} // namespace host
