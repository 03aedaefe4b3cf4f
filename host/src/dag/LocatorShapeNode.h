#pragma once
// The built-in "locator" shape: a locator with nothing but the attributes
// every locator has ("localPosition", "localScale", ...).

#include <maya/MPxLocatorNode.h>
#include <maya/MTypeId.h>

namespace host {

class LocatorShapeNode : public MPxLocatorNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();
};

} // namespace host
