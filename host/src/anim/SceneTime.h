#pragma once
// The scene's current time: what currentTime, play and MAnimControl change.

#include <maya/MStatus.h>
#include <maya/MTime.h>

namespace host {

// Moves the current time as Maya does: "time1.outTime" follows, curves that
// read the time become dirty and the time-change callbacks fire; with `update`
// the force-update callbacks fire after them (the scene is up to date then).
MStatus setSceneTime(const MTime& time, bool update = true);

// The time node's outTime was given a value: the current time follows it
// (curves dirtied, no callbacks), unless setSceneTime is the one writing it.
void followTimeNode(const MTime& time);

// A new scene starts at frame 1 with Maya's playback range (1 to 120, animation 1 to 200).
void startSceneTime();
// After a file was read: the current time is time1's (the file's frame).
void syncTimeNode();

// Registers the time node and the built-in animation node types (curves, constraints).
MStatus registerAnimNodeTypes();

} // namespace host
