#pragma once
// The live shape controls and the one hovered among them. Controls register as they are made
// and leave as they go; the mouse filters, the picking and the drawing read and set the hover
// here, so the node and what reacts to it never need each other.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>

// Written only through setHoveredShapeControl.
extern MObjectHandle activeShapeControl;
extern bool activeShapeControlOverlayOwned;

// Counts a control being constructed; main thread only.
void registerShapeControl();

// Counts a control going away and returns how many are left; the last one clears the hover.
int unregisterShapeControl();

// The number of shape controls alive.
int liveShapeControlCount();

// What runs once a control is made (null: nothing). The plug-in installs the hover's mouse
// filter there: the hover works as soon as any control exists.
void setShapeControlCreatedCallback(void (*callback)());

// Runs the creation callback for a control just made.
void shapeControlCreated();

// The single setter of the hovered control: a null node clears the hover. Every change
// marks the old and new control's drawing dirty and schedules a refresh of all views.
void setHoveredShapeControl(const MObject& node, bool overlayOwned);
