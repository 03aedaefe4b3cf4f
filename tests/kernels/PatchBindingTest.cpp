// Appending bound and copied patches to an overlay's arrays, and the bind
// command's per-patch messages and summaries.

#include "overlay/PatchBinding.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace PatchBinding;

namespace {

PatchTopology topologyOf(const std::vector<int>& triangles, const std::vector<int>& edges)
{
    PatchTopology topology;
    topology.triangleVertices = triangles.data();
    topology.triangleVertexCount = static_cast<int64_t>(triangles.size());
    topology.edgeVertices = edges.data();
    topology.edgeVertexCount = static_cast<int64_t>(edges.size());
    return topology;
}

// A triangle patch, a face-less patch of two vertices, then a quad of two triangles.
PatchArrays threeBoundPatches()
{
    PatchArrays arrays;
    const std::vector<int> triangleIds = {7, 8, 9};
    EXPECT_TRUE(appendBoundPatch(arrays, triangleIds.data(), 3, topologyOf({0, 1, 2}, {0, 1, 1, 2, 2, 0})));
    const std::vector<int> looseIds = {4, 5};
    EXPECT_TRUE(appendBoundPatch(arrays, looseIds.data(), 2, topologyOf({}, {})));
    const std::vector<int> quadIds = {1, 2, 3, 0};
    EXPECT_TRUE(appendBoundPatch(arrays, quadIds.data(), 4,
                                 topologyOf({0, 1, 2, 0, 2, 3}, {0, 1, 1, 2, 2, 3, 3, 0, 0, 2})));
    return arrays;
}

int64_t startOf(const PatchArrays& arrays, int64_t p)
{
    int64_t start = 0;
    for (int64_t q = 0; q < p; ++q)
        start = PatchMatching::nextVertexStart(arrays.view().vertexCounts, q, start);
    return start;
}

}  // namespace

TEST(PatchAppending, SlicesFollowEachOtherWithoutGaps)
{
    const PatchArrays arrays = threeBoundPatches();
    EXPECT_EQ(arrays.patchCount(), 3);
    EXPECT_EQ(arrays.vertexCounts, (std::vector<int>{3, 2, 4}));
    EXPECT_EQ(arrays.driverVertexIndices, (std::vector<int>{7, 8, 9, 4, 5, 1, 2, 3, 0}));
    EXPECT_EQ(arrays.triangleOffsets, (std::vector<int>{0, 3, 3}));
    EXPECT_EQ(arrays.triangleCounts, (std::vector<int>{3, 0, 6}));
    EXPECT_EQ(arrays.triangleIndices, (std::vector<int>{0, 1, 2, 0, 1, 2, 0, 2, 3}));
    // A patch without faces gets an empty slice starting at the current end.
    EXPECT_EQ(arrays.edgeOffsets, (std::vector<int>{0, 6, 6}));
    EXPECT_EQ(arrays.edgeCounts, (std::vector<int>{6, 0, 10}));
    EXPECT_EQ(arrays.edgeIndices.size(), 16u);
}

TEST(PatchAppending, RefusesNegativeCountsAndLeavesArraysAlone)
{
    PatchArrays arrays = threeBoundPatches();
    const PatchArrays before = arrays;
    const std::vector<int> ids = {1};
    EXPECT_FALSE(appendBoundPatch(arrays, ids.data(), -1, topologyOf({}, {})));
    PatchTopology negative = topologyOf({}, {});
    negative.edgeVertexCount = -2;
    EXPECT_FALSE(appendBoundPatch(arrays, ids.data(), 1, negative));
    // A slice whose end an int offset could not address.
    PatchTopology huge = topologyOf({}, {});
    huge.triangleVertexCount = std::numeric_limits<int>::max();
    EXPECT_FALSE(appendBoundPatch(arrays, ids.data(), 1, huge));
    EXPECT_EQ(arrays.vertexCounts, before.vertexCounts);
    EXPECT_EQ(arrays.driverVertexIndices, before.driverVertexIndices);
    EXPECT_EQ(arrays.triangleOffsets, before.triangleOffsets);
    EXPECT_EQ(arrays.edgeIndices, before.edgeIndices);
}

TEST(StoredPatchCopying, CopyingEveryPatchReproducesTheBinding)
{
    const PatchArrays stored = threeBoundPatches();
    PatchArrays copy;
    for (int64_t p = 0; p < stored.patchCount(); ++p)
        ASSERT_EQ(copyStoredPatch(stored.view(), p, startOf(stored, p), copy), CopyResult::kCopied) << p;
    EXPECT_EQ(copy.vertexCounts, stored.vertexCounts);
    EXPECT_EQ(copy.driverVertexIndices, stored.driverVertexIndices);
    EXPECT_EQ(copy.triangleOffsets, stored.triangleOffsets);
    EXPECT_EQ(copy.triangleCounts, stored.triangleCounts);
    EXPECT_EQ(copy.triangleIndices, stored.triangleIndices);
    EXPECT_EQ(copy.edgeOffsets, stored.edgeOffsets);
    EXPECT_EQ(copy.edgeCounts, stored.edgeCounts);
    EXPECT_EQ(copy.edgeIndices, stored.edgeIndices);
}

