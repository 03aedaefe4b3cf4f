#include "dag/LocatorShapeNode.h"

namespace host {

const MTypeId LocatorShapeNode::id(0x4e4c4f43);  // 'NLOC'
const char* const LocatorShapeNode::typeName = "locator";

void* LocatorShapeNode::creator()
{
    return new LocatorShapeNode;
}

MStatus LocatorShapeNode::initialize()
{
    return MS::kSuccess;
}

} // namespace host
