#ifndef MAYA_MFNPLUGIN_H
#define MAYA_MFNPLUGIN_H

#include <maya/MApiNamespace.h>
#include <maya/MApiVersion.h>
#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

typedef void* (*MCreatorFunction)();
typedef MStatus (*MInitializeFunction)();
typedef MSyntax (*MCreateSyntaxFunction)();

// Registers the node types and commands of a plug-in module. Constructed on
// the plug-in object passed to initializePlugin / uninitializePlugin.
class MFnPlugin : public MFnBase
{
public:
    MFnPlugin();
    MFnPlugin(MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* ReturnStatus = 0L);
    ~MFnPlugin() override;

    MFn::Type type() const override;

    MStatus registerNode(const MString& typeName, const MTypeId& typeId,
                         MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                         MPxNode::Type type = MPxNode::kDependNode,
                         const MString* classification = NULL);
    MStatus deregisterNode(const MTypeId& typeId);
    MStatus registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                            MCreateSyntaxFunction createSyntaxFunction = NULL);
    MStatus deregisterCommand(const MString& commandName);

    MStatus registerUI(const MString& creationProcedure, const MString& deletionProcedure,
                       const MString& creationBatchProcedure = "", const MString& deletionBatchProcedure = "");

    MString vendor(MStatus* ReturnStatus = NULL) const;
    MString version(MStatus* ReturnStatus = NULL) const;
    MString apiVersion(MStatus* ReturnStatus = NULL) const;
    MString name(MStatus* ReturnStatus = NULL) const;
    MString loadPath(MStatus* ReturnStatus = NULL) const;
    MStatus setName(const MString& newName, bool allowRename = true);
    MStatus setVersion(const MString& newVersion);

    static MObject findPlugin(const MString& pluginName);

private:
    MFnPlugin(const MFnPlugin&) = delete;
    MFnPlugin& operator=(const MFnPlugin&) = delete;
};

// The entry points every plug-in module defines.
#ifndef MNoPluginEntry
PLUGIN_EXPORT MStatus initializePlugin(MObject obj);
PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj);
#endif

#endif
