#include "commands/builtins/CurrentTimeCommand.h"

#include "anim/SceneTime.h"
#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/ValueText.h"

#include <maya/MAnimControl.h>
#include <maya/MGlobal.h>
#include <maya/MTime.h>

#include <cmath>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-e", "-edit", CommandFlags::kNoArg},
    {"-u", "-update", CommandFlags::kOptionalBool},
};
}

MStatus CurrentTimeCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("currentTime", args, kFlags);
    if (!status)
        return status;
    if (flags.isQuery()) {
        setResult(MAnimControl::currentTime().as(MTime::uiUnit()));
        return MS::kSuccess;
    }
    double value = 0;
    if (flags.objects().size() != 1 || !ValueText::parseDouble(flags.objects()[0], value)) {
        MGlobal::displayError("currentTime: expects one time value.");
        return MS::kInvalidParameter;
    }
    if (!std::isfinite(value)) {
        MGlobal::displayError("currentTime: expects one time value.");
        return MS::kInvalidParameter;
    }
    status = setSceneTime(MTime(value, MTime::uiUnit()), flags.boolValue("-u", true));
    if (!status) {
        MGlobal::displayError("currentTime: cannot set the time.");
        return status;
    }
    setResult(value);
    return MS::kSuccess;
}

} // namespace host
