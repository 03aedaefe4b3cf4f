// Overlay picking: pick data built from the stored patch arrays, the patch BVH, the nearest
// patch along a ray and the screen test that keeps a hovered patch under a still cursor.

#include "overlay/PatchPickData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using OverlayDrawData::IntSpan;
using OverlayDrawData::PatchArrays;
using PatchPick::PickData;
using PatchPick::PickHit;

const double kIdentity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

// The eight arrays and the driver's points as a test writes them, kept alive for the spans.
struct Overlay {
    std::vector<int> vertexCounts, drivers, triOffsets, triCounts, triIndices, edgeOffsets, edgeCounts, edgeIndices;
    std::vector<float> driverPoints;

    int addPoint(double x, double y, double z)
    {
        driverPoints.insert(driverPoints.end(), {float(x), float(y), float(z)});
        return static_cast<int>(driverPoints.size() / 3 - 1);
    }

    // Appends a patch bound to `patchDrivers` whose slices start where the previous ones end.
    int add(const std::vector<int>& patchDrivers, const std::vector<int>& triangles)
    {
        vertexCounts.push_back(static_cast<int>(patchDrivers.size()));
        drivers.insert(drivers.end(), patchDrivers.begin(), patchDrivers.end());
        triOffsets.push_back(static_cast<int>(triIndices.size()));
        triCounts.push_back(static_cast<int>(triangles.size()));
        triIndices.insert(triIndices.end(), triangles.begin(), triangles.end());
        edgeOffsets.push_back(static_cast<int>(edgeIndices.size()));
        edgeCounts.push_back(0);
        return static_cast<int>(vertexCounts.size() - 1);
    }

    // A square patch of two triangles in the plane z, spanning [x0, x0 + size] x [y0, y0 + size].
    int addSquare(double x0, double y0, double z, double size = 1.0)
    {
        const int a = addPoint(x0, y0, z), b = addPoint(x0 + size, y0, z);
        const int c = addPoint(x0 + size, y0 + size, z), d = addPoint(x0, y0 + size, z);
        return add({a, b, c, d}, {0, 1, 2, 0, 2, 3});
    }

    PatchArrays arrays() const
    {
        auto span = [](const std::vector<int>& v) { return IntSpan{v.data(), static_cast<int64_t>(v.size())}; };
        return PatchArrays{span(vertexCounts), span(drivers),    span(triOffsets), span(triCounts),
                           span(triIndices),   span(edgeOffsets), span(edgeCounts), span(edgeIndices)};
    }

    bool build(PickData& data, const double (&matrix)[4][4] = kIdentity) const
    {
        return PatchPick::buildPickData(arrays(), driverPoints.data(), int64_t(driverPoints.size() / 3), matrix,
                                        data);
    }
};

PickData built(const Overlay& overlay)
{
    PickData data;
    EXPECT_TRUE(overlay.build(data));
    return data;
}

PickHit pickDown(const PickData& data, double x, double y, double fromZ = 10.0)
{
    const double origin[3] = {x, y, fromZ};
    const double down[3] = {0, 0, -1};
    return PatchPick::rayPick(data, origin, down);
}

// Projects world x, y straight to pixels; points with x beyond `failBeyondX` fail. With
// `windowed`, it tells the square around the mouse, so that the screen test skips what lies
// outside; it counts its projections.
class FlatProjector : public PatchPick::ScreenProjector {
public:
    double failBeyondX = 1e300;
    bool windowed = false;
    mutable int projections = 0;
    bool project(const double world[3], double pixel[2]) const override
    {
        ++projections;
        pixel[0] = world[0];
        pixel[1] = world[1];
        return world[0] <= failBeyondX;
    }
    bool window(const double pixel[2], double radius, PatchPick::ScreenWindow& window) const override
    {
        const PatchPick::ScreenWindow square = {{{1, 0, 0, radius - pixel[0]},
                                                 {-1, 0, 0, radius + pixel[0]},
                                                 {0, 1, 0, radius - pixel[1]},
                                                 {0, -1, 0, radius + pixel[1]}},
                                                {0, 0, 0, 1}};
        window = square;
        return windowed;
    }
};

PickHit screenTest(const PickData& data, int32_t patch, double mouseX, double mouseY, double margin,
                   const FlatProjector& projector = FlatProjector())
{
    const double mouse[2] = {mouseX, mouseY};
    const double origin[3] = {mouseX, mouseY, 10.0};
    const double down[3] = {0, 0, -1};
    return PatchPick::screenTestPatch(data, patch, projector, mouse, margin, origin, down);
}

} // namespace

