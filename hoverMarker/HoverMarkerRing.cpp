#include "hoverMarker/HoverMarkerRing.h"

#include <algorithm>
#include <cmath>

namespace HoverMarkerRing {

namespace {

constexpr double kDegenerate = 1e-8;

Vec3 minus(const Vec3& a, const Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 plusScaled(const Vec3& a, const Vec3& d, double t)
{
    return {a.x + d.x * t, a.y + d.y * t, a.z + d.z * t};
}

double dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double length(const Vec3& a)
{
    return std::sqrt(dot(a, a));
}

} // namespace

bool ringGeometry(const Vec3& position, const Vec3& normal, const Vec3& near0, const Vec3& far0, const Vec3& near1,
                  const Vec3& far1, Ring& ring)
{
    Vec3 d0 = minus(far0, near0);
    Vec3 d1 = minus(far1, near1);
    const double length0 = length(d0);
    const double length1 = length(d1);
    // Written so that a NaN anywhere draws nothing as well.
    if (!(length0 > kDegenerate) || !(length1 > kDegenerate)) {
        return false;
    }
    d0 = {d0.x / length0, d0.y / length0, d0.z / length0};
    d1 = {d1.x / length1, d1.y / length1, d1.z / length1};

    const double den = dot(d1, d0);
    if (!(std::fabs(den) > kDegenerate)) {
        return false;
    }
    const double t = dot(d0, minus(position, near1)) / den;
    if (!(t > 0.0) || !std::isfinite(t)) {
        return false;
    }
    const Vec3 onSecondRay = plusScaled(near1, d1, t);
    const double radius = std::max(length(minus(onSecondRay, position)), kMinimumRadius);
    if (!std::isfinite(radius)) {
        return false;
    }

    ring.radius = radius;
    ring.center = plusScaled(position, normal, kLiftFactor * radius);
    const double normalLength = length(normal);
    if (normalLength > kDegenerate && std::isfinite(normalLength)) {
        ring.facing = {normal.x / normalLength, normal.y / normalLength, normal.z / normalLength};
    } else {
        ring.facing = {0.0, 1.0, 0.0};
        if (!std::isfinite(normalLength)) {
            ring.center = position;
        }
    }
    return true;
}

RingColors ringColors(const float color[4], float lineWidth)
{
    RingColors colors;
    colors.outer[0] = color[0];
    colors.outer[1] = color[1];
    colors.outer[2] = color[2];
    colors.outer[3] = 0.96f;
    colors.outerLineWidth = lineWidth > kMinimumLineWidth ? lineWidth : kMinimumLineWidth;
    colors.centre[0] = 0.015f;
    colors.centre[1] = 0.018f;
    colors.centre[2] = 0.022f;
    colors.centre[3] = 0.74f;
    for (int i = 0; i < 3; ++i) {
        colors.dot[i] = std::min(color[i] * 0.78f + 0.22f, 1.0f);
    }
    colors.dot[3] = 0.98f;
    return colors;
}

} // namespace HoverMarkerRing
