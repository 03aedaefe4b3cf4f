#include <maya/MFnNurbsCurveData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"
#include "geometry/CurveData.h"

HOST_FN_SET_BASICS(MFnNurbsCurveData, MFn::kNurbsCurveData)

MObject MFnNurbsCurveData::create(MStatus* ReturnStatus)
{
    mObject = host::CurveData::make();
    host::setStatus(ReturnStatus, mObject.isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return mObject;
}
