#pragma once
// What the plug-in's two application mouse filters share: finding the 3D view an event belongs
// to, letting every view report moves without a button held, and taking a filter down.

#include <maya/MApiNamespace.h>
#include <maya/MString.h>

class QObject;
class QWidget;

// The first 3D view (in index order) whose widget is `watched` or one of its ancestors, with
// that widget. False when `watched` is not a widget or no view holds it.
bool findViewOf(QObject* watched, M3dView& view, QWidget*& viewWidget);

// Turns on mouse tracking for every 3D view's widget, so hover works without a button held.
void trackMouseInAllViews();

// Removes `filter` from the object it is installed on, deletes it and clears both pointers.
void removeApplicationFilter(QObject*& filter, QObject*& host);

// The current tool context as "currentCtx" and "contextInfo -query -class" answer, asked of the
// host once per tool change: kept until its "ToolChanged" or "PostToolChanged" event (asked
// afresh each time when those cannot be watched). `known` is false when "currentCtx" failed;
// `className` is empty when the class query failed.
struct CurrentToolContext
{
    bool known = false;
    MString name;
    MString className;
};
const CurrentToolContext& currentToolContext();
// Stops watching tool changes and forgets the tool (at unload).
void forgetCurrentToolContext();
