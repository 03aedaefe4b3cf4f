#include "commands/builtins/GetAttrCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/PlugValue.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-s", "-size", CommandFlags::kNoArg},
    {"-as", "-asString", CommandFlags::kNoArg},
    {"-l", "-lock", CommandFlags::kNoArg},
    {"-k", "-keyable", CommandFlags::kNoArg},
    {"-typ", "-type", CommandFlags::kNoArg},
};
}

MStatus GetAttrCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("getAttr", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 1) {
        MGlobal::displayError("getAttr: expects one attribute name.");
        return MS::kInvalidParameter;
    }
    MPlug plug;
    status = SceneNames::findPlug("getAttr", flags.objects()[0], plug);
    if (!status)
        return status;
    if (flags.isSet("-l")) {
        setResult(plug.isLocked());
        return MS::kSuccess;
    }
    if (flags.isSet("-k")) {
        setResult(plug.isKeyable());
        return MS::kSuccess;
    }
    if (flags.isSet("-typ")) {
        setResult(PlugValue::typeName(plug));
        return MS::kSuccess;
    }
    if (flags.isSet("-s")) {
        unsigned size = 0;
        if (!PlugValue::arraySize(plug, size)) {
            MGlobal::displayError(MString("getAttr: ") + SceneNames::plugName(plug) + " is not an array: -size needs one.");
            return MS::kInvalidParameter;
        }
        setResult(static_cast<int>(size));
        return MS::kSuccess;
    }
    return PlugValue::setResult("getAttr", plug, flags.isSet("-as"));
}

} // namespace host
