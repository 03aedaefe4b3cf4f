#include "commands/PluginInfoCommand.h"

#include "commands/CommandRegistry.h"
#include "commands/PluginManager.h"
#include "commands/PluginRecord.h"
#include "dg/Registry.h"

#include <maya/MArgDatabase.h>
#include <maya/MArgList.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

namespace host {

namespace {

enum Query { kLoaded, kDependNode, kCommand, kVersion, kVendor, kPath, kName, kListPlugins, kQueryCount };

struct QueryFlag
{
    const char* shortName;
    const char* longName;
};

const QueryFlag kQueries[kQueryCount] = {
    {"-l", "-loaded"},   {"-dn", "-dependNode"}, {"-c", "-command"}, {"-v", "-version"},
    {"-vd", "-vendor"},  {"-p", "-path"},        {"-n", "-name"},    {"-ls", "-listPlugins"},
};

MStringArray toArray(const std::vector<MString>& names)
{
    MStringArray array;
    for (const MString& name : names)
        array.append(name);
    return array;
}

} // namespace

void* PluginInfoCommand::creator()
{
    return new PluginInfoCommand;
}

MSyntax PluginInfoCommand::newSyntax()
{
    MSyntax syntax;
    for (const QueryFlag& flag : kQueries)
        syntax.addFlag(flag.shortName, flag.longName);
    syntax.enableQuery(true);
    syntax.setObjectType(MSyntax::kStringObjects, 0, 1);
    return syntax;
}

// pluginInfo -query -loaded/-dependNode/-command/-version/-vendor/-path name,
// or pluginInfo -query -listPlugins.
MStatus PluginInfoCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase db(syntax(), args, &status);
    if (!status)
        return status;
    if (!db.isQuery()) {
        MGlobal::displayError("pluginInfo: only query mode (-query) is supported.");
        return MS::kInvalidParameter;
    }
    int query = -1;
    for (int i = 0; i < kQueryCount; ++i) {
        if (!db.isFlagSet(kQueries[i].shortName))
            continue;
        if (query >= 0) {
            MGlobal::displayError("pluginInfo: query one thing at a time.");
            return MS::kInvalidParameter;
        }
        query = i;
    }
    if (query < 0) {
        MGlobal::displayError("pluginInfo: name what to query (-loaded, -dependNode, -command, ...).");
        return MS::kInvalidParameter;
    }
    if (query == kListPlugins) {
        setResult(PluginManager::loadedPlugins());
        return MS::kSuccess;
    }

    MStringArray objects;
    db.getObjects(objects);
    if (objects.length() != 1) {
        MGlobal::displayError(MString("pluginInfo: ") + kQueries[query].longName + " needs a plug-in name.");
        return MS::kInvalidParameter;
    }
    PluginRecord* record = PluginManager::find(objects[0]);
    if (query == kLoaded) {
        setResult(record != nullptr);
        return MS::kSuccess;
    }
    if (!record) {
        MGlobal::displayError(MString("pluginInfo: plug-in \"") + objects[0] + "\" is not loaded.");
        return MS::kFailure;
    }
    switch (query) {
    case kDependNode: setResult(toArray(nodeTypesOfPlugin(record->name))); break;
    case kCommand: setResult(toArray(commandsOfPlugin(record->name))); break;
    case kVersion: setResult(record->version); break;
    case kVendor: setResult(record->vendor); break;
    case kPath: setResult(record->path); break;
    default: setResult(record->name); break;
    }
    return MS::kSuccess;
}

} // namespace host
