#include "views/ManipContextCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/ValueText.h"
#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>

#include <vector>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-e", "-edit", CommandFlags::kNoArg},
    {"-vis", "-manipVisible", CommandFlags::kOptionalBool},
    {"-m", "-mode", CommandFlags::kOneArg},
    // Three numbers: the first is the flag's argument, the other two follow it.
    {"-oa", "-orientAxes", CommandFlags::kOneArg},
};

// In query mode the value flags take no argument.
const CommandFlags::Definition kQueryFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-e", "-edit", CommandFlags::kNoArg},
    {"-vis", "-manipVisible", CommandFlags::kNoArg},
    {"-m", "-mode", CommandFlags::kNoArg},
    {"-oa", "-orientAxes", CommandFlags::kNoArg},
};

const char* commandName(ManipKind kind)
{
    static const char* const kNames[] = {"manipMoveContext", "manipRotateContext", "manipScaleContext"};
    return kNames[int(kind)];
}

const char* contextName(ManipKind kind)
{
    static const char* const kNames[] = {"Move", "Rotate", "Scale"};
    return kNames[int(kind)];
}

} // namespace

MStatus ManipContextCommand::doIt(const MArgList& args)
{
    const char* command = commandName(fKind);
    CommandFlags flags;
    MStatus status = isQueryCall(args) ? flags.parse(command, args, kQueryFlags) : flags.parse(command, args, kFlags);
    if (!status)
        return status;
    if (flags.isQuery() == flags.isSet("-e")) {
        MGlobal::displayError(MString(command) + ": use -query or -edit on the " + contextName(fKind) +
                              " context.");
        return MS::kInvalidParameter;
    }
    std::vector<MString> objects = flags.objects();
    if (objects.empty()) {
        MGlobal::displayError(MString(command) + ": expects the name of a context.");
        return MS::kInvalidParameter;
    }
    const MString name = objects.back();
    objects.pop_back();
    if (!isManipContext(fKind, name)) {
        MGlobal::displayError(MString(command) + ": Context '" + name + "' not found.");
        return MS::kInvalidParameter;
    }
    ManipContextSettings& settings = manipContextSettings(fKind);
    const int asked = int(flags.isSet("-vis")) + int(flags.isSet("-m")) + int(flags.isSet("-oa"));

    if (flags.isQuery()) {
        if (asked != 1 || !objects.empty()) {
            MGlobal::displayError(MString(command) + ": query one of -manipVisible, -mode and -orientAxes.");
            return MS::kInvalidParameter;
        }
        if (flags.isSet("-vis")) {
            setResult(settings.manipVisible);
        } else if (flags.isSet("-m")) {
            setResult(settings.mode);
        } else {
            MDoubleArray axes;
            for (double angle : settings.orientAxes)
                axes.append(angle);
            setResult(axes);
        }
        return MS::kSuccess;
    }

    if (asked == 0) {
        MGlobal::displayError(MString(command) + ": edit -manipVisible, -mode or -orientAxes.");
        return MS::kInvalidParameter;
    }
    // Everything is checked before anything changes.
    ManipContextSettings edited = settings;
    if (flags.isSet("-oa")) {
        if (objects.size() != 2) {
            MGlobal::displayError(MString(command) + ": -orientAxes needs three angles.");
            return MS::kInvalidParameter;
        }
        const MString texts[3] = {flags.arg("-oa"), objects[0], objects[1]};
        for (int i = 0; i < 3; ++i) {
            if (!ValueText::parseDouble(texts[i], edited.orientAxes[i])) {
                MGlobal::displayError(MString(command) + ": -orientAxes needs three angles, not \"" +
                                      texts[i] + "\".");
                return MS::kInvalidParameter;
            }
        }
        objects.clear();
    }
    if (!objects.empty()) {
        MGlobal::displayError(MString(command) + ": unexpected argument \"" + objects[0] + "\".");
        return MS::kInvalidParameter;
    }
    if (flags.isSet("-m")) {
        double mode = 0.0;
        const int highest = maxManipMode(fKind);
        if (!ValueText::parseDouble(flags.arg("-m"), mode) || mode != double(int(mode)) || mode < 0.0 ||
            mode > double(highest)) {
            MGlobal::displayError(MString(command) + ": -mode must be a whole number from 0 to " + highest +
                                  ", not \"" + flags.arg("-m") + "\".");
            return MS::kInvalidParameter;
        }
        edited.mode = int(mode);
    }
    if (flags.isSet("-vis"))
        edited.manipVisible = flags.boolValue("-vis", true);
    settings = edited;
    scheduleRefreshAll();
    return MS::kSuccess;
}

} // namespace host
