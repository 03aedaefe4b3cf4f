// Overlay drawing data: render topology from the stored patch arrays, the split of the
// triangles by highlight state, the readout anchor and the placement of render vertices.

#include "overlay/OverlayDrawData.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace {

using OverlayDrawData::HighlightPartition;
using OverlayDrawData::IntSpan;
using OverlayDrawData::PatchArrays;
using OverlayDrawData::PatchRange;
using OverlayDrawData::Topology;
using Indices = std::vector<uint32_t>;

// The eight arrays as a test writes them, kept alive for the spans.
struct StoredPatches {
    std::vector<int> vertexCounts, drivers, triOffsets, triCounts, triIndices, edgeOffsets, edgeCounts, edgeIndices;

    PatchArrays arrays() const
    {
        auto span = [](const std::vector<int>& v) { return IntSpan{v.data(), static_cast<int64_t>(v.size())}; };
        return PatchArrays{span(vertexCounts), span(drivers),    span(triOffsets), span(triCounts),
                           span(triIndices),   span(edgeOffsets), span(edgeCounts), span(edgeIndices)};
    }

    // Appends a patch whose slices start where the previous ones end.
    void add(const std::vector<int>& patchDrivers, const std::vector<int>& triangles, const std::vector<int>& edges)
    {
        vertexCounts.push_back(static_cast<int>(patchDrivers.size()));
        drivers.insert(drivers.end(), patchDrivers.begin(), patchDrivers.end());
        triOffsets.push_back(static_cast<int>(triIndices.size()));
        triCounts.push_back(static_cast<int>(triangles.size()));
        triIndices.insert(triIndices.end(), triangles.begin(), triangles.end());
        edgeOffsets.push_back(static_cast<int>(edgeIndices.size()));
        edgeCounts.push_back(static_cast<int>(edges.size()));
        edgeIndices.insert(edgeIndices.end(), edges.begin(), edges.end());
    }
};

Topology build(const StoredPatches& stored, bool expectValid = true)
{
    Topology topology;
    EXPECT_EQ(OverlayDrawData::buildTopology(stored.arrays(), topology), expectValid);
    return topology;
}

// Two quads side by side on a driver grid, sharing driver vertices 1 and 4.
StoredPatches twoQuads()
{
    StoredPatches stored;
    stored.add({0, 1, 4, 3}, {0, 1, 2, 0, 2, 3}, {0, 1, 1, 2, 2, 3, 3, 0});
    stored.add({1, 2, 5, 4}, {0, 1, 2, 0, 2, 3}, {0, 1, 1, 2, 2, 3, 3, 0});
    return stored;
}

const double kIdentity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

} // namespace

TEST(OverlayTopology, SharedDriverVerticesAreOneRenderVertexNumberedByFirstUse)
{
    const Topology topology = build(twoQuads());
    EXPECT_EQ(topology.renderVertexDrivers, (std::vector<int>{0, 1, 4, 3, 2, 5}));
    EXPECT_EQ(topology.triangleIndices, (Indices{0, 1, 2, 0, 2, 3, 1, 4, 5, 1, 5, 2}));
    EXPECT_EQ(topology.edgeIndices, (Indices{0, 1, 1, 2, 2, 3, 3, 0, 1, 4, 4, 5, 5, 2, 2, 1}));
    ASSERT_EQ(topology.patchRanges.size(), 2u);
    EXPECT_EQ(topology.patchRanges[1].triStart, 6u);
    EXPECT_EQ(topology.patchRanges[1].triCount, 6u);
    EXPECT_EQ(topology.patchRanges[1].edgeStart, 8u);
    EXPECT_EQ(topology.patchRanges[1].edgeCount, 8u);
}

TEST(OverlayTopology, SparseHugeDriverIdsAreNumberedLikeDenseOnes)
{
    StoredPatches stored;
    stored.add({INT_MAX, 7, 2000000000, INT_MAX - 1}, {0, 1, 2, 2, 1, 3}, {3, 0});
    stored.add({7, INT_MAX, 12}, {2, 1, 0}, {});
    const Topology topology = build(stored);
    EXPECT_EQ(topology.renderVertexDrivers, (std::vector<int>{INT_MAX, 7, 2000000000, INT_MAX - 1, 12}));
    EXPECT_EQ(topology.triangleIndices, (Indices{0, 1, 2, 2, 1, 3, 4, 0, 1}));
    EXPECT_EQ(topology.edgeIndices, (Indices{3, 0}));
}

