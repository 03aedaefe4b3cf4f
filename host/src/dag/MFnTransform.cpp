#include <maya/MEulerRotation.h>
#include <maya/MFnTransform.h>

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/TransformNode.h"
#include "dg/FnSet.h"
#include "dg/Node.h"

#include <maya/MFnMatrixData.h>
#include <maya/MPlug.h>

using namespace host;

namespace {

typedef TransformNode::Part Part;

MStatus readPart(const MObject& node, Part part, MVector& value)
{
    MStatus status;
    MPlug plug(node, TransformNode::partAttribute(part));
    for (unsigned i = 0; i < 3; ++i) {
        MPlug child = plug.child(i, &status);
        DAG_CHECK(status);
        value[i] = child.asDouble(&status);
        DAG_CHECK(status);
    }
    return MS::kSuccess;
}

MStatus writePart(const MObject& node, Part part, const MVector& value)
{
    MStatus status;
    MPlug plug(node, TransformNode::partAttribute(part));
    for (unsigned i = 0; i < 3; ++i) {
        MPlug child = plug.child(i, &status);
        DAG_CHECK(status);
        DAG_CHECK(child.setDouble(value[i]));
    }
    return MS::kSuccess;
}

MStatus readOrder(const MObject& node, short& order)
{
    MStatus status;
    order = MPlug(node, TransformNode::rotateOrder).asShort(&status);
    return status;
}

MEulerRotation::RotationOrder eulerOrder(short order)
{
    return static_cast<MEulerRotation::RotationOrder>(order >= 0 && order <= 5 ? order : 0);
}

MStatus matrixOf(const MPlug& plug, MMatrix& value)
{
    MStatus status;
    MObject data = plug.asMObject(&status);
    DAG_CHECK(status);
    MFnMatrixData fn(data, &status);
    DAG_CHECK(status);
    value = fn.matrix(&status);
    return status;
}

// The space the translate values live in, seen from the world: the offset
// parent matrix times the parent's world matrix on the attached path.
MStatus parentSpace(const MDagPath& path, const MObject& node, MMatrix& space)
{
    MStatus status;
    if (!path.isValid(&status) || path.length() == 0)
        return MS::kInvalidParameter;
    MMatrix parentWorld = path.exclusiveMatrix(&status);
    DAG_CHECK(status);
    MMatrix offset;
    DAG_CHECK(matrixOf(MPlug(node, DagAttributes::offsetParentMatrix), offset));
    space = offset * parentWorld;
    return MS::kSuccess;
}

// Linear (3x3) part of a matrix applied to a vector.
MVector linear(const MVector& v, const MMatrix& m)
{
    return MVector(v.x * m(0, 0) + v.y * m(1, 0) + v.z * m(2, 0), v.x * m(0, 1) + v.y * m(1, 1) + v.z * m(2, 1),
                   v.x * m(0, 2) + v.y * m(1, 2) + v.z * m(2, 2));
}

} // namespace

MFnTransform::MFnTransform() = default;

MFnTransform::MFnTransform(MObject& object, MStatus* ReturnStatus)
{
    init(object, ReturnStatus);
}

MFnTransform::MFnTransform(const MObject& object, MStatus* ReturnStatus)
{
    init(object, ReturnStatus);
}

MFnTransform::MFnTransform(const MDagPath& object, MStatus* ReturnStatus)
{
    MStatus status = MFnDagNode::setObject(object);
    setStatus(ReturnStatus, status);
}

MFnTransform::~MFnTransform() = default;

MFn::Type MFnTransform::type() const
{
    return MFn::kTransform;
}

MObject MFnTransform::create(MObject parent, MStatus* ReturnStatus)
{
    return MFnDagNode::create(MString(TransformNode::typeName), parent, ReturnStatus);
}

MTransformationMatrix MFnTransform::transformation(MStatus* ReturnStatus) const
{
    MVector parts[TransformNode::kPartCount];
    short order = 0;
    MStatus status = mObject.isNull() ? MStatus(MS::kInvalidParameter) : MStatus(MS::kSuccess);
    for (int i = 0; i < TransformNode::kPartCount && status; ++i)
        status = readPart(mObject, static_cast<Part>(i), parts[i]);
    if (status)
        status = readOrder(mObject, order);
    setStatus(ReturnStatus, status);
    return status ? TransformNode::compose(parts, order) : MTransformationMatrix();
}

