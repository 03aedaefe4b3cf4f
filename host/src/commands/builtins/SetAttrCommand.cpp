#include "commands/builtins/SetAttrCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/PlugValue.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "commands/scene/KeptSceneData.h"
#include "geometry/GeometryFileText.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-typ", "-type", CommandFlags::kOneArg},
    {"-s", "-size", CommandFlags::kOneArg},
    {"-l", "-lock", CommandFlags::kOptionalBool},
    {"-k", "-keyable", CommandFlags::kOptionalBool},
    {"-cb", "-channelBox", CommandFlags::kOptionalBool},
    {"-c", "-clamp", CommandFlags::kNoArg},
    {"-av", "-alteredValue", CommandFlags::kNoArg},
    {"-ca", "-caching", CommandFlags::kOptionalBool},
    {"-ch", "-capacityHint", CommandFlags::kOneArg},
};
}

MStatus SetAttrCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("setAttr", args, kFlags);
    if (!status)
        return status;
    const std::vector<MString>& words = flags.objects();
    if (words.empty()) {
        MGlobal::displayError("setAttr: expects an attribute name.");
        return MS::kInvalidParameter;
    }
    // A scene file's value of an attribute the node does not have is kept for saving.
    if (KeptSceneData::keepSetAttr(args))
        return MS::kSuccess;
    SceneNames::IndexRange range;
    MPlug plug;
    status = SceneNames::findPlug("setAttr", words[0], plug, &range);
    if (!status)
        return status;

    // Unlock before writing, lock after: "setAttr -l on .x 5" still sets x.
    const bool lockGiven = flags.isSet("-l");
    const bool lock = flags.boolValue("-l", false);
    if (lockGiven && !lock) {
        status = plug.setLocked(false);
        if (!status)
            return status;
    }

    const MString type = flags.arg("-typ");
    size_t pos = 1;
    // Mesh and curve geometry come in their own file forms.
    bool geometry = false;
    long long size = -1;
    if (flags.isSet("-s") && !ValueText::parseInt(flags.arg("-s"), size)) {
        MGlobal::displayError(MString("setAttr: bad size \"") + flags.arg("-s") + "\".");
        return MS::kInvalidParameter;
    }
    status = GeometryFileText::parseSetAttr(plug, range, type, size, words, pos, mModifier, geometry);
    if (!status)
        return status;
    if (geometry) {
        // Read and queued above.
    } else if (range.present) {
        for (unsigned index = range.first; index <= range.last && status; ++index) {
            MPlug element = plug.elementByLogicalIndex(index, &status);
            if (status)
                status = PlugValue::parse("setAttr", element, type, words, pos, mModifier);
        }
    } else if (words.size() > 1 || type.length() > 0) {
        if (plug.isArray()) {
            MGlobal::displayError(MString("setAttr: ") + SceneNames::plugName(plug) + " is an array: give an index or a range.");
            return MS::kInvalidParameter;
        }
        status = PlugValue::parse("setAttr", plug, type, words, pos, mModifier);
    } else if (!lockGiven && !flags.isSet("-k") && !flags.isSet("-cb") && !flags.isSet("-s")) {
        MGlobal::displayError(MString("setAttr: no value given for ") + SceneNames::plugName(plug) + ".");
        return MS::kInvalidParameter;
    }
    if (!status)
        return status;
    if (pos < words.size()) {
        MGlobal::displayError(MString("setAttr: too many values for ") + SceneNames::plugName(plug) + ": \"" +
                              words[pos] + "\" is left over.");
        return MS::kInvalidParameter;
    }
    status = execute("setAttr");
    if (!status)
        return status;
    if (flags.isSet("-k"))
        status = plug.setKeyable(flags.boolValue("-k", false));
    if (status && flags.isSet("-cb"))
        status = plug.setChannelBox(flags.boolValue("-cb", false));
    if (status && lockGiven && lock)
        status = plug.setLocked(true);
    if (!status)
        MGlobal::displayError(MString("setAttr: cannot change the flags of ") + SceneNames::plugName(plug) + ".");
    return status;
}

} // namespace host
