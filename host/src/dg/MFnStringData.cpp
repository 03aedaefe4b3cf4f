#include <maya/MFnStringData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnStringData, MFn::kStringData)

namespace {
host::StringData* payload(const MObject& object)
{
    return host::dataAs<host::StringData>(object, MFnData::kString);
}
} // namespace

MObject MFnStringData::create(MStatus* ReturnStatus)
{
    return create(MString(), ReturnStatus);
}

MObject MFnStringData::create(const MString& in, MStatus* ReturnStatus)
{
    mObject = host::ObjectAccess::make(new host::StringData(in));
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mObject;
}

MString MFnStringData::string(MStatus* ReturnStatus) const
{
    host::StringData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->value : MString();
}

MStatus MFnStringData::set(const MString& newString)
{
    host::StringData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    d->value = newString;
    return MStatus::kSuccess;
}
