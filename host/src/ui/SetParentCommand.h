#pragma once
// setParent -menu NAME | -menu ".." | -query -menu: the menu later menuItems go
// into. The host has no layouts, so only menu parents exist.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class SetParentCommand : public MPxCommand
{
public:
    static void* creator() { return new SetParentCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
