#ifndef MAYA_MPLUGARRAY_H
#define MAYA_MPLUGARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MPlug.h>

class MPlugArray : public MArrayTemplate<MPlug>
{
public:
    using MArrayTemplate<MPlug>::MArrayTemplate;
};

#endif
