#pragma once
// One command argument as the interpreter or MArgList::addArg produced it.

#include <maya/MArgList.h>
#include <maya/MString.h>

#include <cstdint>
#include <vector>

namespace host {

struct Argument
{
    // kFlag: a bare "-name" word on the command line (quoted "-name" is a kString).
    enum Kind : unsigned char { kInt, kDouble, kString, kFlag };

    Kind kind = kString;
    int64_t intValue = 0;
    double doubleValue = 0.0;
    MString text;  // kString and kFlag

    static Argument fromInt(int64_t value);
    static Argument fromDouble(double value);
    static Argument fromString(const MString& value);
    static Argument fromFlag(const MString& flag);

    bool isNumber() const { return kind == kInt || kind == kDouble; }
    // Conversions MEL applies to arguments; false when the value does not fit
    // (e.g. "abc" as a number, 2.5 as an int).
    bool toInt(int64_t& out) const;
    bool toDouble(double& out) const;
    bool toBool(bool& out) const;
    MString toString() const;
};

// Whether `text` is written like a flag: '-' followed by a letter.
bool looksLikeFlag(const char* text);

struct ArgListData
{
    std::vector<Argument> args;
};

struct ArgListAccess
{
    static std::vector<Argument>& args(MArgList& list) { return list.fData->args; }
    static const std::vector<Argument>& args(const MArgList& list) { return list.fData->args; }
};

} // namespace host
