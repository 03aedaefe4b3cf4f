#ifndef MAYA_MINTARRAY_H
#define MAYA_MINTARRAY_H

#include <maya/MArrayTemplate.h>

class MIntArray : public MArrayTemplate<int>
{
public:
    using MArrayTemplate<int>::MArrayTemplate;
    int operator[](unsigned int index) const { return fData[index]; }
    int& operator[](unsigned int index) { return fData[index]; }
};

#endif
