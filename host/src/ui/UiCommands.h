#pragma once
// The MEL interface commands: menu, menuItem, setParent, deleteUI, optionVar, promptDialog.

namespace host {

void registerUiCommands();

} // namespace host
