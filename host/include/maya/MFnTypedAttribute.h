#ifndef MAYA_MFNTYPEDATTRIBUTE_H
#define MAYA_MFNTYPEDATTRIBUTE_H

#include <maya/MTypes.h>

#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>
#include <maya/MObject.h>

// Attributes holding one kind of data object (arrays, strings, geometry ...).
class MFnTypedAttribute : public MFnAttribute
{
public:
    MFnTypedAttribute();
    MFnTypedAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnTypedAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnTypedAttribute() override;
    MFn::Type type() const override;

    MObject create(const MString& fullName, const MString& briefName, MFnData::Type type,
                   const MObject& defaultData = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MObject create(const MString& fullName, const MString& briefName, const MTypeId& id,
                   const MObject& defaultData = MObject::kNullObj, MStatus* ReturnStatus = NULL);
    MFnData::Type attrType(MStatus* ReturnStatus = NULL) const;
    MStatus getDefault(MObject& defaultData);
    MStatus setDefault(const MObject& defaultData);
};

#endif
