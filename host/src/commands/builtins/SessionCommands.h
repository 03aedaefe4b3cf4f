#pragma once
// The commands scripts use to steer the session rather than the scene:
// undoInfo (undo on or off, one-step chunks, what undo and redo would do) and
// quit (ends the program that runs the script, as Maya's does).

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

#include <functional>

namespace host {

class UndoInfoCommand : public MPxCommand
{
public:
    static void* creator() { return new UndoInfoCommand; }
    MStatus doIt(const MArgList& args) override;
};

class QuitCommand : public MPxCommand
{
public:
    static void* creator() { return new QuitCommand; }
    MStatus doIt(const MArgList& args) override;
};

// How `quit` ends the program: the runner installs it (called once the session is marked
// as ending, see Session.h; `abort`: at once, without closing the session down). Without
// one, as in tests, quit fails.
using QuitHandler = std::function<void(int exitCode, bool abort)>;
void setQuitHandler(QuitHandler handler);

} // namespace host
