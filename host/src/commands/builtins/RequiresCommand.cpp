#include "commands/builtins/RequiresCommand.h"

#include "commands/PluginManager.h"
#include "commands/builtins/CommandFlags.h"
#include "commands/scene/SceneRecords.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-nodeType", "-nodeType", CommandFlags::kOneArg},
    {"-dataType", "-dataType", CommandFlags::kOneArg},
};
}

MStatus RequiresCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("requires", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().empty() || flags.objects().size() > 2) {
        MGlobal::displayError("requires: expects a product or plug-in name and its version.");
        return MS::kInvalidParameter;
    }
    const MString& name = flags.objects()[0];
    // Any version of Maya is read ("2023", "2025ff03").
    if (name == "maya" || PluginManager::isLoaded(name))
        return MS::kSuccess;
    if (PluginManager::resolve(name).length() > 0)
        return PluginManager::load(name);

    SceneRecords::Requirement requirement;
    requirement.plugin = name;
    requirement.version = flags.objects().size() > 1 ? flags.objects()[1] : MString();
    // The type flags in the order given.
    for (unsigned i = 0; i + 1 < args.length(); ++i) {
        const MString word = args.asString(i);
        if (word == "-nodeType" || word == "-dataType") {
            requirement.typeFlags.emplace_back(word, args.asString(i + 1));
            ++i;
        }
    }
    if (SceneRecords::keepRequirement(requirement))
        MGlobal::displayWarning(MString("requires: the plug-in \"") + name +
                            "\" cannot be found; the scene keeps what it needs from it.");
    return MS::kSuccess;
}

} // namespace host
