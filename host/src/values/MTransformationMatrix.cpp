#include <maya/MTransformationMatrix.h>
#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>

#include <cmath>

const MTransformationMatrix MTransformationMatrix::identity;

namespace
{

MEulerRotation::RotationOrder toEulerOrder(MTransformationMatrix::RotationOrder order)
{
    return static_cast<MEulerRotation::RotationOrder>(int(order) - 1);
}

MTransformationMatrix::RotationOrder fromEulerOrder(MEulerRotation::RotationOrder order)
{
    return static_cast<MTransformationMatrix::RotationOrder>(int(order) + 1);
}

bool validOrder(MTransformationMatrix::RotationOrder order)
{
    return order > MTransformationMatrix::kInvalid && order < MTransformationMatrix::kLast;
}

bool validSpace(MSpace::Space space)
{
    return space > MSpace::kInvalid && space < MSpace::kLast;
}

void setStatus(MStatus* status, MStatus::MStatusCode code)
{
    if (status) *status = code;
}

MMatrix translation(const MVector& t)
{
    MMatrix m;
    m.matrix[3][0] = t.x;
    m.matrix[3][1] = t.y;
    m.matrix[3][2] = t.z;
    return m;
}

MMatrix scaleMatrix(const double s[3])
{
    MMatrix m;
    m.matrix[0][0] = s[0];
    m.matrix[1][1] = s[1];
    m.matrix[2][2] = s[2];
    return m;
}

// Shear (xy, xz, yz) acting on row vectors.
MMatrix shearMatrix(const double sh[3])
{
    MMatrix m;
    m.matrix[1][0] = sh[0];
    m.matrix[2][0] = sh[1];
    m.matrix[2][1] = sh[2];
    return m;
}

MVector rowVector(const MMatrix& m, int row)
{
    return MVector(m.matrix[row][0], m.matrix[row][1], m.matrix[row][2]);
}

} // namespace

MTransformationMatrix::MTransformationMatrix()
    : fRotate{0.0, 0.0, 0.0}, fOrder(kXYZ), fScale{1.0, 1.0, 1.0}, fShear{0.0, 0.0, 0.0}, fScalePivot(0.0, 0.0, 0.0),
      fRotatePivot(0.0, 0.0, 0.0)
{
}

MTransformationMatrix::MTransformationMatrix(const MMatrix& src) : MTransformationMatrix()
{
    *this = src;
}

MTransformationMatrix& MTransformationMatrix::operator=(const MMatrix& src)
{
    // Splits the upper 3x3 into scale * shear * rotation (Gram-Schmidt on the
    // rows) and takes the last row as the translation; pivots are cleared.
    *this = MTransformationMatrix();
    MVector row0 = rowVector(src, 0), row1 = rowVector(src, 1), row2 = rowVector(src, 2);

    fScale[0] = row0.length();
    MVector r0 = fScale[0] > 0.0 ? row0 / fScale[0] : MVector::xAxis;

    double d01 = row1 * r0;
    MVector r1 = row1 - r0 * d01;
    fScale[1] = r1.length();
    r1 = fScale[1] > 0.0 ? r1 / fScale[1] : (r0 ^ MVector::zAxis).normal();

    double d02 = row2 * r0, d12 = row2 * r1;
    MVector r2 = row2 - r0 * d02 - r1 * d12;
    fScale[2] = r2.length();
    r2 = fScale[2] > 0.0 ? r2 / fScale[2] : (r0 ^ r1).normal();

    // A mirrored matrix keeps a proper rotation by flipping the last scale.
    if ((r0 ^ r1) * r2 < 0.0) {
        fScale[2] = -fScale[2];
        r2 = -r2;
    }
    fShear[0] = fScale[1] != 0.0 ? d01 / fScale[1] : 0.0;
    fShear[1] = fScale[2] != 0.0 ? d02 / fScale[2] : 0.0;
    fShear[2] = fScale[2] != 0.0 ? d12 / fScale[2] : 0.0;

    MMatrix rotation;
    for (int c = 0; c < 3; ++c) {
        rotation.matrix[0][c] = r0[c];
        rotation.matrix[1][c] = r1[c];
        rotation.matrix[2][c] = r2[c];
    }
    MEulerRotation e = MEulerRotation::decompose(rotation, MEulerRotation::kXYZ);
    fRotate[0] = e.x;
    fRotate[1] = e.y;
    fRotate[2] = e.z;
    fTranslate = MVector(src.matrix[3][0], src.matrix[3][1], src.matrix[3][2]);
    return *this;
}

