#include "commands/PluginManager.h"

#include "dag/Dag.h"

#include "commands/CommandExecution.h"
#include "commands/CommandRegistry.h"
#include "commands/PluginRecord.h"
#include "commands/Session.h"
#include "commands/UndoQueue.h"
#include "dg/Messages.h"
#include "dg/ModifierOp.h"
#include "dg/Registry.h"
#include "dg/Scene.h"
#include "viewport/DrawRegistryState.h"
#include "viewport/FrameRenderer.h"

#include <maya/MDagModifier.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MSceneMessage.h>
#include <maya/MStringArray.h>

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace host {

namespace {

typedef MStatus (*EntryPoint)(MObject);

struct LoadedPlugins
{
    std::vector<MObject> records;  // PluginRecords, in load order
    PluginRecord* current = nullptr;
};

LoadedPlugins& loaded()
{
    static LoadedPlugins instance;
    return instance;
}

PluginRecord* recordOf(const MObject& object)
{
    return PluginRecord::from(object);
}

void reportError(const MString& message)
{
    MGlobal::displayError(commandMessage(message));
}

bool isReadableFile(const std::string& path)
{
    return ::access(path.c_str(), R_OK) == 0;
}

bool endsWith(const std::string& text, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

std::string canonicalPath(const std::string& path)
{
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : path;
}

// "/a/b/pellix.so" -> "pellix".
MString pluginNameOf(const std::string& path)
{
    std::string base = path.substr(path.find_last_of('/') + 1);
    const size_t dot = base.find('.');
    if (dot != std::string::npos && dot > 0)
        base.erase(dot);
    return MString(base.c_str());
}

// Runs an entry point with the record as the plug-in being (un)loaded.
MStatus callEntryPoint(PluginRecord* record, const MObject& object, const char* symbol)
{
    EntryPoint entry = reinterpret_cast<EntryPoint>(::dlsym(record->handle, symbol));
    if (!entry)
        return MS::kFailure;
    LoadedPlugins& state = loaded();
    PluginRecord* outer = state.current;
    state.current = record;
    MStatus status = entry(object);
    state.current = outer;
    return status;
}

// Whether `address` lies in the module opened as `handle`.
bool isInModule(void* handle, const void* address)
{
    struct link_map* map = nullptr;
    Dl_info info;
    if (!address || ::dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !::dladdr(address, &info) ||
        !info.dli_fname)
        return false;
    return std::strcmp(info.dli_fname, map->l_name) == 0;
}

// Removes whatever the plug-in still has registered, so that nothing points
// into the module once it is closed. Draw overrides carry no owner: their
// creators' addresses tell whose they are.
void removeRegistrations(const MString& plugin, void* handle)
{
    for (const MString& command : commandsOfPlugin(plugin))
        deregisterPluginCommand(command, plugin);
    for (const MString& type : nodeTypesOfPlugin(plugin))
        if (const NodeTypeInfo* info = findNodeType(type))
            deregisterNodeType(info->id);
    for (const DrawOverrideEntry& entry : drawRegistryEntries()) {
        if (entry.kind == DrawOverrideEntry::kDrawOverride &&
            isInModule(handle, reinterpret_cast<const void*>(entry.drawCreator)))
            MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(entry.classification, entry.registrantId);
        else if (entry.kind == DrawOverrideEntry::kGeometryOverride &&
                 isInModule(handle, reinterpret_cast<const void*>(entry.geometryCreator)))
            MHWRender::MDrawRegistry::deregisterGeometryOverrideCreator(entry.classification, entry.registrantId);
    }
}

// Whether the module itself defines `symbol`: dlsym also finds symbols of
// the libraries the module links, the host library among them.
bool definesSymbol(void* handle, const char* symbol)
{
    return isInModule(handle, ::dlsym(handle, symbol));
}

void forget(PluginRecord* record)
{
    std::vector<MObject>& records = loaded().records;
    for (auto it = records.begin(); it != records.end(); ++it)
        if (recordOf(*it) == record) {
            records.erase(it);
            return;
        }
}

// Deletes the scene's nodes whose types belong to `plugin`, and says which went.
MStatus deleteNodesOfPlugin(const MString& plugin)
{
    MDagModifier modifier;
    MStringArray names;
    for (MItDependencyNodes it; !it.isDone(); it.next()) {
        MObject node = it.thisNode();
        MFnDependencyNode fn(node);
        if (fn.pluginName() != plugin)
            continue;
        MStatus status = host::queueDeletionEvenIfReferenced(modifier, node);
        if (!status)
            return status;
        names.append(fn.name());
    }
    if (names.length() == 0)
        return MS::kSuccess;
    MStatus status = modifier.doIt();
    if (!status)
        return status;
    MString message = MString("Plug-in \"") + plugin + "\" unloaded by force: deleted ";
    message += names.length() == 1 ? "its node " : "its nodes ";
    for (unsigned i = 0; i < names.length(); ++i) {
        if (i > 0)
            message += ", ";
        message += names[i];
    }
    MGlobal::displayWarning(commandMessage(message + "."));
    return MS::kSuccess;
}

// What the plug-in load and unload messages pass to string-array callbacks, in Maya's order:
// the file before loading, file and name after it, the name before unloading, name and file after.
MStringArray pluginMessageStrings(const MString& first, const MString& second = MString())
{
    MStringArray strings;
    strings.append(first);
    if (second.length() > 0)
        strings.append(second);
    return strings;
}

// The procedure MFnPlugin::registerUI gave for loading (or unloading) in the mode the
// host runs in: the interface ones with a main window, the batch ones without. A failing
// procedure is reported; the plug-in stays loaded (or unloads) all the same.
void runUiProcedure(const PluginRecord& record, bool creation)
{
    const bool interactive = MGlobal::mayaState() == MGlobal::kInteractive;
    const MString& procedure = interactive ? (creation ? record.uiCreation : record.uiDeletion)
                                           : (creation ? record.uiCreationBatch : record.uiDeletionBatch);
    if (procedure.length() == 0)
        return;
    if (!MGlobal::executeCommand(procedure, false, false))
        reportError(MString("The ") + (creation ? "interface creation" : "interface deletion") + " procedure \"" +
                    procedure + "\" of plug-in \"" + record.name + "\" failed.");
}

} // namespace

MString PluginManager::resolve(const MString& pathOrName)
{
    const std::string given = pathOrName.asChar();
    if (given.empty())
        return MString();
    std::vector<std::string> candidates;
    if (given.find('/') != std::string::npos) {
        candidates.push_back(given);
    } else if (const char* searchPath = std::getenv("MAYA_PLUG_IN_PATH")) {
        std::string folders = searchPath;
        size_t start = 0;
        while (start <= folders.size()) {
            size_t end = folders.find(':', start);
            if (end == std::string::npos)
                end = folders.size();
            std::string folder = folders.substr(start, end - start);
            if (!folder.empty())
                candidates.push_back(folder + "/" + given);
            start = end + 1;
        }
    }
    for (const std::string& candidate : candidates) {
        if (isReadableFile(candidate))
            return MString(canonicalPath(candidate).c_str());
        if (!endsWith(candidate, ".so") && isReadableFile(candidate + ".so"))
            return MString(canonicalPath(candidate + ".so").c_str());
    }
    return MString();
}

PluginRecord* PluginManager::find(const MString& nameOrPath)
{
    const MString path = nameOrPath.index('/') >= 0 ? resolve(nameOrPath) : MString();
    for (const MObject& object : loaded().records) {
        PluginRecord* record = recordOf(object);
        if (record->name == nameOrPath || (path.length() && record->path == path))
            return record;
    }
    return nullptr;
}

bool PluginManager::isLoaded(const MString& nameOrPath)
{
    return find(nameOrPath) != nullptr;
}

MStringArray PluginManager::loadedPlugins()
{
    MStringArray names;
    for (const MObject& object : loaded().records)
        names.append(recordOf(object)->name);
    return names;
}

PluginRecord* PluginManager::current()
{
    return loaded().current;
}

MStatus PluginManager::load(const MString& pathOrName, MString* loadedName, bool quiet)
{
    const MString path = resolve(pathOrName);
    if (path.length() == 0) {
        if (pathOrName.index('/') >= 0)
            reportError(MString("Plug-in file \"") + pathOrName + "\" does not exist.");
        else
            reportError(MString("Plug-in \"") + pathOrName + "\" was not found on MAYA_PLUG_IN_PATH.");
        return MS::kNotFound;
    }
    const MString name = pluginNameOf(path.asChar());
    if (PluginRecord* existing = find(name)) {
        if (!quiet)
            MGlobal::displayWarning(commandMessage(MString("Plug-in \"") + existing->name + "\" is already loaded."));
        if (loadedName)
            *loadedName = existing->name;
        return MS::kSuccess;
    }

    void* handle = ::dlopen(path.asChar(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        reportError(MString("Plug-in \"") + path + "\" could not be opened: " + (why ? why : "unknown error"));
        return MS::kFailure;
    }
    // A Maya plug-in declares the API it was built for and both entry points.
    for (const char* symbol : {"MApiVersion", "initializePlugin", "uninitializePlugin"}) {
        if (definesSymbol(handle, symbol))
            continue;
        ::dlclose(handle);
        reportError(MString("Plug-in \"") + path + "\" is not a valid Maya plug-in: it does not define " + symbol +
                    ".");
        return MS::kFailure;
    }

    MObject object = ObjectAccess::make(new PluginRecord(name, path, handle));
    PluginRecord* record = recordOf(object);
    fireSceneMessage(MSceneMessage::kBeforePluginLoad, pluginMessageStrings(path));
    loaded().records.push_back(object);

    MStatus status = callEntryPoint(record, object, "initializePlugin");
    if (!status) {
        reportError(MString("initializePlugin of \"") + name + "\" failed: " + status.errorString() +
                    ". The plug-in was unloaded.");
        removeRegistrations(name, handle);
        forget(record);
        ::dlclose(handle);
        return status;
    }
    record->initialized = true;
    runUiProcedure(*record, true);
    fireSceneMessage(MSceneMessage::kAfterPluginLoad, pluginMessageStrings(path, name));
    if (loadedName)
        *loadedName = name;
    return MS::kSuccess;
}

MStatus PluginManager::unload(const MString& nameOrPath, bool force)
{
    PluginRecord* record = find(nameOrPath);
    if (!record) {
        reportError(MString("Plug-in \"") + nameOrPath + "\" is not loaded.");
        return MS::kNotFound;
    }
    MObject object;
    for (const MObject& candidate : loaded().records)
        if (recordOf(candidate) == record)
            object = candidate;  // keeps the record alive until the end
    const MString name = record->name;
    const MString path = record->path;

    fireSceneMessage(MSceneMessage::kBeforePluginUnload, pluginMessageStrings(name));

    const unsigned int inUse = liveNodeCountOfPlugin(name);
    if (inUse > 0) {
        if (!force) {
            MString message = MString("Cannot unload plug-in \"") + name + "\": ";
            message += static_cast<int>(inUse);
            message += inUse == 1 ? " node of its types is in the scene (use -force to unload anyway)."
                                  : " nodes of its types are in the scene (use -force to unload anyway).";
            reportError(message);
            return MS::kFailure;
        }
        // The module's code is about to go: its nodes go first.
        MStatus status = deleteNodesOfPlugin(name);
        if (!status) {
            reportError(MString("Cannot unload plug-in \"") + name + "\": its nodes could not be deleted.");
            return status;
        }
    }
    // Queued commands may be the plug-in's own objects or hold its nodes,
    // and the selection may still hold deleted ones.
    UndoQueue::flush();
    pruneActiveSelection();
    releaseDeletedDagNodes();

    // Its interface goes before its commands do.
    runUiProcedure(*record, false);
    // Its overrides (and their user data) are the module's code too.
    releaseOverrides(name);
    MStatus status = callEntryPoint(record, object, "uninitializePlugin");
    if (!status) {
        reportError(MString("uninitializePlugin of \"") + name + "\" failed: " + status.errorString() +
                    ". The plug-in stays loaded.");
        // It stays with its interface.
        runUiProcedure(*record, true);
        return status;
    }
    removeRegistrations(name, record->handle);
    forget(record);
    fireSceneMessage(MSceneMessage::kAfterPluginUnload, pluginMessageStrings(name, path));
    ::dlclose(record->handle);
    record->handle = nullptr;
    return MS::kSuccess;
}

void PluginManager::shutdown()
{
    // Nothing may outlive the modules' registrations: commands kept for
    // undo, the selection and the scene's nodes go first.
    UndoQueue::flush();
    MGlobal::clearSelectionList();
    deleteAllNodes();
    releaseDeletedDagNodes();
    std::vector<MObject>& records = loaded().records;
    while (!records.empty()) {
        MObject object = records.back();
        PluginRecord* record = recordOf(object);
        releaseOverrides(record->name);
        MStatus status = callEntryPoint(record, object, "uninitializePlugin");
        if (!status)
            reportError(MString("uninitializePlugin of \"") + record->name + "\" failed: " + status.errorString() + ".");
        removeRegistrations(record->name, record->handle);
        records.pop_back();
        // The module stays mapped: the process is ending and static
        // destructors may still reach into it.
    }
}

} // namespace host
