// Registers a command, then tries to take the name of a built-in command and
// returns that (failing) status: the host must unload it again and forget the
// command it did register.

#include <maya/MArgList.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxCommand.h>

namespace {

class EmptyCommand : public MPxCommand
{
public:
    static void* creator() { return new EmptyCommand; }
    MStatus doIt(const MArgList&) override { return MS::kSuccess; }
};

} // namespace

MStatus initializePlugin(MObject obj)
{
    MFnPlugin plugin(obj, "pellix tests", "1.0", "Any");
    MStatus status = plugin.registerCommand("failingInitCommand", EmptyCommand::creator);
    if (!status)
        return status;
    return plugin.registerCommand("loadPlugin", EmptyCommand::creator);
}

MStatus uninitializePlugin(MObject obj)
{
    MFnPlugin plugin(obj);
    return plugin.deregisterCommand("failingInitCommand");
}