TEST(PatchPickBuild, PlacesPointsByTheMatrixAsRowVectorsAndBoundsThem)
{
    Overlay overlay;
    overlay.addSquare(0, 0, 0);
    // Scale by 2, then move by (10, 20, 30): rows are axes, the last row the translation.
    const double matrix[4][4] = {{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {10, 20, 30, 1}};
    PickData data;
    ASSERT_TRUE(overlay.build(data, matrix));
    ASSERT_EQ(data.points.size(), 12u);
    EXPECT_EQ(std::vector<double>(data.points.begin() + 6, data.points.begin() + 9), (std::vector<double>{12, 22, 30}));
    ASSERT_EQ(data.patches.size(), 1u);
    EXPECT_TRUE(data.patches[0].hasBounds);
    EXPECT_EQ(data.patches[0].bounds.min[0], 10);
    EXPECT_EQ(data.patches[0].bounds.max[1], 22);

    const PickHit hit = pickDown(data, 11, 21, 40);
    EXPECT_TRUE(hit.hit);
    EXPECT_DOUBLE_EQ(hit.distance, 10.0);
}

TEST(PatchPickBuild, InvalidDriverIdsSitAtTheOriginAndDoNotCountForBounds)
{
    Overlay overlay;
    const int a = overlay.addPoint(5, 5, 1), b = overlay.addPoint(6, 5, 1), c = overlay.addPoint(6, 6, 1);
    overlay.add({a, -1, b, 99, c}, {0, 2, 4});
    overlay.add({-3, 1000}, {0, 1, 0});
    PickData data;
    ASSERT_TRUE(overlay.build(data));
    const std::vector<double> origin{0, 0, 0};
    EXPECT_EQ(std::vector<double>(data.points.begin() + 3, data.points.begin() + 6), origin);
    EXPECT_EQ(std::vector<double>(data.points.begin() + 9, data.points.begin() + 12), origin);
    EXPECT_EQ(data.patches[0].bounds.min[0], 5);
    EXPECT_EQ(data.patches[0].bounds.min[2], 1);
    // A patch with no valid vertex has no bounds, stays out of the BVH and is never hit.
    EXPECT_FALSE(data.patches[1].hasBounds);
    ASSERT_EQ(data.patchEntries.size(), 1u);
    EXPECT_EQ(data.patchEntries[0].patch, 0u);
    EXPECT_EQ(pickDown(data, 5.9, 5.5).patch, 0);
}

TEST(PatchPickBuild, TriangleWithCornerAtTheOriginIsHitOnlyInsideThePatchBounds)
{
    Overlay overlay;
    const int a = overlay.addPoint(4, 0, 0), b = overlay.addPoint(4, 4, 0), c = overlay.addPoint(2, 4, 0);
    overlay.add({a, b, c, -1}, {0, 1, 3, 1, 2, 0});
    PickData data = built(overlay);
    for (const float y : {4.0f, 4.5f}) { // as built, then after a corner moved
        overlay.driverPoints[size_t(b) * 3 + 1] = y;
        ASSERT_NE(PatchPick::refitPickData(data, overlay.driverPoints.data(), 3, kIdentity),
                  PatchPick::Refit::kNeedsRebuild);
        EXPECT_EQ(pickDown(data, 3, 3.5).patch, 0);
        // (1, 0.5) lies on the triangle reaching to the unbound corner, but outside the bounds.
        EXPECT_FALSE(pickDown(data, 1, 0.5).hit);
    }
}

TEST(PatchPickBuild, NonFinitePointsStayOutOfBoundsAndAreNeverHit)
{
    // Damaged driver points: a patch with one NaN corner keeps bounds from its other corners,
    // patches made only of NaN or infinite points have none, and the BVH over the rest still
    // finds every finite square.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Overlay overlay;
    for (int i = 0; i < 8; ++i) {
        overlay.addSquare(2.0 * i, 0, 0);
    }
    const int a = overlay.addPoint(nan, 0, 0), b = overlay.addPoint(1, nan, 0), c = overlay.addPoint(inf, 1, 0);
    const int d = overlay.addPoint(-inf, 1, 0); // with c, a box whose centre would be NaN
    overlay.add({a, b, c, d}, {0, 1, 2, 1, 2, 3});
    overlay.add({c, d}, {0, 1, 0});
    overlay.driverPoints[3] = float(nan); // the second corner of square 0
    PickData data;
    ASSERT_TRUE(overlay.build(data));
    EXPECT_TRUE(data.patches[0].hasBounds);
    EXPECT_EQ(data.patches[0].bounds.min[0], 0);
    EXPECT_EQ(data.patches[0].bounds.min[1], 0);
    EXPECT_FALSE(data.patches[8].hasBounds);
    EXPECT_FALSE(data.patches[9].hasBounds);
    EXPECT_EQ(data.patchEntries.size(), 8u);
    for (int i = 1; i < 8; ++i) {
        EXPECT_EQ(pickDown(data, 2.0 * i + 0.75, 0.25).patch, i) << i;
    }
    // Square 0's first triangle (0, 1, 2) has the NaN corner; its second one (0, 2, 3) still counts.
    EXPECT_FALSE(pickDown(data, 0.75, 0.25).hit);
    EXPECT_EQ(pickDown(data, 0.25, 0.75).patch, 0);
    const double origin[3] = {nan, 0, 10};
    const double down[3] = {0, 0, -1};
    EXPECT_FALSE(PatchPick::rayPick(data, origin, down).hit);
}

TEST(PatchPickBuild, MissingOrShortArraysFailAndClearTheData)
{
    Overlay good;
    good.addSquare(0, 0, 0);
    good.addSquare(2, 0, 0);

    struct Damage {
        const char* what;
        void (*apply)(Overlay&);
    };
    const Damage damages[] = {
        {"no patches", [](Overlay& o) { o.vertexCounts.clear(); }},
        {"short triangle offsets", [](Overlay& o) { o.triOffsets.pop_back(); }},
        {"short triangle counts", [](Overlay& o) { o.triCounts.pop_back(); }},
        {"short edge offsets", [](Overlay& o) { o.edgeOffsets.pop_back(); }},
        {"short edge counts", [](Overlay& o) { o.edgeCounts.pop_back(); }},
        {"negative vertex count", [](Overlay& o) { o.vertexCounts[1] = -4; }},
        {"driver ids shorter than the vertex counts", [](Overlay& o) { o.drivers.pop_back(); }},
    };
    for (const Damage& damage : damages) {
        Overlay overlay = good;
        damage.apply(overlay);
        PickData data = built(good);
        EXPECT_FALSE(overlay.build(data)) << damage.what;
        EXPECT_TRUE(data.points.empty() && data.patches.empty() && data.nodes.empty() && data.triangleIndices.empty())
            << damage.what;
        EXPECT_FALSE(pickDown(data, 0.5, 0.5).hit) << damage.what;
    }
    PickData data = built(good);
    EXPECT_FALSE(PatchPick::buildPickData(good.arrays(), nullptr, 8, kIdentity, data)) << "no driver points";
    EXPECT_TRUE(data.patches.empty());
}

TEST(PatchPickBuild, VertexCountsWhoseSumWrapsIn32BitsFailInsteadOfReadingPastTheDriverIds)
{
    // 2^31 - 1 + 2^31 - 1 + 2 is 2^32: zero in 32 bits, which the empty driver id list would match.
    Overlay overlay;
    overlay.vertexCounts = {INT_MAX, INT_MAX, 2};
    overlay.triOffsets = overlay.triCounts = overlay.edgeOffsets = overlay.edgeCounts = {0, 0, 0};
    overlay.addPoint(0, 0, 0);
    PickData data;
    EXPECT_FALSE(overlay.build(data));
    EXPECT_TRUE(data.patches.empty());

    // The same when the true sum merely exceeds 32-bit offsets.
    overlay.vertexCounts = {INT_MAX, INT_MAX, INT_MAX};
    EXPECT_FALSE(overlay.build(data));
}

TEST(PatchPickBuild, NegativeStoredOffsetsAndCountsReadAsZero)
{
    Overlay overlay;
    overlay.addSquare(0, 0, 0);
    overlay.triOffsets[0] = -6;
    overlay.edgeCounts[0] = -2;
    PickData data;
    ASSERT_TRUE(overlay.build(data));
    EXPECT_EQ(data.patches[0].triOffset, 0u);
    EXPECT_EQ(data.patches[0].edgeCount, 0u);
    EXPECT_TRUE(pickDown(data, 0.5, 0.2).hit);

    overlay.triCounts[0] = -6;
    ASSERT_TRUE(overlay.build(data));
    EXPECT_EQ(data.patches[0].triCount, 0u);
    EXPECT_FALSE(pickDown(data, 0.5, 0.2).hit);
}

TEST(PatchRayPick, StackedPatchesGiveTheNearestWithPointAndNormal)
{
    Overlay overlay;
    overlay.addSquare(0, 0, 1);
    overlay.addSquare(0, 0, 3);
    overlay.addSquare(0, 0, 2);
    const PickData data = built(overlay);

    const PickHit fromAbove = pickDown(data, 0.25, 0.5);
    EXPECT_TRUE(fromAbove.hit);
    EXPECT_EQ(fromAbove.patch, 1);
    EXPECT_DOUBLE_EQ(fromAbove.distance, 7.0);
    EXPECT_DOUBLE_EQ(fromAbove.point[2], 3.0);
    EXPECT_DOUBLE_EQ(fromAbove.point[0], 0.25);
    EXPECT_EQ(fromAbove.normal[2], 1.0); // counter-clockwise seen from above

    const double below[3] = {0.5, 0.25, -5};
    const double up[3] = {0, 0, 1};
    const PickHit fromBelow = PatchPick::rayPick(data, below, up);
    EXPECT_EQ(fromBelow.patch, 0);
    EXPECT_DOUBLE_EQ(fromBelow.distance, 6.0);

    // Starting between the layers, the ray finds the next one down, not the one behind it.
    EXPECT_EQ(pickDown(data, 0.5, 0.5, 2.5).patch, 2);
}

TEST(PatchRayPick, MissesGiveNoPatch)
{
    Overlay overlay;
    overlay.addSquare(0, 0, 0);
    const PickData data = built(overlay);
    for (const PickHit& hit : {pickDown(data, 1.5, 0.5), pickDown(data, 0.5, 0.5, -1.0)}) {
        EXPECT_FALSE(hit.hit);
        EXPECT_EQ(hit.patch, -1);
        EXPECT_EQ(hit.distance, std::numeric_limits<double>::max());
        EXPECT_EQ(hit.normal[1], 1.0);
    }
    EXPECT_FALSE(pickDown(PickData(), 0.5, 0.5).hit);
    // A surface at the ray's origin is not hit.
    EXPECT_FALSE(pickDown(data, 0.5, 0.5, 0.0).hit);
}

TEST(PatchRayPick, ARayExactlyOnAPatchsOuterEdgeHitsIt)
{
    // The square's sides are each edge condition of its two triangles, tested as a pair; the
    // lone triangle after it is tested on its own.
    Overlay overlay;
    overlay.addSquare(0, 0, 0);
    const int a = overlay.addPoint(2, 0, 0), b = overlay.addPoint(3, 0, 0), c = overlay.addPoint(2, 1, 0);
    overlay.add({a, b, c}, {0, 1, 2});
    const PickData data = built(overlay);
    const double onEdges[][2] = {{0.5, 0}, {1, 0.5}, {0, 0.5}, {0.5, 1}, {2.5, 0}, {2, 0.5}, {2.5, 0.5}};
    for (const auto& at : onEdges)
        EXPECT_TRUE(pickDown(data, at[0], at[1]).hit) << at[0] << ", " << at[1];
    EXPECT_FALSE(pickDown(data, 0.5, -1e-9).hit);
}

TEST(PatchRayPick, RayInTheTrianglesPlaneAndDegenerateTrianglesNeverHit)
{
    Overlay overlay;
    overlay.addSquare(0, 0, 0);
    const int a = overlay.addPoint(5, 0, 0), b = overlay.addPoint(6, 1, 0), c = overlay.addPoint(7, 2, 0);
    overlay.add({a, b, c, a}, {0, 1, 2, 0, 3, 1}); // collinear, then two corners on one vertex
    const PickData data = built(overlay);

    const double inPlane[3] = {-1, 0.5, 0};
    const double alongX[3] = {1, 0, 0};
    EXPECT_FALSE(PatchPick::rayPick(data, inPlane, alongX).hit);
    EXPECT_FALSE(pickDown(data, 6, 1).hit);
}

TEST(PatchRayPick, CornersOutOfRangeAndSlicesPastTheIndexListAreSkipped)
{
    Overlay overlay;
    const int a = overlay.addPoint(0, 0, 0), b = overlay.addPoint(1, 0, 0), c = overlay.addPoint(1, 1, 0);
    const int d = overlay.addPoint(0, 1, 0);
    overlay.add({a, b, c, d}, {0, 1, 2, 0, 2, 4});
    const PickData data = built(overlay);
    EXPECT_TRUE(pickDown(data, 0.7, 0.2).hit);
    EXPECT_FALSE(pickDown(data, 0.2, 0.7).hit) << "corner 4 is not a vertex of the patch";

    // A slice reaching past the list keeps its whole triangles only.
    Overlay shortList = overlay;
    shortList.triIndices = {0, 2, 3, 0, 1};
    shortList.triCounts = {9};
    const PickData clipped = built(shortList);
    EXPECT_TRUE(pickDown(clipped, 0.2, 0.7).hit);
    EXPECT_FALSE(pickDown(clipped, 0.7, 0.2).hit);

    shortList.triIndices = {0, -1, 2};
    shortList.triCounts = {3};
    EXPECT_FALSE(pickDown(built(shortList), 0.7, 0.2).hit);
}

TEST(PatchRayPick, EqualDistancesInAPatchKeepTheTriangleListedFirst)
{
    // Twelve copies of one triangle (so the patch has a tree), the first six wound one way, the
    // rest the other: at equal distance the first listed gives the normal.
    Overlay overlay;
    const int a = overlay.addPoint(0, 0, 0), b = overlay.addPoint(1, 0, 0), c = overlay.addPoint(1, 1, 0);
    const int d = overlay.addPoint(0, 1, 0);
    auto triangles = [](bool clockwiseFirst) {
        std::vector<int> list;
        for (int i = 0; i < 12; ++i) {
            const bool clockwise = (i < 6) == clockwiseFirst;
            const std::vector<int> corners = clockwise ? std::vector<int>{0, 2, 1} : std::vector<int>{0, 1, 2};
            list.insert(list.end(), corners.begin(), corners.end());
        }
        return list;
    };
    overlay.add({a, b, c, d}, triangles(true));
    EXPECT_EQ(pickDown(built(overlay), 0.7, 0.2).normal[2], -1.0);
    overlay.triIndices = triangles(false);
    EXPECT_EQ(pickDown(built(overlay), 0.7, 0.2).normal[2], 1.0);
}

namespace {

// Every patch, every listed triangle, in order: the pick without any tree.
PickHit bruteForcePick(const PickData& data, const double origin[3], const double direction[3])
{
    PickHit best;
    for (size_t index = 0; index < data.patches.size(); ++index) {
        const PatchPick::PickPatch& patch = data.patches[index];
        if (!patch.hasBounds) {
            continue;
        }
        for (uint32_t k = 0; k + 2 < patch.triCount; k += 3) {
            const size_t at = patch.triOffset + k;
            if (at + 2 >= data.triangleIndices.size()) {
                break;
            }
            const double* corner[3];
            bool inside = true;
            for (int i = 0; i < 3; ++i) {
                const int local = data.triangleIndices[at + size_t(i)];
                inside = inside && local >= 0 && uint32_t(local) < patch.vertexCount;
                corner[i] = inside ? &data.points[(patch.vertexBase + size_t(local)) * 3] : nullptr;
            }
            if (!inside) {
                continue;
            }
            double e1[3], e2[3], p[3], s[3], q[3];
            for (int i = 0; i < 3; ++i) {
                e1[i] = corner[1][i] - corner[0][i];
                e2[i] = corner[2][i] - corner[0][i];
                s[i] = origin[i] - corner[0][i];
            }
            p[0] = direction[1] * e2[2] - direction[2] * e2[1];
            p[1] = direction[2] * e2[0] - direction[0] * e2[2];
            p[2] = direction[0] * e2[1] - direction[1] * e2[0];
            const double det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
            if (!(std::fabs(det) >= 1e-8)) { // written as the condition to pass: NaN never passes
                continue;
            }
            const double u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) * (1.0 / det);
            q[0] = s[1] * e1[2] - s[2] * e1[1];
            q[1] = s[2] * e1[0] - s[0] * e1[2];
            q[2] = s[0] * e1[1] - s[1] * e1[0];
            const double v = (direction[0] * q[0] + direction[1] * q[1] + direction[2] * q[2]) * (1.0 / det);
            const double t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) * (1.0 / det);
            if (!(u >= 0 && u <= 1 && v >= 0 && u + v <= 1 && t > 1e-6 && t < best.distance)) {
                continue;
            }
            best.hit = true;
            best.patch = int32_t(index);
            best.triangle = int32_t(k / 3);
            best.distance = t;
            const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                 e1[0] * e2[1] - e1[1] * e2[0]};
            const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            for (int i = 0; i < 3; ++i) {
                best.normal[i] = n[i] / length;
            }
        }
    }
    return best;
}

} // namespace

