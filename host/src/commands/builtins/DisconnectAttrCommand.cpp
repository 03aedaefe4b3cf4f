#include "commands/builtins/DisconnectAttrCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {{"-na", "-nextAvailable", CommandFlags::kOptionalBool}};
}

MStatus DisconnectAttrCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("disconnectAttr", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 2) {
        MGlobal::displayError("disconnectAttr: expects a source and a destination attribute.");
        return MS::kInvalidParameter;
    }
    MPlug source, destination;
    status = SceneNames::findPlug("disconnectAttr", flags.objects()[0], source);
    if (!status)
        return status;
    status = SceneNames::findPlug("disconnectAttr", flags.objects()[1], destination);
    if (!status)
        return status;
    if (destination.source() != source) {
        MGlobal::displayError(MString("disconnectAttr: ") + SceneNames::plugName(source, true) +
                              " is not connected to " + SceneNames::plugName(destination, true) + ".");
        return MS::kFailure;
    }
    status = mModifier.disconnect(source, destination);
    if (!status)
        return status;
    return execute("disconnectAttr");
}

} // namespace host
