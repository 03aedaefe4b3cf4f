#include <maya/MFloatVectorArray.h>

MStatus MFloatVectorArray::get(float dest[][3]) const
{
    if (dest == nullptr && !fData.empty()) return MStatus::kInvalidParameter;
    for (size_t i = 0; i < fData.size(); ++i) fData[i].get(dest[i]);
    return MStatus::kSuccess;
}
