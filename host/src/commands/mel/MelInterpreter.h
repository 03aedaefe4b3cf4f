#pragma once
// MEL: typed variables and arrays with global and local scope, expressions,
// control flow, procedures, catch, eval and source, command and function
// call syntax. Each top-level statement is parsed, then run; the first
// failure that is not caught stops the script.

#include "commands/mel/MelValue.h"

#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstdint>
#include <functional>

namespace host {

class MelInterpreter
{
public:
    struct Options
    {
        // Named in syntax errors ("scene.ma line 3: ..."); "Line 3: ..." when empty.
        MString sourceName;
        // Called with the value of every top-level command statement that
        // returned one.
        std::function<void(const MelValue&)> onResult;
    };

    // Runs `script`. `lastResult`, when given, receives the value of the last
    // statement that produced one.
    static MStatus run(const MString& script, const Options& options, MelValue* lastResult = nullptr);
    static MStatus run(const MString& script, MelValue* lastResult = nullptr);

    // Host test facility (the fuzz campaign): loop iterations one top-level run may take
    // before it fails with "Loop iteration limit of N reached.". 0, the default, is no limit,
    // as in Maya.
    static void setLoopIterationLimit(uint64_t limit);
};

} // namespace host
