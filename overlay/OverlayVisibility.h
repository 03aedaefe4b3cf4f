#pragma once
// Whether a view shows an overlay at all: nothing the user cannot see, or sees only as a
// reference, may light up or take a click.

#include <maya/MApiNamespace.h>

// True when some instance of the overlay shape `node` is visible (its own and its parents'
// visibility, drawing overrides and display layers), neither templated nor drawn as a
// reference, and the view's Show filter lets plug-in locators through.
bool isOverlayDrawnIn(M3dView& view, const MObject& node);
