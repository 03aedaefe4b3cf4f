#pragma once
// The runner behind pellixbatch and pellixgui: loads the plug-ins, opens the
// scene, runs the command and then the script, echoing every top-level result
// as "// Result: <value> //". The first failure ends the steps with status 1.
//
//   pellixbatch [-gui] [-file SCENE.ma] [-command "MEL"] [-script FILE.mel] [-plugin PATH_OR_NAME]...
//   pellixgui   [-file SCENE.ma] [-command "MEL"] [-script FILE.mel] [-plugin PATH_OR_NAME]...
//
// Batch mode has no views. `pellixbatch -gui` runs the same steps with the
// views up and exits; pellixgui leaves the window open until it is closed.

namespace host {

enum class RunnerKind { kBatch, kGui };

// The whole program: returns its exit status (2 for bad options).
int runnerMain(int argc, char** argv, RunnerKind kind);

} // namespace host
