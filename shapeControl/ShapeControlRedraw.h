#pragma once
// When a shape control's drawing must be prepared again, besides its own attributes or its
// selection changing: the animator drags in a view (the readout follows the drag), a readout's
// hold runs out, and a hovered control is deleted. Between these nothing is prepared, so an idle
// view with hovered or selected controls costs nothing. The later redraws serve any node whose
// readout must leave the screen when its hold ends (shape controls and patch overlays).

#include <maya/MApiNamespace.h>

#include <cstdint>

// Installs the node-removal callback (main thread; GUI sessions only).
void installShapeControlRedraws();

// Removes them and cancels pending redraws (plug-in teardown).
void removeShapeControlRedraws();

// A mouse button went down in a 3D view, or came up: the drag between them is the animator
// manipulating the selection. Each drag gets its own serial; 0 means no drag is under way.
void beginViewDrag();
void endViewDrag();
std::uint64_t currentViewDrag();

// Marks the hovered control and the selected ones for preparing again (during a drag, the
// values their readout shows are changing).
void redrawManipulatedControls();

// Marks `node` for preparing again once `nanoseconds` have passed (when its readout's hold ends),
// its topology too when `topologyChanged`, and refreshes the views then. Safe from draw-preparation
// threads.
void redrawNodeAfter(const MObject& node, std::int64_t nanoseconds, bool topologyChanged);
