#pragma once
// The session's tool contexts: which tool is current (setToolTo/currentCtx)
// and the settings of the move, rotate and scale manipulator contexts
// ("Move", "Rotate", "Scale") and the ones scripts make, that manipMoveContext
// and its siblings make, edit and query.

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

// The manipulator context a name stands for, matched case-sensitively: the
// built-in "Move", "Rotate", "Scale", or one made by manipMoveContext and its
// siblings. False when the name is not a context of that kind.
bool isManipContext(ManipKind kind, const MString& contextName);
// The built-in context's settings of a kind.
ManipContextSettings& manipContextSettings(ManipKind kind);
// The settings of a context of that kind by name; null when there is none.
ManipContextSettings* manipContextSettings(ManipKind kind, const MString& contextName);
// Makes a manipulator context of that kind with its own settings; its class is
// that of the kind ("manipMove", ...). False when the name is empty or taken.
bool createManipContext(ManipKind kind, const MString& contextName, const ManipContextSettings& settings);
// `stem` followed by the first number that names no context ("manipMoveContext1").
MString unusedContextName(const MString& stem);
// Highest value of -mode in Maya's numbering (move and scale 0..6, rotate 0..3).
int maxManipMode(ManipKind kind);

// The select tool and Maya's default manipulator settings again; made contexts are forgotten.
void resetToolContexts();

// The manipulator of the current tool, when it shows one: move, rotate or
// scale, with its context's -manipVisible. False for the select tool.
bool currentManipulator(ManipKind& kind);
// The settings the current tool's manipulator of that kind draws with: its own
// for a made context, the built-in context's for the super contexts.
const ManipContextSettings& currentManipulatorSettings(ManipKind kind);

} // namespace host
