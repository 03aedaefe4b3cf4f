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

// Nodes that leave the scene leave the active selection, and "SelectionChanged"
// listeners hear of it once per edit: while a scope is open (a command, a
// modifier's doIt or undoIt, a scene being cleared) removals are gathered; the
// outermost scope to close drops the removed nodes from the selection and fires
// the event when any were selected. A removal outside every scope does so at once.
class SelectionEditScope
{
public:
    SelectionEditScope();
    ~SelectionEditScope();
    SelectionEditScope(const SelectionEditScope&) = delete;
    SelectionEditScope& operator=(const SelectionEditScope&) = delete;
};
// Called for every node that left the scene.
void noteNodeLeftScene();

// `quit`: the session is to end with this exit status. Scripts stop at the command
// that asked (MEL's catch does not stop it) and the runner ends the program.
void requestSessionEnd(int exitCode);
bool sessionEndRequested();
int sessionExitCode();

// Runs the commands queued by MGlobal::executeCommandOnIdle, in order,
// including any they queue in turn. Stops at the first failure.
MStatus runIdleCommands();

} // namespace host
