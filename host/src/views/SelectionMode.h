#pragma once
// What a click or a drag box in a view selects, as Maya's selection mode and
// mask: objects, or components of meshes (faces are what the views pick).
// selectMode -object | -component [-q]; selectType -facet/-vertex/-edge BOOL
// [-q] (long names -polymeshFace, -polymeshVertex, -polymeshEdge too). Not
// undoable, as in Maya; a new scene keeps it. The views redraw on a change.

#include <maya/MPxCommand.h>

namespace host {

bool componentMode();
// Component mode with faces in the mask: clicks and drag boxes pick faces.
bool faceSelectMode();
void setComponentMode(bool on);
void setFaceSelectable(bool on);
// Back to object mode with Maya's default component mask (tests).
void resetSelectionMode();

class SelectModeCommand : public MPxCommand
{
public:
    static void* creator() { return new SelectModeCommand; }
    MStatus doIt(const MArgList& args) override;
};

class SelectTypeCommand : public MPxCommand
{
public:
    static void* creator() { return new SelectTypeCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
