#ifndef MAYA_MFNSTRINGDATA_H
#define MAYA_MFNSTRINGDATA_H

#include <maya/MTypes.h>

#include <maya/MFnData.h>

// Data objects holding a string.
class MFnStringData : public MFnData
{
public:
    MFnStringData();
    MFnStringData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnStringData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnStringData() override;
    MFn::Type type() const override;

    MObject create(MStatus* ReturnStatus = NULL);
    MObject create(const MString& in, MStatus* ReturnStatus = NULL);
    MString string(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MString& newString);
};

#endif
