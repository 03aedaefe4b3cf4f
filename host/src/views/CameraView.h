#pragma once
// A camera's view of the world for a port of a given size: its lens read from
// the camera shape's attributes, the view and projection matrices, and the
// mapping between world points and port pixels (device pixels, origin at the
// bottom left, y up, as M3dView has them).

#include "viewport/FrameRenderer.h"
#include "views/CameraProjection.h"

#include <maya/MDagPath.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>

namespace host {

// The lens settings of a camera shape (defaults for anything unreadable).
CameraLens cameraLens(const MDagPath& cameraShape);

// Fills camera, view, projection, width and height of `view` for that camera
// and port size. Fails when the path is no camera.
MStatus cameraViewSetup(const MDagPath& cameraShape, int width, int height, ViewSetup& view);

// The port pixel of a world point; false when it lies outside the view
// volume (behind the camera, beyond the clip planes or off the port).
bool worldToPort(const ViewSetup& view, const MPoint& world, double& x, double& y);

// The world points on the near and far clip planes under a port pixel.
MStatus portToWorld(const ViewSetup& view, double x, double y, MPoint& nearPoint, MPoint& farPoint);
// The same with the inverse of view * projection given (views keep it between calls).
MStatus portToWorld(const ViewSetup& view, const MMatrix& clipToWorld, double x, double y, MPoint& nearPoint,
                    MPoint& farPoint);

} // namespace host
