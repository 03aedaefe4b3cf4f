#include <maya/MFnMatrixArrayData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnMatrixArrayData, MFn::kMatrixArrayData)

namespace {
host::MatrixArrayData* payload(const MObject& object)
{
    return host::objectAs<host::Data>(object) && object.hasFn(MFn::kMatrixArrayData)
               ? static_cast<host::MatrixArrayData*>(host::dataOf(object))
               : nullptr;
}
MMatrix gInvalidMMatrix;  // returned by operator[] when the set has no object
} // namespace

MObject MFnMatrixArrayData::create(MStatus* ReturnStatus)
{
    return create(MMatrixArray(), ReturnStatus);
}

MObject MFnMatrixArrayData::create(const MMatrixArray& in, MStatus* ReturnStatus)
{
    mObject = host::ObjectAccess::make(new host::MatrixArrayData(in));
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mObject;
}

MMatrixArray MFnMatrixArrayData::array(MStatus* ReturnStatus)
{
    host::MatrixArrayData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->value : MMatrixArray();
}

unsigned int MFnMatrixArrayData::length(MStatus* ReturnStatus) const
{
    host::MatrixArrayData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->value.length() : 0;
}

MStatus MFnMatrixArrayData::set(const MMatrixArray& newArray)
{
    host::MatrixArrayData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    d->value = newArray;
    return MStatus::kSuccess;
}

MStatus MFnMatrixArrayData::copyTo(MMatrixArray& dest) const
{
    host::MatrixArrayData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    dest = d->value;
    return MStatus::kSuccess;
}

const MMatrix& MFnMatrixArrayData::operator[](unsigned int index) const
{
    host::MatrixArrayData* d = payload(mObject);
    return (d && index < d->value.length()) ? d->value[index] : gInvalidMMatrix;
}

MMatrix& MFnMatrixArrayData::operator[](unsigned int index)
{
    host::MatrixArrayData* d = payload(mObject);
    // Out of range is undefined in the API; hand back a scratch value instead of corrupting memory.
    return (d && index < d->value.length()) ? d->value[index] : gInvalidMMatrix;
}
