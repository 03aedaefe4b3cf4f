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
    {"-ex", "-exists", CommandFlags::kNoArg},
};

// In query mode the value flags take no argument.
const CommandFlags::Definition kQueryFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-e", "-edit", CommandFlags::kNoArg},
    {"-vis", "-manipVisible", CommandFlags::kNoArg},
    {"-m", "-mode", CommandFlags::kNoArg},
    {"-oa", "-orientAxes", CommandFlags::kNoArg},
    {"-ex", "-exists", CommandFlags::kNoArg},
};

const char* commandName(ManipKind kind)
{
    static const char* const kNames[] = {"manipMoveContext", "manipRotateContext", "manipScaleContext"};
    return kNames[int(kind)];
}

} // namespace

// Reads -mode, -manipVisible and -orientAxes (its other two angles in `angles`)
// into `settings`; reports and fails on the first bad value.
MStatus ManipContextCommand::readSettings(const CommandFlags& flags, const std::vector<MString>& angles,
                                          ManipContextSettings& settings) const
{
    const char* command = commandName(fKind);
    if (flags.isSet("-oa")) {
        if (angles.size() != 2) {
            MGlobal::displayError(MString(command) + ": -orientAxes needs three angles.");
            return MS::kInvalidParameter;
        }
        const MString texts[3] = {flags.arg("-oa"), angles[0], angles[1]};
        for (int i = 0; i < 3; ++i) {
            if (!ValueText::parseDouble(texts[i], settings.orientAxes[i])) {
                MGlobal::displayError(MString(command) + ": -orientAxes needs three angles, not \"" +
                                      texts[i] + "\".");
                return MS::kInvalidParameter;
            }
        }
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
        settings.mode = int(mode);
    }
    if (flags.isSet("-vis"))
        settings.manipVisible = flags.boolValue("-vis", true);
    return MS::kSuccess;
}

// Without -query or -edit the command makes a context, as in Maya: named by its
// last argument or "manipMoveContext1" and so on, starting from Maya's defaults
// and the values given. A name any context has already is refused.
MStatus ManipContextCommand::create(const CommandFlags& flags)
{
    const char* command = commandName(fKind);
    std::vector<MString> words = flags.objects();
    // -orientAxes takes the two words after it; a name may follow them.
    std::vector<MString> angles;
    if (flags.isSet("-oa")) {
        const size_t taken = words.size() < 2 ? words.size() : 2;
        angles.assign(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(taken));
        words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(taken));
    }
    if (words.size() > 1) {
        MGlobal::displayError(MString(command) + ": unexpected argument \"" + words[0] + "\".");
        return MS::kInvalidParameter;
    }
    const MString name = words.empty() ? unusedContextName(command) : words[0];
    if (contextClass(name).length() != 0) {
        MGlobal::displayError(MString(command) + ": Object's name '" + name + "' is not unique.");
        return MS::kInvalidParameter;
    }
    ManipContextSettings settings;
    settings.mode = fKind == ManipKind::kRotate ? 0 : 2;
    MStatus status = readSettings(flags, angles, settings);
    if (!status)
        return status;
    if (!createManipContext(fKind, name, settings)) {
        MGlobal::displayError(MString(command) + ": cannot make a context named '" + name + "'.");
        return MS::kInvalidParameter;
    }
    setResult(name);
    return MS::kSuccess;
}

MStatus ManipContextCommand::doIt(const MArgList& args)
{
    const char* command = commandName(fKind);
    CommandFlags flags;
    MStatus status = isQueryCall(args) ? flags.parse(command, args, kQueryFlags) : flags.parse(command, args, kFlags);
    if (!status)
        return status;
    if (flags.isSet("-ex")) {
        if (flags.objects().size() != 1) {
            MGlobal::displayError(MString(command) + ": -exists expects the name of one context.");
            return MS::kInvalidParameter;
        }
        setResult(contextClass(flags.objects()[0]).length() != 0);
        return MS::kSuccess;
    }
    if (flags.isQuery() && flags.isSet("-e")) {
        MGlobal::displayError(MString(command) + ": use -query or -edit, not both.");
        return MS::kInvalidParameter;
    }
    if (!flags.isQuery() && !flags.isSet("-e"))
        return create(flags);
    std::vector<MString> objects = flags.objects();
    if (objects.empty()) {
        MGlobal::displayError(MString(command) + ": expects the name of a context.");
        return MS::kInvalidParameter;
    }
    const MString name = objects.back();
    objects.pop_back();
    ManipContextSettings* found = manipContextSettings(fKind, name);
    if (!found) {
        MGlobal::displayError(MString(command) + ": Context '" + name + "' not found.");
        return MS::kInvalidParameter;
    }
    ManipContextSettings& settings = *found;
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
    std::vector<MString> angles;
    if (flags.isSet("-oa"))
        angles.swap(objects);
    if (!objects.empty()) {
        MGlobal::displayError(MString(command) + ": unexpected argument \"" + objects[0] + "\".");
        return MS::kInvalidParameter;
    }
    status = readSettings(flags, angles, edited);
    if (!status)
        return status;
    settings = edited;
    scheduleRefreshAll();
    return MS::kSuccess;
}

} // namespace host
