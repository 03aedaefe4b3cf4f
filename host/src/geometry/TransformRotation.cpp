#include "geometry/TransformRotation.h"

#include "geometry/GeometryStatus.h"

#include <maya/MAngle.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnTransform.h>
#include <maya/MPlug.h>
#include <maya/MVector.h>

namespace host {

namespace {

MMatrix eulerMatrix(const MPlug& plug)
{
    return MEulerRotation(plug.child(0).asDouble(), plug.child(1).asDouble(), plug.child(2).asDouble()).asMatrix();
}

// The rotations around a transform's own rotation: its rotate axis before it and, for a joint,
// its joint orient after it.
MStatus framesOf(const MDagPath& transform, MMatrix& before, MMatrix& after)
{
    MStatus status;
    MFnDagNode fn(transform, &status);
    GEO_CHECK(status);
    before = eulerMatrix(fn.findPlug("rotateAxis", false, &status));
    GEO_CHECK(status);
    after = MMatrix();
    const MPlug orient = fn.findPlug("jointOrient", false, &status);
    if (status && !orient.isNull())
        after = eulerMatrix(orient);
    return MS::kSuccess;
}

} // namespace

MMatrix rotationPart(const MMatrix& m)
{
    // Gram-Schmidt on the rows: x, then y without its x part, then z = x cross y (keeping the sign
    // of a mirrored matrix).
    MVector x(m(0, 0), m(0, 1), m(0, 2)), y(m(1, 0), m(1, 1), m(1, 2)), z(m(2, 0), m(2, 1), m(2, 2));
    x.normalize();
    y = y - x * (x * y);
    y.normalize();
    MVector n = x ^ y;
    if (n * z < 0)
        n = -n;
    MMatrix r;
    const MVector rows[3] = {x, y, n};
    for (unsigned i = 0; i < 3; ++i)
        for (unsigned j = 0; j < 3; ++j)
            r[i][j] = rows[i][j];
    return r;
}

MStatus worldFor(const MDagPath& transform, const MEulerRotation& rotate, MMatrix& world)
{
    MStatus status;
    MMatrix before, after;
    GEO_CHECK(framesOf(transform, before, after));
    const MMatrix parent = rotationPart(transform.exclusiveMatrix(&status));
    GEO_CHECK(status);
    world = before * rotate.asMatrix() * after * parent;
    return MS::kSuccess;
}

MStatus orientationOf(const MDagPath& transform, TransformOrientation& orientation)
{
    MStatus status;
    MFnTransform fn(transform, &status);
    GEO_CHECK(status);
    GEO_CHECK(fn.getRotation(orientation.rotate));
    return worldFor(transform, orientation.rotate, orientation.world);
}

MStatus rotateForWorld(const MDagPath& transform, const TransformOrientation& current, const MMatrix& world,
                       MEulerRotation& rotate)
{
    MStatus status;
    MMatrix before, after;
    GEO_CHECK(framesOf(transform, before, after));
    const MMatrix parent = rotationPart(transform.exclusiveMatrix(&status));
    GEO_CHECK(status);
    // world = before * R * after * parent, so R = before^-1 * world * parent^-1 * after^-1.
    const MMatrix r = before.inverse() * world * parent.inverse() * after.inverse();
    rotate = MEulerRotation::decompose(r, current.rotate.order).closestSolution(current.rotate);
    return MS::kSuccess;
}

MStatus queueRotation(MDGModifier& modifier, const MDagPath& transform, const MEulerRotation& rotate,
                      bool aboutPivot, const MPoint& pivot, const MMatrix& worldTurn)
{
    MStatus status;
    MFnTransform fn(transform, &status);
    GEO_CHECK(status);
    const MPlug channels = fn.findPlug("rotate", false, &status);
    GEO_CHECK(status);
    const double values[3] = {rotate.x, rotate.y, rotate.z};
    for (unsigned k = 0; k < 3; ++k)
        GEO_CHECK(modifier.newPlugValueMAngle(channels.child(k), MAngle(values[k], MAngle::kRadians)));
    if (!aboutPivot)
        return MS::kSuccess;
    // The rotate pivot swings around the given point; translate carries it there.
    const MPoint from = fn.rotatePivot(MSpace::kWorld, &status);
    GEO_CHECK(status);
    const MPoint to = pivot + (from - pivot) * worldTurn;
    const MVector shift = (to - from) * transform.exclusiveMatrixInverse();
    const MPlug translate = fn.findPlug("translate", false, &status);
    GEO_CHECK(status);
    for (unsigned k = 0; k < 3; ++k)
        GEO_CHECK(modifier.newPlugValueDouble(translate.child(k), translate.child(k).asDouble() + shift[k]));
    return MS::kSuccess;
}

} // namespace host