MStatus MFnTransform::set(const MTransformationMatrix& transform)
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    MStatus status;
    double values[3];
    MTransformationMatrix::RotationOrder order = MTransformationMatrix::kXYZ;
    DAG_CHECK(transform.getRotation(values, order));
    DAG_CHECK(writePart(mObject, TransformNode::kRotate, MVector(values[0], values[1], values[2])));
    DAG_CHECK(MPlug(mObject, TransformNode::rotateOrder).setShort(static_cast<short>(order - 1)));
    DAG_CHECK(transform.getScale(values, MSpace::kTransform));
    DAG_CHECK(writePart(mObject, TransformNode::kScale, MVector(values[0], values[1], values[2])));
    DAG_CHECK(transform.getShear(values, MSpace::kTransform));
    DAG_CHECK(writePart(mObject, TransformNode::kShear, MVector(values[0], values[1], values[2])));
    MEulerRotation axis = transform.rotationOrientation().asEulerRotation();
    DAG_CHECK(writePart(mObject, TransformNode::kRotateAxis, axis.asVector()));
    DAG_CHECK(writePart(mObject, TransformNode::kRotatePivot, MVector(transform.rotatePivot(MSpace::kTransform))));
    DAG_CHECK(writePart(mObject, TransformNode::kScalePivot, MVector(transform.scalePivot(MSpace::kTransform))));
    DAG_CHECK(writePart(mObject, TransformNode::kRotatePivotTranslate,
                        transform.rotatePivotTranslation(MSpace::kTransform)));
    DAG_CHECK(writePart(mObject, TransformNode::kScalePivotTranslate,
                        transform.scalePivotTranslation(MSpace::kTransform)));
    DAG_CHECK(writePart(mObject, TransformNode::kTranslate, transform.getTranslation(MSpace::kTransform)));
    return MS::kSuccess;
}

MVector MFnTransform::getTranslation(MSpace::Space space, MStatus* ReturnStatus) const
{
    MVector t;
    MStatus status = mObject.isNull() ? MStatus(MS::kInvalidParameter) : readPart(mObject, TransformNode::kTranslate, t);
    if (status && space == MSpace::kWorld) {
        MMatrix parent;
        status = parentSpace(fPath, mObject, parent);
        if (status)
            t = MVector(MPoint(t) * parent);
    }
    setStatus(ReturnStatus, status);
    return status ? t : MVector::zero;
}

MStatus MFnTransform::setTranslation(const MVector& vec, MSpace::Space space)
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    MVector t = vec;
    if (space == MSpace::kWorld) {
        MMatrix parent;
        DAG_CHECK(parentSpace(fPath, mObject, parent));
        t = MVector(MPoint(vec) * parent.inverse());
    }
    return writePart(mObject, TransformNode::kTranslate, t);
}

MStatus MFnTransform::translateBy(const MVector& vec, MSpace::Space space)
{
    MStatus status;
    MVector current = getTranslation(space, &status);
    DAG_CHECK(status);
    return setTranslation(current + vec, space);
}

MStatus MFnTransform::getRotation(MEulerRotation& rotation) const
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    MVector r;
    short order = 0;
    DAG_CHECK(readPart(mObject, TransformNode::kRotate, r));
    DAG_CHECK(readOrder(mObject, order));
    rotation = MEulerRotation(r, eulerOrder(order));
    return MS::kSuccess;
}

MStatus MFnTransform::setRotation(const MEulerRotation& rotation)
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    short order = 0;
    DAG_CHECK(readOrder(mObject, order));
    // Given in another order: the same orientation in the node's order.
    MEulerRotation value = rotation.order == eulerOrder(order) ? rotation : rotation.reorder(eulerOrder(order));
    return writePart(mObject, TransformNode::kRotate, value.asVector());
}

