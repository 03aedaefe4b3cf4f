#include "commands/builtins/FileCommand.h"

#include "commands/FileState.h"
#include "commands/builtins/CommandFlags.h"
#include "commands/scene/SceneFile.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-f", "-force", CommandFlags::kOptionalBool},  {"-new", "-newFile", CommandFlags::kOptionalBool},
    {"-o", "-open", CommandFlags::kOptionalBool},   {"-s", "-save", CommandFlags::kOptionalBool},
    {"-rn", "-rename", CommandFlags::kOneArg},      {"-typ", "-type", CommandFlags::kOneArg},
    {"-q", "-query", CommandFlags::kNoArg},         {"-sn", "-sceneName", CommandFlags::kOptionalBool},
    {"-op", "-options", CommandFlags::kOneArg},     {"-pmt", "-prompt", CommandFlags::kOptionalBool},
    {"-shn", "-shortName", CommandFlags::kOptionalBool},
};
}

MStatus FileCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("file", args, kFlags);
    if (!status)
        return status;
    if (flags.isQuery()) {
        if (!flags.isSet("-sn")) {
            MGlobal::displayError("file: only -sceneName can be queried.");
            return MS::kInvalidParameter;
        }
        MString name = currentFilePath();
        if (flags.isSet("-shn") && name.rindex('/') >= 0)
            name = name.substring(name.rindex('/') + 1, static_cast<int>(name.length()) - 1);
        setResult(name);
        return MS::kSuccess;
    }
    const bool newFile = flags.boolValue("-new", false);
    const bool open = flags.boolValue("-o", false);
    const bool save = flags.boolValue("-s", false);
    if (static_cast<int>(newFile) + static_cast<int>(open) + static_cast<int>(save) > 1) {
        MGlobal::displayError("file: use only one of -new, -open and -save.");
        return MS::kInvalidParameter;
    }
    if (newFile)
        return SceneFile::newScene();
    if (open) {
        if (flags.objects().size() != 1) {
            MGlobal::displayError("file: -open needs the file to open.");
            return MS::kInvalidParameter;
        }
        status = SceneFile::open(flags.objects()[0]);
        if (status)
            setResult(flags.objects()[0]);
        return status;
    }
    if (flags.isSet("-rn")) {
        setCurrentFile(flags.arg("-rn"));
        if (!save) {
            setResult(flags.arg("-rn"));
            return MS::kSuccess;
        }
    }
    if (save) {
        if (flags.isSet("-typ") && flags.arg("-typ") != "mayaAscii") {
            MGlobal::displayError(MString("file: cannot save as \"") + flags.arg("-typ") + "\": only mayaAscii is supported.");
            return MS::kInvalidParameter;
        }
        const MString path = currentFilePath();
        if (path.length() == 0) {
            MGlobal::displayError("file: the scene has no name yet: use file -rename first.");
            return MS::kFailure;
        }
        status = SceneFile::save(path);
        if (status)
            setResult(path);
        return status;
    }
    MGlobal::displayError("file: nothing to do: give -new, -open, -save or -rename.");
    return MS::kInvalidParameter;
}

} // namespace host
