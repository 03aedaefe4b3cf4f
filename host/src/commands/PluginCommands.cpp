#include "commands/PluginCommands.h"

#include "commands/CommandRegistry.h"
#include "commands/LoadPluginCommand.h"
#include "commands/PluginInfoCommand.h"
#include "commands/UnloadPluginCommand.h"

namespace host {

void registerPluginCommands()
{
    registerBuiltinCommand("loadPlugin", LoadPluginCommand::creator, LoadPluginCommand::newSyntax);
    registerBuiltinCommand("unloadPlugin", UnloadPluginCommand::creator, UnloadPluginCommand::newSyntax);
    registerBuiltinCommand("pluginInfo", PluginInfoCommand::creator, PluginInfoCommand::newSyntax);
}

} // namespace host
