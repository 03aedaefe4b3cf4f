#pragma once
// The nodes Maya's older deformer wiring threads through a deformed shape's history:
// "groupId" names a group of components (its "groupId" is a number unique in the session, as
// Maya gives it; scene files do not store it), and "groupParts" tags the components of its
// "inputComponents" with that id on the geometry passing through it. Here every group is the
// whole geometry: groupParts passes its input geometry on unchanged.

#include <maya/MDataBlock.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class GroupIdNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;
    static void* creator();
    static MStatus initialize();
    void postConstructor() override;

    static MObject groupId;
};

class GroupPartsNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;
    static void* creator();
    static MStatus initialize();
    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static MObject inputGeometry, inputComponents, groupId, outputGeometry, inputRemoveComponent;
};

} // namespace host
