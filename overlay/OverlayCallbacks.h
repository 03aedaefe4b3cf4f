#pragma once
// Module-wide overlay state: the host callbacks the overlays install on first use, and the
// overlay mouse filter with the object it is installed on. Plug-in teardown releases whatever
// they left, along with the overlay node registry.

#include <maya/MApiNamespace.h>
#include <maya/MMessage.h>
#include <maya/MTypes.h>

#include <vector>

class QObject;

extern std::vector<MCallbackId> overlaySceneCallbacks;
extern MCallbackId overlayForceUpdateCallback;
extern MCallbackId overlaySelectionCallback;
extern QObject* overlayFilter;
extern QObject* overlayFilterHost;

// Watches scene changes (they rebuild the registry), forced updates (live-drawn overlays
// redraw on time changes) and selection changes (selection sync), each once, and syncs
// the selected patches now. Called when an overlay is created (the plug-in makes it the
// overlay registry's creation callback) and after each bind.
void installOverlayCallbacks();

// After an edit that swaps overlays in and out of the scene (a bind, its undo and redo): no
// overlay keeps a hover the mouse did not just make (nor the marker, nor a shape-control hover
// the overlay set), and every overlay's selected patches follow the active selection again.
void resyncOverlayInteraction();

// Removes the scene callbacks, forgets the registered nodes, removes the force-update and
// selection callbacks, then removes and deletes the mouse filter, in that order.
void releaseOverlayCallbacks();
