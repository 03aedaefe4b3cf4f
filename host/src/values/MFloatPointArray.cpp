#include <maya/MFloatPointArray.h>

MStatus MFloatPointArray::append(float x, float y, float z, float w)
{
    return append(MFloatPoint(x, y, z, w));
}

MStatus MFloatPointArray::set(unsigned int index, float x, float y, float z, float w)
{
    return set(MFloatPoint(x, y, z, w), index);
}

MStatus MFloatPointArray::get(float dest[][4]) const
{
    if (dest == nullptr && !fData.empty()) return MStatus::kInvalidParameter;
    for (size_t i = 0; i < fData.size(); ++i) fData[i].get(dest[i]);
    return MStatus::kSuccess;
}