namespace {

// 100 bumpy patches of 50 to 100 triangles and four of 1,152 (whose trees have inner nodes),
// randomly placed, tilted and overlapping. Then ten twins, each holding the triangles of two
// neighbours listed backwards, so that rays meet equal distances in trees of other shapes.
Overlay bumpyOverlay(std::mt19937& random)
{
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    Overlay overlay;
    std::vector<int> lastDrivers, lastTriangles;
    std::vector<std::pair<std::vector<int>, std::vector<int>>> twins;
    for (int p = 0; p < 100; ++p) {
        const double cx = unit(random) * 8, cy = unit(random) * 8, cz = unit(random) * 8;
        const double tilt = unit(random), turn = unit(random) * 3;
        const int side = p % 25 == 0 ? 24 : 5 + p % 3;
        std::vector<int> drivers, triangles;
        for (int j = 0; j <= side; ++j) {
            for (int i = 0; i <= side; ++i) {
                const double x = i * 0.4, y = j * 0.4, z = 0.1 * std::sin(i * 1.7 + j + p);
                const double yz = y * std::cos(tilt) - z * std::sin(tilt), zz = y * std::sin(tilt) + z * std::cos(tilt);
                drivers.push_back(overlay.addPoint(cx + x * std::cos(turn) - yz * std::sin(turn),
                                                   cy + x * std::sin(turn) + yz * std::cos(turn), cz + zz));
            }
        }
        for (int j = 0; j < side; ++j) {
            for (int i = 0; i < side; ++i) {
                const int a = j * (side + 1) + i, b = a + 1, c = a + side + 2, d = a + side + 1;
                triangles.insert(triangles.end(), {a, b, c, a, c, d});
            }
        }
        overlay.add(drivers, triangles);
        if (p % 10 == 9) {
            std::vector<int> twinDrivers = lastDrivers, twinTriangles;
            twinDrivers.insert(twinDrivers.end(), drivers.begin(), drivers.end());
            for (int corner : triangles) {
                lastTriangles.push_back(corner + int(lastDrivers.size()));
            }
            for (size_t k = lastTriangles.size(); k >= 3; k -= 3) {
                twinTriangles.insert(twinTriangles.end(), lastTriangles.end() - 3, lastTriangles.end());
                lastTriangles.resize(k - 3);
            }
            twins.emplace_back(twinDrivers, twinTriangles);
        }
        lastDrivers = drivers;
        lastTriangles = triangles;
    }
    for (const auto& twin : twins) {
        overlay.add(twin.first, twin.second);
    }
    return overlay;
}

using Pick = PickHit (*)(const PickData&, const double*, const double*);

// Casts `rays` rays from all sides into the patches, grazing ones included, and expects the
// pick on `data` to give exactly what `referencePick` gives on `reference`; returns the hits.
int expectSamePicks(const PickData& data, const PickData& reference, Pick referencePick, std::mt19937& random,
                    int rays)
{
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int hits = 0;
    for (int r = 0; r < rays; ++r) {
        double origin[3] = {unit(random) * 15, unit(random) * 15, unit(random) * 15};
        // Aimed into the cloud of patches, so most rays cross several.
        double direction[3] = {unit(random) * 8 - origin[0], unit(random) * 8 - origin[1], unit(random) * 8 - origin[2]};
        if (r % 10 == 0) {
            direction[r % 3] *= r % 20 == 0 ? 1e-9 : 1e-13; // near and below the slab's parallel threshold
        }
        const double length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] +
                                         direction[2] * direction[2]);
        for (double& component : direction) {
            component /= length;
        }
        const PickHit fast = PatchPick::rayPick(data, origin, direction);
        const PickHit slow = referencePick(reference, origin, direction);
        EXPECT_EQ(fast.patch, slow.patch) << "ray " << r;
        EXPECT_EQ(fast.triangle, slow.triangle) << "ray " << r;
        EXPECT_EQ(fast.distance, slow.distance) << "ray " << r;
        if (fast.patch != slow.patch || fast.triangle != slow.triangle || fast.distance != slow.distance) {
            return hits;
        }
        if (slow.hit) {
            ++hits;
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(fast.normal[i], slow.normal[i]) << "ray " << r;
                EXPECT_DOUBLE_EQ(fast.point[i], origin[i] + slow.distance * direction[i]) << "ray " << r;
            }
        }
    }
    return hits;
}

} // namespace

