// The host is not a plug-in: it must not define MApiVersion.
#define MNoVersionString
#include <maya/MFnPlugin.h>

#include "commands/CommandRegistry.h"
#include "commands/PluginManager.h"
#include "commands/PluginRecord.h"
#include "dg/Registry.h"

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