TEST(OverlayTopology, CornerOutsideItsPatchOrOnNegativeDriverLeavesOnlyThatTriangleOut)
{
    StoredPatches stored;
    // Vertex 3 has no driver; local index 4 and -1 are not the patch's.
    stored.add({10, 11, 12, -1}, {0, 1, 2, 0, 2, 4, 1, 2, 3, -1, 0, 1, 2, 1, 0},
               {0, 1, 1, 3, 2, 4, 1, 2});
    const Topology topology = build(stored);
    EXPECT_EQ(topology.triangleIndices, (Indices{0, 1, 2, 2, 1, 0}));
    EXPECT_EQ(topology.edgeIndices, (Indices{0, 1, 1, 2}));
    // Only vertices some drawn triangle or edge uses get a render vertex.
    EXPECT_EQ(topology.renderVertexDrivers, (std::vector<int>{10, 11, 12}));
    EXPECT_EQ(topology.patchRanges[0].triCount, 6u);
}

TEST(OverlayTopology, TrailingPartialTriangleAndEdgeGroupsAreIgnored)
{
    StoredPatches stored;
    stored.add({0, 1, 2, 3}, {0, 1, 2, 1, 2, 3, 0}, {0, 1, 2});
    // A count that runs past the stored indices stops at their end.
    stored.triCounts[0] = 8;
    stored.edgeCounts[0] = 5;
    const Topology topology = build(stored);
    EXPECT_EQ(topology.triangleIndices, (Indices{0, 1, 2, 1, 2, 3}));
    EXPECT_EQ(topology.edgeIndices, (Indices{0, 1}));
}

TEST(OverlayTopology, HugeAndNegativeOffsetsAndCountsReadOnlyInsideTheArrays)
{
    StoredPatches stored = twoQuads();
    stored.add({0, 1, 2}, {0, 1, 2}, {0, 1});
    stored.add({3, 4, 5}, {0, 1, 2}, {1, 2});
    // Patch 0: an offset near INT_MAX with a huge count would wrap in 32 bits.
    stored.triOffsets[0] = INT_MAX - 1;
    stored.triCounts[0] = INT_MAX;
    stored.edgeOffsets[0] = INT_MAX;
    stored.edgeCounts[0] = INT_MAX;
    // Patch 1: negative offsets read from the start, negative counts read nothing.
    stored.triOffsets[1] = INT_MIN;
    stored.edgeOffsets[1] = -5;
    stored.edgeCounts[1] = INT_MIN;
    // Patch 2: a huge count from a valid offset stops at the end of the array.
    stored.triOffsets[2] = 12;
    stored.triCounts[2] = INT_MAX;
    stored.triCounts[3] = -3;

    const Topology topology = build(stored);
    ASSERT_EQ(topology.patchRanges.size(), 4u);
    EXPECT_EQ(topology.patchRanges[0].triCount, 0u);
    EXPECT_EQ(topology.patchRanges[0].edgeCount, 0u);
    // Patch 1 reads its six entries from index 0: patch 0's quad, bound to its own drivers.
    EXPECT_EQ(topology.patchRanges[1].triCount, 6u);
    EXPECT_EQ(topology.patchRanges[1].edgeCount, 0u);
    // Patch 2's slice holds its own triangle and then patch 3's, both within its three vertices.
    EXPECT_EQ(topology.patchRanges[2].triCount, 6u);
    EXPECT_EQ(topology.patchRanges[3].triCount, 0u);
    EXPECT_EQ(topology.patchRanges[3].edgeCount, 2u);
    // Driver 3 is used by no drawn triangle or edge.
    EXPECT_EQ(topology.renderVertexDrivers, (std::vector<int>{1, 2, 5, 4, 0}));
}

