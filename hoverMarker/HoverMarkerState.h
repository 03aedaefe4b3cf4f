#pragma once
// What the hover-marker ring shows, shared between the interaction code (which writes it)
// and the draw override (which copies it on a draw thread), and the one marker node the
// plug-in keeps in the scene.

#include <maya/MApiNamespace.h>
#include <maya/MColor.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MVector.h>

#include <mutex>

struct HoverMarkerState
{
    bool visible = false;
    MPoint position = MPoint(0.0, 0.0, 0.0, 1.0);
    MVector normal = MVector(0.0, 0.0, 0.0);
    double screenRadius = 16.0;
    MColor color = MColor(1.0f, 0.8f, 0.2f, 1.0f);
    float lineWidth = 2.0f;
};

// Guarded by hoverMarkerMutex, as is every read of hoverMarkerNode off the main thread.
extern HoverMarkerState hoverMarkerState;
extern MObjectHandle hoverMarkerNode;
extern std::mutex hoverMarkerMutex;

// Names the plug-in gives its marker's transform and shape.
extern const char* const kHoverMarkerTransformName;
extern const char* const kHoverMarkerShapeName;

// A DAG node of the "hoverMarker" type.
bool isHoverMarkerNode(const MObject& node);

// A hover marker the plug-in made itself: neither it nor its transform is written to file.
// A user's saved "hoverMarker" node is never adopted, moved or deleted.
bool isOwnedHoverMarker(const MObject& node);

// The plug-in's marker shape while it exists, else the null object.
MObject currentHoverMarker();

// The plug-in's marker shape, adopting one left in the scene by name or making a new one
// (never saved, hidden in the Outliner, drawn as reference); the null object on failure.
// Main thread only.
MObject getOrCreateHoverMarker();

// Shows the ring at a surface point, making the marker node when needed, and redraws.
void showHoverMarker(const MPoint& position, const MVector& normal, const MColor& color);

// Hides the ring (and redraws) when it was shown.
void hideHoverMarker();

// Hides the marker, forgets the marker node and deletes it with its transform when it is
// still the plug-in's own (plug-in teardown).
void deleteHoverMarker();

// Watches for this plug-in being unloaded, to take its marker out of the scene before the host
// checks that no node of the plug-in's types is left. Removed again at teardown.
MStatus installHoverMarkerUnloadCallback(const MString& pluginName);
void removeHoverMarkerUnloadCallback();