MStatus MFnTransform::getRotation(MQuaternion& quaternion, MSpace::Space space) const
{
    MEulerRotation euler;
    DAG_CHECK(getRotation(euler));
    quaternion = euler.asQuaternion();
    if (space == MSpace::kWorld) {
        MMatrix parent;
        DAG_CHECK(parentSpace(fPath, mObject, parent));
        MMatrix world = quaternion.asMatrix() * parent;
        quaternion = MTransformationMatrix(world).rotation();
    }
    return MS::kSuccess;
}

MStatus MFnTransform::setRotation(const MQuaternion& quaternion, MSpace::Space space)
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    MQuaternion local = quaternion;
    if (space == MSpace::kWorld) {
        MMatrix parent;
        DAG_CHECK(parentSpace(fPath, mObject, parent));
        local = MTransformationMatrix(quaternion.asMatrix() * parent.inverse()).rotation();
    }
    short order = 0;
    DAG_CHECK(readOrder(mObject, order));
    MEulerRotation euler = local.asEulerRotation().reorder(eulerOrder(order));
    return writePart(mObject, TransformNode::kRotate, euler.asVector());
}

MStatus MFnTransform::getRotationQuaternion(double& x, double& y, double& z, double& w, MSpace::Space space) const
{
    MQuaternion q;
    DAG_CHECK(getRotation(q, space));
    x = q.x;
    y = q.y;
    z = q.z;
    w = q.w;
    return MS::kSuccess;
}

MStatus MFnTransform::getScale(double scale[3]) const
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    MVector s;
    DAG_CHECK(readPart(mObject, TransformNode::kScale, s));
    s.get(scale);
    return MS::kSuccess;
}

MStatus MFnTransform::setScale(const double scale[3])
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    return writePart(mObject, TransformNode::kScale, MVector(scale[0], scale[1], scale[2]));
}

MStatus MFnTransform::getShear(double shear[3]) const
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    MVector s;
    DAG_CHECK(readPart(mObject, TransformNode::kShear, s));
    s.get(shear);
    return MS::kSuccess;
}

MStatus MFnTransform::setShear(const double shear[3])
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    return writePart(mObject, TransformNode::kShear, MVector(shear[0], shear[1], shear[2]));
}

namespace {

// A pivot in the requested space: object space, or the world through the
// attached path's inclusive matrix.
MPoint pivotIn(const MObject& node, const MDagPath& path, Part part, MSpace::Space space, MStatus& status)
{
    MVector pivot;
    status = node.isNull() ? MStatus(MS::kInvalidParameter) : readPart(node, part, pivot);
    if (!status)
        return MPoint::origin;
    if (space != MSpace::kWorld)
        return MPoint(pivot);
    if (!path.isValid(&status) || path.length() == 0) {
        status = MS::kInvalidParameter;
        return MPoint::origin;
    }
    MMatrix world = path.inclusiveMatrix(&status);
    return status ? MPoint(pivot) * world : MPoint::origin;
}

// Moves a pivot; with `balance` the pivot translation compensates so that
// the object stays where it is: for the pivot term -p * M * p * pt, moving p
// by -d needs pt + d - d * M.
MStatus movePivot(const MObject& node, const MDagPath& path, Part part, Part translatePart, const MPoint& point,
                  MSpace::Space space, bool balance, const MMatrix& pivotLinear)
{
    if (node.isNull())
        return MS::kInvalidParameter;
    MPoint local = point;
    if (space == MSpace::kWorld) {
        MStatus status;
        if (!path.isValid(&status) || path.length() == 0)
            return MS::kInvalidParameter;
        MMatrix inverse = path.inclusiveMatrixInverse(&status);
        DAG_CHECK(status);
        local = point * inverse;
    }
    MVector previous;
    DAG_CHECK(readPart(node, part, previous));
    if (balance) {
        MVector shift;
        DAG_CHECK(readPart(node, translatePart, shift));
        MVector d = previous - MVector(local);
        DAG_CHECK(writePart(node, translatePart, shift + d - linear(d, pivotLinear)));
    }
    return writePart(node, part, MVector(local));
}

} // namespace

MPoint MFnTransform::scalePivot(MSpace::Space space, MStatus* ReturnStatus) const
{
    MStatus status;
    MPoint p = pivotIn(mObject, fPath, TransformNode::kScalePivot, space, status);
    setStatus(ReturnStatus, status);
    return p;
}

