#pragma once
// Finding the shape control under the mouse in a 3D view, and keeping the hover away from the
// move, rotate and scale manipulators of the selection.

#include <maya/MApiNamespace.h>

class QPointF;

// The shape control nearest along the mouse ray at `mousePosition` (the view widget's logical
// pixels, y down): a hit on a control's surface, or the mouse within a few pixels of its
// outline. `candidates` limits the search to those nodes (null: every shape control in the
// scene). On a hit, `outNode`, `outDepth` (distance along the ray) and `outWorldRadius` (how
// far off the outline the hit may lie, in world units) describe it and the answer is true.
// `outDepth` starts at the largest finite double and `outWorldRadius` at 0.
bool pickShapeControl(M3dView& view, const QPointF& mousePosition, MObject& outNode, double& outDepth,
                      double& outWorldRadius, const MObjectArray* candidates = nullptr);

// Whether the mouse is near the move, rotate or scale manipulator of a selected transform
// while that tool is current.
bool isNearActiveManipulator(M3dView& view, const QPointF& mousePosition);
