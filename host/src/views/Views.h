#ifndef HOST_VIEWS_VIEWS_H
#define HOST_VIEWS_VIEWS_H

// GUI mode: a QApplication on the xcb platform and a main window with the four
// model panels "modelPanel1".."modelPanel4" (top, front, side, persp), each a
// QOpenGLWidget that draws through host::renderFrame. Batch mode never calls
// startViews: there is no QApplication and M3dView::numberOf3dViews() is 0.

#include "viewport/FrameRenderer.h"

#include <maya/MDagPath.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <string>

class QWidget;

namespace host
{

// Creates the QApplication (when none exists) and the main window, shows it and
// waits until the panels have an OpenGL context. Fails with a message in
// `error` ("pellixbatch: -gui needs an X display (DISPLAY is not set)." or the
// like) when no display can be opened. The views area (the panels) is width x
// height logical pixels; the window is that much bigger.
MStatus startViews(int& argc, char** argv, std::string& error, int width = 960, int height = 720);
bool viewsStarted();
// Closes the window and the panels (releasing overrides and GL objects first).
void stopViews();

// The panels in M3dView order (index 0..3 = modelPanel1..modelPanel4).
unsigned int panelCount();
MString panelName(unsigned int index);
int panelIndex(const MString& name);         // -1 when unknown
QWidget* panelWidget(unsigned int index);    // the QOpenGLWidget
bool panelShown(unsigned int index);         // on screen in the current layout
// The layouts the space bar switches between: one panel alone, or all four.
bool fourPanelLayout();
void showSinglePanel(unsigned int index);
void showFourPanels();
unsigned int activePanel();                  // the panel with focus (persp at start)
void setActivePanel(unsigned int index);
// The view of a panel as the renderer needs it, from its camera and widget size.
ViewSetup panelViewSetup(unsigned int index);
// Only its camera part (camera, view, projection, width, height), without a
// copy: kept between calls until the camera, anything above it, the DAG, the
// scene or the port size changes. Valid until the next call into the views or
// the scene; null for no panel.
const ViewSetup* panelCameraView(unsigned int index);
// The world points on the near and far clip planes under a port pixel of that view, with the
// view's inverse kept as long as the view is.
MStatus panelPortToWorld(unsigned int index, double x, double y, MPoint& nearPoint, MPoint& farPoint);

// What a panel looks through: a camera shape. A panel whose camera was deleted
// (or whose scene was cleared) looks through its startup camera again.
MDagPath panelCamera(unsigned int index);
MStatus setPanelCamera(unsigned int index, const MDagPath& cameraShape);
// Port size in device pixels (a hidden panel has the size of the shown one).
void panelPortSize(unsigned int index, int& width, int& height);
// MFrameContext::DisplayStyle bits and the M3dView::DisplayObjects mask.
unsigned int panelDisplayStyle(unsigned int index);
void setPanelDisplayStyle(unsigned int index, unsigned int style);
unsigned int panelObjectDisplay(unsigned int index);
void setPanelObjectDisplay(unsigned int index, unsigned int mask);
// Whether the panel shows the ground grid (modelEditor -grid).
bool panelGrid(unsigned int index);
void setPanelGrid(unsigned int index, bool shown);

// Repaints: schedule (next event-loop turn) or draw now.
void scheduleRefresh(unsigned int index);
void scheduleRefreshAll();
void refreshNow(unsigned int index);

// Selection by drawing in a panel: the pickable shape nearest the camera
// within `radius` logical pixels of (x, y) (logical pixels of the panel's
// widget, y down), from what the panel's last frame drew. False when there is
// none or the panel cannot draw.
bool pickPanelShape(unsigned int index, double x, double y, double radius, MDagPath& shape);

// Renders a panel's current view into an image file (PNG), width x height
// device pixels (0: the panel's own size). Same pixels for the same scene on
// every run.
MStatus writeViewImage(unsigned int index, const std::string& fileName, int width = 0, int height = 0);

// The main window as it is on screen, into a PNG file (hostWindowImage).
MStatus writeWindowImage(const std::string& fileName);

// Runs the Qt event loop until no events are pending (GUI tests and -gui runs).
void processEvents();
// Runs the Qt event loop until the main window is closed (pellixgui).
void runViewsUntilClosed();
// Closes the main window once the event loop next turns (`quit` from its command line).
void closeMainWindowLater();

} // namespace host

#endif
