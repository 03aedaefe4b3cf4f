#pragma once
// Faces a view picks in face selection mode: the face a click's ray meets
// first, and the faces a drag box holds (centre inside the box, facing the
// camera, as Maya's default marquee), turned into the one `select` command
// that makes the change undoable.

#include "viewport/FrameRenderer.h"

#include <maya/MDagPath.h>
#include <maya/MPoint.h>
#include <maya/MString.h>
#include <maya/MVector.h>

#include <vector>

namespace host {

struct ShapeFaces
{
    MDagPath shape;
    std::vector<int> faces;  // ascending
};

// The face of the mesh at `shape` the world ray meets first, or -1.
int faceOnRay(const MDagPath& shape, const MPoint& origin, const MVector& direction);

// The faces of every mesh the view shows whose centres fall inside the box
// (port pixels, origin bottom left) and that face the camera.
std::vector<ShapeFaces> facesInBox(const ViewSetup& view, double left, double bottom, double right, double top);

// "select -r|-tgl|-d|-add <faces>" for a click or box with these modifiers, or
// "select -cl" for a plain one that picked nothing; empty when there is nothing to do.
MString faceSelectCommand(const std::vector<ShapeFaces>& picked, bool shift, bool ctrl);

} // namespace host
