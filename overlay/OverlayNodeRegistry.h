#pragma once
// The live "pellixDataOverlay" nodes. Each overlay registers itself when it is made and leaves
// when it goes; the callbacks, the selection sync and the mouse filters read the registry, so
// the node and what reacts to it never need each other.

#include <maya/MApiNamespace.h>
#include <maya/MObjectArray.h>
#include <maya/MObjectHandle.h>

#include <vector>

// The type id of "pellixDataOverlay", which the registry looks for when it rebuilds.
constexpr unsigned kPellixDataOverlayTypeId = 0x140548;

extern std::vector<MObjectHandle> overlayNodeRegistry;

// Adds a handle for the node unless a live handle already refers to it.
void registerOverlayNode(const MObject& node);

// Registers a node just made, then runs the creation callback.
void registerCreatedOverlayNode(const MObject& node);

// What runs after an overlay node is made (null: nothing). The plug-in installs the overlay's
// host callbacks and mouse filter there: they come with the first overlay.
void setOverlayCreatedCallback(void (*callback)());

// Drops the handle of a node going away, along with every invalid or dead one.
void unregisterOverlayNode(const MObjectHandle& node);

// Forgets every handle and registers each "pellixDataOverlay" node of the scene.
void rebuildOverlayNodeRegistry();

// The overlay nodes still in the scene, in registry order. Stale handles are dropped
// first; an empty registry is rebuilt from the scene before answering.
MObjectArray liveOverlayNodes();
