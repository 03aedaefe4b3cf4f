#pragma once
// Loading and unloading plug-in modules.

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

namespace host {

class PluginRecord;

class PluginManager
{
public:
    // Loads a module given by path or by name (looked up in the folders of
    // MAYA_PLUG_IN_PATH, "pellix" finding "pellix.so"). Refuses, with an error
    // message, modules that cannot be opened, lack MApiVersion or either entry
    // point, or whose initializePlugin fails (the module is unloaded again).
    // Loading a loaded plug-in again only warns (unless `quiet`).
    // `loadedName` receives the plug-in's name.
    static MStatus load(const MString& pathOrName, MString* loadedName = nullptr, bool quiet = false);

    // Unloads a plug-in by name (or path). Fires kBeforePluginUnload first;
    // refuses while nodes of its types exist unless `force`, in which case
    // those nodes are deleted first.
    static MStatus unload(const MString& nameOrPath, bool force = false);

    // Process exit: empties the undo queue, the selection and the scene, then
    // calls uninitializePlugin of every loaded plug-in in reverse load order,
    // without closing the modules.
    static void shutdown();

    static bool isLoaded(const MString& nameOrPath);
    static MStringArray loadedPlugins();
    // The record of a loaded plug-in by name or path, or null.
    static PluginRecord* find(const MString& nameOrPath);

    // The plug-in whose initializePlugin / uninitializePlugin is running.
    static PluginRecord* current();

    // The file a name resolves to through MAYA_PLUG_IN_PATH; empty if none.
    static MString resolve(const MString& pathOrName);
};

} // namespace host
