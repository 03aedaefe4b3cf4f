#include "shapeControl/ShapeControlDrawLayout.h"

#include <algorithm>
#include <cmath>

namespace ShapeControlDrawLayout {

namespace {

Vec3 add(const Vec3& a, const Vec3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 scaled(const Vec3& v, double factor)
{
    return {v.x * factor, v.y * factor, v.z * factor};
}

double largestScale(const Vec3& scale)
{
    return std::max({std::fabs(scale.x), std::fabs(scale.y), std::fabs(scale.z)});
}

float clampf(double value, double low, double high)
{
    return static_cast<float>(std::min(std::max(value, low), high));
}

// Channels pulled towards white, as the readout text itself is.
float brightened(float channel)
{
    return std::min(0.82f * channel + 0.18f, 1.0f);
}

} // namespace

Vec3 place(const Vec3& q, const Vec3& position, const Vec3& scale)
{
    return {position.x + scale.x * q.x, position.y + scale.y * q.y, position.z + scale.z * q.z};
}

bool needsClosingPoint(const Vec3& first, const Vec3& last)
{
    const double tolerance = 1e-5;
    return std::fabs(first.x - last.x) > tolerance || std::fabs(first.y - last.y) > tolerance ||
           std::fabs(first.z - last.z) > tolerance;
}

Vec3 readoutAnchor(const Vec3& position, const Vec3& scale, bool hasBox, const Vec3& boxMin, const Vec3& boxMax)
{
    const double lift = 1.2 * largestScale(scale);
    if (!hasBox) {
        return {position.x, position.y + std::max(lift, 0.35), position.z};
    }
    const Vec3 a = place(boxMin, position, scale);
    const Vec3 b = place(boxMax, position, scale);
    const double extent = std::max({std::fabs(b.x - a.x), std::fabs(b.y - a.y), std::fabs(b.z - a.z)});
    return {0.5 * (a.x + b.x), std::max(a.y, b.y) + std::max({0.08 * extent, lift, 0.35}), 0.5 * (a.z + b.z)};
}

SliderLayout sliderLayout(const Vec3& anchor, const Vec3& right, const Vec3& up, double unit, double length,
                          double value, double reference, const float readoutColor[4], int readoutTextSize)
{
    SliderLayout layout;
    layout.handleHalfHeight = std::max(0.35 * unit, 0.01);
    layout.tickHalfHeight = 0.348 * layout.handleHalfHeight;
    layout.start = add(anchor, scaled(up, -0.6 * unit));
    layout.end = add(layout.start, scaled(right, length));
    layout.referencePoint = add(layout.start, scaled(right, length * reference));
    layout.valuePoint = add(layout.start, scaled(right, length * value));

    const float r = readoutColor[0], g = readoutColor[1], b = readoutColor[2], a = readoutColor[3];
    const float track[4] = {r, g, b, clampf(0.3 * a, 0.18, 0.45)};
    const float fill[4] = {r, g, b, clampf(0.92 * a, 0.78, 1.0)};
    const float tick[4] = {brightened(r), brightened(g), brightened(b), clampf(0.8 * a, 0.65, 0.95)};
    const float label[4] = {r, g, b, clampf(0.85 * a, 0.6, 1.0)};
    std::copy(track, track + 4, layout.trackColor);
    std::copy(fill, fill + 4, layout.fillColor);
    std::copy(tick, tick + 4, layout.tickColor);
    std::copy(label, label + 4, layout.labelColor);

    layout.labelFontSize = static_cast<unsigned>(std::max(static_cast<int>(std::lround(0.82 * readoutTextSize)), 8));
    const Vec3 below = scaled(up, -0.5 * unit);
    layout.minLabelPosition = add(add(layout.start, scaled(right, -0.12 * unit)), below);
    layout.maxLabelPosition = add(add(layout.end, scaled(right, 0.12 * unit)), below);
    return layout;
}

} // namespace ShapeControlDrawLayout
