#ifndef MAYA_MFNTRANSFORM_H
#define MAYA_MFNTRANSFORM_H

#include <maya/MFnDagNode.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypes.h>

// Function set for transform nodes: the local transformation and its parts.
class MFnTransform : public MFnDagNode
{
public:
    MFnTransform();
    MFnTransform(MObject& object, MStatus* ReturnStatus = NULL);
    MFnTransform(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnTransform(const MDagPath& object, MStatus* ReturnStatus = NULL);
    ~MFnTransform() override;

    MFn::Type type() const override;

    MObject create(MObject parent = MObject::kNullObj, MStatus* ReturnStatus = NULL);

    MTransformationMatrix transformation(MStatus* ReturnStatus = NULL) const;
    MStatus set(const MTransformationMatrix& transform);

    MVector getTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setTranslation(const MVector& vec, MSpace::Space space);
    MStatus translateBy(const MVector& vec, MSpace::Space space);

    MStatus getRotation(MEulerRotation& rotation) const;
    MStatus setRotation(const MEulerRotation& rotation);
    MStatus getRotation(MQuaternion& quaternion, MSpace::Space space = MSpace::kTransform) const;
    MStatus setRotation(const MQuaternion& quaternion, MSpace::Space space = MSpace::kTransform);
    MStatus getRotationQuaternion(double& x, double& y, double& z, double& w,
                                  MSpace::Space space = MSpace::kTransform) const;

    MStatus getScale(double scale[3]) const;
    MStatus setScale(const double scale[3]);
    MStatus getShear(double shear[3]) const;
    MStatus setShear(const double shear[3]);

    MPoint scalePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setScalePivot(const MPoint& point, MSpace::Space space, bool balance = true);
    MVector scalePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setScalePivotTranslation(const MVector& vec, MSpace::Space space);
    MPoint rotatePivot(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setRotatePivot(const MPoint& point, MSpace::Space space, bool balance = true);
    MVector rotatePivotTranslation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setRotatePivotTranslation(const MVector& vec, MSpace::Space space);
    MQuaternion rotateOrientation(MSpace::Space space, MStatus* ReturnStatus = NULL) const;
    MStatus setRotateOrientation(const MQuaternion& quat, MSpace::Space space, bool balance = true);

    MTransformationMatrix::RotationOrder rotationOrder(MStatus* ReturnStatus = NULL) const;
    MStatus setRotationOrder(MTransformationMatrix::RotationOrder order, bool reorder);

    MStatus resetFromRestPosition();
};

#endif
