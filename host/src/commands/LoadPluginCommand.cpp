#include "commands/LoadPluginCommand.h"

#include "commands/PluginManager.h"

#include <maya/MArgDatabase.h>
#include <maya/MArgList.h>
#include <maya/MStringArray.h>

namespace host {

void* LoadPluginCommand::creator()
{
    return new LoadPluginCommand;
}

MSyntax LoadPluginCommand::newSyntax()
{
    MSyntax syntax;
    syntax.addFlag("-qt", "-quiet");
    syntax.setObjectType(MSyntax::kStringObjects, 1);
    return syntax;
}

// loadPlugin [-quiet] pathOrName...: loads each plug-in; the result is the
// names of the plug-ins loaded.
MStatus LoadPluginCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase db(syntax(), args, &status);
    if (!status)
        return status;
    MStringArray objects;
    db.getObjects(objects);
    const bool quiet = db.isFlagSet("-qt");

    MStringArray names;
    for (unsigned int i = 0; i < objects.length(); ++i) {
        MString name;
        status = PluginManager::load(objects[i], &name, quiet);
        if (!status)
            return status;
        names.append(name);
    }
    setResult(names);
    return MS::kSuccess;
}

} // namespace host
