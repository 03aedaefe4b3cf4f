#ifndef MAYA_MFNMATRIXDATA_H
#define MAYA_MFNMATRIXDATA_H

#include <maya/MTypes.h>

#include <maya/MFnData.h>

// Data objects holding a matrix (or a transformation that composes one).
class MFnMatrixData : public MFnData
{
public:
    MFnMatrixData();
    MFnMatrixData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMatrixData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnMatrixData() override;
    MFn::Type type() const override;

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MMatrix& in, MStatus* ReturnStatus = NULL);
    MObject create(const MTransformationMatrix& in, MStatus* ReturnStatus = NULL);
    const MMatrix& matrix(MStatus* ReturnStatus = NULL) const;
    MTransformationMatrix transformation(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MMatrix& in);
    MStatus set(const MTransformationMatrix& in);
    bool isTransformation(MStatus* ReturnStatus = NULL) const;
};

#endif
