#pragma once
// Keeps every overlay's "selectedPatches" equal to the patches whose control, source mesh
// or source-mesh transform is in the active selection.

#include <maya/MApiNamespace.h>
#include <maya/MIntArray.h>

// Ascending indices of the node's patches selected through their control, source mesh or
// that mesh's transform; empty when the selection or the patch counts cannot be read.
MIntArray patchesInSelection(const MObject& node);

// Writes each live overlay's selected patches when they differ from what it stores, and
// asks for the overlay to be redrawn; an equal list is left untouched.
void syncSelectedPatches();
