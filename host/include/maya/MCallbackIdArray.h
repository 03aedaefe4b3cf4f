#ifndef MAYA_MCALLBACKIDARRAY_H
#define MAYA_MCALLBACKIDARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MTypes.h>

class MCallbackIdArray : public MArrayTemplate<MCallbackId>
{
public:
    using MArrayTemplate<MCallbackId>::MArrayTemplate;
};

#endif
