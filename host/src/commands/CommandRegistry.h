#pragma once
// The table of every command MEL can run: built-in commands registered by the
// host at start-up and commands registered by plug-ins through MFnPlugin.
// Names are unique across both kinds.

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

#include <vector>

// The creator and syntax function shapes of MFnPlugin.h, which host sources
// do not include (it defines the plug-in's MApiVersion).
typedef void* (*MCreatorFunction)();
typedef MSyntax (*MCreateSyntaxFunction)();

namespace host {

struct CommandEntry
{
    MString name;
    MCreatorFunction creator = nullptr;
    MCreateSyntaxFunction syntaxFunction = nullptr;
    MString plugin;  // owning plug-in; empty for built-in commands
};

// Registers a built-in command. Fails on an empty name, a null creator or a
// name already taken.
MStatus registerBuiltinCommand(const MString& name, MCreatorFunction creator,
                               MCreateSyntaxFunction syntaxFunction);

// Registers a command of `plugin`. Fails like registerBuiltinCommand,
// including for names of built-in commands.
MStatus registerPluginCommand(const MString& name, MCreatorFunction creator,
                              MCreateSyntaxFunction syntaxFunction, const MString& plugin);

// Removes a plug-in command. Fails when no command of that plug-in has the name.
MStatus deregisterPluginCommand(const MString& name, const MString& plugin);

// The command called `name`, or null. Entries stay valid until deregistered.
const CommandEntry* findCommand(const MString& name);

// Names of the commands `plugin` registered, in registration order.
std::vector<MString> commandsOfPlugin(const MString& plugin);

} // namespace host
