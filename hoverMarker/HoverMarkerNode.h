#pragma once
// The "hoverMarker" locator: the one scene node the hover-marker ring is drawn on. It holds
// nothing of its own; what the ring shows lives in the module-wide marker state.

#include <maya/MApiNamespace.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class HoverMarkerNode : public MPxLocatorNode
{
public:
    HoverMarkerNode();
    ~HoverMarkerNode() override;

    static void* creator();
    static MStatus initialize();

    static const MTypeId id;
    static const MString typeName;
};
