#ifndef MAYA_MINTARRAY_H
#define MAYA_MINTARRAY_H

#include <maya/MArrayTemplate.h>

class MIntArray : public MArrayTemplate<int>
{
public:
    using MArrayTemplate<int>::MArrayTemplate;
};

#endif
