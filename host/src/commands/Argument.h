#pragma once
// One command argument as the interpreter or MArgList::addArg produced it.

#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cstdint>
#include <vector>

class MDoubleArray;
class MIntArray;
class MMatrix;
class MStringArray;

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

// Values MArgList::addArg does not take whole, added as the interpreter leaves them: an array
// as its count then its elements, a matrix as its sixteen numbers, row by row.
void addArg(MArgList& list, const MMatrix& value);
void addArg(MArgList& list, const MStringArray& value);
void addArg(MArgList& list, const MIntArray& value);
void addArg(MArgList& list, const MDoubleArray& value);
template <typename T>
void addArg(MArgList& list, const T& value)
{
    list.addArg(value);
}

// Adds each value in turn.
template <typename... T>
void addArgs(MArgList& list, const T&... values)
{
    (addArg(list, values), ...);
}

} // namespace host
