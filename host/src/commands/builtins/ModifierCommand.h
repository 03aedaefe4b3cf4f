#pragma once
// Base of the built-in commands that change the scene: they queue their
// changes on a modifier they own, so that undo reverts them in reverse order
// and redo executes them again.

#include <maya/MDagModifier.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>

namespace host {

class ModifierCommand : public MPxCommand
{
public:
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override { return true; }

protected:
    // Executes what was queued; on failure undoes everything this command
    // executed and reports "<command>: <what failed>" (the status text when
    // `whatFailed` is empty).
    MStatus execute(const char* command, const MString& whatFailed = MString());

    // Makes the node the command created the selection, as Maya's creation commands do; undo
    // gives back the selection before it, redo selects the node again.
    MStatus selectCreated(const MObject& node);

    MDagModifier mModifier;

private:
    MObject mCreated;
    MSelectionList mSelectionBefore;
};

} // namespace host
