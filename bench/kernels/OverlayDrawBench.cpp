// Overlay drawing: placing a million render vertices at the driver's points through its
// world matrix (against a plain copy of the same bytes), and re-splitting the triangles for a highlight
// change (against a full topology build of the same overlay).

#include "overlay/OverlayDrawData.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

// Patches of 4 x 4 quads (25 vertices, 32 triangles, 40 edges each) tiling a driver grid
// `side` patches wide, neighbouring patches sharing their border vertices as patches
// modelled on one driver do.
struct PatchOverlay {
    std::vector<int> vertexCounts, drivers, triOffsets, triCounts, triIndices, edgeOffsets, edgeCounts, edgeIndices;
    int driverVertexCount = 0;

    PatchOverlay(int patchCount, int side)
    {
        const int driverRow = side * 4 + 1;
        driverVertexCount = driverRow * ((patchCount + side - 1) / side * 4 + 1);
        for (int p = 0; p < patchCount; ++p) {
            const int originX = (p % side) * 4;
            const int originY = (p / side) * 4;
            vertexCounts.push_back(25);
            for (int y = 0; y <= 4; ++y) {
                for (int x = 0; x <= 4; ++x) {
                    drivers.push_back((originY + y) * driverRow + originX + x);
                }
            }
            triOffsets.push_back(static_cast<int>(triIndices.size()));
            edgeOffsets.push_back(static_cast<int>(edgeIndices.size()));
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 4; ++x) {
                    const int a = y * 5 + x, b = a + 1, c = a + 6, d = a + 5;
                    triIndices.insert(triIndices.end(), {a, b, c, a, c, d});
                    edgeIndices.insert(edgeIndices.end(), {a, b, a, d});
                }
                edgeIndices.insert(edgeIndices.end(), {y * 5 + 4, y * 5 + 9});
            }
            for (int x = 0; x < 4; ++x) {
                edgeIndices.insert(edgeIndices.end(), {20 + x, 21 + x});
            }
            triCounts.push_back(static_cast<int>(triIndices.size()) - triOffsets.back());
            edgeCounts.push_back(static_cast<int>(edgeIndices.size()) - edgeOffsets.back());
        }
    }

    OverlayDrawData::PatchArrays arrays() const
    {
        auto span = [](const std::vector<int>& v) {
            return OverlayDrawData::IntSpan{v.data(), static_cast<int64_t>(v.size())};
        };
        return {span(vertexCounts), span(drivers),    span(triOffsets), span(triCounts),
                span(triIndices),   span(edgeOffsets), span(edgeCounts), span(edgeIndices)};
    }
};

// An overlay of 250 x 250 patches on a driver grid of 1001 x 1001 points: 1,002,001 render
// vertices, in the order the topology build numbers them (patch by patch, row by row within
// a patch), so the points are read as the override reads them.
struct PositionInput {
    std::vector<int> drivers;
    std::vector<float> raw;
    std::vector<float> out;
    int64_t renderVertices = 0;
    int64_t driverVertices = 0;

    PositionInput()
    {
        const PatchOverlay overlay(250 * 250, 250);
        OverlayDrawData::Topology topology;
        OverlayDrawData::buildTopology(overlay.arrays(), topology);
        drivers = topology.renderVertexDrivers;
        renderVertices = static_cast<int64_t>(drivers.size());
        driverVertices = overlay.driverVertexCount;
        raw.resize(3 * driverVertices);
        for (int64_t i = 0; i < 3 * driverVertices; ++i) {
            raw[i] = static_cast<float>((i * 37) % 1001) * 0.01f;
        }
        out.resize(3 * renderVertices);
    }
};

PositionInput& positionInput()
{
    static PositionInput input;
    return input;
}

void positions(benchmark::State& state, const double (&matrix)[4][4])
{
    PositionInput& input = positionInput();
    for (auto _ : state) {
        OverlayDrawData::transformPositions(input.drivers.data(), input.renderVertices, input.raw.data(),
                                            input.driverVertices, matrix, input.out.data());
        benchmark::DoNotOptimize(input.out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(input.out.size() * sizeof(float)));
}

void BM_OverlayPositionsWorldMatrix(benchmark::State& state)
{
    const double matrix[4][4] = {{0.8, 0.6, 0, 0}, {-0.6, 0.8, 0, 0}, {0, 0, 1.5, 0}, {3, -2, 7, 1}};
    positions(state, matrix);
}
BENCHMARK(BM_OverlayPositionsWorldMatrix)->Unit(benchmark::kMillisecond);

void BM_OverlayPositionsIdentity(benchmark::State& state)
{
    const double matrix[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    positions(state, matrix);
}
BENCHMARK(BM_OverlayPositionsIdentity)->Unit(benchmark::kMillisecond);

// Baseline: a copy of as many bytes as the position buffer holds.
void BM_CopyOfThePositionBytes(benchmark::State& state)
{
    PositionInput& input = positionInput();
    for (auto _ : state) {
        std::memcpy(input.out.data(), input.raw.data(), input.out.size() * sizeof(float));
        benchmark::DoNotOptimize(input.out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(input.out.size() * sizeof(float)));
}
BENCHMARK(BM_CopyOfThePositionBytes)->Unit(benchmark::kMillisecond);

void BM_OverlayTopologyBuild(benchmark::State& state)
{
    const PatchOverlay overlay(static_cast<int>(state.range(0)), 100);
    const OverlayDrawData::PatchArrays arrays = overlay.arrays();
    OverlayDrawData::Topology topology;
    for (auto _ : state) {
        benchmark::DoNotOptimize(OverlayDrawData::buildTopology(arrays, topology));
        benchmark::DoNotOptimize(topology.triangleIndices.data());
    }
}
BENCHMARK(BM_OverlayTopologyBuild)->Arg(10000)->Unit(benchmark::kMillisecond);

// A hover moving between two patches with one patch selected: every iteration re-splits.
void BM_OverlayHighlightChange(benchmark::State& state)
{
    const PatchOverlay overlay(static_cast<int>(state.range(0)), 100);
    OverlayDrawData::Topology topology;
    OverlayDrawData::buildTopology(overlay.arrays(), topology);
    OverlayDrawData::HighlightPartition partition;
    const int selected[1] = {42};
    int hovered = 0;
    for (auto _ : state) {
        hovered = hovered == 7 ? 8 : 7;
        benchmark::DoNotOptimize(OverlayDrawData::partitionHighlight(topology, hovered, selected, 1, partition));
        benchmark::DoNotOptimize(partition.baseIndices.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(topology.triangleIndices.size() * sizeof(uint32_t)));
}
BENCHMARK(BM_OverlayHighlightChange)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
