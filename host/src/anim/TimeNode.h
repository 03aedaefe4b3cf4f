#pragma once
// The built-in "time" node ("time1" in every scene): "outTime" is the scene's
// current time. Setting it (a scene file's "setAttr .o", or setAttr) moves the
// current time; changing the current time writes it.

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class TimeNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override;

    static MObject outTime;
    static MObject unwarpedTime;
};

} // namespace host
