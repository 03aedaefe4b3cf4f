#pragma once
// Turning transforms as the rotate command and the rotate tool do: a
// transform's orientation in the world (its rotate axis, rotation and, for a
// joint, joint orient under its parent's orientation), the rotate channels
// that give it a wanted orientation, and the queued channel changes.

#include <maya/MDagPath.h>
#include <maya/MDGModifier.h>
#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>

namespace host {

struct TransformOrientation
{
    MEulerRotation rotate;  // the rotate channels, in the node's rotate order
    MMatrix world;          // the orientation in the world (rotation only)
};

MStatus orientationOf(const MDagPath& transform, TransformOrientation& orientation);
// The world orientation the transform would have with these rotate channels.
MStatus worldFor(const MDagPath& transform, const MEulerRotation& rotate, MMatrix& world);

// The rotate channels that give the transform the world orientation `world`,
// the solution nearest its current channels.
MStatus rotateForWorld(const MDagPath& transform, const TransformOrientation& current, const MMatrix& world,
                       MEulerRotation& rotate);

// The rotation part of a matrix (its rows normalised and made square to each other).
MMatrix rotationPart(const MMatrix& m);

// Queues the rotate channels, and a translate change moving the transform's rotate pivot from
// where it is by `worldTurn` about `pivot` when `aboutPivot` is set.
MStatus queueRotation(MDGModifier& modifier, const MDagPath& transform, const MEulerRotation& rotate,
                      bool aboutPivot, const MPoint& pivot, const MMatrix& worldTurn);

} // namespace host
