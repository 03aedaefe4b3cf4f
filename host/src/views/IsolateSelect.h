#pragma once
// Isolate select per model panel: a view that isolates draws only the
// members of its "<panel>ViewSelectedSet" objectSet and their descendants.
// The set is the list a person edits; the view reads it when isolation is
// switched on and on each isolateSelect edit or -update, as Maya's does.

#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

namespace host {

// A model panel name isolate select accepts: the views' panels, and in batch
// mode (no views) the four standard names, so scripts can prepare a set.
bool isIsolatablePanel(const MString& panelName);

// Whether the panel isolates. A panel whose set was deleted isolates nothing.
bool isolateState(const MString& panelName);
MStatus setIsolateState(const MString& panelName, bool on);
// The panel's set, created on first use ("modelPanel4ViewSelectedSet").
MStatus isolateSet(const MString& panelName, MObject& set);
// The set's name while the panel isolates, else an empty string.
MString isolateViewObjects(const MString& panelName);
// Rereads the set's members into what the view shows.
void updateIsolateView(const MString& panelName);

// False when the panel isolates and the path is neither a member nor below one.
bool isolateShows(const MString& panelName, const MDagPath& path);

} // namespace host
