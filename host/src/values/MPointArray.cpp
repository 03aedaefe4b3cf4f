#include <maya/MPointArray.h>

MStatus MPointArray::append(double x, double y, double z, double w)
{
    return append(MPoint(x, y, z, w));
}

MStatus MPointArray::set(unsigned int index, double x, double y, double z, double w)
{
    return set(MPoint(x, y, z, w), index);
}

MStatus MPointArray::set(unsigned int index, float x, float y, float z, float w)
{
    return set(MPoint(x, y, z, w), index);
}

MStatus MPointArray::get(double dest[][4]) const
{
    if (dest == nullptr && !fData.empty()) return MStatus::kInvalidParameter;
    for (size_t i = 0; i < fData.size(); ++i) fData[i].get(dest[i]);
    return MStatus::kSuccess;
}

MStatus MPointArray::get(float dest[][4]) const
{
    if (dest == nullptr && !fData.empty()) return MStatus::kInvalidParameter;
    for (size_t i = 0; i < fData.size(); ++i) fData[i].get(dest[i]);
    return MStatus::kSuccess;
}
