#ifndef MAYA_MANIMCONTROL_H
#define MAYA_MANIMCONTROL_H

#include <maya/MStatus.h>
#include <maya/MTime.h>

class MAnimControl
{
public:
    enum PlaybackMode { kPlaybackOnce, kPlaybackLoop, kPlaybackOscillate };

    static MTime currentTime();
    static MStatus setCurrentTime(const MTime& newTime);
    static MTime minTime();
    static MTime maxTime();
    static MStatus setMinTime(MTime newTime);
    static MStatus setMaxTime(MTime newTime);
    static MStatus setMinMaxTime(const MTime& min, const MTime& max);
    static MTime animationStartTime();
    static MTime animationEndTime();
    static MStatus setAnimationStartTime(MTime newStartTime);
    static MStatus setAnimationEndTime(MTime newEndTime);
    static MStatus setAnimationStartEndTime(const MTime& newStartTime, const MTime& newEndTime);
    static PlaybackMode playbackMode();
    static MStatus setPlaybackMode(PlaybackMode newMode);
    static bool isPlaying();
    static bool isScrubbing();
    static MStatus playForward();
    static MStatus playBackward();
    static MStatus stop();
};

#endif
