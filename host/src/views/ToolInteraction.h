#pragma once
// What the current tool does with the left mouse button in a model panel, as
// in Maya:
// - a click (press and release within a few pixels) selects the nearest
//   pickable object under the cursor: its transform for a shape, with Shift
//   toggling, Ctrl removing, Ctrl+Shift adding and a plain click on empty
//   space clearing; the change runs as a `select` command, so it is undoable
//   and fires "SelectionChanged";
// - in face selection mode (SelectionMode.h) a click selects the face of the
//   mesh under the cursor that its ray meets first, and a drag that is no click
//   selects the faces whose centres the box holds and that face the camera,
//   with the same modifiers, each as one `select` (FaceSelection.h);
// - with the move tool, a press on a handle of its manipulator drags the
//   selected transforms along the picked axis (the centre handle: in the view
//   plane), changing their translate plugs during the drag, and the release
//   records one undoable step; the scale tool's axis handles scale by the
//   ratio of the cursor's distance from the pivot along the axis, its centre
//   handle uniformly by horizontal travel; the rotate tool's rings turn the
//   selected transforms about the ring's axis through their pivots by the angle
//   the cursor sweeps around the manipulator's centre (inside the rings a
//   press is taken without turning anything).
// Undo follows the context the event arrives in: from the event loop the step
// is kept; an event sent by a command run with undo off (hostMouseEvent from
// MGlobal::executeCommand's default) keeps nothing, as for any command.
// The panel widget calls these from its own mouse handlers, so the
// application's event filters and the camera navigation (Alt) see every event
// first and can keep it from the tool.

#include <QPointF>
#include <Qt>

#include "viewport/FrameRenderer.h"

#include <maya/MStatus.h>

#include <vector>

namespace host {

// Each returns true when the tool used the event. Positions are the widget's
// logical pixels.
bool toolMousePress(unsigned int panel, const QPointF& position, Qt::MouseButton button,
                    Qt::KeyboardModifiers modifiers);
bool toolMouseMove(unsigned int panel, const QPointF& position);
bool toolMouseRelease(unsigned int panel, const QPointF& position, Qt::MouseButton button);

// The drag box under way in face mode, as white lines over the view of its panel.
void dragBoxLines(const ViewSetup& view, std::vector<OverlayLines>& lines);

// Click selection at a position of a panel, with the modifiers of the click.
MStatus clickSelect(unsigned int panel, const QPointF& position, Qt::KeyboardModifiers modifiers);

} // namespace host
