#include "views/ViewCommands.h"

#include "commands/CommandRegistry.h"
#include "views/ColorIndexCommand.h"
#include "views/ContextInfoCommand.h"
#include "views/CurrentCtxCommand.h"
#include "views/CommandPortCommand.h"
#include "views/GetPanelCommand.h"
#include "views/HostMouseEventCommand.h"
#include "views/IsolateSelect.h"
#include "views/IsolateSelectCommand.h"
#include "views/LookThruCommand.h"
#include "views/ManipContextCommand.h"
#include "views/ManipOptionsCommand.h"
#include "views/ModelEditorCommand.h"
#include "views/PanelLayoutCommands.h"
#include "views/PlayblastCommand.h"
#include "views/RefreshCommand.h"
#include "views/SelectionMode.h"
#include "views/SetToolToCommand.h"
#include "views/ToolManipulatorDrawing.h"
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
        {"hostMouseEvent", HostMouseEventCommand::creator}, {"commandPort", CommandPortCommand::creator},
        {"setToolTo", SetToolToCommand::creator},   {"currentCtx", CurrentCtxCommand::creator},
        {"contextInfo", ContextInfoCommand::creator},
        {"colorIndex", ColorIndexCommand::creator},
        {"manipMoveContext", ManipContextCommand::moveCreator},
        {"manipRotateContext", ManipContextCommand::rotateCreator},
        {"manipScaleContext", ManipContextCommand::scaleCreator},
        {"manipOptions", ManipOptionsCommand::creator},
        {"isolateSelect", IsolateSelectCommand::creator},
        {"setNamedPanelLayout", SetNamedPanelLayoutCommand::creator},
        {"hostWindowImage", HostWindowImageCommand::creator},
        {"selectMode", SelectModeCommand::creator},
        {"selectType", SelectTypeCommand::creator},
    };
    for (const auto& command : kCommands) {
        MStatus status = registerBuiltinCommand(command.name, command.creator, nullptr);
        CHECK_MSTATUS(status);
    }
    setDrawFilter(isolateShows);
    setOverlaySource(toolManipulatorLines);
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

bool isQueryCall(const MArgList& args)
{
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        if (word == "-q" || word == "-query")
            return true;
    }
    return false;
}

MString cameraDisplayName(const MDagPath& cameraShape)
{
    MDagPath transform = cameraShape;
    if (transform.node().hasFn(MFn::kCamera))
        transform.pop();
    return transform.partialPathName();
}

} // namespace host
