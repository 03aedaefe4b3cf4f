#ifndef MAYA_MFNINTARRAYDATA_H
#define MAYA_MFNINTARRAYDATA_H

#include <maya/MTypes.h>

#include <maya/MFnData.h>

// Data objects holding a MIntArray.
class MFnIntArrayData : public MFnData
{
public:
    MFnIntArrayData();
    MFnIntArrayData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnIntArrayData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnIntArrayData() override;
    MFn::Type type() const override;

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MIntArray& in, MStatus* ReturnStatus = NULL);
    MIntArray array(MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MIntArray& newArray);
    MStatus copyTo(MIntArray& dest) const;
    int operator[](unsigned int index) const;
    int& operator[](unsigned int index);
};

#endif
