#include <maya/MAnimControl.h>

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

MStatus MAnimControl::setCurrentTime(const MTime& newTime)
{
    // Only stores the time: the currentTime command fires the time-change messages.
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

MAnimControl::PlaybackMode MAnimControl::playbackMode(MStatus* ReturnStatus)
{
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
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
    return false;
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
    return MStatus::kSuccess;
}
