#ifndef MAYA_MFNSTRINGARRAYDATA_H
#define MAYA_MFNSTRINGARRAYDATA_H

#include <maya/MTypes.h>

#include <maya/MFnData.h>

// Data objects holding a MStringArray.
class MFnStringArrayData : public MFnData
{
public:
    MFnStringArrayData();
    MFnStringArrayData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnStringArrayData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnStringArrayData() override;
    MFn::Type type() const override;

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MStringArray& in, MStatus* ReturnStatus = NULL);
    MStringArray array(MStatus* ReturnStatus = NULL);
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MStringArray& newArray);
    MStatus copyTo(MStringArray& dest) const;
    const MString& operator[](unsigned int index) const;
    MString& operator[](unsigned int index);
};

#endif
