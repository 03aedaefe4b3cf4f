#pragma once
// Module-wide overlay state: the handles of live overlay nodes, the host callbacks the
// overlays install on first use, and the overlay mouse filter with the object it is
// installed on. The installers arrive with the overlay node's behaviour; plug-in teardown
// releases whatever they left.

#include <maya/MApiNamespace.h>
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

// Removes the scene callbacks, forgets the registered nodes, removes the force-update and
// selection callbacks, then removes and deletes the mouse filter, in that order.
void releaseOverlayCallbacks();
