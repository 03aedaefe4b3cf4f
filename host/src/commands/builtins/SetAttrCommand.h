#pragma once
// setAttr: sets plug values from MEL text, undoably (see PlugValue for the value forms).

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class SetAttrCommand : public ModifierCommand
{
public:
    static void* creator() { return new SetAttrCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
