#include "commands/builtins/DataStructureCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/scene/SceneRecords.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-fmt", "-format", CommandFlags::kOneArg},
    {"-as", "-asString", CommandFlags::kOneArg},
    {"-af", "-asFile", CommandFlags::kOneArg},
    {"-n", "-name", CommandFlags::kOneArg},
};
}

MStatus DataStructureCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("dataStructure", args, kFlags);
    if (!status)
        return status;
    if (!flags.isSet("-as") && !flags.isSet("-af")) {
        MGlobal::displayError("dataStructure: expects the structure as -asString or -asFile.");
        return MS::kInvalidParameter;
    }
    SceneRecords::keepDataStructure(SceneRecords::statementText("dataStructure", args));
    return MS::kSuccess;
}

} // namespace host