TEST(PatchRayPick, TreesAgreeWithTestingEveryTriangle)
{
    std::mt19937 random(2024);
    const PickData data = built(bumpyOverlay(random));
    ASSERT_GT(data.nodes.size(), 100u);
    EXPECT_GT(expectSamePicks(data, data, bruteForcePick, random, 2000), 800);
}

TEST(PatchPickRefit, RefittedDataPicksAsFreshlyBuiltData)
{
    // The driver moves in ways a rig moves it, and in damaging ways; the refitted data must
    // answer every ray as data built from the moved points does (which the test above holds to
    // testing every triangle). Each motion is applied to
    // data that has already followed the one before it.
    struct Motion {
        const char* what;
        PatchPick::Refit expected;
        void (*apply)(Overlay&, double (&)[4][4]);
    };
    const Motion motions[] = {
        {"nothing moved", PatchPick::Refit::kUnchanged, [](Overlay&, double (&)[4][4]) {}},
        {"one vertex nudged", PatchPick::Refit::kRefitted, [](Overlay& o, double (&)[4][4]) { o.driverPoints[301] += 0.3f; }},
        {"a spike pulled out of the largest patch's middle", PatchPick::Refit::kRefitted,
         [](Overlay& o, double (&)[4][4]) {
             for (int a = 0; a < 3; ++a) {
                 o.driverPoints[312 * 3 + a] += 4.0f; // every box on its way to the root grows
             }
         }},
        {"a border vertex pulled in", PatchPick::Refit::kRefitted,
         [](Overlay& o, double (&)[4][4]) { o.driverPoints[0] = o.driverPoints[3]; }},
        {"a few vertices thrown far out", PatchPick::Refit::kRefitted,
         [](Overlay& o, double (&)[4][4]) {
             for (size_t k = 900; k < 930; k += 3) {
                 o.driverPoints[k] *= 40.0f;
             }
         }},
        {"triangles collapsed onto points and lines", PatchPick::Refit::kRefitted,
         [](Overlay& o, double (&)[4][4]) {
             for (size_t v = 40; v < 60; ++v) { // in patch 0: some triangles lose their area
                 for (int a = 0; a < 3; ++a) {
                     o.driverPoints[v * 3 + size_t(a)] = o.driverPoints[40 * 3 + size_t(a)];
                 }
             }
         }},
        {"every vertex waves", PatchPick::Refit::kRefitted,
         [](Overlay& o, double (&)[4][4]) {
             for (size_t k = 0; k < o.driverPoints.size(); k += 3) {
                 o.driverPoints[k + 2] += 0.2f * std::sin(float(k) * 0.01f);
             }
         }},
        {"the driver turned and moved", PatchPick::Refit::kRefitted,
         [](Overlay&, double (&m)[4][4]) {
             const double turned[4][4] = {{0.8, 0.6, 0, 0}, {-0.6, 0.8, 0, 0}, {0, 0, 1, 0}, {30, -3, 5, 1}};
             std::copy(&turned[0][0], &turned[0][0] + 16, &m[0][0]);
         }},
        {"a vertex turned to NaN", PatchPick::Refit::kRefitted,
         [](Overlay& o, double (&)[4][4]) { o.driverPoints[1000] = std::numeric_limits<float>::quiet_NaN(); }},
        {"a patch's every vertex turned to NaN", PatchPick::Refit::kNeedsRebuild,
         [](Overlay& o, double (&)[4][4]) {
             for (const int driver : std::vector<int>(o.drivers.begin() + 625, o.drivers.begin() + 674)) {
                 o.driverPoints[size_t(driver) * 3] = std::numeric_limits<float>::quiet_NaN();
             }
         }},
        {"the driver lost a vertex", PatchPick::Refit::kNeedsRebuild,
         [](Overlay& o, double (&)[4][4]) { o.driverPoints.resize(o.driverPoints.size() - 3); }},
    };
    std::mt19937 random(77);
    Overlay overlay = bumpyOverlay(random);
    double matrix[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    PickData data = built(overlay);
    // Placed from the same points, it follows with only the vertices the first refit saw move.
    PickData follower = built(overlay);
    for (const Motion& motion : motions) {
        motion.apply(overlay, matrix);
        PatchPick::ChangedVertices changed;
        const PatchPick::Refit result = PatchPick::refitPickData(
            data, overlay.driverPoints.data(), int64_t(overlay.driverPoints.size() / 3), matrix, nullptr, &changed);
        EXPECT_EQ(result, motion.expected) << motion.what;
        EXPECT_EQ(PatchPick::refitPickData(follower, overlay.driverPoints.data(),
                                           int64_t(overlay.driverPoints.size() / 3), matrix, &changed),
                  result)
            << motion.what;
        if (result == PatchPick::Refit::kNeedsRebuild) {
            ASSERT_TRUE(overlay.build(data, matrix) && overlay.build(follower, matrix)) << motion.what;
            continue;
        }
        PickData rebuilt;
        ASSERT_TRUE(overlay.build(rebuilt, matrix)) << motion.what;
        for (const PickData* refitted : {&data, &follower}) {
            EXPECT_TRUE(refitted->points.size() == rebuilt.points.size() &&
                        std::memcmp(refitted->points.data(), rebuilt.points.data(),
                                    rebuilt.points.size() * sizeof(double)) == 0)
                << motion.what;
        }
        SCOPED_TRACE(motion.what);
        expectSamePicks(data, rebuilt, PatchPick::rayPick, random, 1000);
        expectSamePicks(follower, rebuilt, PatchPick::rayPick, random, 200);
    }

    // A patch thrown far outside the boxes' frame, where single precision measured from the
    // old frame rounds coarser than its padding: rays aimed at its corners still hit as on
    // rebuilt data.
    const std::vector<int> thrown(overlay.drivers.begin() + 674, overlay.drivers.begin() + 738);
    for (const int driver : thrown) {
        overlay.driverPoints[size_t(driver) * 3] += 2e6f;
        overlay.driverPoints[size_t(driver) * 3 + 1] -= 1e6f;
    }
    ASSERT_EQ(PatchPick::refitPickData(data, overlay.driverPoints.data(), int64_t(overlay.driverPoints.size() / 3),
                                       matrix),
              PatchPick::Refit::kRefitted);
    PickData rebuilt;
    ASSERT_TRUE(overlay.build(rebuilt, matrix));
    auto placed = [&](int driver, int axis) {
        const float* raw = &overlay.driverPoints[size_t(driver) * 3];
        return raw[0] * matrix[0][axis] + raw[1] * matrix[1][axis] + raw[2] * matrix[2][axis] + matrix[3][axis];
    };
    double centre[3] = {0.0, 0.0, 0.0};
    for (const int driver : thrown) {
        for (int a = 0; a < 3; ++a) {
            centre[a] += placed(driver, a) / double(thrown.size());
        }
    }
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int hits = 0;
    for (int r = 0; r < 160; ++r) {
        // Aimed at the patch's corners, which only one leaf's box holds.
        const int driver = thrown[size_t((r % 4) / 2 * 56 + (r % 2) * 7)];
        double direction[3] = {unit(random) * 0.3, unit(random) * 0.3, -1.0};
        const double length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + 1.0);
        double origin[3];
        for (int a = 0; a < 3; ++a) {
            direction[a] /= length;
            origin[a] = placed(driver, a) + 1e-6 * (centre[a] - placed(driver, a)) - 5.0 * direction[a];
        }
        const PickHit refitted = PatchPick::rayPick(data, origin, direction);
        const PickHit fresh = PatchPick::rayPick(rebuilt, origin, direction);
        EXPECT_EQ(refitted.patch, fresh.patch) << "ray " << r;
        EXPECT_EQ(refitted.distance, fresh.distance) << "ray " << r;
        hits += fresh.hit ? 1 : 0;
    }
    EXPECT_GT(hits, 100);
}

