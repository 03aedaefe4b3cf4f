#include "views/RefreshCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-cv", "-currentView", CommandFlags::kOptionalBool},
    {"-f", "-force", CommandFlags::kOptionalBool},
    {"-fe", "-fileExtension", CommandFlags::kOneArg},
    {"-fn", "-filename", CommandFlags::kOneArg},
    {"-su", "-suspend", CommandFlags::kOptionalBool},
};
}

MStatus RefreshCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("refresh", args, kFlags);
    if (!status)
        return status;
    if (!flags.objects().empty()) {
        MGlobal::displayError(MString("refresh: unexpected argument ") + flags.objects()[0] + ".");
        return MS::kInvalidParameter;
    }
    const bool toFile = flags.isSet("-fn") || flags.isSet("-fe");
    // A plain redraw in batch mode has nothing to draw, as in mayabatch.
    if (!viewsStarted() && !toFile)
        return MS::kSuccess;
    status = requireViews("refresh");
    if (!status)
        return status;
    if (flags.isSet("-su"))
        return MS::kSuccess;
    if (toFile) {
        if (!flags.isSet("-fn")) {
            MGlobal::displayError("refresh: -fileExtension needs -filename.");
            return MS::kInvalidParameter;
        }
        const MString extension = flags.isSet("-fe") ? flags.arg("-fe") : MString("png");
        if (extension != "png") {
            MGlobal::displayError(MString("refresh: cannot write \"") + extension + "\" images; use -fileExtension png.");
            return MS::kInvalidParameter;
        }
        const MString file = flags.arg("-fn");
        if (file.length() == 0) {
            MGlobal::displayError("refresh: -filename needs a file name.");
            return MS::kInvalidParameter;
        }
        return writeViewImage(activePanel(), file.asChar());
    }
    if (flags.boolValue("-cv", false)) {
        refreshNow(activePanel());
    } else {
        for (unsigned i = 0; i < panelCount(); ++i)
            refreshNow(i);
    }
    return MS::kSuccess;
}

} // namespace host
