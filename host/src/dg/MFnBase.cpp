#include <maya/MFnBase.h>

MFnBase::MFnBase() = default;
MFnBase::~MFnBase() = default;

MFn::Type MFnBase::type() const
{
    return MFn::kBase;
}

bool MFnBase::hasObj(MFn::Type fnType) const
{
    return mObject.hasFn(fnType);
}

bool MFnBase::hasObj(const MObject& object) const
{
    return object.hasFn(type());
}

MObject MFnBase::object(MStatus* ReturnStatus) const
{
    if (ReturnStatus)
        *ReturnStatus = mObject.isNull() ? MStatus::kFailure : MStatus::kSuccess;
    return mObject;
}

MStatus MFnBase::setObject(MObject& object)
{
    return setObject(static_cast<const MObject&>(object));
}

MStatus MFnBase::setObject(const MObject& object)
{
    if (object.isNull() || !object.hasFn(type())) {
        mObject = MObject();
        return MStatus::kInvalidParameter;
    }
    mObject = object;
    return MStatus::kSuccess;
}

void MFnBase::init(const MObject& object, MStatus* ReturnStatus)
{
    MStatus status = setObject(object);
    if (ReturnStatus)
        *ReturnStatus = status;
}
