#pragma once
// move x y z [objects]: moves transforms (their translation), mesh vertices
// (their tweaks) or curve CVs, to the position or by it with -r, in world space unless
// -os/-ls; no objects means the selection. Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class MoveCommand : public ModifierCommand
{
public:
    static void* creator() { return new MoveCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
