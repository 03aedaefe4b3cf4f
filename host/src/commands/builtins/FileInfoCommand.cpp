#include "commands/builtins/FileInfoCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/scene/SceneRecords.h"

#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-rm", "-remove", CommandFlags::kOneArg},
    {"-rfn", "-referenceNode", CommandFlags::kOneArg},
};
}

MStatus FileInfoCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("fileInfo", args, kFlags);
    if (!status)
        return status;
    const std::vector<MString>& words = flags.objects();
    if (flags.isQuery()) {
        MStringArray result;
        for (const auto& entry : SceneRecords::fileInfo()) {
            if (words.empty()) {
                result.append(entry.first);
                result.append(entry.second);
            } else if (entry.first == words[0]) {
                result.append(entry.second);
            }
        }
        setResult(result);
        return MS::kSuccess;
    }
    if (flags.isSet("-rm")) {
        if (!SceneRecords::removeFileInfo(flags.arg("-rm"))) {
            MGlobal::displayError(MString("fileInfo: no information is kept under \"") + flags.arg("-rm") + "\".");
            return MS::kInvalidParameter;
        }
        return MS::kSuccess;
    }
    if (words.size() != 2) {
        MGlobal::displayError("fileInfo: expects a key and its value.");
        return MS::kInvalidParameter;
    }
    SceneRecords::setFileInfo(words[0], words[1]);
    return MS::kSuccess;
}

} // namespace host
