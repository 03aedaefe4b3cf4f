#pragma once
// Flag parsing for the interface commands: in query mode (-q) a flag names what
// to answer and takes no argument ("menuItem -q -label item").

#include "commands/builtins/CommandFlags.h"

namespace host {

MStatus parseUiFlags(CommandFlags& flags, const char* command, const MArgList& args,
                     const CommandFlags::Definition* definitions, size_t count);

template <size_t N>
MStatus parseUiFlags(CommandFlags& flags, const char* command, const MArgList& args,
                     const CommandFlags::Definition (&definitions)[N])
{
    return parseUiFlags(flags, command, args, definitions, N);
}

} // namespace host
