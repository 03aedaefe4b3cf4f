#include "views/CommandPortCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "views/CommandPort.h"
#include "views/ViewCommands.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},        {"-n", "-name", CommandFlags::kOneArg},
    {"-cl", "-close", CommandFlags::kOptionalBool}, {"-eo", "-echoOutput", CommandFlags::kOptionalBool},
    {"-nr", "-noreturn", CommandFlags::kOptionalBool}, {"-stp", "-sourceType", CommandFlags::kOneArg},
    {"-lp", "-listPorts", CommandFlags::kOptionalBool}, {"-sw", "-securityWarning", CommandFlags::kOptionalBool},
};
const char* const kCommand = "commandPort";
} // namespace

MStatus CommandPortCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse(kCommand, args, kFlags);
    if (!status)
        return status;
    if (flags.boolValue("-lp", false)) {
        setResult(commandPortNames());
        return MS::kSuccess;
    }
    // The name may also stand as the command's object: commandPort -q ":7001".
    MString name = flags.arg("-n");
    if (!flags.isSet("-n") && flags.objects().size() == 1)
        name = flags.objects()[0];
    if (name.length() == 0) {
        MGlobal::displayError("commandPort: -name is required.");
        return MS::kInvalidParameter;
    }
    if (flags.isQuery()) {
        setResult(commandPortOpen(name));
        return MS::kSuccess;
    }
    if (flags.boolValue("-cl", false)) {
        if (!closeCommandPort(name)) {
            MGlobal::displayError(MString("commandPort: No command port named ") + name + " is open.");
            return MS::kFailure;
        }
        return MS::kSuccess;
    }
    if (flags.isSet("-stp") && flags.arg("-stp") != "mel") {
        MGlobal::displayError(MString("commandPort: Source type \"") + flags.arg("-stp") +
                              "\" is not supported; only \"mel\" is.");
        return MS::kInvalidParameter;
    }
    // Ports are served by the views' event loop.
    status = requireViews(kCommand);
    if (!status)
        return status;
    CommandPortOptions options;
    options.echoOutput = flags.boolValue("-eo", false);
    options.noReturn = flags.boolValue("-nr", false);
    std::string reason;
    if (!openCommandPort(name, options, reason)) {
        MGlobal::displayError(MString("commandPort: Could not create command port: ") + name + " (" + reason.c_str() +
                              ").");
        return MS::kFailure;
    }
    return MS::kSuccess;
}

} // namespace host
