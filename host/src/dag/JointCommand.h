#pragma once
// joint [-n name] [-p x y z] [-o x y z] [-rad r] [-a | -r] [parent]: makes a joint under the
// selected (or named) transform, or at the top of a new hierarchy; a joint under a joint takes
// its parent's scale as "inverseScale". The position is in world space, or relative to the
// parent with -r; -o is the joint orient in degrees. The new joint is selected, so that joint
// after joint builds a chain. Returns the joint's name.
// joint -e [flags] [joints]: sets the position, orient or radius of the joints (the selection).
// joint -q -p | -o | -rad joint: the world (or, with -r, local) position, the orient, the radius.
// Positions are in the UI's linear unit, angles in its angular unit. Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class JointCommand : public ModifierCommand
{
public:
    static void* creator() { return new JointCommand; }
    MStatus doIt(const MArgList& args) override;
    bool isUndoable() const override { return !mQuery; }

private:
    bool mQuery = false;
};

} // namespace host
