#pragma once
// The key commands, as in Maya:
// - setKeyframe [-at ATTR]... [-t TIME]... [-v VALUE] [-itt TYPE] [-ott TYPE] [-bd] [targets]:
//   keys the named plugs, or the keyable attributes of the objects (default: the selection), at
//   the current time or the given ones, with the plug's value or -v; a plug without a curve
//   gets a new "animCurveTL/TA/TU" named "<node>_<attribute>". Result: the number of keys set.
// - keyframe -q [-vc] [-tc] [-iv] [-kc] [-n] [-at ATTR]... [-t RANGE]... [-in RANGE]... [targets]:
//   the keys' values (UI units), times (frames), indices, count, or the curves' names;
//   keyframe -e [-r|-a] [-vc V] [-tc T] ... changes the selected keys' values or times.
// - cutKey [-at ATTR]... [-t RANGE]... [-in RANGE]... [-cl] [targets]: removes keys; a curve left
//   without keys is deleted and its attribute keeps its value. Result: the number of curves cut.
// Targets are objects, plugs ("pCube1.tx") or animation curves. RANGE is "10", "10:20", "10:",
// ":20" or ":". setKeyframe, keyframe -e and cutKey are undoable.

#include "anim/KeyTable.h"

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class KeyEditCommand : public MPxCommand
{
public:
    MStatus undoIt() override { return mEdits.undo(); }
    MStatus redoIt() override { return mEdits.redo(); }
    bool isUndoable() const override { return !mEdits.empty(); }

protected:
    KeyEdits mEdits;
};

class SetKeyframeCommand : public KeyEditCommand
{
public:
    static void* creator() { return new SetKeyframeCommand; }
    MStatus doIt(const MArgList& args) override;
};

class KeyframeCommand : public KeyEditCommand
{
public:
    static void* creator() { return new KeyframeCommand; }
    MStatus doIt(const MArgList& args) override;
};

class CutKeyCommand : public KeyEditCommand
{
public:
    static void* creator() { return new CutKeyCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
