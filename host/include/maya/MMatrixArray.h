#ifndef MAYA_MMATRIXARRAY_H
#define MAYA_MMATRIXARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MMatrix.h>
class MMatrixArray : public MArrayTemplate<MMatrix>
{
public:
    using MArrayTemplate<MMatrix>::MArrayTemplate;
};

#endif
