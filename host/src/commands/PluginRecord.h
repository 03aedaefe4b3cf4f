#pragma once
// One loaded plug-in module. It is what the plug-in MObject handed to
// initializePlugin refers to.

#include "dg/Object.h"

#include <maya/MObject.h>
#include <maya/MString.h>

namespace host {

class PluginRecord : public Object
{
public:
    PluginRecord(const MString& name, const MString& path, void* handle);

    // The record an MObject refers to, or null.
    static PluginRecord* from(const MObject& object);

    MString name;
    MString path;  // full path of the module file
    MString vendor = "Unknown";
    MString version = "Unknown";
    MString apiVersion = "Any";
    void* handle;  // dlopen handle
    bool initialized = false;
    // MFnPlugin::registerUI: MEL procedures run after load and before unload.
    MString uiCreation, uiDeletion, uiCreationBatch, uiDeletionBatch;
};

} // namespace host
