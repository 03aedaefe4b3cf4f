#include <maya/MFnEnumAttribute.h>

#include "dg/FnSet.h"

using host::Attribute;

HOST_FN_SET_BASICS(MFnEnumAttribute, MFn::kEnumAttribute)

MObject MFnEnumAttribute::create(const MString& fullName, const MString& briefName, short defaultValue,
                                 MStatus* ReturnStatus)
{
    mObject = host::newAttribute(host::AttrKind::Enum, MFn::kEnumAttribute, fullName, briefName, ReturnStatus);
    if (Attribute* a = host::attributeOf(mObject)) {
        a->numericType = MFnNumericData::kShort;
        a->defaults[0] = defaultValue;
    }
    return mObject;
}

MStatus MFnEnumAttribute::addField(const MString& fieldString, short index)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a || fieldString.length() == 0)
        return MStatus::kInvalidParameter;
    for (const auto& field : a->enumFields)
        if (field.first == fieldString || field.second == index)
            return MStatus::kInvalidParameter;  // names and indices are unique
    a->enumFields.emplace_back(fieldString, index);
    return MStatus::kSuccess;
}

MString MFnEnumAttribute::fieldName(short index, MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mObject);
    if (a)
        for (const auto& field : a->enumFields)
            if (field.second == index) {
                host::setStatus(ReturnStatus, MStatus::kSuccess);
                return field.first;
            }
    host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return MString();
}

short MFnEnumAttribute::fieldIndex(const MString& fieldString, MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mObject);
    if (a)
        for (const auto& field : a->enumFields)
            if (field.first == fieldString) {
                host::setStatus(ReturnStatus, MStatus::kSuccess);
                return field.second;
            }
    host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return 0;
}

MStatus MFnEnumAttribute::getMin(short& minValue) const
{
    Attribute* a = host::attributeOf(mObject);
    if (!a || a->enumFields.empty())
        return MStatus::kFailure;
    minValue = a->enumFields.front().second;
    for (const auto& field : a->enumFields)
        minValue = field.second < minValue ? field.second : minValue;
    return MStatus::kSuccess;
}

MStatus MFnEnumAttribute::getMax(short& maxValue) const
{
    Attribute* a = host::attributeOf(mObject);
    if (!a || a->enumFields.empty())
        return MStatus::kFailure;
    maxValue = a->enumFields.front().second;
    for (const auto& field : a->enumFields)
        maxValue = field.second > maxValue ? field.second : maxValue;
    return MStatus::kSuccess;
}

MStatus MFnEnumAttribute::setDefault(short index)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    a->defaults[0] = index;
    return MStatus::kSuccess;
}

MStatus MFnEnumAttribute::setDefaultByName(const MString& fieldString)
{
    MStatus status;
    short index = fieldIndex(fieldString, &status);
    if (!status)
        return status;
    return setDefault(index);
}

MStatus MFnEnumAttribute::getDefault(short& index) const
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    index = static_cast<short>(a->defaults[0]);
    return MStatus::kSuccess;
}
