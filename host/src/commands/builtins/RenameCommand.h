#pragma once
// rename: renames a node (the selected one when only the new name is given), undoably.

#include "commands/builtins/ModifierCommand.h"

namespace host {

class RenameCommand : public ModifierCommand
{
public:
    static void* creator() { return new RenameCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
