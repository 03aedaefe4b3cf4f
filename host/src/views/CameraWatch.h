#ifndef HOST_VIEWS_CAMERAWATCH_H
#define HOST_VIEWS_CAMERAWATCH_H

// What the panels' cached camera views depend on: a counter that moves whenever
// a watched camera (its shape or any node above it) is dirtied, renamed or about
// to be deleted, and whenever any node is added or removed, the DAG changes or a
// scene is cleared or read. A cached view is current while the counter has not
// moved since it was made.

#include <maya/MDagPath.h>

#include <cstdint>

namespace host {

std::uint64_t cameraGeneration();
// Moves the counter (a panel looks through another camera, the views start or stop).
void noteCameraChange();

// The scene-wide callbacks; started and stopped with the views.
void startCameraWatch();
void stopCameraWatch();

// Watches the nodes of the camera path a panel looks through (replacing what
// that panel watched before).
void watchPanelCamera(unsigned int panel, const MDagPath& cameraShape);

} // namespace host

#endif
