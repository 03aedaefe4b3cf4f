#pragma once
// The session's tool contexts: which tool is current (setToolTo/currentCtx)
// and the settings of the move, rotate and scale manipulator contexts
// ("Move", "Rotate", "Scale") that manipMoveContext and its siblings edit.

#include <maya/MString.h>

namespace host {

enum class ManipKind { kMove, kRotate, kScale };

struct ManipContextSettings
{
    bool manipVisible = true;
    int mode = 0;
    double orientAxes[3] = {0.0, 0.0, 0.0};
};

// The class a context belongs to ("manipMove" for "moveSuperContext" and
// "Move"), or an empty string when no context has that name.
MString contextClass(const MString& contextName);

MString currentContext();
// Fails (returns false) for a name that is no context.
bool setCurrentContext(const MString& contextName);

// The manipulator context a name stands for, matched case-sensitively:
// "Move", "Rotate", "Scale". False when the name is not that kind's context.
bool isManipContext(ManipKind kind, const MString& contextName);
ManipContextSettings& manipContextSettings(ManipKind kind);
// Highest value of -mode in Maya's numbering (move and scale 0..6, rotate 0..3).
int maxManipMode(ManipKind kind);

// The select tool and Maya's default manipulator settings again.
void resetToolContexts();

// The manipulator of the current tool, when it shows one: move, rotate or
// scale, with its context's -manipVisible. False for the select tool.
bool currentManipulator(ManipKind& kind);

} // namespace host
