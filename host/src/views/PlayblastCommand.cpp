#include "views/PlayblastCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/ValueText.h"
#include "anim/SceneTime.h"
#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MGlobal.h>
#include <maya/MTime.h>

#include <cmath>

namespace host {

namespace {
// -widthHeight takes two values; the flag table reads the first and the
// second stays among the objects (playblast has no objects of its own).
const CommandFlags::Definition kFlags[] = {
    {"-fr", "-frame", CommandFlags::kOneArg},
    {"-fmt", "-format", CommandFlags::kOneArg},
    {"-c", "-compression", CommandFlags::kOneArg},
    {"-cf", "-completeFilename", CommandFlags::kOneArg},
    {"-wh", "-widthHeight", CommandFlags::kOneArg},
    {"-p", "-percent", CommandFlags::kOneArg},
    {"-v", "-viewer", CommandFlags::kOptionalBool},
    {"-orn", "-showOrnaments", CommandFlags::kOptionalBool},
    {"-os", "-offScreen", CommandFlags::kOptionalBool},
    {"-fo", "-forceOverwrite", CommandFlags::kOptionalBool},
    {"-qlt", "-quality", CommandFlags::kOneArg},
};

constexpr int kLargestImage = 16384;

bool parseSize(const MString& text, int& value)
{
    double number = 0.0;
    if (!ValueText::parseDouble(text, number) || !(number >= 1.0) || number > kLargestImage ||
        number != std::floor(number))
        return false;
    value = static_cast<int>(number);
    return true;
}

} // namespace

MStatus PlayblastCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("playblast", args, kFlags);
    if (!status)
        return status;
    status = requireViews("playblast");
    if (!status)
        return status;
    const size_t extraWords = flags.isSet("-wh") ? 1u : 0u;
    if (flags.objects().size() != extraWords) {
        MGlobal::displayError(flags.isSet("-wh") && flags.objects().empty()
                                  ? MString("playblast: -widthHeight needs a width and a height.")
                                  : MString("playblast: unexpected argument ") + flags.objects().back() + ".");
        return MS::kInvalidParameter;
    }
    if (flags.isSet("-fmt") && flags.arg("-fmt") != "image") {
        MGlobal::displayError(MString("playblast: cannot write the format \"") + flags.arg("-fmt") +
                              "\"; use -format image.");
        return MS::kInvalidParameter;
    }
    if (flags.isSet("-c") && flags.arg("-c") != "png") {
        MGlobal::displayError(MString("playblast: cannot write \"") + flags.arg("-c") +
                              "\" images; use -compression png.");
        return MS::kInvalidParameter;
    }
    const MString file = flags.arg("-cf");
    if (file.length() == 0) {
        MGlobal::displayError("playblast: -completeFilename is needed to write an image.");
        return MS::kInvalidParameter;
    }

    const unsigned panel = activePanel();
    int width = 0;
    int height = 0;
    panelPortSize(panel, width, height);
    if (flags.isSet("-wh") && (!parseSize(flags.arg("-wh"), width) || !parseSize(flags.objects()[0], height))) {
        MGlobal::displayError(MString("playblast: -widthHeight needs two whole numbers from 1 to ") + kLargestImage +
                              ".");
        return MS::kInvalidParameter;
    }
    if (flags.isSet("-p")) {
        double percent = 0.0;
        if (!ValueText::parseDouble(flags.arg("-p"), percent) || !(percent > 0.0) || percent > 100.0) {
            MGlobal::displayError("playblast: -percent needs a number above 0 and up to 100.");
            return MS::kInvalidParameter;
        }
        width = std::max(1, static_cast<int>(std::lround(width * percent / 100.0)));
        height = std::max(1, static_cast<int>(std::lround(height * percent / 100.0)));
    }

    if (flags.isSet("-fr")) {
        double frame = 0.0;
        if (!ValueText::parseDouble(flags.arg("-fr"), frame) || !std::isfinite(frame)) {
            MGlobal::displayError(MString("playblast: -frame needs a number, not \"") + flags.arg("-fr") + "\".");
            return MS::kInvalidParameter;
        }
        status = setSceneTime(MTime(frame, MTime::uiUnit()));
        if (!status) {
            MGlobal::displayError("playblast: cannot set the time.");
            return status;
        }
    }
    status = writeViewImage(panel, file.asChar(), width, height);
    if (!status)
        return status;
    setResult(file);
    return MS::kSuccess;
}

} // namespace host
