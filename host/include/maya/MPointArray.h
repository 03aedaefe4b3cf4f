#ifndef MAYA_MPOINTARRAY_H
#define MAYA_MPOINTARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MPoint.h>

class MPointArray : public MArrayTemplate<MPoint>
{
public:
    using MArrayTemplate<MPoint>::MArrayTemplate;
    using MArrayTemplate<MPoint>::append;
    using MArrayTemplate<MPoint>::set;
    using MArrayTemplate<MPoint>::get;

    MStatus append(double x, double y, double z = 0.0, double w = 1.0);
    MStatus set(unsigned int index, double x, double y, double z = 0.0, double w = 1.0);
    MStatus set(unsigned int index, float x, float y, float z = 0.0f, float w = 1.0f);
    MStatus get(double dest[][4]) const;
    MStatus get(float dest[][4]) const;
};

#endif
