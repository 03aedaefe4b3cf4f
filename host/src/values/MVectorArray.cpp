#include <maya/MVectorArray.h>

MStatus MVectorArray::get(double dest[][3]) const
{
    if (dest == nullptr && !fData.empty()) return MStatus::kInvalidParameter;
    for (size_t i = 0; i < fData.size(); ++i) fData[i].get(dest[i]);
    return MStatus::kSuccess;
}

MStatus MVectorArray::get(float dest[][3]) const
{
    if (dest == nullptr && !fData.empty()) return MStatus::kInvalidParameter;
    for (size_t i = 0; i < fData.size(); ++i) {
        dest[i][0] = static_cast<float>(fData[i].x);
        dest[i][1] = static_cast<float>(fData[i].y);
        dest[i][2] = static_cast<float>(fData[i].z);
    }
    return MStatus::kSuccess;
}