TEST(OverlayTopology, VertexTotalBeyondThe32BitRangeIsNotEnoughDriverIndices)
{
    StoredPatches stored;
    stored.add({0, 1, 2}, {0, 1, 2}, {});
    stored.add({0, 1, 2}, {0, 1, 2}, {});
    // Summed in 32 bits these would wrap to 6 and match the six stored driver indices.
    stored.vertexCounts = {INT_MAX, INT_MAX, 8};
    stored.triOffsets.push_back(0);
    stored.triCounts.push_back(0);
    stored.edgeOffsets.push_back(0);
    stored.edgeCounts.push_back(0);
    const Topology topology = build(stored, false);
    EXPECT_TRUE(topology.renderVertexDrivers.empty());
    EXPECT_TRUE(topology.triangleIndices.empty());
}

TEST(OverlayTopology, ArraysThatDescribeNoPatchesBuildNothing)
{
    StoredPatches empty;
    build(empty, false);

    StoredPatches shortOffsets = twoQuads();
    shortOffsets.edgeOffsets.pop_back();
    build(shortOffsets, false);

    StoredPatches negativeCount = twoQuads();
    negativeCount.vertexCounts[1] = -4;
    build(negativeCount, false);

    StoredPatches missingDrivers = twoQuads();
    missingDrivers.drivers.pop_back();
    build(missingDrivers, false);

    // Patches whose every triangle and edge is left out draw nothing either.
    StoredPatches unbound;
    unbound.add({-1, -1, -1}, {0, 1, 2}, {0, 1});
    const Topology topology = build(unbound, false);
    EXPECT_TRUE(topology.triangleIndices.empty());
    EXPECT_TRUE(topology.edgeIndices.empty());
}

TEST(OverlayTopology, RebuildReplacesThePreviousResult)
{
    Topology topology;
    ASSERT_TRUE(OverlayDrawData::buildTopology(twoQuads().arrays(), topology));
    StoredPatches one;
    one.add({7, 8, 9}, {2, 1, 0}, {});
    ASSERT_TRUE(OverlayDrawData::buildTopology(one.arrays(), topology));
    EXPECT_EQ(topology.renderVertexDrivers, (std::vector<int>{9, 8, 7}));
    EXPECT_EQ(topology.triangleIndices, (Indices{0, 1, 2}));
    EXPECT_TRUE(topology.edgeIndices.empty());
    EXPECT_EQ(topology.patchRanges.size(), 1u);
}

// Three single-triangle patches, so each patch's slice is easy to name.
class OverlayHighlight : public ::testing::Test {
protected:
    void SetUp() override
    {
        StoredPatches stored;
        stored.add({0, 1, 2}, {0, 1, 2}, {});
        stored.add({1, 2, 3}, {0, 1, 2}, {});
        stored.add({2, 3, 4}, {0, 1, 2}, {});
        ASSERT_TRUE(OverlayDrawData::buildTopology(stored.arrays(), topology));
    }

    bool partition(int hovered, const std::vector<int>& selected)
    {
        return OverlayDrawData::partitionHighlight(topology, hovered, selected.data(),
                                                   static_cast<int64_t>(selected.size()), lists);
    }

    Topology topology;
    HighlightPartition lists;
    const Indices patch0{0, 1, 2}, patch1{1, 2, 3}, patch2{2, 3, 4};
};

TEST_F(OverlayHighlight, IndicesThatNameNoPatchHighlightNothing)
{
    for (int hovered : {-1, 3, INT_MAX, INT_MIN + 1}) {
        ASSERT_TRUE(partition(hovered, {-1, 3, INT_MIN, INT_MAX}));
        EXPECT_EQ(lists.baseIndices, (Indices{0, 1, 2, 1, 2, 3, 2, 3, 4})) << "hovered " << hovered;
        EXPECT_TRUE(lists.selectedIndices.empty());
        EXPECT_TRUE(lists.hoverIndices.empty());
    }
}

TEST_F(OverlayHighlight, SameHoverAndSelectionReportsNoChange)
{
    EXPECT_TRUE(partition(-1, {}));
    EXPECT_FALSE(partition(-1, {}));
    EXPECT_TRUE(partition(-1, {0, 2}));
    EXPECT_FALSE(partition(-1, {0, 2}));
    EXPECT_TRUE(partition(-1, {2, 0}));
    EXPECT_TRUE(partition(-1, {2}));
    EXPECT_TRUE(partition(1, {2}));
    EXPECT_EQ(lists.hoverIndices, patch1);
    // After a reset (a new topology) the same state is split again.
    lists.reset();
    EXPECT_TRUE(partition(1, {2}));
    EXPECT_EQ(lists.hoverIndices, patch1);
}

