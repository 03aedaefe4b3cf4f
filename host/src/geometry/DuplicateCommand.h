#pragma once
// duplicate [-n name] [objects]: copies transforms with their shapes (a mesh's
// or curve's current geometry, tweaks included, becomes the copy's own; other
// shapes keep their stored values)
// under the same parent, numbered as Maya numbers copies ("pCube1" ->
// "pCube2", "pCubeShape2"). No objects means the selection; the copies are
// selected and returned. Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>
#include <maya/MSelectionList.h>

namespace host {

class DuplicateCommand : public ModifierCommand
{
public:
    static void* creator() { return new DuplicateCommand; }
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;

private:
    MStatus copyShapeValues(const MObject& original, const MObject& shape);

    MSelectionList mPreviousSelection;
    MSelectionList mCopies;
};

} // namespace host
