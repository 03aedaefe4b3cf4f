// The hover-marker ring against a simple pinhole camera: lifted along the stored normal, not
// drawn behind the camera or for degenerate rays (its size in pixels, its colours and its
// facing without a normal are checked where the views draw it).

#include "hoverMarker/HoverMarkerRing.h"

#include <gtest/gtest.h>

#include <limits>

using namespace HoverMarkerRing;

namespace {

// A camera on +Z at `distance` from the origin looking down -Z, with a focal length in pixels
// and a 1280 x 1024 viewport; near and far clip at 0.1 and 1000 along the view axis.
struct PinholeCamera
{
    double distance;
    double focal = 1000.0;
    double centreX = 640.0;
    double centreY = 512.0;

    void project(const Vec3& p, double& sx, double& sy) const
    {
        const double depth = distance - p.z;
        sx = centreX + focal * p.x / depth;
        sy = centreY + focal * p.y / depth;
    }

    void ray(double sx, double sy, Vec3& nearPoint, Vec3& farPoint) const
    {
        const Vec3 direction = {(sx - centreX) / focal, (sy - centreY) / focal, -1.0};
        nearPoint = {direction.x * 0.1, direction.y * 0.1, distance - 0.1};
        farPoint = {direction.x * 1000.0, direction.y * 1000.0, distance - 1000.0};
    }

    // The ring as the draw override builds it for a marker at p.
    bool ring(const Vec3& p, const Vec3& normal, double screenRadius, Ring& out) const
    {
        double sx = 0, sy = 0;
        project(p, sx, sy);
        Vec3 near0, far0, near1, far1;
        ray(sx, sy, near0, far0);
        ray(sx + screenRadius, sy, near1, far1);
        return ringGeometry(p, normal, near0, far0, near1, far1, out);
    }
};

} // namespace

TEST(HoverMarkerRing, LiftsTheRingAlongTheStoredNormalAndFacesItNormalised)
{
    const Vec3 marker = {0.0, 0.0, 0.0};
    Ring ring;
    ASSERT_TRUE(PinholeCamera{20.0}.ring(marker, {0.0, 0.0, 2.0}, 16.0, ring));
    EXPECT_NEAR(ring.center.z, 2.0 * kLiftFactor * ring.radius, 1e-12) << "the stored normal, not normalised";
    EXPECT_DOUBLE_EQ(ring.facing.z, 1.0);
    // The outer circle is never thinner than a pixel and a quarter.
    const float amber[4] = {1.0f, 0.8f, 0.2f, 1.0f};
    EXPECT_FLOAT_EQ(ringColors(amber, 1.0f).outerLineWidth, 1.25f);
    EXPECT_FLOAT_EQ(ringColors(amber, 2.0f).outerLineWidth, 2.0f);
}

TEST(HoverMarkerRing, NothingIsDrawnBehindTheCameraOrForDegenerateRays)
{
    Ring ring;
    EXPECT_FALSE(PinholeCamera{10.0}.ring({1.0, 0.0, 15.0}, {0.0, 1.0, 0.0}, 16.0, ring)) << "behind the camera";

    const Vec3 p = {0.0, 0.0, 0.0};
    const Vec3 n = {0.0, 1.0, 0.0};
    const Vec3 a = {0.0, 0.0, 10.0};
    const Vec3 b = {0.0, 0.0, -10.0};
    EXPECT_FALSE(ringGeometry(p, n, a, a, a, b, ring)) << "a ray of no length";
    EXPECT_FALSE(ringGeometry(p, n, a, b, {0.0, 0.0, 10.0}, {10.0, 0.0, 10.0}, ring)) << "perpendicular rays";
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(ringGeometry({nan, 0.0, 0.0}, n, a, b, a, b, ring)) << "a position that is not a number";
}
