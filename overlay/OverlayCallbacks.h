#pragma once
// Module-wide overlay state: the handles of live overlay nodes, the host callbacks the
// overlays install on first use, and the overlay mouse filter with the object it is
// installed on. Plug-in teardown releases whatever they left.

#include <maya/MApiNamespace.h>
#include <maya/MMessage.h>
#include <maya/MObjectArray.h>
#include <maya/MObjectHandle.h>
#include <maya/MTypes.h>

#include <vector>

class QObject;

extern std::vector<MObjectHandle> overlayNodeRegistry;
extern std::vector<MCallbackId> overlaySceneCallbacks;
extern MCallbackId overlayForceUpdateCallback;
extern MCallbackId overlaySelectionCallback;
extern QObject* overlayFilter;
extern QObject* overlayFilterHost;

// Adds a handle for the node unless a live handle already refers to it.
void registerOverlayNode(const MObject& node);

// Drops the handle of a node going away, along with every invalid or dead one.
void unregisterOverlayNode(const MObjectHandle& node);

// Forgets every handle and registers each "pellixDataOverlay" node of the scene.
void rebuildOverlayNodeRegistry();

// The overlay nodes still in the scene, in registry order. Stale handles are dropped
// first; an empty registry is rebuilt from the scene before answering.
MObjectArray liveOverlayNodes();

// Watches scene changes (they rebuild the registry), forced updates (live-drawn overlays
// redraw on time changes) and selection changes (selection sync), each once, and syncs
// the selected patches now. Called when an overlay is constructed and after each bind.
void installOverlayCallbacks();

// Removes the scene callbacks, forgets the registered nodes, removes the force-update and
// selection callbacks, then removes and deletes the mouse filter, in that order.
void releaseOverlayCallbacks();
