#ifndef MAYA_MTRANSFORMATIONMATRIX_H
#define MAYA_MTRANSFORMATIONMATRIX_H

#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#define MTransformationMatrix_kTol 1.0e-10

// A transform held as its components, composed as
//   -scalePivot * scale * shear * scalePivot * scalePivotTranslate *
//   -rotatePivot * rotateOrientation * rotate * rotatePivot * rotatePivotTranslate * translate
// acting on row vectors.
class MTransformationMatrix
{
public:
    enum RotationOrder { kInvalid, kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX, kLast };

    MTransformationMatrix();
    MTransformationMatrix(const MTransformationMatrix& src) = default;
    MTransformationMatrix(const MMatrix& src);
    MTransformationMatrix& operator=(const MTransformationMatrix& src) = default;
    MTransformationMatrix& operator=(const MMatrix& src);

    MMatrix asMatrix() const;
    MMatrix asMatrix(double percent) const;
    MMatrix asMatrixInverse() const;
    MMatrix asScaleMatrix() const;
    MMatrix asRotateMatrix() const;

    MStatus getScale(double scale[3], MSpace::Space space) const;
    MStatus setScale(const double scale[3], MSpace::Space space);
    MStatus addScale(const double scale[3], MSpace::Space space);

    MQuaternion rotation() const;
    MTransformationMatrix& rotateTo(const MQuaternion& q);
    MTransformationMatrix& rotateBy(const MQuaternion& q, MSpace::Space space, MStatus* ReturnStatus = NULL);
    MEulerRotation eulerRotation() const;
    MTransformationMatrix& rotateTo(const MEulerRotation& e);
    MTransformationMatrix& rotateBy(const MEulerRotation& e, MSpace::Space space, MStatus* ReturnStatus = NULL);
    MStatus getRotationQuaternion(double& x, double& y, double& z, double& w) const;
    MStatus setRotationQuaternion(double x, double y, double z, double w);
    MStatus getRotation(double rotation[3], RotationOrder& order) const;
    MStatus setRotation(const double rotation[3], RotationOrder order);
    MStatus addRotation(const double rotation[3], RotationOrder order, MSpace::Space space);
    RotationOrder rotationOrder(MStatus* ReturnStatus = NULL) const;
    MStatus reorderRotation(const RotationOrder& order);
    MStatus setToRotationAxis(const MVector& axis, double rotation);
    MQuaternion rotationOrientation() const;
    MTransformationMatrix& setRotationOrientation(const MQuaternion& q);

    MVector getTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setTranslation(const MVector& vector, MSpace::Space space);
    MStatus addTranslation(const MVector& vector, MSpace::Space space);

    MStatus setShear(const double shear[3], MSpace::Space space);
    MStatus getShear(double shear[3], MSpace::Space space) const;
    MStatus addShear(const double shear[3], MSpace::Space space);

    MPoint scalePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setScalePivot(const MPoint& point, MSpace::Space space, bool balance);
    MVector scalePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setScalePivotTranslation(const MVector& vector, MSpace::Space space);
    MPoint rotatePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setRotatePivot(const MPoint& point, MSpace::Space space, bool balance);
    MVector rotatePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setRotatePivotTranslation(const MVector& vector, MSpace::Space space);

    bool isEquivalent(const MTransformationMatrix& other, double tolerance = MTransformationMatrix_kTol) const;
    bool operator==(const MTransformationMatrix& other) const;
    bool operator!=(const MTransformationMatrix& other) const;

    static const MTransformationMatrix identity;

private:
    MVector fTranslate;
    double fRotate[3];
    RotationOrder fOrder;
    MQuaternion fOrientation;
    double fScale[3];
    double fShear[3];
    MPoint fScalePivot;
    MVector fScalePivotTranslate;
    MPoint fRotatePivot;
    MVector fRotatePivotTranslate;
};

#endif
