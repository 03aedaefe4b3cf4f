#ifndef MAYA_MFLOATVECTORARRAY_H
#define MAYA_MFLOATVECTORARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MFloatVector.h>

class MFloatVectorArray : public MArrayTemplate<MFloatVector>
{
public:
    using MArrayTemplate<MFloatVector>::MArrayTemplate;
    using MArrayTemplate<MFloatVector>::get;

    MStatus get(float dest[][3]) const;
};

#endif
