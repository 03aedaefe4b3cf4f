#ifndef MAYA_MTIMEARRAY_H
#define MAYA_MTIMEARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MTime.h>
class MTimeArray : public MArrayTemplate<MTime>
{
public:
    using MArrayTemplate<MTime>::MArrayTemplate;
};

#endif
