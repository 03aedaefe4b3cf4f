#pragma once
// Lets MGlobal fill an MCommandResult.

#include "commands/mel/MelValue.h"

#include <maya/MCommandResult.h>

namespace host {

struct CommandResultAccess
{
    static MelValue& value(MCommandResult& result) { return *result.fValue; }
};

} // namespace host
