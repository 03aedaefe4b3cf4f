#pragma once
// delete: removes nodes (the selection when none are named), undoably.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class DeleteCommand : public ModifierCommand
{
public:
    static void* creator() { return new DeleteCommand; }
    MStatus doIt(const MArgList& args) override;
    // Undo brings the nodes back selected as they were.
    MStatus undoIt() override;

private:
    MSelectionList mSelectionBefore;
};

} // namespace host
