#include <maya/MFnStringArrayData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnStringArrayData, MFn::kStringArrayData)

namespace {
host::StringArrayData* payload(const MObject& object)
{
    return host::objectAs<host::Data>(object) && object.hasFn(MFn::kStringArrayData)
               ? static_cast<host::StringArrayData*>(host::dataOf(object))
               : nullptr;
}
MString gInvalidMString;  // returned by operator[] when the set has no object
} // namespace

MObject MFnStringArrayData::create(MStatus* ReturnStatus)
{
    return create(MStringArray(), ReturnStatus);
}

MObject MFnStringArrayData::create(const MStringArray& in, MStatus* ReturnStatus)
{
    mObject = host::ObjectAccess::make(new host::StringArrayData(in));
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mObject;
}

MStringArray MFnStringArrayData::array(MStatus* ReturnStatus)
{
    host::StringArrayData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->value : MStringArray();
}

unsigned int MFnStringArrayData::length(MStatus* ReturnStatus) const
{
    host::StringArrayData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->value.length() : 0;
}

MStatus MFnStringArrayData::set(const MStringArray& newArray)
{
    host::StringArrayData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    d->value = newArray;
    return MStatus::kSuccess;
}

MStatus MFnStringArrayData::copyTo(MStringArray& dest) const
{
    host::StringArrayData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    dest = d->value;
    return MStatus::kSuccess;
}

const MString& MFnStringArrayData::operator[](unsigned int index) const
{
    host::StringArrayData* d = payload(mObject);
    return (d && index < d->value.length()) ? d->value[index] : gInvalidMString;
}

MString& MFnStringArrayData::operator[](unsigned int index)
{
    host::StringArrayData* d = payload(mObject);
    // Out of range is undefined in the API; hand back a scratch value instead of corrupting memory.
    return (d && index < d->value.length()) ? d->value[index] : gInvalidMString;
}