TEST(PatchScreenTest, MouseWithinTheMarginOfAnEdgeKeepsThePatch)
{
    Overlay overlay;
    overlay.addSquare(0, 0, 0, 10);
    const PickData data = built(overlay);

    const PickHit inside = screenTest(data, 0, 4, 3, 0.5);
    EXPECT_TRUE(inside.hit);
    EXPECT_EQ(inside.patch, 0);
    EXPECT_DOUBLE_EQ(inside.distance, 10.0);
    EXPECT_EQ(inside.normal[2], 1.0);

    // Half a pixel below the bottom edge is on the boundary of the 0.5 margin.
    EXPECT_TRUE(screenTest(data, 0, 4, -0.5, 0.5).hit);
    EXPECT_FALSE(screenTest(data, 0, 4, -0.625, 0.5).hit);
    EXPECT_TRUE(screenTest(data, 0, 4, -0.625, 0.75).hit);
    EXPECT_TRUE(screenTest(data, 0, 10.75, 4, 0.75).hit);
    EXPECT_FALSE(screenTest(data, 0, 10.875, 4, 0.75).hit);
}

TEST(PatchScreenTest, EitherWindingOnScreenCounts)
{
    Overlay overlay;
    const int a = overlay.addPoint(0, 0, 2), b = overlay.addPoint(8, 0, 2), c = overlay.addPoint(0, 8, 2);
    overlay.add({a, b, c}, {0, 2, 1}); // clockwise on screen
    const PickData data = built(overlay);
    EXPECT_TRUE(screenTest(data, 0, 2, 2, 0.5).hit);
    EXPECT_TRUE(screenTest(data, 0, 4.25, 4.25, 0.5).hit); // outside the hypotenuse by under 0.5
    EXPECT_FALSE(screenTest(data, 0, 4.5, 4.5, 0.5).hit);
    EXPECT_EQ(screenTest(data, 0, 2, 2, 0.5).normal[2], -1.0);
}

