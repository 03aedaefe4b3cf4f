#ifndef MAYA_MFLOATPOINTARRAY_H
#define MAYA_MFLOATPOINTARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MFloatPoint.h>

class MFloatPointArray : public MArrayTemplate<MFloatPoint>
{
public:
    using MArrayTemplate<MFloatPoint>::MArrayTemplate;
    using MArrayTemplate<MFloatPoint>::append;
    using MArrayTemplate<MFloatPoint>::set;
    using MArrayTemplate<MFloatPoint>::get;

    MStatus append(float x, float y, float z = 0.0f, float w = 1.0f);
    MStatus set(unsigned int index, float x, float y, float z = 0.0f, float w = 1.0f);
    MStatus get(float dest[][4]) const;
};

#endif
