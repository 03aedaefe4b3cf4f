#include "ui/OptionVarCommand.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <map>
#include <string>

namespace host {

namespace {

struct OptionValue
{
    enum Kind { kInt, kFloat, kString } kind = kInt;
    int intValue = 0;
    double floatValue = 0.0;
    MString stringValue;
};

std::map<std::string, OptionValue>& optionVars()
{
    static std::map<std::string, OptionValue> values;
    return values;
}

bool is(const MString& word, const char* shortName, const char* longName)
{
    return word == shortName || word == longName;
}

} // namespace

MStatus OptionVarCommand::doIt(const MArgList& args)
{
    const unsigned count = args.length();
    if (count == 0) {
        MGlobal::displayError("optionVar: give -intValue, -floatValue, -stringValue, -query, -exists, -remove or -list.");
        return MS::kInvalidParameter;
    }
    const MString first = args.asString(0);
    // Reading forms take one name.
    if (is(first, "-q", "-query") || is(first, "-ex", "-exists")) {
        if (count != 2) {
            MGlobal::displayError(MString("optionVar: ") + first + " takes one name.");
            return MS::kInvalidParameter;
        }
        const auto found = optionVars().find(args.asString(1).asChar());
        if (is(first, "-ex", "-exists")) {
            setResult(found != optionVars().end());
        } else if (found == optionVars().end()) {
            setResult(0);
        } else if (found->second.kind == OptionValue::kInt) {
            setResult(found->second.intValue);
        } else if (found->second.kind == OptionValue::kFloat) {
            setResult(found->second.floatValue);
        } else {
            setResult(found->second.stringValue);
        }
        return MS::kSuccess;
    }
    if (is(first, "-l", "-list")) {
        MStringArray names;
        for (const auto& entry : optionVars())
            names.append(entry.first.c_str());
        setResult(names);
        return MS::kSuccess;
    }
    // Setting and removing forms may repeat: -iv a 1 -sv b "x" -rm c.
    for (unsigned i = 0; i < count;) {
        const MString flag = args.asString(i);
        if (is(flag, "-rm", "-remove")) {
            if (i + 1 >= count) {
                MGlobal::displayError("optionVar: -remove needs a name.");
                return MS::kInvalidParameter;
            }
            optionVars().erase(args.asString(i + 1).asChar());
            i += 2;
            continue;
        }
        const bool intFlag = is(flag, "-iv", "-intValue");
        const bool floatFlag = is(flag, "-fv", "-floatValue");
        const bool stringFlag = is(flag, "-sv", "-stringValue");
        if (!intFlag && !floatFlag && !stringFlag) {
            MGlobal::displayError(MString("optionVar: Invalid flag '") + flag + "'.");
            return MS::kInvalidParameter;
        }
        if (i + 2 >= count) {
            MGlobal::displayError(MString("optionVar: ") + flag + " needs a name and a value.");
            return MS::kInvalidParameter;
        }
        const MString name = args.asString(i + 1);
        OptionValue value;
        MStatus status;
        if (intFlag) {
            value.kind = OptionValue::kInt;
            value.intValue = args.asInt(i + 2, &status);
        } else if (floatFlag) {
            value.kind = OptionValue::kFloat;
            value.floatValue = args.asDouble(i + 2, &status);
        } else {
            value.kind = OptionValue::kString;
            value.stringValue = args.asString(i + 2, &status);
        }
        if (!status) {
            MGlobal::displayError(MString("optionVar: ") + flag + " " + name + ": \"" + args.asString(i + 2) +
                                  "\" is not a number.");
            return MS::kInvalidParameter;
        }
        optionVars()[name.asChar()] = value;
        i += 3;
    }
    return MS::kSuccess;
}

} // namespace host
