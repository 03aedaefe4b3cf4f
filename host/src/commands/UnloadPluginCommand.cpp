#include "commands/UnloadPluginCommand.h"

#include "commands/PluginManager.h"

#include <maya/MArgDatabase.h>
#include <maya/MArgList.h>
#include <maya/MStringArray.h>

namespace host {

void* UnloadPluginCommand::creator()
{
    return new UnloadPluginCommand;
}

MSyntax UnloadPluginCommand::newSyntax()
{
    MSyntax syntax;
    syntax.addFlag("-f", "-force");
    syntax.setObjectType(MSyntax::kStringObjects, 1);
    return syntax;
}

// unloadPlugin [-force] name...: the result is the names unloaded.
MStatus UnloadPluginCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase db(syntax(), args, &status);
    if (!status)
        return status;
    MStringArray objects;
    db.getObjects(objects);
    const bool force = db.isFlagSet("-f");

    MStringArray names;
    for (unsigned int i = 0; i < objects.length(); ++i) {
        status = PluginManager::unload(objects[i], force);
        if (!status)
            return status;
        names.append(objects[i]);
    }
    setResult(names);
    return MS::kSuccess;
}

} // namespace host
