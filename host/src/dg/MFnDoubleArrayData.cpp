#include <maya/MFnDoubleArrayData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnDoubleArrayData, MFn::kDoubleArrayData)

namespace {
host::DoubleArrayData* payload(const MObject& object)
{
    return host::objectAs<host::Data>(object) && object.hasFn(MFn::kDoubleArrayData)
               ? static_cast<host::DoubleArrayData*>(host::dataOf(object))
               : nullptr;
}
double gInvaliddouble;  // returned by operator[] when the set has no object
} // namespace

MObject MFnDoubleArrayData::create(MStatus* ReturnStatus)
{
    return create(MDoubleArray(), ReturnStatus);
}

MObject MFnDoubleArrayData::create(const MDoubleArray& in, MStatus* ReturnStatus)
{
    mObject = host::ObjectAccess::make(new host::DoubleArrayData(in));
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mObject;
}

MDoubleArray MFnDoubleArrayData::array(MStatus* ReturnStatus)
{
    host::DoubleArrayData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->value : MDoubleArray();
}

unsigned int MFnDoubleArrayData::length(MStatus* ReturnStatus) const
{
    host::DoubleArrayData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->value.length() : 0;
}

MStatus MFnDoubleArrayData::set(const MDoubleArray& newArray)
{
    host::DoubleArrayData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    d->value = newArray;
    return MStatus::kSuccess;
}

MStatus MFnDoubleArrayData::copyTo(MDoubleArray& dest) const
{
    host::DoubleArrayData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    dest = d->value;
    return MStatus::kSuccess;
}

double MFnDoubleArrayData::operator[](unsigned int index) const
{
    host::DoubleArrayData* d = payload(mObject);
    return (d && index < d->value.length()) ? d->value[index] : double();
}

double& MFnDoubleArrayData::operator[](unsigned int index)
{
    host::DoubleArrayData* d = payload(mObject);
    // Out of range is undefined in the API; hand back a scratch value instead of corrupting memory.
    return (d && index < d->value.length()) ? d->value[index] : gInvaliddouble;
}