MMatrix MTransformationMatrix::asMatrix() const
{
    return asScaleMatrix() * asRotateMatrix() * translation(fTranslate);
}

MMatrix MTransformationMatrix::asMatrix(double percent) const
{
    // Interpolates every component from the identity transform.
    MTransformationMatrix partial(*this);
    for (int i = 0; i < 3; ++i) {
        partial.fScale[i] = 1.0 + (fScale[i] - 1.0) * percent;
        partial.fShear[i] = fShear[i] * percent;
        partial.fRotate[i] = fRotate[i] * percent;
    }
    partial.fOrientation = slerp(MQuaternion::identity, fOrientation, percent);
    partial.fTranslate = fTranslate * percent;
    partial.fScalePivotTranslate = fScalePivotTranslate * percent;
    partial.fRotatePivotTranslate = fRotatePivotTranslate * percent;
    return partial.asMatrix();
}

MMatrix MTransformationMatrix::asMatrixInverse() const
{
    return asMatrix().inverse();
}

MMatrix MTransformationMatrix::asScaleMatrix() const
{
    MVector sp(fScalePivot);
    return translation(-sp) * scaleMatrix(fScale) * shearMatrix(fShear) * translation(sp) *
           translation(fScalePivotTranslate);
}

MMatrix MTransformationMatrix::asRotateMatrix() const
{
    MVector rp(fRotatePivot);
    return translation(-rp) * fOrientation.asMatrix() * eulerRotation().asMatrix() * translation(rp) *
           translation(fRotatePivotTranslate);
}

MStatus MTransformationMatrix::getScale(double scale[3], MSpace::Space space) const
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    for (int i = 0; i < 3; ++i) scale[i] = fScale[i];
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::setScale(const double scale[3], MSpace::Space space)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    for (int i = 0; i < 3; ++i) fScale[i] = scale[i];
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::addScale(const double scale[3], MSpace::Space space)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    for (int i = 0; i < 3; ++i) fScale[i] += scale[i];
    return MStatus::kSuccess;
}

MQuaternion MTransformationMatrix::rotation() const
{
    return eulerRotation().asQuaternion();
}

MTransformationMatrix& MTransformationMatrix::rotateTo(const MQuaternion& q)
{
    MEulerRotation e = MEulerRotation::decompose(q.asMatrix(), toEulerOrder(fOrder));
    fRotate[0] = e.x;
    fRotate[1] = e.y;
    fRotate[2] = e.z;
    return *this;
}

MTransformationMatrix& MTransformationMatrix::rotateBy(const MQuaternion& q, MSpace::Space space,
                                                       MStatus* ReturnStatus)
{
    if (!validSpace(space)) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return *this;
    }
    // In object space the new rotation applies before the current one, otherwise after it.
    MQuaternion current = rotation();
    rotateTo(space == MSpace::kObject ? q * current : current * q);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return *this;
}

MEulerRotation MTransformationMatrix::eulerRotation() const
{
    return MEulerRotation(fRotate[0], fRotate[1], fRotate[2], toEulerOrder(fOrder));
}

MTransformationMatrix& MTransformationMatrix::rotateTo(const MEulerRotation& e)
{
    fRotate[0] = e.x;
    fRotate[1] = e.y;
    fRotate[2] = e.z;
    fOrder = fromEulerOrder(e.order);
    return *this;
}

MTransformationMatrix& MTransformationMatrix::rotateBy(const MEulerRotation& e, MSpace::Space space,
                                                       MStatus* ReturnStatus)
{
    return rotateBy(e.asQuaternion(), space, ReturnStatus);
}