MStatus MFnTransform::setScalePivot(const MPoint& point, MSpace::Space space, bool balance)
{
    MStatus status;
    MTransformationMatrix tm = transformation(&status);
    DAG_CHECK(status);
    return movePivot(mObject, fPath, TransformNode::kScalePivot, TransformNode::kScalePivotTranslate, point, space,
                     balance, tm.asScaleMatrix());
}

MVector MFnTransform::scalePivotTranslation(MSpace::Space space, MStatus* ReturnStatus) const
{
    MVector value;
    MStatus status = mObject.isNull() ? MStatus(MS::kInvalidParameter)
                                      : readPart(mObject, TransformNode::kScalePivotTranslate, value);
    setStatus(ReturnStatus, status);
    return value;
}

MStatus MFnTransform::setScalePivotTranslation(const MVector& vec, MSpace::Space space)
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    return writePart(mObject, TransformNode::kScalePivotTranslate, vec);
}

MPoint MFnTransform::rotatePivot(MSpace::Space space, MStatus* ReturnStatus) const
{
    MStatus status;
    MPoint p = pivotIn(mObject, fPath, TransformNode::kRotatePivot, space, status);
    setStatus(ReturnStatus, status);
    return p;
}

MStatus MFnTransform::setRotatePivot(const MPoint& point, MSpace::Space space, bool balance)
{
    MStatus status;
    MTransformationMatrix tm = transformation(&status);
    DAG_CHECK(status);
    MMatrix rotation = tm.rotationOrientation().asMatrix() * tm.asRotateMatrix();
    return movePivot(mObject, fPath, TransformNode::kRotatePivot, TransformNode::kRotatePivotTranslate, point,
                     space, balance, rotation);
}

MVector MFnTransform::rotatePivotTranslation(MSpace::Space space, MStatus* ReturnStatus) const
{
    MVector value;
    MStatus status = mObject.isNull() ? MStatus(MS::kInvalidParameter)
                                      : readPart(mObject, TransformNode::kRotatePivotTranslate, value);
    setStatus(ReturnStatus, status);
    return value;
}

MStatus MFnTransform::setRotatePivotTranslation(const MVector& vec, MSpace::Space space)
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    return writePart(mObject, TransformNode::kRotatePivotTranslate, vec);
}

MQuaternion MFnTransform::rotateOrientation(MSpace::Space space, MStatus* ReturnStatus) const
{
    MVector axis;
    MStatus status = mObject.isNull() ? MStatus(MS::kInvalidParameter)
                                      : readPart(mObject, TransformNode::kRotateAxis, axis);
    setStatus(ReturnStatus, status);
    return MEulerRotation(axis).asQuaternion();
}

MStatus MFnTransform::setRotateOrientation(const MQuaternion& quat, MSpace::Space space, bool balance)
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    return writePart(mObject, TransformNode::kRotateAxis, quat.asEulerRotation().asVector());
}

MTransformationMatrix::RotationOrder MFnTransform::rotationOrder(MStatus* ReturnStatus) const
{
    short order = 0;
    MStatus status = mObject.isNull() ? MStatus(MS::kInvalidParameter) : readOrder(mObject, order);
    setStatus(ReturnStatus, status);
    if (!status)
        return MTransformationMatrix::kInvalid;
    return static_cast<MTransformationMatrix::RotationOrder>(eulerOrder(order) + 1);
}

MStatus MFnTransform::setRotationOrder(MTransformationMatrix::RotationOrder order, bool reorder)
{
    if (mObject.isNull() || order <= MTransformationMatrix::kInvalid || order >= MTransformationMatrix::kLast)
        return MS::kInvalidParameter;
    short value = static_cast<short>(order - 1);
    if (reorder) {
        MEulerRotation current;
        DAG_CHECK(getRotation(current));
        MEulerRotation same = current.reorder(eulerOrder(value));
        DAG_CHECK(writePart(mObject, TransformNode::kRotate, same.asVector()));
    }
    return MPlug(mObject, TransformNode::rotateOrder).setShort(value);
}

MStatus MFnTransform::resetFromRestPosition()
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    return set(MTransformationMatrix::identity);
}
