#pragma once
// deformer -type T [-n name] [objects]: puts a new deformer of type T (a
// registered deformer or geometry-filter type) into the history of each
// target mesh or curve and returns its name. A target without history gets
// its current geometry kept in an intermediate shape "<shape>Orig" beside it,
// which feeds the deformer; a target that already has history (another
// deformer) has the new deformer stacked on top: it takes its input from
// what fed the shape. The i-th target is input[i] / outputGeometry[i].
// "#" in the name becomes the next free number ("<type>#" by default). No
// objects means the selection. Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>
#include <maya/MDagPath.h>

namespace host {

class DeformerCommand : public ModifierCommand
{
public:
    static void* creator() { return new DeformerCommand; }
    MStatus doIt(const MArgList& args) override;

    // The visible mesh or curve shape an object names (the object itself or
    // the first such shape below a transform).
    static MStatus deformableShape(const MDagPath& object, MDagPath& shape);
    // Queues (does not execute) the history edits that put a deformer on a shape as its
    // index-th geometry: the Orig shape (returned in `orig`) when the shape has no history,
    // else the deformer stacked on what fed it.
    static MStatus queueInsertion(MDagModifier& modifier, const MObject& deformer, const MDagPath& shape,
                                  unsigned index, MObject* orig = nullptr);

private:
    // Queues and executes the history edits that put the deformer on one shape.
    MStatus insertDeformer(const MObject& deformer, const MDagPath& shape, unsigned index);
};

} // namespace host
