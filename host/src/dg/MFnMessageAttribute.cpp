#include <maya/MFnMessageAttribute.h>

#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnMessageAttribute, MFn::kMessageAttribute)

MObject MFnMessageAttribute::create(const MString& fullName, const MString& briefName, MStatus* ReturnStatus)
{
    mObject = host::newAttribute(host::AttrKind::Message, MFn::kMessageAttribute, fullName, briefName, ReturnStatus);
    return mObject;
}
