#pragma once
// connectAttr: connects two plugs (-force replaces an incoming connection, -nextAvailable picks a free element), undoably.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class ConnectAttrCommand : public ModifierCommand
{
public:
    static void* creator() { return new ConnectAttrCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
