#include <maya/MFnGeometryData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnGeometryData, MFn::kGeometryData)

namespace {
host::GeometryData* payload(const MObject& object)
{
    return object.hasFn(MFn::kGeometryData) ? static_cast<host::GeometryData*>(host::dataOf(object)) : nullptr;
}
} // namespace

MStatus MFnGeometryData::setMatrix(const MMatrix& matrix)
{
    host::GeometryData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    d->matrix = matrix;
    return MStatus::kSuccess;
}

MStatus MFnGeometryData::getMatrix(MMatrix& matrix) const
{
    host::GeometryData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    matrix = d->matrix;
    return MStatus::kSuccess;
}

bool MFnGeometryData::isIdentity(MStatus* ReturnStatus) const
{
    host::GeometryData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d && d->matrix == MMatrix::identity;
}

bool MFnGeometryData::isNotIdentity(MStatus* ReturnStatus) const
{
    host::GeometryData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d && !(d->matrix == MMatrix::identity);
}
