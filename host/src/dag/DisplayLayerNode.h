#pragma once
// The built-in "displayLayer" node. Its "drawInfo" ("displayType" 0 normal,
// 1 template, 2 reference; "enabled"; "visibility"; the colour ...) is connected
// to each member's "drawOverride", so the layer's settings become the members'
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
    static MObject identification;
    static MObject color;  // the palette index its members draw in (0: their own colour)
};

// Registers "displayLayer", "locator" and the nodes every scene has that look after
// layers and links (SceneManagerNodes.h) with the node-type registry.
MStatus registerDisplayNodeTypes();

} // namespace host
