#ifndef MAYA_MMATRIXARRAY_H
#define MAYA_MMATRIXARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MMatrix.h>
class MMatrixArray : public MArrayTemplate<MMatrix>
{
public:
    using MArrayTemplate<MMatrix>::MArrayTemplate;
    MMatrixArray(unsigned int initialSize) : MArrayTemplate<MMatrix>(initialSize) {}
    MMatrixArray(unsigned int initialSize, const MMatrix& initialValue) = delete;
    MMatrixArray(const MMatrix src[], unsigned int count) = delete;
};

#endif
