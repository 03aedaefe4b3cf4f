#pragma once
// The overlay's mouse handling in the 3D views: the patch under the cursor is hovered (with
// the marker ring on the surface) and a left click selects what it stands for. The filter
// object itself is private to its source file; the overlay installer makes the one instance.

class QObject;

QObject* createDataOverlayMouseFilter();
