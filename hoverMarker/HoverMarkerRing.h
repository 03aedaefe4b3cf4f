#pragma once
// The geometry and colours of the hover-marker ring: a circle that keeps a fixed radius in
// pixels at any camera distance, lifted a little off the surface along its normal, with a dark
// centre and a light dot. Plain values in, plain results out; the draw override feeds it the
// rays it casts through the viewport.

namespace HoverMarkerRing {

struct Vec3
{
    double x, y, z;
};

// Radii of the centre disc and the dot, and the lift off the surface, as fractions of the ring.
constexpr double kCentreRadiusFactor = 0.25;
constexpr double kDotRadiusFactor = 0.16;
constexpr double kLiftFactor = 0.12;
constexpr double kMinimumRadius = 1e-6;
constexpr float kMinimumLineWidth = 1.25f;

struct Ring
{
    Vec3 center;
    Vec3 facing;        // unit normal the circles face
    double radius;      // world radius of the outer ring
};

// The ring around `position` whose radius matches the gap between two viewport rays: one
// through the marker's own pixel (near0 to far0) and one a ring radius to its side (near1 to
// far1). The ring lies in the plane through the marker facing the camera ray. False when the
// rays are degenerate or the marker is behind the camera.
bool ringGeometry(const Vec3& position, const Vec3& normal, const Vec3& near0, const Vec3& far0, const Vec3& near1,
                  const Vec3& far1, Ring& ring);

struct RingColors
{
    float outer[4];
    float centre[4];
    float dot[4];
    float outerLineWidth;
};

RingColors ringColors(const float color[4], float lineWidth);

} // namespace HoverMarkerRing