MStatus MTransformationMatrix::getRotationQuaternion(double& x, double& y, double& z, double& w) const
{
    MQuaternion q = rotation();
    x = q.x;
    y = q.y;
    z = q.z;
    w = q.w;
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::setRotationQuaternion(double x, double y, double z, double w)
{
    rotateTo(MQuaternion(x, y, z, w));
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::getRotation(double rotation[3], RotationOrder& order) const
{
    for (int i = 0; i < 3; ++i) rotation[i] = fRotate[i];
    order = fOrder;
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::setRotation(const double rotation[3], RotationOrder order)
{
    if (!validOrder(order)) return MStatus::kInvalidParameter;
    for (int i = 0; i < 3; ++i) fRotate[i] = rotation[i];
    fOrder = order;
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::addRotation(const double rotation[3], RotationOrder order, MSpace::Space space)
{
    if (!validOrder(order) || !validSpace(space)) return MStatus::kInvalidParameter;
    MStatus status;
    rotateBy(MEulerRotation(rotation[0], rotation[1], rotation[2], toEulerOrder(order)), space, &status);
    return status;
}

MTransformationMatrix::RotationOrder MTransformationMatrix::rotationOrder(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MStatus::kSuccess);
    return fOrder;
}

MStatus MTransformationMatrix::reorderRotation(const RotationOrder& order)
{
    if (!validOrder(order)) return MStatus::kInvalidParameter;
    MEulerRotation e = eulerRotation().reorder(toEulerOrder(order));
    rotateTo(e);
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::setToRotationAxis(const MVector& axis, double rotation)
{
    if (axis.length() == 0.0) return MStatus::kInvalidParameter;
    rotateTo(MQuaternion(rotation, axis));
    return MStatus::kSuccess;
}

MQuaternion MTransformationMatrix::rotationOrientation() const
{
    return fOrientation;
}

MTransformationMatrix& MTransformationMatrix::setRotationOrientation(const MQuaternion& q)
{
    fOrientation = q.normal();
    return *this;
}

MVector MTransformationMatrix::getTranslation(MSpace::Space space, MStatus* ReturnStatus) const
{
    if (!validSpace(space)) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MVector::zero;
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return fTranslate;
}

MStatus MTransformationMatrix::setTranslation(const MVector& vector, MSpace::Space space)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    fTranslate = vector;
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::addTranslation(const MVector& vector, MSpace::Space space)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    fTranslate += vector;
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::setShear(const double shear[3], MSpace::Space space)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    for (int i = 0; i < 3; ++i) fShear[i] = shear[i];
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::getShear(double shear[3], MSpace::Space space) const
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    for (int i = 0; i < 3; ++i) shear[i] = fShear[i];
    return MStatus::kSuccess;
}

MStatus MTransformationMatrix::addShear(const double shear[3], MSpace::Space space)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    for (int i = 0; i < 3; ++i) fShear[i] += shear[i];
    return MStatus::kSuccess;
}

MPoint MTransformationMatrix::scalePivot(MSpace::Space space, MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, validSpace(space) ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return fScalePivot;
}

MStatus MTransformationMatrix::setScalePivot(const MPoint& point, MSpace::Space space, bool balance)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    if (balance) {
        // Keeps the composed matrix unchanged by absorbing the move into the pivot translation.
        MVector delta = MPoint(point) - fScalePivot;
        fScalePivotTranslate += delta * (scaleMatrix(fScale) * shearMatrix(fShear)) - delta;
    }
    fScalePivot = MPoint(point.x, point.y, point.z);
    return MStatus::kSuccess;
}

MVector MTransformationMatrix::scalePivotTranslation(MSpace::Space space, MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, validSpace(space) ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return fScalePivotTranslate;
}

MStatus MTransformationMatrix::setScalePivotTranslation(const MVector& vector, MSpace::Space space)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    fScalePivotTranslate = vector;
    return MStatus::kSuccess;
}

MPoint MTransformationMatrix::rotatePivot(MSpace::Space space, MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, validSpace(space) ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return fRotatePivot;
}

MStatus MTransformationMatrix::setRotatePivot(const MPoint& point, MSpace::Space space, bool balance)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    if (balance) {
        MVector delta = MPoint(point) - fRotatePivot;
        fRotatePivotTranslate += delta * (fOrientation.asMatrix() * eulerRotation().asMatrix()) - delta;
    }
    fRotatePivot = MPoint(point.x, point.y, point.z);
    return MStatus::kSuccess;
}

MVector MTransformationMatrix::rotatePivotTranslation(MSpace::Space space, MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, validSpace(space) ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return fRotatePivotTranslate;
}

MStatus MTransformationMatrix::setRotatePivotTranslation(const MVector& vector, MSpace::Space space)
{
    if (!validSpace(space)) return MStatus::kInvalidParameter;
    fRotatePivotTranslate = vector;
    return MStatus::kSuccess;
}

bool MTransformationMatrix::isEquivalent(const MTransformationMatrix& other, double tolerance) const
{
    return asMatrix().isEquivalent(other.asMatrix(), tolerance);
}

bool MTransformationMatrix::operator==(const MTransformationMatrix& other) const
{
    return isEquivalent(other);
}

bool MTransformationMatrix::operator!=(const MTransformationMatrix& other) const
{
    return !isEquivalent(other);
}
