#pragma once
// Writing the hovered patch of an overlay and selecting what a clicked patch stands for.

#include <maya/MApiNamespace.h>
#include <maya/MObjectArray.h>

// Sets the node's "hoveredPatch" to `index` (−1: none, which also hides the hover marker) and
// asks for a redraw when it changed.
void setHoveredPatch(const MObject& node, int index);

// Clears the hovered patch of every node that has one, and hides the hover marker.
void clearAllHovers(const MObjectArray& nodes);

// Selection modes of a click, as the mouse filter derives them from the modifiers.
enum PatchSelectMode { kSelectReplace = 0, kSelectToggle = 1, kSelectAdd = 2, kSelectRemove = 3 };

// Applies `object` to the active selection in `mode`, as one undoable step: a DAG node by its
// path, any other node as itself. True when the host took the selection.
bool selectObject(const MObject& object, int mode);

// Selects the control patch `patch` stands for. False when it has none (its control was
// deleted or disconnected): such a patch is drawn but cannot be clicked.
bool selectPatchTarget(const MObject& node, int patch, int mode);

// The control a click on patch `patch` selects: the source of its "patchControl" element, or
// the null object.
MObject patchControlOf(const MObject& node, int patch);