TEST(OverlayReadoutAnchor, SitsAboveTheCentreOfThePatchLiftedByItsSize)
{
    StoredPatches stored;
    stored.add({0, 1, 2}, {0, 1, 2}, {});
    stored.add({3, 4, 5}, {0, 1, 2}, {});
    stored.add({6, 7}, {}, {0, 1});
    Topology topology = build(stored);
    const std::vector<float> positions = {
        0, 0, 0, 3, 0, 0, 3, 4, 0,                // patch 0: box 3 x 4 x 0, diagonal 5
        10, 1, 10, 10.1f, 1, 10, 10, 1.01f, 10.1f, // patch 1: tiny
    };
    double anchor[3];
    ASSERT_TRUE(OverlayDrawData::readoutAnchor(topology, positions.data(), 6, 0, anchor));
    EXPECT_DOUBLE_EQ(anchor[0], 1.5);
    EXPECT_NEAR(anchor[1], 4.0 + 0.04 * 5.0, 1e-6);
    EXPECT_DOUBLE_EQ(anchor[2], 0.0);

    ASSERT_TRUE(OverlayDrawData::readoutAnchor(topology, positions.data(), 6, 1, anchor));
    EXPECT_NEAR(anchor[1], 1.01 + 0.05, 1e-6);

    // Corners without a position are skipped; with none left there is no anchor.
    ASSERT_TRUE(OverlayDrawData::readoutAnchor(topology, positions.data(), 2, 0, anchor));
    EXPECT_DOUBLE_EQ(anchor[0], 1.5);
    EXPECT_NEAR(anchor[1], 0.0 + 0.04 * 3.0, 1e-6);
    EXPECT_FALSE(OverlayDrawData::readoutAnchor(topology, positions.data(), 3, 1, anchor));
    // A patch with no triangles, and indices that name no patch.
    EXPECT_FALSE(OverlayDrawData::readoutAnchor(topology, positions.data(), 6, 2, anchor));
    EXPECT_FALSE(OverlayDrawData::readoutAnchor(topology, positions.data(), 6, 3, anchor));
    EXPECT_FALSE(OverlayDrawData::readoutAnchor(topology, positions.data(), 6, -1, anchor));
}

TEST(OverlayPositions, DriverPointsTransformAsRowVectors)
{
    const std::vector<float> raw = {1, 2, 3, -1, 0.5f, 4};
    const std::vector<int> drivers = {1, 0, 1};
    // Scale x by 2, swap y and z, translate by (10, 20, 30).
    const double matrix[4][4] = {{2, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {10, 20, 30, 1}};
    std::vector<float> out(9, -7.0f);
    OverlayDrawData::transformPositions(drivers.data(), 3, raw.data(), 2, matrix, out.data());
    EXPECT_EQ(out, (std::vector<float>{8, 24, 30.5f, 12, 23, 32, 8, 24, 30.5f}));

    // Many vertices, as the vectorised loops take them, against the product in doubles.
    const double general[4][4] = {{0.8, 0.6, -0.1, 0}, {-0.6, 0.8, 0.3, 0}, {0.2, -0.4, 1.5, 0}, {3, -2, 7, 1}};
    std::vector<float> points;
    std::vector<int> ids;
    for (int i = 0; i < 70; ++i) {
        points.insert(points.end(), {i * 0.5f - 9.0f, std::sin(i * 1.0f) * 4.0f, 20.0f - i * 0.25f});
        ids.push_back((i * 37) % 70);
    }
    ids[20] = -1;
    std::vector<float> placed(3 * 70, -7.0f);
    OverlayDrawData::transformPositions(ids.data(), 70, points.data(), 70, general, placed.data());
    for (int i = 0; i < 70; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            double expected = 0.0;
            if (i != 20) {
                const float* p = &points[3 * ids[i]];
                expected = p[0] * general[0][axis] + p[1] * general[1][axis] + p[2] * general[2][axis] +
                           general[3][axis];
            }
            EXPECT_NEAR(placed[3 * i + axis], expected, 1e-4) << "vertex " << i << " axis " << axis;
        }
    }
}

