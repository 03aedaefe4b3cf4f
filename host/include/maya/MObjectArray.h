#ifndef MAYA_MOBJECTARRAY_H
#define MAYA_MOBJECTARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MObject.h>

class MObjectArray : public MArrayTemplate<MObject>
{
public:
    using MArrayTemplate<MObject>::MArrayTemplate;
};

#endif
