#pragma once
// The MEL subset: command statements with flags and objects, quoted strings,
// numbers, comments, back-quoted command substitution, and simple variables
// ($x = ...; typed declarations; $x[i]; `+` concatenation in parentheses).
// Statements run as they are read; the first failure stops the script.

#include "commands/mel/MelValue.h"

#include <maya/MStatus.h>
#include <maya/MString.h>

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
};

} // namespace host
