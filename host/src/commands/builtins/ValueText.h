#pragma once
// Text forms of values as MEL commands and scene files write and read them:
// floats in the shortest form that reads back exactly (doubles: doubleText
// in commands/mel/MelValue.h), booleans as MEL's words, strings quoted with
// MEL escapes.

#include <maya/MString.h>

namespace host {

class ValueText
{
public:
    // Shortest text that parses back to exactly `value` as a float.
    static MString formatFloat(float value);
    static MString formatInt(long long value);

    // Whole-token parses; false when the text is not that kind of value.
    static bool parseDouble(const MString& text, double& value);
    static bool parseInt(const MString& text, long long& value);
    // "true"/"false", "on"/"off", "yes"/"no" and numbers (non-zero is true).
    static bool parseBool(const MString& text, bool& value);
    static bool isBoolWord(const MString& text);

    // A string as a MEL literal: quoted, with \" \\ \n \t \r escaped.
    static MString quote(const MString& text);

    // Whether a command argument is a flag: '-' followed by a letter.
    static bool isFlag(const MString& text);
};

} // namespace host
