#ifndef MAYA_MFNDOUBLEARRAYDATA_H
#define MAYA_MFNDOUBLEARRAYDATA_H

#include <maya/MTypes.h>

#include <maya/MFnData.h>

// Data objects holding a MDoubleArray.
class MFnDoubleArrayData : public MFnData
{
public:
    MFnDoubleArrayData();
    MFnDoubleArrayData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnDoubleArrayData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnDoubleArrayData() override;
    MFn::Type type() const override;

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MDoubleArray& in, MStatus* ReturnStatus = NULL);
    MDoubleArray array(MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MDoubleArray& newArray);
    MStatus copyTo(MDoubleArray& dest) const;
    double operator[](unsigned int index) const;
    double& operator[](unsigned int index);
};

#endif
