#ifndef MAYA_MFLOATARRAY_H
#define MAYA_MFLOATARRAY_H

#include <maya/MArrayTemplate.h>

class MFloatArray : public MArrayTemplate<float>
{
public:
    using MArrayTemplate<float>::MArrayTemplate;
};

#endif
