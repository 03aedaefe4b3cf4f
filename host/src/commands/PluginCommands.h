#pragma once
// The built-in commands that manage plug-ins: loadPlugin, unloadPlugin,
// pluginInfo.

namespace host {

void registerPluginCommands();

} // namespace host
