#pragma once
// Which transform tool a context is, and whether a screen position lies on the handles of
// its manipulator: the rotate ring, the centre, the three axis lines with their tips and the
// plane squares between axis pairs, sized from the host's manipulator preferences.
// Positions are logical pixels of the view widget.

#include <string>

struct ScreenPoint
{
    double x = 0.0;
    double y = 0.0;
};

// The manipulator preferences, raised to the least sizes the handles are drawn at.
struct ManipulatorSizes
{
    double global = 1.0;  // at least 0.1
    double handle = 1.0;  // pixels, at least 1
    double line = 1.0;    // pixels, at least 1
    bool planeHandles = false;
};
ManipulatorSizes manipulatorSizes(double globalSize, double handleSize, double lineSize, bool drawPlaneHandles);

// The tool words a lower-cased context name (or name and class) contains.
struct ToolKinds
{
    bool move = false;
    bool rotate = false;
    bool scale = false;
    bool universal = false;
    bool any() const { return move || rotate || scale || universal; }
};
ToolKinds toolKindsIn(const std::string& lowerText);

// The select, camera and view tools, which show no manipulator.
bool isViewingTool(const std::string& lowerText);

std::string lowerCased(std::string text);

// A view's port position (device pixels, y up) in logical pixels of its widget, y down.
ScreenPoint portToLogical(double x, double y, double portHeight, double devicePixelRatio);

// The unit screen direction from the manipulator centre to a projected axis end; false when
// the axis points (nearly) at the camera and shows no direction.
bool screenDirection(const ScreenPoint& centre, const ScreenPoint& axisEnd, ScreenPoint& direction);

// One manipulator on screen: its centre and the screen directions of its axes.
struct ManipulatorOnScreen
{
    ScreenPoint centre;
    ScreenPoint axes[3];
    bool axisShown[3] = {false, false, false};
};

// Radii and lengths of the handles in pixels.
double rotateRingReach(const ManipulatorSizes& sizes);
double centreHandleReach(const ManipulatorSizes& sizes);
double axisHandleLength(const ManipulatorSizes& sizes);

// Within the rotate ring's reach of the centre: the whole disc, so that the ring and the
// view-plane rotation inside it both count.
bool isOnRotateRing(const ManipulatorSizes& sizes, const ScreenPoint& centre, const ScreenPoint& position);

// On the centre handle, an axis line or tip, or (when drawn) a plane handle.
bool isOnTranslateHandles(const ManipulatorSizes& sizes, const ManipulatorOnScreen& manip,
                          const ScreenPoint& position);
