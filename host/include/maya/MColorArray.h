#ifndef MAYA_MCOLORARRAY_H
#define MAYA_MCOLORARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MColor.h>
class MColorArray : public MArrayTemplate<MColor>
{
public:
    using MArrayTemplate<MColor>::MArrayTemplate;
};

#endif
