#include <maya/MFnMatrixData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnMatrixData, MFn::kMatrixData)

namespace {
host::MatrixData* payload(const MObject& object)
{
    return host::dataAs<host::MatrixData>(object, MFnData::kMatrix);
}
} // namespace

MObject MFnMatrixData::create(MStatus* ReturnStatus)
{
    return create(MMatrix(), ReturnStatus);
}

MObject MFnMatrixData::create(const MMatrix& in, MStatus* ReturnStatus)
{
    auto* d = new host::MatrixData;
    d->matrix = in;
    mObject = host::ObjectAccess::make(d);
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mObject;
}

MObject MFnMatrixData::create(const MTransformationMatrix& in, MStatus* ReturnStatus)
{
    MObject obj = create(in.asMatrix(), ReturnStatus);
    payload(obj)->transformation.reset(new MTransformationMatrix(in));
    return obj;
}

const MMatrix& MFnMatrixData::matrix(MStatus* ReturnStatus) const
{
    host::MatrixData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->matrix : MMatrix::identity;
}

MTransformationMatrix MFnMatrixData::transformation(MStatus* ReturnStatus) const
{
    host::MatrixData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    if (!d)
        return MTransformationMatrix();
    return d->transformation ? *d->transformation : MTransformationMatrix(d->matrix);
}

MStatus MFnMatrixData::set(const MMatrix& in)
{
    host::MatrixData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    d->matrix = in;
    d->transformation.reset();
    return MStatus::kSuccess;
}

MStatus MFnMatrixData::set(const MTransformationMatrix& in)
{
    host::MatrixData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    d->matrix = in.asMatrix();
    d->transformation.reset(new MTransformationMatrix(in));
    return MStatus::kSuccess;
}

bool MFnMatrixData::isTransformation(MStatus* ReturnStatus) const
{
    host::MatrixData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d && d->transformation;
}
