#ifndef MAYA_MFNENUMATTRIBUTE_H
#define MAYA_MFNENUMATTRIBUTE_H

#include <maya/MFnAttribute.h>

// Attributes whose value is one of a list of named fields.
class MFnEnumAttribute : public MFnAttribute
{
public:
    MFnEnumAttribute();
    MFnEnumAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnEnumAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnEnumAttribute() override;
    MFn::Type type() const override;

    MObject create(const MString& fullName, const MString& briefName, short defaultValue = 0,
                   MStatus* ReturnStatus = NULL);
    MStatus addField(const MString& fieldString, short index);
    MString fieldName(short index, MStatus* ReturnStatus = NULL) const;
    short fieldIndex(const MString& fieldString, MStatus* ReturnStatus = NULL) const;
    MStatus getMin(short& minValue) const;
    MStatus getMax(short& maxValue) const;
    MStatus setDefault(short index);
    MStatus setDefaultByName(const MString& fieldString);
    MStatus getDefault(short& index) const;
};

#endif
