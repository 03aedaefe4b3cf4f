#include "shapeControl/ShapeControlPickRanking.h"

#include <algorithm>
#include <cmath>

namespace ShapeControlPick {

namespace {

// The rotate ring's radius and the move/scale centre handle, axis length and axis reach, in
// pixels at a manipulator scale of 1.
const double kRotateRingRadius = 66.666667;
const double kCentreHandleRadius = 16.0;
const double kAxisLength = 130.0;
const double kAxisReach = 12.0;

double squaredLength(double x, double y)
{
    return x * x + y * y;
}

void cross(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

double dot(const double a[3], const double b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Whether two depths along the ray are the same within 1e-5 relative. The gap past the
// tolerance, depth - nearer - 1e-5 * max(depth, nearer, 1), never falls as depth grows.
bool depthsAgree(double a, double b)
{
    return !(std::fabs(a - b) > 1e-5 * std::max({a, b, 1.0}));
}

} // namespace

SegmentProximity closestOnSegment(const Point2& m, const Point2& a, const Point2& b)
{
    const double ex = b.x - a.x;
    const double ey = b.y - a.y;
    const double lengthSquared = squaredLength(ex, ey);
    SegmentProximity result;
    if (lengthSquared > 1e-10) {
        const double s = ((m.x - a.x) * ex + (m.y - a.y) * ey) / lengthSquared;
        result.parameter = std::min(std::max(s, 0.0), 1.0);
    }
    const double cx = a.x + result.parameter * ex;
    const double cy = a.y + result.parameter * ey;
    result.distance = std::sqrt(squaredLength(m.x - cx, m.y - cy));
    return result;
}

bool rayHitsTriangle(const double origin[3], const double direction[3], const double p0[3], const double p1[3],
                     const double p2[3], double& t)
{
    const double edge1[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const double edge2[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    double p[3];
    cross(direction, edge2, p);
    const double determinant = dot(edge1, p);
    if (!(std::fabs(determinant) >= 1e-10)) {
        return false;
    }
    const double inverse = 1.0 / determinant;
    const double s[3] = {origin[0] - p0[0], origin[1] - p0[1], origin[2] - p0[2]};
    const double u = dot(s, p) * inverse;
    if (!(u >= 0.0 && u <= 1.0)) {
        return false;
    }
    double q[3];
    cross(s, edge1, q);
    const double v = dot(direction, q) * inverse;
    if (!(v >= 0.0 && u + v <= 1.0)) {
        return false;
    }
    const double distance = dot(edge2, q) * inverse;
    if (!(distance > 1e-6)) {
        return false;
    }
    t = distance;
    return true;
}

bool beats(const Candidate& candidate, const Candidate& best)
{
    if (!depthsAgree(candidate.depth, best.depth)) {
        return candidate.depth < best.depth;
    }
    if (!(candidate.surfaceHit && best.surfaceHit) &&
        std::fabs(candidate.pixelDistance - best.pixelDistance) > 1.0) {
        return candidate.pixelDistance < best.pixelDistance;
    }
    if (candidate.surfaceHit != best.surfaceHit) {
        return candidate.surfaceHit;
    }
    if (candidate.selected != best.selected) {
        return candidate.selected;
    }
    // Byte-wise, as std::string compares.
    return candidate.pathName < best.pathName;
}

bool Ranking::takes(const Candidate& candidate) const
{
    if (!(candidate.depth > 0.0) || !std::isfinite(candidate.depth) || std::isnan(candidate.pixelDistance)) {
        return false;
    }
    return !fHasBest || beats(candidate, fBest);
}

bool Ranking::beyondReach(double depth) const
{
    return fHasBest && depth > fBest.depth && !depthsAgree(depth, fBest.depth);
}

void Ranking::offer(const Candidate& candidate)
{
    if (takes(candidate)) {
        fBest = candidate;
        fHasBest = true;
    }
}

double outlineTolerance(double lineWidth)
{
    const double width = std::isfinite(lineWidth) ? lineWidth : 2.0;
    return std::max(3.5 * width, 10.0);
}

TransformTool transformToolNamed(const std::string& name)
{
    if (name == "MoveSuperContext" || name == "moveSuperContext" || name == "Move Tool") {
        return TransformTool::kMove;
    }
    if (name == "RotateSuperContext" || name == "rotateSuperContext" || name == "Rotate Tool") {
        return TransformTool::kRotate;
    }
    if (name == "ScaleSuperContext" || name == "scaleSuperContext" || name == "Scale Tool") {
        return TransformTool::kScale;
    }
    if (name == "TransformSuperContext" || name == "transformSuperContext") {
        return TransformTool::kTransform;
    }
    return TransformTool::kNone;
}

TransformTool transformToolOfClass(const std::string& contextClass)
{
    if (contextClass == "manipMove") {
        return TransformTool::kMove;
    }
    if (contextClass == "manipRotate") {
        return TransformTool::kRotate;
    }
    if (contextClass == "manipScale") {
        return TransformTool::kScale;
    }
    return TransformTool::kNone;
}

bool isNearManipulator(TransformTool tool, const Point2& mouse, const Point2& centre, const Point2 axisTips[3],
                       const bool axisValid[3], double globalSize)
{
    if (tool == TransformTool::kNone) {
        return false;
    }
    const double fromCentre = std::sqrt(squaredLength(mouse.x - centre.x, mouse.y - centre.y));
    if (tool == TransformTool::kRotate) {
        return fromCentre < kRotateRingRadius * globalSize;
    }
    if (fromCentre < kCentreHandleRadius * globalSize) {
        return true;
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (!axisValid[axis]) {
            continue;
        }
        const double dx = axisTips[axis].x - centre.x;
        const double dy = axisTips[axis].y - centre.y;
        const double length = std::sqrt(squaredLength(dx, dy));
        // An axis pointing at the eye has no direction on screen.
        if (!(length >= 1e-6)) {
            continue;
        }
        const double reach = kAxisLength * globalSize / length;
        const Point2 end{centre.x + dx * reach, centre.y + dy * reach};
        if (closestOnSegment(mouse, centre, end).distance <= kAxisReach) {
            return true;
        }
    }
    return false;
}

} // namespace ShapeControlPick
