#ifndef MAYA_MFNMATRIXARRAYDATA_H
#define MAYA_MFNMATRIXARRAYDATA_H

#include <maya/MTypes.h>

#include <maya/MFnData.h>

// Data objects holding a MMatrixArray.
class MFnMatrixArrayData : public MFnData
{
public:
    MFnMatrixArrayData();
    MFnMatrixArrayData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMatrixArrayData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnMatrixArrayData() override;
    MFn::Type type() const override;

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MMatrixArray& in, MStatus* ReturnStatus = NULL);
    MMatrixArray array(MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MMatrixArray& newArray);
    MStatus copyTo(MMatrixArray& dest) const;
    const MMatrix& operator[](unsigned int index) const;
    MMatrix& operator[](unsigned int index);
};

#endif
