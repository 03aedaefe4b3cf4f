#include "views/PanelLayoutCommands.h"

#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>

namespace host {

MStatus SetNamedPanelLayoutCommand::doIt(const MArgList& args)
{
    MStatus status = requireViews("setNamedPanelLayout");
    if (!status)
        return status;
    const MString layout = args.length() == 1 ? args.asString(0) : MString();
    if (layout == "Four View") {
        showFourPanels();
    } else if (layout == "Single Perspective View") {
        showSinglePanel(3);
    } else {
        MGlobal::displayError(MString("setNamedPanelLayout: unknown layout \"") + layout +
                              "\" (\"Four View\" or \"Single Perspective View\").");
        return MS::kInvalidParameter;
    }
    processEvents();
    return MS::kSuccess;
}

MStatus HostWindowImageCommand::doIt(const MArgList& args)
{
    MStatus status = requireViews("hostWindowImage");
    if (!status)
        return status;
    if (args.length() != 1 || args.asString(0).length() == 0) {
        MGlobal::displayError("hostWindowImage: expects the PNG file to write.");
        return MS::kInvalidParameter;
    }
    return writeWindowImage(args.asString(0).asChar());
}

} // namespace host
