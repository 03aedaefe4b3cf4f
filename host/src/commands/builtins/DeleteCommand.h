#pragma once
// delete: removes nodes (the selection when none are named), undoably.

#include "commands/builtins/ModifierCommand.h"

namespace host {

class DeleteCommand : public ModifierCommand
{
public:
    static void* creator() { return new DeleteCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
