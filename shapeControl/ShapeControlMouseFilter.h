#pragma once
// The shape-control hover: the application-wide mouse filter and the object it is installed
// on. The hovered control itself is kept by the shape-control registry.

class QObject;

extern QObject* shapeControlFilter;
extern QObject* shapeControlFilterHost;

// Installs the mouse filter on the running QApplication once; without a QApplication (batch
// mode) it does nothing.
void installShapeControlMouseFilter();

// Removes the filter from the object it is installed on and deletes it (plug-in teardown).
void removeShapeControlMouseFilter();
