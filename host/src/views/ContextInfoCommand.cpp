#include "views/ContextInfoCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "views/ToolContexts.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-c", "-class", CommandFlags::kNoArg},
    {"-ex", "-exists", CommandFlags::kNoArg},
};
}

MStatus ContextInfoCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("contextInfo", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 1 || flags.isSet("-c") == flags.isSet("-ex")) {
        MGlobal::displayError("contextInfo: use one of -class and -exists with the name of one context.");
        return MS::kInvalidParameter;
    }
    const MString& name = flags.objects()[0];
    const MString cls = contextClass(name);
    if (flags.isSet("-ex")) {
        setResult(cls.length() != 0);
        return MS::kSuccess;
    }
    if (cls.length() == 0) {
        MGlobal::displayError(MString("contextInfo: Context '") + name + "' not found.");
        return MS::kInvalidParameter;
    }
    setResult(cls);
    return MS::kSuccess;
}

} // namespace host
