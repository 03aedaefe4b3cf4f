#include "views/ViewCommands.h"

#include "commands/CommandRegistry.h"
#include "views/GetPanelCommand.h"
#include "views/LookThruCommand.h"
#include "views/ModelEditorCommand.h"
#include "views/PlayblastCommand.h"
#include "views/RefreshCommand.h"
#include "views/ViewFitCommand.h"
#include "views/Views.h"

#include <maya/MGlobal.h>

namespace host {

void registerViewCommands()
{
    static const struct
    {
        const char* name;
        MCreatorFunction creator;
    } kCommands[] = {
        {"lookThru", LookThruCommand::creator},     {"viewFit", ViewFitCommand::creator},
        {"getPanel", GetPanelCommand::creator},     {"modelEditor", ModelEditorCommand::creator},
        {"refresh", RefreshCommand::creator},       {"playblast", PlayblastCommand::creator},
    };
    for (const auto& command : kCommands) {
        MStatus status = registerBuiltinCommand(command.name, command.creator, nullptr);
        CHECK_MSTATUS(status);
    }
}

MStatus requireViews(const char* command)
{
    if (viewsStarted())
        return MS::kSuccess;
    MGlobal::displayError(MString(command) + ": no views in batch mode.");
    return MS::kFailure;
}

int panelNamed(const char* command, const MString& name)
{
    const int index = panelIndex(name);
    if (index < 0)
        MGlobal::displayError(MString(command) + ": No panel named '" + name + "'.");
    return index;
}

MString cameraDisplayName(const MDagPath& cameraShape)
{
    MDagPath transform = cameraShape;
    if (transform.node().hasFn(MFn::kCamera))
        transform.pop();
    return transform.partialPathName();
}

} // namespace host
