#include <maya/MFnMeshData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"
#include "geometry/MeshData.h"

HOST_FN_SET_BASICS(MFnMeshData, MFn::kMeshData)

MObject MFnMeshData::create(MStatus* ReturnStatus)
{
    mObject = host::MeshData::make();
    host::setStatus(ReturnStatus, mObject.isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return mObject;
}
