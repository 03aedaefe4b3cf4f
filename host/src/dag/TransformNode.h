#pragma once
// The built-in "transform" node: translate/rotate/scale/shear with pivots,
// rotate order, rotate axis and offset parent matrix, composing the local
// matrix and, through the hierarchy, the per-instance world matrices.

#include <maya/MDataBlock.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPxNode.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypeId.h>
#include <maya/MVector.h>

namespace host {

class Node;

class TransformNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& block) override;
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override;
    MPxNode::Type type() const override;

    // Adds the transform's own attributes (shared with "transform") to the type being
    // initialised, with their effects on the matrices: what node types that are transforms in
    // Maya (joints, constraints, stand-ins for them) call from their initialisers.
    static MStatus addTransformAttributes();

    // The parts of the local transformation, in the order compose() takes them.
    enum Part { kTranslate, kRotate, kScale, kShear, kRotatePivot, kScalePivot, kRotatePivotTranslate,
                kScalePivotTranslate, kRotateAxis, kPartCount };
    static const MObject& partAttribute(Part part);
    // The transformation of the parts' values and a rotateOrder value (0 = xyz).
    static MTransformationMatrix compose(const MVector parts[kPartCount], short order);
    // The local transformation held by a transform's attribute values.
    static MTransformationMatrix transformationOf(MDataBlock& block, MStatus* status = nullptr);
    // Local matrix (without offsetParentMatrix) of any DAG node: identity for
    // non-transforms.
    static MMatrix localMatrixOf(Node* node, MStatus* status = nullptr);

    static MObject translate, translateX, translateY, translateZ;
    static MObject rotate, rotateX, rotateY, rotateZ;
    static MObject scale, scaleX, scaleY, scaleZ;
    static MObject shear, shearXY, shearXZ, shearYZ;
    static MObject rotateOrder;
    static MObject rotatePivot, rotatePivotX, rotatePivotY, rotatePivotZ;
    static MObject scalePivot, scalePivotX, scalePivotY, scalePivotZ;
    static MObject rotatePivotTranslate, rotatePivotTranslateX, rotatePivotTranslateY, rotatePivotTranslateZ;
    static MObject scalePivotTranslate, scalePivotTranslateX, scalePivotTranslateY, scalePivotTranslateZ;
    static MObject rotateAxis, rotateAxisX, rotateAxisY, rotateAxisZ;
    static MObject inheritsTransform;
    static MObject matrix;
    static MObject inverseMatrix;
    static MObject xformMatrix;
};

} // namespace host
