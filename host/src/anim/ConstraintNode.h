#pragma once
// The constraints "parentConstraint", "pointConstraint", "orientConstraint",
// "scaleConstraint" and "aimConstraint": transforms (parented under the object
// they drive, as Maya puts them) whose "target[i]" elements take each target's
// channels and parent matrix with a weight, and whose outputs
// ("constraintTranslate", "constraintRotate", "constraintScale") drive the
// object's channels, given its parent inverse matrix, pivots, rotate order and
// joint orient. Weights are normalised; with every weight at 0 the object takes
// its rest position ("enableRestPosition"). Rotations blend as quaternions
// ("interpType": average, shortest or longest way round).

#include "dag/TransformNode.h"

#include <maya/MDataBlock.h>
#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MVector.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MStatus.h>

namespace host {

class ConstraintNode : public TransformNode
{
public:
    enum Kind { kParent, kPoint, kOrient, kScale, kAim, kKindCount };

    // Each kind's attributes; those a kind lacks stay null.
    struct Attributes
    {
        // target[i]
        MObject target, targetTranslate, targetRotate, targetRotateOrder, targetScale, targetParentMatrix,
            targetWeight, targetRotatePivot, targetRotateTranslate, targetOffsetTranslate, targetOffsetRotate,
            targetJointOrient;
        // The constrained object.
        MObject parentInverseMatrix, rotatePivot, rotateTranslate, rotateOrder, jointOrient;
        MObject translate;  // aim: the object's translate (an input); parent, point: the output
        MObject rotate, scale;  // outputs
        // Settings.
        MObject offset, restTranslate, restRotate, enableRestPosition, interpType, lastTargetRotate,
            scaleCompensate;
        MObject aimVector, upVector, worldUpVector, worldUpMatrix, worldUpType;
    };

    explicit ConstraintNode(Kind kind) : mKind(kind) {}

    static MStatus registerTypes();
    static const char* typeNameOf(Kind kind);
    static const Attributes& attributesOf(Kind kind);
    static bool kindOf(const MObject& node, Kind& kind);

    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    // A target's frame in the world: its rotate pivot for origin, turned by its rotation (a
    // joint's orient after it) and scaled, under its parent matrix. What a parent constraint's
    // offsets are relative to.
    static MMatrix targetFrame(const MVector& translate, const MVector& rotatePivot, const MVector& rotateTranslate,
                               const MEulerRotation& rotate, const MVector& jointOrient, const MVector& scale,
                               const MMatrix& parentMatrix);

private:
    Kind mKind;
};

} // namespace host
