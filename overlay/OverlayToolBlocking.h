#pragma once
// Whether the mouse is on a visible move, rotate or scale manipulator of the selection, so
// that the overlay stands aside and lets the host's tool have the mouse.

#include <maya/MApiNamespace.h>

class QPointF;

// `position` is in the logical pixels of the view's widget, y down. Asks the host for the
// current tool and its manipulator settings, then tests the position against the
// manipulator's screen-space handles at each selected transform's pivot.
bool isOverlayBlockedByTool(M3dView& view, const QPointF& position);
