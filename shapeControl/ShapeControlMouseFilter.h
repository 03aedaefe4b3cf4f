#pragma once
// The shape-control hover: the application-wide mouse filter, the object it is installed
// on, and the one hovered shape control with the flag that says the patch overlay set it.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>

class QObject;

extern QObject* shapeControlFilter;
extern QObject* shapeControlFilterHost;

// Written only through setHoveredShapeControl.
extern MObjectHandle activeShapeControl;
extern bool activeShapeControlOverlayOwned;

// Installs the mouse filter on the running QApplication once; without a QApplication (batch
// mode) it does nothing.
void installShapeControlMouseFilter();

// Removes the filter from the object it is installed on and deletes it (plug-in teardown).
void removeShapeControlMouseFilter();

// The single setter of the hovered control: a null node clears the hover. Every change
// marks the old and new control's drawing dirty and schedules a refresh of all views.
void setHoveredShapeControl(const MObject& node, bool overlayOwned);
