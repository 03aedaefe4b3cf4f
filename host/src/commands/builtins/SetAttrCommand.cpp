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

// "node.wl[0:119].w": a range of a compound multi followed by its child multi. Gives the text
// before the range ("node.wl"), the range and the child's name.
bool splitElementRange(const MString& text, MString& array, unsigned& first, unsigned& last, MString& child)
{
    const std::string t(text.asChar(), text.length());
    const size_t dot = t.rfind('.');
    if (dot == std::string::npos || dot == 0 || t[dot - 1] != ']')
        return false;
    const size_t open = t.rfind('[', dot);
    const size_t colon = t.find(':', open);
    if (open == std::string::npos || colon == std::string::npos || colon > dot)
        return false;
    long long a = 0, b = 0;
    if (!ValueText::parseInt(MString(t.substr(open + 1, colon - open - 1).c_str()), a) ||
        !ValueText::parseInt(MString(t.substr(colon + 1, dot - colon - 2).c_str()), b) || a < 0 || b < a ||
        b > 0x7fffffff)
        return false;
    array = MString(t.substr(0, open).c_str());
    first = unsigned(a);
    last = unsigned(b);
    child = MString(t.substr(dot + 1).c_str());
    return child.length() > 0 && child.index('[') < 0;
}

// Maya's form for a multi of multis, as skin weights are saved: for each element of the range a
// count, then that many pairs of an index into the child multi and its value.
MStatus parseSparseElements(const MString& text, const std::vector<MString>& words, size_t& pos,
                            MDGModifier& modifier, bool& handled)
{
    MString arrayText, child;
    unsigned first = 0, last = 0;
    handled = splitElementRange(text, arrayText, first, last, child);
    if (!handled)
        return MS::kSuccess;
    for (unsigned element = first; element <= last; ++element) {
        MPlug values;
        MStatus status = SceneNames::findPlug("setAttr", arrayText + "[" + int(element) + "]." + child, values);
        if (!status)
            return status;
        if (!values.isArray()) {
            MGlobal::displayError("setAttr: " + SceneNames::plugName(values) + " is not a multi: give one value.");
            return MS::kInvalidParameter;
        }
        long long count = 0;
        if (pos >= words.size() || !ValueText::parseInt(words[pos], count) || count < 0) {
            MGlobal::displayError("setAttr: " + SceneNames::plugName(values.array()) +
                                  " needs a count of index and value pairs.");
            return MS::kInvalidParameter;
        }
        ++pos;
        for (long long k = 0; k < count; ++k) {
            long long index = 0;
            if (pos >= words.size() || !ValueText::parseInt(words[pos], index) || index < 0 || index > 0x7fffffff) {
                MGlobal::displayError("setAttr: " + SceneNames::plugName(values) + " needs an index, not \"" +
                                      (pos < words.size() ? words[pos] : MString()) + "\".");
                return MS::kInvalidParameter;
            }
            ++pos;
            status = PlugValue::parse("setAttr", values.elementByLogicalIndex(unsigned(index)), MString(), words, pos,
                                      modifier);
            if (!status)
                return status;
        }
    }
    return MS::kSuccess;
}

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
    bool sparse = false;
    size_t sparsePos = 1;
    status = parseSparseElements(words[0], words, sparsePos, mModifier, sparse);
    if (sparse) {
        if (status && sparsePos < words.size()) {
            MGlobal::displayError(MString("setAttr: too many values for ") + words[0] + ": \"" + words[sparsePos] +
                                  "\" is left over.");
            return MS::kInvalidParameter;
        }
        return status ? execute("setAttr") : status;
    }
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
    // What the checks above leave to fail is a plug that takes no value.
    status = execute("setAttr", "The attribute '" + SceneNames::plugName(plug, true) +
                                    "' is locked or connected and cannot be modified.");
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
