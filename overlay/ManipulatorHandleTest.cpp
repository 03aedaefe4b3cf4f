#include "overlay/ManipulatorHandleTest.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

double distance(const ScreenPoint& a, const ScreenPoint& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

ScreenPoint along(const ScreenPoint& origin, const ScreenPoint& direction, double length)
{
    return ScreenPoint{origin.x + direction.x * length, origin.y + direction.y * length};
}

double cross(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& p)
{
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

// Inside or on the edges of a triangle of either winding. A triangle without area covers
// nothing: its edge tests would otherwise accept the whole line it lies on.
bool inTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, const ScreenPoint& p)
{
    if (std::fabs(cross(a, b, c)) <= 1e-12) {
        return false;
    }
    const double d0 = cross(a, b, p);
    const double d1 = cross(b, c, p);
    const double d2 = cross(c, a, p);
    const bool anyNegative = d0 < 0.0 || d1 < 0.0 || d2 < 0.0;
    const bool anyPositive = d0 > 0.0 || d1 > 0.0 || d2 > 0.0;
    return !(anyNegative && anyPositive);
}

bool onAxis(const ManipulatorSizes& sizes, const ScreenPoint& centre, const ScreenPoint& u, const ScreenPoint& position)
{
    const double length = axisHandleLength(sizes);
    const double lineReach = std::max(2.0 * sizes.line + 0.2 * sizes.handle, 8.0);
    const double tipReach = std::max(0.35 * sizes.handle, 10.0);
    const double s = std::clamp(u.x * (position.x - centre.x) + u.y * (position.y - centre.y), 0.0, length);
    return distance(position, along(centre, u, s)) <= lineReach ||
           distance(position, along(centre, u, length)) <= tipReach;
}

bool onPlaneHandle(const ManipulatorSizes& sizes, const ScreenPoint& centre, const ScreenPoint& u1,
                   const ScreenPoint& u2, const ScreenPoint& position)
{
    const double inner = 0.1 * sizes.handle + 12.0 * sizes.global;
    const double outer = 0.25 * sizes.handle + 28.0 * sizes.global;
    const ScreenPoint corners[4] = {
        along(along(centre, u1, inner), u2, inner), along(along(centre, u1, outer), u2, inner),
        along(along(centre, u1, outer), u2, outer), along(along(centre, u1, inner), u2, outer)};
    return inTriangle(corners[0], corners[1], corners[2], position) ||
           inTriangle(corners[0], corners[2], corners[3], position);
}

} // namespace

ManipulatorSizes manipulatorSizes(double globalSize, double handleSize, double lineSize, bool drawPlaneHandles)
{
    ManipulatorSizes sizes;
    sizes.global = std::max(globalSize, 0.1);
    sizes.handle = std::max(handleSize, 1.0);
    sizes.line = std::max(lineSize, 1.0);
    sizes.planeHandles = drawPlaneHandles;
    return sizes;
}

ToolKinds toolKindsIn(const std::string& lowerText)
{
    const auto has = [&](const char* word) { return lowerText.find(word) != std::string::npos; };
    ToolKinds kinds;
    kinds.move = has("move");
    kinds.rotate = has("rotate");
    kinds.scale = has("scale");
    kinds.universal = has("transform") || has("universal");
    return kinds;
}

bool isViewingTool(const std::string& lowerText)
{
    for (const char* word : {"select", "camera", "view"}) {
        if (lowerText.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string lowerCased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

ScreenPoint portToLogical(double x, double y, double portHeight, double devicePixelRatio)
{
    return ScreenPoint{x / devicePixelRatio, (portHeight - y) / devicePixelRatio};
}

bool screenDirection(const ScreenPoint& centre, const ScreenPoint& axisEnd, ScreenPoint& direction)
{
    const double length = distance(centre, axisEnd);
    if (!(length >= 1e-6)) {
        return false;
    }
    direction = ScreenPoint{(axisEnd.x - centre.x) / length, (axisEnd.y - centre.y) / length};
    return true;
}

double rotateRingReach(const ManipulatorSizes& sizes)
{
    return (200.0 / 3.0) * sizes.global + std::max(2.0 * sizes.line + 0.2 * sizes.handle, 6.0);
}

double centreHandleReach(const ManipulatorSizes& sizes)
{
    return 8.0 * sizes.global + std::max(0.15 * sizes.handle, 4.0);
}

double axisHandleLength(const ManipulatorSizes& sizes)
{
    return 0.5 * sizes.handle + 130.0 * sizes.global;
}

bool isOnRotateRing(const ManipulatorSizes& sizes, const ScreenPoint& centre, const ScreenPoint& position)
{
    return distance(position, centre) <= rotateRingReach(sizes);
}

bool isOnTranslateHandles(const ManipulatorSizes& sizes, const ManipulatorOnScreen& manip, const ScreenPoint& position)
{
    if (distance(position, manip.centre) <= centreHandleReach(sizes)) {
        return true;
    }
    for (int a = 0; a < 3; ++a) {
        if (manip.axisShown[a] && onAxis(sizes, manip.centre, manip.axes[a], position)) {
            return true;
        }
    }
    if (!sizes.planeHandles) {
        return false;
    }
    static const int kPairs[3][2] = {{0, 1}, {1, 2}, {2, 0}};
    for (const auto& pair : kPairs) {
        if (manip.axisShown[pair[0]] && manip.axisShown[pair[1]] &&
            onPlaneHandle(sizes, manip.centre, manip.axes[pair[0]], manip.axes[pair[1]], position)) {
            return true;
        }
    }
    return false;
}
