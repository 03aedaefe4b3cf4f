#include "hoverMarker/HoverMarkerNode.h"

const MTypeId HoverMarkerNode::id(0x140547);
const MString HoverMarkerNode::typeName("hoverMarker");

HoverMarkerNode::HoverMarkerNode() = default;
HoverMarkerNode::~HoverMarkerNode() = default;

void* HoverMarkerNode::creator()
{
    return new HoverMarkerNode();
}

MStatus HoverMarkerNode::initialize()
{
    return MS::kSuccess;
}