TEST(OverlayPositions, DriverIdsOutsideTheMeshSitAtTheOrigin)
{
    const std::vector<float> raw = {1, 2, 3, 4, 5, 6};
    const std::vector<int> drivers = {1, 2, -1, INT_MAX, INT_MIN, 0};
    const double shifted[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {5, 5, 5, 1}};
    for (const auto* matrix : {&kIdentity, &shifted}) {
        std::vector<float> out(18, -7.0f);
        OverlayDrawData::transformPositions(drivers.data(), 6, raw.data(), 2, *matrix, out.data());
        const float d = (*matrix)[3][0] == 0.0 ? 0.0f : 5.0f;
        EXPECT_EQ(out, (std::vector<float>{4 + d, 5 + d, 6 + d, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1 + d, 2 + d,
                                           3 + d}));
    }
    // A mesh without vertices places everything at the origin.
    std::vector<float> out(18, -7.0f);
    OverlayDrawData::transformPositions(drivers.data(), 6, raw.data(), 0, kIdentity, out.data());
    EXPECT_EQ(out, std::vector<float>(18, 0.0f));
}

TEST(OverlayPositions, IdentityCopyMatchesTheGeneralTransform)
{
    std::vector<float> raw;
    std::vector<int> drivers;
    for (int i = 0; i < 1000; ++i) {
        raw.push_back(std::sin(i * 0.37f) * 100.0f);
        raw.push_back(std::cos(i * 0.11f) * 0.001f);
        raw.push_back(i * 1.5f - 700.0f);
        drivers.push_back((i * 7919) % 1003 - 2); // some ids outside the mesh
    }
    // Off the identity by more than its 1e-10 tolerance, so it takes the general path.
    double nearIdentity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    nearIdentity[1][1] = 1.0 + 1e-9;
    ASSERT_TRUE(OverlayDrawData::isIdentity(kIdentity));
    ASSERT_FALSE(OverlayDrawData::isIdentity(nearIdentity));
    double withinTolerance[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    withinTolerance[3][2] = 5e-11;
    EXPECT_TRUE(OverlayDrawData::isIdentity(withinTolerance));

    std::vector<float> copied(3000), general(3000);
    OverlayDrawData::transformPositions(drivers.data(), 1000, raw.data(), 1000, kIdentity, copied.data());
    OverlayDrawData::transformPositions(drivers.data(), 1000, raw.data(), 1000, nearIdentity, general.data());
    for (size_t i = 0; i < copied.size(); ++i) {
        ASSERT_FLOAT_EQ(copied[i], general[i]) << "entry " << i;
    }
    EXPECT_EQ(copied[0], 0.0f);     // driver -2
    EXPECT_EQ(copied[3 * 1], raw[3 * (7919 % 1003 - 2)]);
}

TEST(OverlayPositions, OutputAtAnyAlignmentGetsTheSamePositions)
{
    std::vector<float> raw;
    std::vector<int> drivers;
    for (int i = 0; i < 37; ++i) {
        raw.insert(raw.end(), {i * 1.0f, i * -2.0f, i * 0.5f});
        drivers.push_back(36 - i);
    }
    const double matrix[4][4] = {{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 2, 0}, {1, 2, 3, 1}};
    for (const auto* m : {&kIdentity, &matrix}) {
        std::vector<float> aligned(3 * 37);
        OverlayDrawData::transformPositions(drivers.data(), 37, raw.data(), 37, *m, aligned.data());
        for (size_t shift = 1; shift < 4; ++shift) {
            std::vector<float> storage(3 * 37 + 4, -7.0f);
            OverlayDrawData::transformPositions(drivers.data(), 37, raw.data(), 37, *m, storage.data() + shift);
            EXPECT_EQ(std::vector<float>(storage.begin() + shift, storage.begin() + shift + 3 * 37), aligned);
            EXPECT_EQ(storage[shift - 1], -7.0f);
            EXPECT_EQ(storage[shift + 3 * 37], -7.0f);
        }
        // The last driver point, read where nothing follows it.
        EXPECT_EQ(aligned[0], (*m)[3][0] + 36.0f * (*m)[0][0] - 72.0f * (*m)[1][0] + 18.0f * (*m)[2][0]);
    }
}
