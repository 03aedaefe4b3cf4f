#include <maya/MFnGenericAttribute.h>

#include "dg/FnSet.h"

#include <algorithm>

using host::Attribute;

HOST_FN_SET_BASICS(MFnGenericAttribute, MFn::kGenericAttribute)

namespace {
template <class T>
MStatus addUnique(const MObject& object, std::vector<T> Attribute::*list, const T& value)
{
    Attribute* a = host::attributeOf(object);
    if (!a)
        return MStatus::kInvalidParameter;
    auto& v = a->*list;
    if (std::find(v.begin(), v.end(), value) == v.end())
        v.push_back(value);
    return MStatus::kSuccess;
}

template <class T>
MStatus removeValue(const MObject& object, std::vector<T> Attribute::*list, const T& value)
{
    Attribute* a = host::attributeOf(object);
    if (!a)
        return MStatus::kInvalidParameter;
    auto& v = a->*list;
    auto it = std::find(v.begin(), v.end(), value);
    if (it == v.end())
        return MStatus::kFailure;
    v.erase(it);
    return MStatus::kSuccess;
}
} // namespace

MObject MFnGenericAttribute::create(const MString& fullName, const MString& briefName, MStatus* ReturnStatus)
{
    mObject = host::newAttribute(host::AttrKind::Generic, MFn::kGenericAttribute, fullName, briefName, ReturnStatus);
    return mObject;
}

MStatus MFnGenericAttribute::addDataAccept(MFnData::Type type)
{
    return addUnique(mObject, &Attribute::acceptedData, type);
}

MStatus MFnGenericAttribute::addDataAccept(const MTypeId& id)
{
    return addUnique(mObject, &Attribute::acceptedIds, id);
}

MStatus MFnGenericAttribute::addNumericDataAccept(MFnNumericData::Type type)
{
    return addUnique(mObject, &Attribute::acceptedNumeric, type);
}

MStatus MFnGenericAttribute::addAccept(MFnData::Type type) { return addDataAccept(type); }
MStatus MFnGenericAttribute::addAccept(MFnNumericData::Type type) { return addNumericDataAccept(type); }
MStatus MFnGenericAttribute::addAccept(const MTypeId& id) { return addDataAccept(id); }

MStatus MFnGenericAttribute::removeDataAccept(MFnData::Type type)
{
    return removeValue(mObject, &Attribute::acceptedData, type);
}

MStatus MFnGenericAttribute::removeDataAccept(const MTypeId& id)
{
    return removeValue(mObject, &Attribute::acceptedIds, id);
}

MStatus MFnGenericAttribute::removeNumericDataAccept(MFnNumericData::Type type)
{
    return removeValue(mObject, &Attribute::acceptedNumeric, type);
}
