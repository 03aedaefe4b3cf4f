#pragma once
// createNode: creates a node of a type (-name, -parent; a shape type without a
// parent gets a new transform), selects it unless -skipSelect, undoably.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>

namespace host {

class CreateNodeCommand : public ModifierCommand
{
public:
    static void* creator() { return new CreateNodeCommand; }
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;

private:
    MObject mNode;
    bool mSelect = true;
    MSelectionList mPreviousSelection;
};

} // namespace host
