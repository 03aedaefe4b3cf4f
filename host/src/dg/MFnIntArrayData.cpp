#include <maya/MFnIntArrayData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnIntArrayData, MFn::kIntArrayData)

namespace {
host::IntArrayData* payload(const MObject& object)
{
    return host::objectAs<host::Data>(object) && object.hasFn(MFn::kIntArrayData)
               ? static_cast<host::IntArrayData*>(host::dataOf(object))
               : nullptr;
}
int gInvalidint;  // returned by operator[] when the set has no object
} // namespace

MObject MFnIntArrayData::create(MStatus* ReturnStatus)
{
    return create(MIntArray(), ReturnStatus);
}

MObject MFnIntArrayData::create(const MIntArray& in, MStatus* ReturnStatus)
{
    mObject = host::ObjectAccess::make(new host::IntArrayData(in));
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mObject;
}

MIntArray MFnIntArrayData::array(MStatus* ReturnStatus)
{
    host::IntArrayData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->value : MIntArray();
}

unsigned int MFnIntArrayData::length(MStatus* ReturnStatus) const
{
    host::IntArrayData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->value.length() : 0;
}

MStatus MFnIntArrayData::set(const MIntArray& newArray)
{
    host::IntArrayData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    d->value = newArray;
    return MStatus::kSuccess;
}

MStatus MFnIntArrayData::copyTo(MIntArray& dest) const
{
    host::IntArrayData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    dest = d->value;
    return MStatus::kSuccess;
}

int MFnIntArrayData::operator[](unsigned int index) const
{
    host::IntArrayData* d = payload(mObject);
    return (d && index < d->value.length()) ? d->value[index] : int();
}

int& MFnIntArrayData::operator[](unsigned int index)
{
    host::IntArrayData* d = payload(mObject);
    // Out of range is undefined in the API; hand back a scratch value instead of corrupting memory.
    return (d && index < d->value.length()) ? d->value[index] : gInvalidint;
}
