#pragma once
// playbackOptions and play, as in Maya:
// - playbackOptions [-e|-q] [-min T] [-max T] [-ast T] [-aet T] [-by STEP] [-l once|continuous|oscillate]
//   [-ps SPEED] [-mps FPS]: the playback range (kept inside the animation range), its step and mode.
// - play [-f true|false] [-w] [-st false] [-q -st]: plays the playback range frame by frame from the
//   current time (from its start when the time is outside it or at its end), once, in the host's own
//   process: each frame moves the time (callbacks fire), evaluates what the scene shows (every DAG
//   node's world matrix and every shape's outputs) and, with views up, redraws them. -wait is
//   accepted; the host always waits (it has no playback in the background).

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class PlaybackOptionsCommand : public MPxCommand
{
public:
    static void* creator() { return new PlaybackOptionsCommand; }
    MStatus doIt(const MArgList& args) override;
};

class PlayCommand : public MPxCommand
{
public:
    static void* creator() { return new PlayCommand; }
    MStatus doIt(const MArgList& args) override;
};

// A new scene's playback step and speeds (every frame, real time).
void resetPlaybackSettings();

// Brings what the views would show up to date: world matrices of every DAG node and the
// outputs of every shape.
void evaluateScene();

} // namespace host
