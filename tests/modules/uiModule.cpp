// A plug-in with an interface: registers the MEL procedures its load and unload run
// (PREFIXCreate / PREFIXDelete with a main window, PREFIXCreateBatch / PREFIXDeleteBatch
// without; PREFIX is $PELLIX_UI_MODULE_PREFIX, "uiModule" by default). The tests define
// those procedures. Its entry points log to the MEL global $gUiModuleLog, and
// uiModuleLateRegister tries registerUI outside initializePlugin.

#include <maya/MArgList.h>
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

#include <cstdlib>

namespace {

MObject gPlugin;

MString prefix()
{
    const char* given = std::getenv("PELLIX_UI_MODULE_PREFIX");
    return given && *given ? MString(given) : MString("uiModule");
}

void log(const MString& entry)
{
    MGlobal::executeCommand(MString("global string $gUiModuleLog[]; $gUiModuleLog[size($gUiModuleLog)] = \"") +
                            entry + "\";");
}

class LateRegisterCommand : public MPxCommand
{
public:
    static void* creator() { return new LateRegisterCommand; }
    MStatus doIt(const MArgList&) override
    {
        MFnPlugin plugin(gPlugin);
        setResult(plugin.registerUI("uiModuleCreate", "uiModuleDelete") == MS::kSuccess);
        return MS::kSuccess;
    }
};

} // namespace

MStatus initializePlugin(MObject obj)
{
    gPlugin = obj;
    MFnPlugin plugin(obj, "pellix tests", "1.0", "Any");
    MStatus status = plugin.registerCommand("uiModuleLateRegister", LateRegisterCommand::creator);
    if (!status)
        return status;
    const MString name = prefix();
    const MStatus ui = plugin.registerUI(name + "Create", name + "Delete", name + "CreateBatch", name + "DeleteBatch");
    log(MString("registerUI ") + (ui ? "ok" : "failed"));
    return MS::kSuccess;
}

MStatus uninitializePlugin(MObject obj)
{
    log("uninitialize");
    MFnPlugin plugin(obj);
    return plugin.deregisterCommand("uiModuleLateRegister");
}
