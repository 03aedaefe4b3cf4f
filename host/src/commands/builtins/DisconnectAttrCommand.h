#pragma once
// disconnectAttr: breaks the connection between two plugs, undoably.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class DisconnectAttrCommand : public ModifierCommand
{
public:
    static void* creator() { return new DisconnectAttrCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
