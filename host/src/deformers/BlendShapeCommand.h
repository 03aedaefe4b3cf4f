#pragma once
// blendShape [-n name] [-o world|local] [-ib] [-tc bool] [-en envelope] [-w index weight]...
// targets... base: puts a blendShape on the base (the last object named or selected) with each
// target's shape connected live as weight index 0, 1, ... (with -inBetween, the targets are the
// in-betweens of one target, the last the full one). Weights start at 0; -topologyCheck (on)
// refuses targets of another point count. Returns the node's name.
// blendShape -e -t base index target fullWeight [-ib] node: adds a target (or an in-between at
// fullWeight); -e -w index weight, -e -en envelope.
// blendShape -q -t | -w | -wc | -g node: the targets, the weights, their count, the base.
// Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class BlendShapeCommand : public ModifierCommand
{
public:
    static void* creator() { return new BlendShapeCommand; }
    MStatus doIt(const MArgList& args) override;
    bool isUndoable() const override { return !mQuery; }

private:
    bool mQuery = false;
};

} // namespace host
