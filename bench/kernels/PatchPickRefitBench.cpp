// Pick data following one moved driver vertex: one patch over a flat 500 x 400 face driver
// (200,901 vertices, 400,000 triangles), every point on its box's top and bottom. Each iteration
// moves a vertex up or down and refits; the vertex lies on the patch's box in
// BM_PatchPickRefitVertexOnTheBox (the corner, which shapes the box whichever way it moves) and
// inside it in the baseline, timed in the same run, whose time the `ratio` counter divides by.

#include "../CpuClock.h"
#include "overlay/PatchPickData.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kFacesX = 500, kFacesZ = 400, kRow = kFacesX + 1;
const double kIdentity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

struct FlatPatch {
    std::vector<float> points;
    PatchPick::PickData data;

    FlatPatch()
    {
        for (int j = 0; j <= kFacesZ; ++j)
            for (int i = 0; i <= kFacesX; ++i)
                points.insert(points.end(), {i * 0.2f - 50.0f, 0.0f, j * 0.2f - 40.0f});
        std::vector<int> corners;
        for (int j = 0; j < kFacesZ; ++j)
            for (int i = 0; i < kFacesX; ++i) {
                const int a = j * kRow + i, b = a + 1, c = a + kRow, d = c + 1;
                corners.insert(corners.end(), {a, c, b, b, c, d});
            }
        if (!PatchPick::buildMeshPickData(points.data(), int(points.size() / 3), corners, kIdentity, data))
            std::abort();
    }

    // Moves `vertex` by `lift` and refits, as the pick cache does with the moved range known;
    // returns the refit's CPU microseconds.
    double moveAndRefit(int vertex, float lift)
    {
        points[size_t(vertex) * 3 + 1] += lift;
        const PatchPick::VertexRange moved{vertex, vertex + 1};
        const double start = bench::cpuSeconds();
        const PatchPick::Refit result =
            PatchPick::refitPickData(data, points.data(), int64_t(points.size() / 3), kIdentity, nullptr, nullptr, &moved);
        const double took = (bench::cpuSeconds() - start) * 1e6;
        if (result != PatchPick::Refit::kRefitted)
            std::abort();
        return took;
    }
};

void BM_PatchPickRefitVertexOnTheBox(benchmark::State& state)
{
    FlatPatch patch;
    double onBox = 0.0, inside = 0.0;
    int step = 0;
    for (auto _ : state) {
        const float lift = step % 2 == 0 ? 0.01f : -0.01f;
        const double took = patch.moveAndRefit(0, lift);
        state.SetIterationTime(took * 1e-6);
        onBox += took;
        // An inner vertex, a different one each time, moved by as much.
        inside += patch.moveAndRefit(kRow + 2 + (step * 7919) % (kRow * (kFacesZ - 1) - 4), lift);
        ++step;
    }
    state.counters["ratio"] = onBox / inside;
    state.counters["inside_us"] = inside / double(state.iterations());
}
BENCHMARK(BM_PatchPickRefitVertexOnTheBox)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
