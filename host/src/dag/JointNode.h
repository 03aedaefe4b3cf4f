#pragma once
// The built-in "joint": a transform whose local matrix is, in Maya's order,
// scale * rotateAxis * rotate * jointOrient * inverse parent scale * translate
// (pivots and shear play no part), with the parent scale taken from
// "inverseScale" (the parent joint's scale is connected there) while
// "segmentScaleCompensate" is on. It keeps its "bindPose" matrix, preferred
// angle and radius for skinning, IK and drawing.

#include "dag/TransformNode.h"

#include <maya/MMatrix.h>

namespace host {

class JointNode : public TransformNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& block) override;
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override;

    // The local matrix of a joint's channels (angles in radians, rotateOrder 0 = xyz).
    static MMatrix compose(const MVector& scale, const MVector& rotateAxis, const MVector& rotate, short rotateOrder,
                           const MVector& jointOrient, const MVector& inverseScale, bool compensate,
                           const MVector& translate);

    static MObject jointOrient, jointOrientX, jointOrientY, jointOrientZ;
    static MObject segmentScaleCompensate;
    static MObject inverseScale, inverseScaleX, inverseScaleY, inverseScaleZ;
    static MObject preferredAngle, preferredAngleX, preferredAngleY, preferredAngleZ;
    static MObject radius;
    static MObject bindPose;
    static MObject drawStyle;  // 0 bone, 1 multi-child as box, 2 none, 3 joint
};

} // namespace host
