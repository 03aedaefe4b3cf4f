#pragma once
// The host's built-in MEL commands.

namespace host {

// Registers every built-in command with the command registry (called once
// by the registry on first use).
void registerBuiltinCommands();
// The commands scripts use around the scene (ScriptCommands.cpp); part of the above.
void registerScriptCommands();

} // namespace host
