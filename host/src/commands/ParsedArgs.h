#pragma once
// The outcome of parsing an MArgList against an MSyntax (MArgParser and
// MArgDatabase share it).

#include "commands/Argument.h"
#include "commands/SyntaxData.h"

#include <maya/MArgParser.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <vector>

namespace host {

struct FlagUse
{
    int flag = -1;                  // index into syntax.flags
    unsigned int position = 0;      // index of the flag in the argument list
    std::vector<Argument> args;
};

struct ParsedArgs
{
    SyntaxData syntax;
    std::vector<FlagUse> uses;      // in command-line order
    std::vector<Argument> commandArgs;
    MStringArray objects;
    MSelectionList selection;       // objects resolved, for kSelectionList syntaxes
    bool query = false;
    bool edit = false;

    // Parses `args`; on failure `error` says why.
    MStatus parse(const SyntaxData& syntaxData, const std::vector<Argument>& args, MString& error);

    // The argument `index` of the first use of `flag`, or null.
    const Argument* flagArgument(const char* flag, unsigned int index) const;
    const Argument* commandArgument(unsigned int index) const;
};

struct ParsedArgsAccess
{
    static const ParsedArgs& get(const MArgParser& parser) { return *parser.fParsed; }
};

} // namespace host
