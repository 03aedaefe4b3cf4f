#include <maya/MCacheSchema.h>

#include "dg/Attribute.h"

#include <algorithm>

MCacheSchema::MCacheSchema() = default;

MStatus MCacheSchema::add(const MObject& attribute)
{
    if (!host::attributeOf(attribute))
        return MStatus::kInvalidParameter;
    if (std::find(mAttributes.begin(), mAttributes.end(), attribute) == mAttributes.end())
        mAttributes.push_back(attribute);
    return MStatus::kSuccess;
}

void MCacheSchema::reset()
{
    mAttributes.clear();
}
