#ifndef MAYA_MFNGENERICATTRIBUTE_H
#define MAYA_MFNGENERICATTRIBUTE_H

#include <maya/MTypes.h>

#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>

// Attributes that accept several kinds of data.
class MFnGenericAttribute : public MFnAttribute
{
public:
    MFnGenericAttribute();
    MFnGenericAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnGenericAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnGenericAttribute() override;
    MFn::Type type() const override;

    MObject create(const MString& fullName, const MString& briefName, MStatus* ReturnStatus = NULL);
    MStatus addDataAccept(MFnData::Type type);
    MStatus addDataAccept(const MTypeId& id);
    MStatus addNumericDataAccept(MFnNumericData::Type type);
    MStatus addAccept(MFnData::Type type);
    MStatus addAccept(MFnNumericData::Type type);
    MStatus addAccept(const MTypeId& id);
    MStatus removeDataAccept(MFnData::Type type);
    MStatus removeDataAccept(const MTypeId& id);
    MStatus removeNumericDataAccept(MFnNumericData::Type type);
};

#endif
