#include "commands/builtins/RequiresCommand.h"

#include "commands/PluginManager.h"
#include "commands/builtins/CommandFlags.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-nodeType", "-nodeType", CommandFlags::kOneArg},
    {"-dataType", "-dataType", CommandFlags::kOneArg},
};
}

MStatus RequiresCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("requires", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().empty() || flags.objects().size() > 2) {
        MGlobal::displayError("requires: expects a product or plug-in name and its version.");
        return MS::kInvalidParameter;
    }
    const MString& name = flags.objects()[0];
    if (name == "maya" || PluginManager::isLoaded(name))
        return MS::kSuccess;
    status = PluginManager::load(name);
    if (!status) {
        MGlobal::displayError(MString("requires: the plug-in \"") + name + "\" is required but cannot be loaded.");
        return status;
    }
    return MS::kSuccess;
}

} // namespace host
