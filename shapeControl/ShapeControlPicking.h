#pragma once
// Finding the shape control under the mouse in a 3D view, and keeping the hover away from the
// move, rotate and scale manipulators of the selection.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>

class QPointF;
class QWidget;

// The shape control nearest along the mouse ray at `mousePosition` (the view widget's logical
// pixels, y down): a hit on a control's surface, or the mouse within a few pixels of its
// outline. `candidates` limits the search to those nodes (null: every shape control in the
// scene). On a hit, `outNode`, `outDepth` (distance along the ray) and `outWorldRadius` (how
// far off the outline the hit may lie, in world units) describe it and the answer is true.
// `outDepth` starts at the largest finite double and `outWorldRadius` at 0.
bool pickShapeControl(M3dView& view, const QPointF& mousePosition, MObject& outNode, double& outDepth,
                      double& outWorldRadius, const MObjectArray* candidates = nullptr);

// Stops watching the DAG for the list of shape controls that picking keeps (at unload).
void forgetShapeControlPaths();

// The shape control under the mouse as hover sees it. Both mouse filters ask here, so that a
// move is picked once and they agree: the same kind of question (hover move or press) about the
// same view widget, camera and position as the last one within 8 ms gets the last answer, and
// so does a hover move (`hover`) within 2 pixels (Manhattan) and 8 ms of the last hover move.
struct ShapeControlUnderMouse
{
    bool hit = false;
    MObject node;
    double depth = 0.0;
    double worldRadius = 0.0;
    // Set by the patch overlay when a patch it draws lies in front of the control for this move.
    bool patchInFront = false;
};
ShapeControlUnderMouse shapeControlUnderMouse(M3dView& view, const QWidget* widget, const QPointF& position,
                                              bool hover);
// Marks the last answer, when it is for this widget and position: a patch lies in front.
void notePatchInFrontOfShapeControl(const QWidget* widget, const QPointF& position);
// Forgets the last answer (the scene or the hover changed in a way the camera does not show).
void forgetShapeControlUnderMouse();

// Whether the mouse is near the move, rotate or scale manipulator of a selected transform
// while that tool is current.
bool isNearActiveManipulator(M3dView& view, const QPointF& mousePosition);
