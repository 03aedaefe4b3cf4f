#pragma once
// What the hover-marker ring shows, shared between the interaction code (which writes it)
// and the draw override (which copies it on a draw thread), and the one marker node the
// plug-in keeps in the scene.

#include <maya/MApiNamespace.h>
#include <maya/MColor.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>
#include <maya/MPoint.h>
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

// A DAG node of the "hoverMarker" type.
bool isHoverMarkerNode(const MObject& node);

// A hover marker the plug-in made itself: neither it nor its transform is written to file.
// A user's saved "hoverMarker" node is never adopted, moved or deleted.
bool isOwnedHoverMarker(const MObject& node);

// Hides the marker, forgets the marker node and deletes it with its transform when it is
// still the plug-in's own (plug-in teardown).
void deleteHoverMarker();