TEST(PatchScreenTest, ASliverSeenEdgeOnHoldsTheMouseOnlyNearItself)
{
    // Within 0.75 pixel outside each edge's line, a sliver's corners reach thousands of pixels
    // away; the triangle's screen box keeps the margin near the triangle.
    Overlay overlay;
    const int a = overlay.addPoint(0, 0, 0), b = overlay.addPoint(100, 0, 0), c = overlay.addPoint(50, 0.01, 0);
    overlay.add({a, b, c}, {0, 1, 2});
    const PickData data = built(overlay);
    EXPECT_TRUE(screenTest(data, 0, 50, 0.5, 0.75).hit);
    EXPECT_TRUE(screenTest(data, 0, 100.5, 0.004, 0.75).hit);
    EXPECT_FALSE(screenTest(data, 0, 3000, 0.003, 0.75).hit);
    EXPECT_FALSE(screenTest(data, 0, -2000, 0.003, 0.75).hit);
}

TEST(PatchScreenTest, TheTreeSkipsOnlyWhatLiesOutsideTheMouseWindow)
{
    // The big bumpy patches seen from above: with and without the window, every mouse
    // position gets the same answer, and away from a patch the window spares nearly every
    // projection.
    std::mt19937 random(5);
    const PickData data = built(bumpyOverlay(random));
    FlatProjector all, windowed;
    windowed.windowed = true;
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    int hits = 0;
    for (int k = 0; k < 400; ++k) {
        const int32_t patch = 25 * (k % 4);
        const double mouse[2] = {unit(random) * 12, unit(random) * 12};
        const double origin[3] = {mouse[0], mouse[1], 20.0};
        const double down[3] = {0, 0, -1};
        const PickHit expected = PatchPick::screenTestPatch(data, patch, all, mouse, 0.75, origin, down);
        const PickHit culled = PatchPick::screenTestPatch(data, patch, windowed, mouse, 0.75, origin, down);
        ASSERT_EQ(culled.hit, expected.hit) << k;
        ASSERT_EQ(culled.distance, expected.distance) << k;
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(culled.normal[i], expected.normal[i]) << k;
        }
        hits += expected.hit ? 1 : 0;
    }
    EXPECT_GT(hits, 20);
    EXPECT_LT(windowed.projections * 20, all.projections);
}