TEST(StoredPatchCopying, UsesStoredOffsetsAndWritesFreshOnes)
{
    // Stored slices out of order and with a gap: the copy reads where the offsets point
    // and packs the result.
    PatchArrays stored;
    stored.vertexCounts = {1, 2};
    stored.driverVertexIndices = {30, 40, 41};
    stored.triangleOffsets = {4, 0};
    stored.triangleCounts = {3, 3};
    stored.triangleIndices = {0, 1, 1, 9, 0, 0, 0};
    stored.edgeOffsets = {2, 0};
    stored.edgeCounts = {2, 2};
    stored.edgeIndices = {0, 1, 0, 0};

    PatchArrays copy;
    const std::vector<int> newIds = {5, 6};
    ASSERT_TRUE(appendBoundPatch(copy, newIds.data(), 2, topologyOf({0, 1, 0}, {1, 0})));
    ASSERT_EQ(copyStoredPatch(stored.view(), 1, 1, copy), CopyResult::kCopied);
    ASSERT_EQ(copyStoredPatch(stored.view(), 0, 0, copy), CopyResult::kCopied);
    EXPECT_EQ(copy.vertexCounts, (std::vector<int>{2, 2, 1}));
    EXPECT_EQ(copy.driverVertexIndices, (std::vector<int>{5, 6, 40, 41, 30}));
    EXPECT_EQ(copy.triangleOffsets, (std::vector<int>{0, 3, 6}));
    EXPECT_EQ(copy.triangleIndices, (std::vector<int>{0, 1, 0, 0, 1, 1, 0, 0, 0}));
    EXPECT_EQ(copy.edgeOffsets, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(copy.edgeIndices, (std::vector<int>{1, 0, 0, 1, 0, 0}));
}

TEST(StoredPatchCopying, DamagedArraysAreRefusedWithoutAppending)
{
    struct Damage {
        const char* what;
        void (*apply)(PatchArrays&);
        int64_t patch;
        CopyResult expected;
    };
    const int big = std::numeric_limits<int>::max();
    const Damage damages[] = {
        {"patch beyond the counts", [](PatchArrays&) {}, 3, CopyResult::kIncomplete},
        {"short edge counts", [](PatchArrays& a) { a.edgeCounts.pop_back(); }, 2, CopyResult::kIncomplete},
        {"short triangle offsets", [](PatchArrays& a) { a.triangleOffsets.pop_back(); }, 2, CopyResult::kIncomplete},
        {"negative count before", [](PatchArrays& a) { a.vertexCounts[0] = -3; }, 2, CopyResult::kInvalid},
        {"negative count here", [](PatchArrays& a) { a.vertexCounts[1] = -1; }, 1, CopyResult::kInvalid},
        {"vertex slice overruns", [](PatchArrays& a) { a.vertexCounts[2] = 5; }, 2, CopyResult::kInvalid},
        {"counts that wrap in 32 bits", [](PatchArrays& a) { a.vertexCounts[0] = big; a.vertexCounts[1] = big; },
         2, CopyResult::kInvalid},
        {"offset plus count wraps", [](PatchArrays& a) { a.triangleOffsets[2] = big; }, 2, CopyResult::kInvalid},
        {"negative triangle offset", [](PatchArrays& a) { a.triangleOffsets[0] = -1; }, 0, CopyResult::kInvalid},
        {"edge slice overruns", [](PatchArrays& a) { a.edgeCounts[2] = 11; }, 2, CopyResult::kInvalid},
        {"negative edge count", [](PatchArrays& a) { a.edgeCounts[0] = -2; }, 0, CopyResult::kInvalid},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        PatchArrays stored = threeBoundPatches();
        damage.apply(stored);
        PatchArrays copy;
        EXPECT_EQ(copyStoredPatch(stored.view(), damage.patch, startOf(stored, damage.patch), copy), damage.expected);
        EXPECT_EQ(copy.patchCount(), 0);
        EXPECT_TRUE(copy.driverVertexIndices.empty());
        EXPECT_TRUE(copy.triangleIndices.empty());
        EXPECT_TRUE(copy.edgeIndices.empty());
    }
}

TEST(BindMessages, NumbersUseDefaultStreamFormatting)
{
    EXPECT_EQ(formatNumber(0.0001), "0.0001");
    EXPECT_EQ(formatNumber(0.00001), "1e-05");
    EXPECT_EQ(formatNumber(0.123456789), "0.123457");
    EXPECT_EQ(formatNumber(2.5), "2.5");
    EXPECT_EQ(formatNumber(int64_t{3000000000}), "3000000000");
}

TEST(BindMessages, PerPatchErrorAndWarningTexts)
{
    EXPECT_EQ(outsideToleranceError("|patchA|patchAShape", 1, 4, 0.0001),
              "pellixDataBind: patch '|patchA|patchAShape' has 1 of 4 vertices outside bind tolerance 0.0001. "
              "Increase Bind Tolerance or align the patch with the driver.");
    EXPECT_EQ(sharedVerticesWarning("|p|pShape", 2),
              "pellixDataBind: patch '|p|pShape' has 2 patch vertices sharing driver vertices.");
    EXPECT_EQ(copyFailureError(CopyResult::kIncomplete),
              "pellixDataBind: existing overlay topology is incomplete; use a full Rebind.");
    EXPECT_EQ(copyFailureError(CopyResult::kInvalid),
              "pellixDataBind: existing overlay topology is invalid; use a full Rebind.");
}

TEST(BindMessages, SummariesCountPatchesAndVertices)
{
    EXPECT_EQ(fullBindSummary(3, 250, 0.00001),
              "pellixDataBind created data overlay with 3 patch(es); 250 vertices matched at bind tolerance 1e-05.");
    EXPECT_EQ(partialRebindSummary(1, 4, 9, 0.001),
              "pellixDataBind rebound 1 selected patch(es); preserved 3 unchanged patch(es); 9 vertices rematched "
              "at bind tolerance 0.001.");
}
