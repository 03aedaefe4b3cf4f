#pragma once
// Host-wide state behind MGlobal that only the host and pellixbatch change.

#include <maya/MGlobal.h>
#include <maya/MStatus.h>

namespace host {

// kBatch unless changed (pellixbatch and the tests run in batch mode).
void setMayaState(MGlobal::MMayaState state);

// Drops deleted nodes from the active selection now, releasing them (before
// a plug-in module whose nodes they were is closed).
void pruneActiveSelection();

// Runs the commands queued by MGlobal::executeCommandOnIdle, in order,
// including any they queue in turn. Stops at the first failure.
MStatus runIdleCommands();

} // namespace host
