#ifndef MAYA_MDOUBLEARRAY_H
#define MAYA_MDOUBLEARRAY_H

#include <maya/MArrayTemplate.h>

class MDoubleArray : public MArrayTemplate<double>
{
public:
    using MArrayTemplate<double>::MArrayTemplate;
};

#endif
