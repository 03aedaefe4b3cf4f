#pragma once
// The startup cameras every Maya scene has: "persp", "top", "front" and "side"
// (transforms with the shapes "perspShape", ...), placed as Maya places them.
// Scene files write them with createNode -s, and reading such a file reuses
// the ones that exist.

#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

namespace host {

// Creates whichever of the four cameras is missing (by name).
MStatus ensureStartupCameras();

// Whether a node is one of the startup cameras' transforms or shapes.
bool isStartupCameraNode(const MObject& node);

// The camera shape a name stands for: a camera shape or a transform with one
// (the first camera child). False when the name is no camera.
bool findCamera(const MString& name, MDagPath& cameraShape);

// "persp", "top", "front", "side": the startup camera shape of that transform name.
bool startupCamera(const char* transformName, MDagPath& cameraShape);

} // namespace host
