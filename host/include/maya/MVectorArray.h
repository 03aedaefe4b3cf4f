#ifndef MAYA_MVECTORARRAY_H
#define MAYA_MVECTORARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MVector.h>

class MVectorArray : public MArrayTemplate<MVector>
{
public:
    using MArrayTemplate<MVector>::MArrayTemplate;
    using MArrayTemplate<MVector>::get;

    MStatus get(double dest[][3]) const;
    MStatus get(float dest[][3]) const;
};

#endif
