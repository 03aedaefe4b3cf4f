#pragma once
// menuItem: adds an item (or a divider, an option box, a submenu) to the current
// menu or to -parent; edits and queries items. An item runs its -command as MEL
// when chosen.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class MenuItemCommand : public MPxCommand
{
public:
    static void* creator() { return new MenuItemCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
