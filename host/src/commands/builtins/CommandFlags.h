#pragma once
// Flag parsing for the built-in commands. MEL lets built-ins take their flags
// before, between and after their objects ("setAttr .t -type double3 1 2 3"),
// so they read the raw argument list against a small flag table instead of
// MSyntax.

#include <maya/MArgList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <vector>

namespace host {

class CommandFlags
{
public:
    enum Arity {
        kNoArg,        // -clear
        kOneArg,       // -name "x"
        kOptionalBool,  // -plugs or -plugs true: takes a following boolean word or number when present
        kArgUnlessQuery // -size 12, but -q -size: a value to set, none to query
    };
    struct Definition
    {
        const char* shortName;  // with the dash: "-n"
        const char* longName;   // "-name"
        Arity arity;
    };

    // Parses `args` against `definitions`; an unknown flag or a missing flag
    // argument is reported as "<command>: ..." and fails.
    template <size_t N>
    MStatus parse(const char* command, const MArgList& args, const Definition (&definitions)[N])
    {
        return parse(command, args, definitions, N);
    }
    MStatus parse(const char* command, const MArgList& args, const Definition* definitions, size_t count);

    bool isSet(const char* flag) const;
    unsigned uses(const char* flag) const;
    // Argument of the use-th use of a flag (empty when absent).
    MString arg(const char* flag, unsigned use = 0) const;
    // Boolean value of a flag: `absent` when not given, true for a bare flag.
    bool boolValue(const char* flag, bool absent) const;
    // Parses a flag argument; fails with "<command>: ..." when it is not a number.
    MStatus doubleValue(const char* flag, double& value, unsigned use = 0) const;

    const std::vector<MString>& objects() const { return mObjects; }

    // Whether a word is a flag by its short or long name, for the commands that read their
    // words in order (point lists, per-axis values) instead of through a flag table.
    static bool names(const MString& word, const char* shortName, const char* longName)
    {
        return word == shortName || word == longName;
    }
    bool isQuery() const { return isSet("-q"); }

    // Takes a flag with three numbers ("-ax 0 0 1", "-p 1 2 3") out of `args`, which the flag table
    // cannot hold, leaving the other words in `rest`; the last use wins. Fails with
    // "<command>: <longName> takes three numbers." when they are missing.
    static MStatus takeTriple(const char* command, const MArgList& args, const char* shortName, const char* longName,
                              MArgList& rest, bool& given, double values[3]);

private:
    struct Use
    {
        const Definition* definition;
        MString value;
        bool hasValue;
    };
    const Definition* find(const char* flag) const;

    const char* mCommand = "";
    const Definition* mDefinitions = nullptr;
    size_t mCount = 0;
    std::vector<Use> mUses;
    std::vector<MString> mObjects;
};

} // namespace host
