#pragma once
// The session's current time behind MAnimControl, for the part of the host
// that owns the scene's time (src/anim): MAnimControl::setCurrentTime goes
// through the hook so that it moves the scene's time as Maya does.

#include <maya/MStatus.h>
#include <maya/MTime.h>

namespace host {

// Stores the current time and nothing else.
void storeCurrentTime(const MTime& time);

// What MAnimControl::isPlaying answers (true while play runs).
void setPlaybackRunning(bool running);

typedef MStatus (*CurrentTimeHook)(const MTime& time);
void setCurrentTimeHook(CurrentTimeHook hook);

} // namespace host
