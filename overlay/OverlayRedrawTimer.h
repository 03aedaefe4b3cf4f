#pragma once
// Redraws an overlay at a later time without anything else changing: a readout whose hold
// ends must leave the screen then, not at the next unrelated redraw.

#include <maya/MApiNamespace.h>

// Starts and stops the timer on the main thread; without a QApplication there are no views
// and scheduling does nothing.
void startOverlayRedrawTimer();
void stopOverlayRedrawTimer();

// Marks `node` for redrawing `seconds` from now (at the earliest of all such requests) and asks
// the views to refresh then. Safe from draw-preparation threads.
void scheduleOverlayRedraw(const MObject& node, double seconds);
