#ifndef MAYA_MUINTARRAY_H
#define MAYA_MUINTARRAY_H

#include <maya/MArrayTemplate.h>

class MUintArray : public MArrayTemplate<unsigned int>
{
public:
    using MArrayTemplate<unsigned int>::MArrayTemplate;
};

#endif
