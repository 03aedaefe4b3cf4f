#include <maya/MAnimControl.h>

#include "values/CurrentTime.h"

namespace
{

// Playback state of the session. Batch mode never plays back.
struct AnimState
{
    MTime current{1.0, MTime::kFilm};
    MTime minTime{1.0, MTime::kFilm};
    MTime maxTime{120.0, MTime::kFilm};
    MTime startTime{1.0, MTime::kFilm};
    MTime endTime{200.0, MTime::kFilm};
    MAnimControl::PlaybackMode mode = MAnimControl::kPlaybackLoop;
    host::CurrentTimeHook hook = nullptr;
    bool playing = false;
};

AnimState& state()
{
    static AnimState s;
    return s;
}

} // namespace

MTime MAnimControl::currentTime()
{
    return state().current;
}

void host::storeCurrentTime(const MTime& time)
{
    state().current = time;
}

void host::setPlaybackRunning(bool running)
{
    state().playing = running;
}

void host::setCurrentTimeHook(CurrentTimeHook hook)
{
    state().hook = hook;
}

MStatus MAnimControl::setCurrentTime(const MTime& newTime)
{
    // The scene's time moves as with currentTime (time node, curves, callbacks) once the
    // scene part of the host is there.
    if (state().hook)
        return state().hook(newTime);
    state().current = newTime;
    return MStatus::kSuccess;
}

MTime MAnimControl::minTime()
{
    return state().minTime;
}

MTime MAnimControl::maxTime()
{
    return state().maxTime;
}

MStatus MAnimControl::setMinTime(MTime newTime)
{
    state().minTime = newTime;
    return MStatus::kSuccess;
}

MStatus MAnimControl::setMaxTime(MTime newTime)
{
    state().maxTime = newTime;
    return MStatus::kSuccess;
}

MStatus MAnimControl::setMinMaxTime(const MTime& min, const MTime& max)
{
    if (min > max) return MStatus::kInvalidParameter;
    state().minTime = min;
    state().maxTime = max;
    return MStatus::kSuccess;
}

MTime MAnimControl::animationStartTime()
{
    return state().startTime;
}

MTime MAnimControl::animationEndTime()
{
    return state().endTime;
}

MStatus MAnimControl::setAnimationStartTime(MTime newStartTime)
{
    state().startTime = newStartTime;
    return MStatus::kSuccess;
}

MStatus MAnimControl::setAnimationEndTime(MTime newEndTime)
{
    state().endTime = newEndTime;
    return MStatus::kSuccess;
}

MStatus MAnimControl::setAnimationStartEndTime(const MTime& newStartTime, const MTime& newEndTime)
{
    if (newStartTime > newEndTime) return MStatus::kInvalidParameter;
    state().startTime = newStartTime;
    state().endTime = newEndTime;
    return MStatus::kSuccess;
}

MAnimControl::PlaybackMode MAnimControl::playbackMode()
{
    return state().mode;
}

MStatus MAnimControl::setPlaybackMode(PlaybackMode newMode)
{
    if (newMode < kPlaybackOnce || newMode > kPlaybackOscillate) return MStatus::kInvalidParameter;
    state().mode = newMode;
    return MStatus::kSuccess;
}

bool MAnimControl::isPlaying()
{
    return state().playing;
}

bool MAnimControl::isScrubbing()
{
    return false;
}

MStatus MAnimControl::playForward()
{
    return MStatus::kFailure;
}

MStatus MAnimControl::playBackward()
{
    return MStatus::kFailure;
}

MStatus MAnimControl::stop()
{
    host::setPlaybackRunning(false);
    return MStatus::kSuccess;
}
