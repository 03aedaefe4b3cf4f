#include "commands/builtins/FileCommand.h"

#include "commands/FileState.h"
#include "commands/builtins/CommandFlags.h"
#include "commands/scene/MayaAsciiReader.h"
#include "commands/scene/SceneFile.h"
#include "commands/scene/SceneRecords.h"

#include <maya/MGlobal.h>

#include <fstream>
#include <string>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-f", "-force", CommandFlags::kOptionalBool},  {"-new", "-newFile", CommandFlags::kOptionalBool},
    {"-o", "-open", CommandFlags::kOptionalBool},   {"-s", "-save", CommandFlags::kOptionalBool},
    {"-rn", "-rename", CommandFlags::kOneArg},      {"-typ", "-type", CommandFlags::kOneArg},
    {"-q", "-query", CommandFlags::kNoArg},         {"-sn", "-sceneName", CommandFlags::kOptionalBool},
    {"-op", "-options", CommandFlags::kOneArg},     {"-pmt", "-prompt", CommandFlags::kOptionalBool},
    {"-shn", "-shortName", CommandFlags::kOptionalBool},
    {"-r", "-reference", CommandFlags::kOptionalBool},  {"-rdi", "-referenceDepthInfo", CommandFlags::kOneArg},
    {"-ns", "-namespace", CommandFlags::kOneArg},       {"-rfn", "-referenceNode", CommandFlags::kOneArg},
    {"-dr", "-deferReference", CommandFlags::kOptionalBool},
    {"-shd", "-sharedNodes", CommandFlags::kOneArg},    {"-gl", "-groupLocator", CommandFlags::kOptionalBool},
    {"-dns", "-defaultNamespace", CommandFlags::kOptionalBool},
    {"-mnc", "-mergeNamespacesOnClash", CommandFlags::kOptionalBool},
    {"-lck", "-lockReference", CommandFlags::kOptionalBool},
};

// The Maya ASCII scene a reference names: the path itself, else the file of
// that name next to the scene being read (references often hold another
// machine's absolute path). Empty when neither exists.
MString referencedScene(const MString& path)
{
    const std::string given(path.asChar(), path.length());
    if (given.size() < 3 || given.compare(given.size() - 3, 3, ".ma") != 0)
        return MString();
    if (std::ifstream(given).good())
        return path;
    const std::string scene(currentFilePath().asChar(), currentFilePath().length());
    const size_t sceneSlash = scene.find_last_of('/');
    const size_t nameStart = given.find_last_of("/\\");
    if (sceneSlash == std::string::npos)
        return MString();
    const std::string beside = scene.substr(0, sceneSlash + 1) +
                               given.substr(nameStart == std::string::npos ? 0 : nameStart + 1);
    return std::ifstream(beside).good() ? MString(beside.c_str(), static_cast<int>(beside.size())) : MString();
}

// A scene file's reference statements are kept with the scene and written
// back. A referenced Maya ASCII scene that can be found (and is not deferred)
// is read into its namespace; otherwise only the reference node the file
// creates keeps its edits.
MStatus keepReference(const CommandFlags& flags, const MArgList& args)
{
    SceneRecords::keepReference(SceneRecords::statementText("file", args));
    if (flags.isSet("-rdi"))
        return MS::kSuccess;
    const MString path = flags.objects().empty() ? MString() : flags.objects()[0];
    const MString found = referencedScene(path);
    const bool deferred = flags.boolValue("-dr", false);
    if (!deferred && found.length() > 0 && flags.isSet("-ns"))
        return MayaAsciiReader::readReference(found, flags.arg("-ns"));
    MGlobal::displayWarning(MString("file: the reference ") + (flags.isSet("-rfn") ? flags.arg("-rfn") + " " : MString()) +
                            "to \"" + path + "\" is not loaded: its reference node and edits are kept.");
    return MS::kSuccess;
}
}

MStatus FileCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("file", args, kFlags);
    if (!status)
        return status;
    if (flags.isSet("-rdi") || flags.boolValue("-r", false))
        return keepReference(flags, args);
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
