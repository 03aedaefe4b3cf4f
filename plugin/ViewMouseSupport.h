#pragma once
// What the plug-in's two application mouse filters share: finding the 3D view an event belongs
// to, letting every view report moves without a button held, and taking a filter down.

#include <maya/MApiNamespace.h>

class QObject;
class QWidget;

// The first 3D view (in index order) whose widget is `watched` or one of its ancestors, with
// that widget. False when `watched` is not a widget or no view holds it.
bool findViewOf(QObject* watched, M3dView& view, QWidget*& viewWidget);

// Turns on mouse tracking for every 3D view's widget, so hover works without a button held.
void trackMouseInAllViews();

// Removes `filter` from the object it is installed on, deletes it and clears both pointers.
void removeApplicationFilter(QObject*& filter, QObject*& host);
