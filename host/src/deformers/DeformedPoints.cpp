#include "deformers/DeformedPoints.h"

#include "geometry/CurveData.h"
#include "geometry/MeshData.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataHandle.h>

namespace host {

MStatus DeformedPoints::attach(MDataBlock& block, const MObject& outputAttribute, unsigned index)
{
    MStatus status;
    MArrayDataHandle outputs = block.outputArrayValue(outputAttribute, &status);
    if (!status)
        return status;
    status = outputs.jumpToElement(index);
    if (!status)
        return status;
    MDataHandle output = outputs.outputValue(&status);
    if (!status)
        return status;
    mData = output.data();
    if (MeshData* mesh = meshDataOf(mData)) {
        mMesh = &mesh->edit();
        mFloats = mMesh->points.data();
        mCount = mMesh->points.size() / 3;
        return MS::kSuccess;
    }
    if (CurveData* curve = curveDataOf(mData)) {
        mDoubles = curve->geometry.cvs.data();
        mCount = curve->geometry.cvs.size() / 3;
        return MS::kSuccess;
    }
    return MS::kInvalidParameter;
}

void DeformedPoints::done()
{
    if (mMesh)
        mMesh->touchPoints();
}

} // namespace host
