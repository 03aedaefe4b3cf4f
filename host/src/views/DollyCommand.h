#pragma once
// dolly: moves perspective cameras along their view, towards their centre of interest
// (-distance, relative by default; -absolute: to that distance from it), or scales
// orthographic views (-orthoScale). Undoable. Works without views.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class DollyCommand : public ModifierCommand
{
public:
    static void* creator() { return new DollyCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
