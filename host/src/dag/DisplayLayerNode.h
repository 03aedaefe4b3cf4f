#pragma once
// The built-in "displayLayer" node. Its "drawInfo" ("displayType" 0 normal,
// 1 template, 2 reference; "enabled"; "visibility") is connected to each
// member's "drawOverride", so the layer's settings become the members'
// drawing overrides.

#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class DisplayLayerNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    static MObject drawInfo;
    static MObject displayType;
    static MObject enabled;
    static MObject visibility;
    static MObject rgbColors;
    static MObject color;
    static MObject colorRGB;
    static MObject identification;
};

// Registers "displayLayer" and "locator" with the node-type registry.
MStatus registerDisplayNodeTypes();

} // namespace host
