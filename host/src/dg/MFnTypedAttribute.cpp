#include <maya/MFnTypedAttribute.h>

#include "dg/Data.h"
#include "dg/FnSet.h"

using host::Attribute;

HOST_FN_SET_BASICS(MFnTypedAttribute, MFn::kTypedAttribute)

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, MFnData::Type dataType,
                                  const MObject& defaultData, MStatus* ReturnStatus)
{
    mObject = MObject();
    if (dataType <= MFnData::kInvalid || dataType >= MFnData::kLast || dataType == MFnData::kNumeric) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return mObject;
    }
    mObject = host::newAttribute(host::AttrKind::Typed, MFn::kTypedAttribute, fullName, briefName, ReturnStatus);
    if (Attribute* a = host::attributeOf(mObject)) {
        a->dataType = dataType;
        a->defaultData = host::cloneData(defaultData);
    }
    return mObject;
}

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, const MTypeId& id,
                                  const MObject& defaultData, MStatus* ReturnStatus)
{
    mObject = host::newAttribute(host::AttrKind::Typed, MFn::kTypedAttribute, fullName, briefName, ReturnStatus);
    if (Attribute* a = host::attributeOf(mObject)) {
        a->dataType = MFnData::kPlugin;
        a->pluginTypeId = id;
        a->defaultData = host::cloneData(defaultData);
    }
    return mObject;
}

MFnData::Type MFnTypedAttribute::attrType(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mObject);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? a->dataType : MFnData::kInvalid;
}

MStatus MFnTypedAttribute::getDefault(MObject& defaultData)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    defaultData = host::cloneData(a->defaultData);
    return MStatus::kSuccess;
}

MStatus MFnTypedAttribute::setDefault(const MObject& defaultData)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    host::Data* d = host::dataOf(defaultData);
    if (!defaultData.isNull() && (!d || d->dataType != a->dataType))
        return MStatus::kInvalidParameter;
    a->defaultData = host::cloneData(defaultData);
    return MStatus::kSuccess;
}
