#include "views/GetPanelCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "views/Views.h"

#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-typ", "-type", CommandFlags::kOneArg},
    {"-wf", "-withFocus", CommandFlags::kNoArg},
    {"-all", "-allPanels", CommandFlags::kNoArg},
    {"-vis", "-visiblePanels", CommandFlags::kNoArg},
    {"-to", "-typeOf", CommandFlags::kOneArg},
};
}

MStatus GetPanelCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("getPanel", args, kFlags);
    if (!status)
        return status;
    const int modes = static_cast<int>(flags.isSet("-typ")) + static_cast<int>(flags.isSet("-wf")) +
                      static_cast<int>(flags.isSet("-all")) + static_cast<int>(flags.isSet("-vis")) +
                      static_cast<int>(flags.isSet("-to"));
    if (modes != 1 || !flags.objects().empty()) {
        MGlobal::displayError("getPanel: use one of -type, -typeOf, -withFocus, -all and -visiblePanels.");
        return MS::kInvalidParameter;
    }
    if (flags.isSet("-wf")) {
        setResult(panelCount() > 0 ? panelName(activePanel()) : MString());
        return MS::kSuccess;
    }
    if (flags.isSet("-to")) {
        const MString name = flags.arg("-to");
        if (panelIndex(name) < 0) {
            MGlobal::displayError(MString("getPanel: No panel named '") + name + "'.");
            return MS::kInvalidParameter;
        }
        setResult(MString("modelPanel"));
        return MS::kSuccess;
    }
    MStringArray names;
    const bool modelPanels = !flags.isSet("-typ") || flags.arg("-typ") == "modelPanel";
    for (unsigned i = 0; modelPanels && i < panelCount(); ++i) {
        if (flags.isSet("-vis") && !panelShown(i))
            continue;
        names.append(panelName(i));
    }
    setResult(names);
    return MS::kSuccess;
}

} // namespace host
