#include "views/LookThruCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "views/StartupCameras.h"
#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
};
}

MStatus LookThruCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("lookThru", args, kFlags);
    if (!status)
        return status;
    status = requireViews("lookThru");
    if (!status)
        return status;
    const std::vector<MString>& objects = flags.objects();
    if (flags.isQuery()) {
        if (objects.size() > 1) {
            MGlobal::displayError("lookThru: -query takes at most a panel.");
            return MS::kInvalidParameter;
        }
        const int panel = objects.empty() ? static_cast<int>(activePanel()) : panelNamed("lookThru", objects[0]);
        if (panel < 0)
            return MS::kInvalidParameter;
        setResult(cameraDisplayName(panelCamera(static_cast<unsigned>(panel))));
        return MS::kSuccess;
    }
    if (objects.empty() || objects.size() > 2) {
        MGlobal::displayError("lookThru: expects a camera and optionally a panel.");
        return MS::kInvalidParameter;
    }
    MDagPath camera;
    if (!findCamera(objects[0], camera)) {
        MGlobal::displayError(MString("lookThru: ") + objects[0] + " is not a camera.");
        return MS::kInvalidParameter;
    }
    const int panel = objects.size() == 2 ? panelNamed("lookThru", objects[1]) : static_cast<int>(activePanel());
    if (panel < 0)
        return MS::kInvalidParameter;
    return setPanelCamera(static_cast<unsigned>(panel), camera);
}

} // namespace host