TEST(PatchScreenTest, PatchIndexOutsideTheDataNeverHits)
{
    Overlay overlay;
    overlay.addSquare(0, 0, 0, 10);
    const PickData data = built(overlay);
    for (int32_t patch : {-1, 1, INT32_MAX, INT32_MIN}) {
        EXPECT_FALSE(screenTest(data, patch, 4, 4, 0.75).hit) << patch;
        EXPECT_EQ(screenTest(data, patch, 4, 4, 0.75).patch, -1) << patch;
    }
    EXPECT_FALSE(screenTest(PickData(), 0, 4, 4, 0.75).hit);
}

TEST(PatchScreenTest, SkipsFailedProjectionsEdgeOnTrianglesAndPlanesAlongTheRay)
{
    Overlay overlay;
    overlay.addSquare(0, 0, 0, 10);
    const PickData data = built(overlay);
    // The first triangle (0, 1, 2) has corners at x = 10, the second (0, 2, 3) one too.
    FlatProjector failing;
    failing.failBeyondX = 9;
    EXPECT_FALSE(screenTest(data, 0, 6, 2, 0.5, failing).hit);

    // A patch standing in the view's direction projects to a line.
    Overlay wall;
    const int a = wall.addPoint(0, 0, 0), b = wall.addPoint(4, 0, 0), c = wall.addPoint(4, 0, 4);
    wall.add({a, b, c}, {0, 1, 2});
    EXPECT_FALSE(screenTest(built(wall), 0, 2, 0, 0.75).hit);

    // The plane behind the ray's origin is not accepted.
    const double mouse[2] = {4, 4};
    const double origin[3] = {4, 4, -1};
    const double down[3] = {0, 0, -1};
    EXPECT_FALSE(PatchPick::screenTestPatch(data, 0, FlatProjector(), mouse, 0.75, origin, down).hit);
}

TEST(PatchScreenTest, NearestAcceptedTriangleGivesTheHit)
{
    Overlay overlay;
    const int a = overlay.addPoint(0, 0, 1), b = overlay.addPoint(8, 0, 1), c = overlay.addPoint(0, 8, 1);
    const int d = overlay.addPoint(0, 0, 4), e = overlay.addPoint(8, 0, 4), f = overlay.addPoint(0, 8, 4);
    overlay.add({a, b, c, d, e, f}, {0, 1, 2, 3, 4, 5});
    const PickHit hit = screenTest(built(overlay), 0, 1, 1, 0.5);
    EXPECT_TRUE(hit.hit);
    EXPECT_DOUBLE_EQ(hit.distance, 6.0);
    EXPECT_DOUBLE_EQ(hit.point[2], 4.0);
}
