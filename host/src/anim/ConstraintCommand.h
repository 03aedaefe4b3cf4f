#pragma once
// parentConstraint, pointConstraint, orientConstraint, scaleConstraint and
// aimConstraint, as in Maya: "<cmd> [flags] target... object" (or the selection,
// the object last) makes "<object>_<cmd>1" under the object, wired as Maya wires
// it (the object's parent inverse matrix, pivots, rotate order and joint orient
// in; each target's channels and parent matrix into target[i], its weight from a
// "<target>W<i>" attribute; the outputs into the object's channels, less the
// -skipTranslate/-skipRotate/-skip axes). Running it again on a constrained
// object adds the targets. -mo keeps the object where it is (target offsets, or
// -offset); -w sets the weights; -e -w changes them; -rm takes targets out (the
// last one out deletes the constraint); -q -tl / -wal / -w list the targets,
// their weight attributes and weights. aimConstraint takes -aim, -u, -wu, -wut
// and -wuo. Result: the constraint's name. Undoable.

#include "commands/builtins/ModifierCommand.h"

#include "anim/ConstraintNode.h"

#include <maya/MArgList.h>

namespace host {

class ConstraintCommand : public ModifierCommand
{
public:
    explicit ConstraintCommand(ConstraintNode::Kind kind) : mKind(kind) {}
    MStatus doIt(const MArgList& args) override;
    bool isUndoable() const override { return !mQuery; }

    static void* parentCreator() { return new ConstraintCommand(ConstraintNode::kParent); }
    static void* pointCreator() { return new ConstraintCommand(ConstraintNode::kPoint); }
    static void* orientCreator() { return new ConstraintCommand(ConstraintNode::kOrient); }
    static void* scaleCreator() { return new ConstraintCommand(ConstraintNode::kScale); }
    static void* aimCreator() { return new ConstraintCommand(ConstraintNode::kAim); }

private:
    const ConstraintNode::Kind mKind;
    bool mQuery = false;
};

} // namespace host
