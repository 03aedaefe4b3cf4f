#pragma once
// Maya's camera navigation in the model panels: Alt + left drag tumbles the
// camera around its centre of interest, Alt + middle drag tracks it across the
// view, Alt + right drag dollies it towards the centre of interest.
// Orthographic cameras do not tumble; they track, and dolly by changing their
// orthographic width. As in Maya by default, camera moves are not undoable.
//
// The navigation is an event filter on the panel widget, so the application's
// event filters (a plug-in's mouse filters) see every event before it.

#include <maya/MDagPath.h>
#include <maya/MStatus.h>

class QWidget;

namespace host {

// Installs the navigation on a panel's widget (once per widget).
void installCameraNavigation(QWidget* panelWidget, unsigned int panelIndex);

// The moves themselves, for a drag of (dx, dy) logical pixels (y down) in a
// port `portWidth` logical pixels wide and `portHeight` high.
MStatus tumbleCamera(const MDagPath& cameraShape, double dx, double dy);
MStatus trackCamera(const MDagPath& cameraShape, double dx, double dy, double portWidth, double portHeight);
MStatus dollyCamera(const MDagPath& cameraShape, double dx, double dy);

} // namespace host
