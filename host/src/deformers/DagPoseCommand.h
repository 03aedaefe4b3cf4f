#pragma once
// dagPose -restore [-bindPose] [poses or members...]: puts the members of the named poses (or of
// the poses the named or selected nodes belong to; with -bindPose only bind poses) back as the
// poses saved them. Channels that are locked or driven keep their values, with a warning naming
// their nodes. dagPose -save [-bindPose] [-n name] nodes: saves a new pose of the nodes and what
// lies above them. Returns the poses' names. Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class DagPoseCommand : public ModifierCommand
{
public:
    static void* creator() { return new DagPoseCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
