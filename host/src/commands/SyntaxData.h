#pragma once
// What an MSyntax holds, for the argument parser.

#include <maya/MString.h>
#include <maya/MSyntax.h>

#include <vector>

namespace host {

struct FlagSpec
{
    MString shortName;  // "-n"
    MString longName;   // "-name"
    std::vector<MSyntax::MArgType> argTypes;
    bool multiUse = false;
    bool queryWithFullArgs = false;
};

struct SyntaxData
{
    std::vector<FlagSpec> flags;
    std::vector<MSyntax::MArgType> commandArgs;
    MSyntax::MObjectFormat objectFormat = MSyntax::kNone;
    unsigned int minObjects = 0;
    unsigned int maxObjects = ~0u;
    bool useSelectionAsDefault = false;
    bool canQuery = false;
    bool canEdit = false;

    // Index of the flag named `name` (short or long), or -1.
    int findFlag(const char* name) const;
};

struct SyntaxAccess
{
    static const SyntaxData& data(const MSyntax& syntax) { return *syntax.fData; }
};

} // namespace host
