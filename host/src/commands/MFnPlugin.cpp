// The host is not a plug-in: it must not define MApiVersion.
#define MNoVersionString
#include <maya/MFnPlugin.h>

#include "commands/CommandRegistry.h"
#include "commands/PluginManager.h"
#include "commands/PluginRecord.h"
#include "dg/Registry.h"

#include <maya/MGlobal.h>

#include <cctype>
#include <string>

namespace {

void setStatus(MStatus* ReturnStatus, MStatus status)
{
    if (ReturnStatus)
        *ReturnStatus = status;
}

host::PluginRecord* recordOf(const MObject& object)
{
    return host::PluginRecord::from(object);
}

// Text accessor shared by vendor(), version() and friends.
MString recordText(const MObject& object, MString host::PluginRecord::*member, MStatus* ReturnStatus)
{
    host::PluginRecord* record = recordOf(object);
    setStatus(ReturnStatus, record ? MS::kSuccess : MS::kFailure);
    return record ? record->*member : MString();
}

// A MEL procedure name (the names are run as MEL, so nothing else may pass).
bool isProcedureName(const MString& name, bool mayBeEmpty)
{
    const std::string text = name.asChar();
    if (text.empty())
        return mayBeEmpty;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!(std::isalpha(c) || c == '_' || (i > 0 && std::isdigit(c))))
            return false;
    }
    return true;
}

} // namespace

MFnPlugin::MFnPlugin() = default;

MFnPlugin::MFnPlugin(MObject& object, const char* vendor, const char* version, const char* requiredApiVersion,
                     MStatus* ReturnStatus)
{
    host::PluginRecord* record = recordOf(object);
    if (!record) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return;
    }
    mObject = object;
    // Constructed in initializePlugin, the set records who the plug-in says
    // it is; uninitializePlugin constructs it with the defaults, which must
    // not overwrite that.
    if (host::PluginManager::current() == record && !record->initialized) {
        record->vendor = vendor ? vendor : "Unknown";
        record->version = version ? version : "Unknown";
        record->apiVersion = requiredApiVersion ? requiredApiVersion : "Any";
    }
    setStatus(ReturnStatus, MS::kSuccess);
}

MFnPlugin::~MFnPlugin() = default;

MFn::Type MFnPlugin::type() const
{
    return MFn::kPlugin;
}

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId, MCreatorFunction creatorFunction,
                                MInitializeFunction initFunction, MPxNode::Type type, const MString* classification)
{
    host::PluginRecord* record = recordOf(mObject);
    if (!record || !creatorFunction)
        return MS::kInvalidParameter;
    host::NodeTypeInfo info;
    info.name = typeName;
    info.id = typeId;
    info.creator = creatorFunction;
    info.initialize = initFunction;
    info.type = type;
    if (classification)
        info.classification = *classification;
    info.pluginName = record->name;
    return host::registerNodeType(info);
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId)
{
    host::PluginRecord* record = recordOf(mObject);
    const host::NodeTypeInfo* info = host::findNodeType(typeId);
    // A plug-in removes only its own types.
    if (!record || !info || info->pluginName != record->name)
        return MS::kFailure;
    return host::deregisterNodeType(typeId);
}

MStatus MFnPlugin::registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                                   MCreateSyntaxFunction createSyntaxFunction)
{
    host::PluginRecord* record = recordOf(mObject);
    if (!record)
        return MS::kInvalidParameter;
    return host::registerPluginCommand(commandName, creatorFunction, createSyntaxFunction, record->name);
}

MStatus MFnPlugin::deregisterCommand(const MString& commandName)
{
    host::PluginRecord* record = recordOf(mObject);
    if (!record)
        return MS::kFailure;
    return host::deregisterPluginCommand(commandName, record->name);
}

MStatus MFnPlugin::registerUI(const MString& creationProcedure, const MString& deletionProcedure,
                              const MString& creationBatchProcedure, const MString& deletionBatchProcedure)
{
    host::PluginRecord* record = recordOf(mObject);
    // Only while the plug-in initialises, as Maya allows.
    if (!record || host::PluginManager::current() != record || record->initialized)
        return MS::kFailure;
    if (!isProcedureName(creationProcedure, false) || !isProcedureName(deletionProcedure, false) ||
        !isProcedureName(creationBatchProcedure, true) || !isProcedureName(deletionBatchProcedure, true))
        return MS::kInvalidParameter;
    // The procedures of the mode the host runs in must be there to call (sourced, or NAME.mel on MAYA_SCRIPT_PATH).
    const bool interactive = MGlobal::mayaState() == MGlobal::kInteractive;
    for (const MString* procedure : {interactive ? &creationProcedure : &creationBatchProcedure,
                                     interactive ? &deletionProcedure : &deletionBatchProcedure}) {
        if (procedure->length() == 0)
            continue;
        int found = 0;
        MGlobal::executeCommand(MString("exists \"") + *procedure + "\"", found, false, false);
        if (!found) {
            MGlobal::displayError(MString("registerUI: procedure \"") + *procedure + "\" was not found.");
            return MS::kNotFound;
        }
    }
    record->uiCreation = creationProcedure;
    record->uiDeletion = deletionProcedure;
    record->uiCreationBatch = creationBatchProcedure;
    record->uiDeletionBatch = deletionBatchProcedure;
    return MS::kSuccess;
}

MString MFnPlugin::vendor(MStatus* ReturnStatus) const
{
    return recordText(mObject, &host::PluginRecord::vendor, ReturnStatus);
}

MString MFnPlugin::version(MStatus* ReturnStatus) const
{
    return recordText(mObject, &host::PluginRecord::version, ReturnStatus);
}

MString MFnPlugin::apiVersion(MStatus* ReturnStatus) const
{
    return recordText(mObject, &host::PluginRecord::apiVersion, ReturnStatus);
}

MString MFnPlugin::name(MStatus* ReturnStatus) const
{
    return recordText(mObject, &host::PluginRecord::name, ReturnStatus);
}

MString MFnPlugin::loadPath(MStatus* ReturnStatus) const
{
    MString path = recordText(mObject, &host::PluginRecord::path, ReturnStatus);
    const int slash = path.rindex('/');
    return slash > 0 ? path.substring(0, slash - 1) : path;
}

MStatus MFnPlugin::setName(const MString& newName, bool allowRename)
{
    host::PluginRecord* record = recordOf(mObject);
    if (!record || newName.length() == 0)
        return MS::kInvalidParameter;
    if (newName == record->name)
        return MS::kSuccess;
    // Registrations are filed under the name: rename only before any.
    if (!host::commandsOfPlugin(record->name).empty() || !host::nodeTypesOfPlugin(record->name).empty())
        return MS::kFailure;
    if (host::PluginManager::find(newName) && !allowRename)
        return MS::kFailure;
    MString unique = newName;
    for (int suffix = 1; host::PluginManager::find(unique); ++suffix)
        unique = newName + suffix;
    record->name = unique;
    return MS::kSuccess;
}

MStatus MFnPlugin::setVersion(const MString& newVersion)
{
    host::PluginRecord* record = recordOf(mObject);
    if (!record)
        return MS::kFailure;
    record->version = newVersion;
    return MS::kSuccess;
}

MObject MFnPlugin::findPlugin(const MString& pluginName)
{
    host::PluginRecord* record = host::PluginManager::find(pluginName);
    return record ? host::ObjectAccess::make(record) : MObject();
}
