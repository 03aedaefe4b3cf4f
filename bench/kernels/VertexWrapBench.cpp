// The vertex wrap on 1,000,000 vertices: the deform loops (full-envelope fast
// path and general path) against a plain copy of the same number of bytes of
// positions, and the vertex maps a "vertexWrap" run computes for a target of
// 1,000,000 vertices against a driver of 1,000,000.

#include "vertexWrap/VertexMapping.h"
#include "vertexWrap/VertexWrapDeform.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr int kGridSide = 1000;  // kGridSide² vertices
constexpr int64_t kVertexCount = int64_t(kGridSide) * kGridSide;
constexpr int64_t kPositionBytes = kVertexCount * 4 * int64_t(sizeof(double));

// A gently curved sheet in row order, like a modelled grid.
template <class T>
std::vector<T> sheet(int stride)
{
    std::vector<T> xyz(static_cast<size_t>(stride) * kVertexCount, T(1));
    size_t k = 0;
    for (int j = 0; j < kGridSide; ++j) {
        for (int i = 0; i < kGridSide; ++i, k += stride) {
            const double x = i * 0.01 - 5.0;
            const double y = j * 0.01 - 5.0;
            xyz[k] = T(x);
            xyz[k + 1] = T(y);
            xyz[k + 2] = T(0.3 * std::sin(x * 1.7) * std::cos(y * 1.3));
        }
    }
    return xyz;
}

struct DeformData {
    std::vector<float> driver = sheet<float>(3);
    std::vector<int> inOrder;   // a duplicate of the driver: vertex i follows driver vertex i
    std::vector<int> shuffled;  // the same vertices numbered differently
    std::vector<double> positions = std::vector<double>(4 * kVertexCount, 1.0);
    std::vector<double> out = std::vector<double>(4 * kVertexCount, 0.0);
    double toLocal[4][4] = {{0.8, 0.6, 0, 0}, {-0.6, 0.8, 0, 0}, {0, 0, 1, 0}, {1.5, -2, 0.25, 1}};

    DeformData()
    {
        inOrder.resize(kVertexCount);
        std::iota(inOrder.begin(), inOrder.end(), 0);
        shuffled = inOrder;
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937_64(3));
    }

    VertexWrapDeform::DriverPoints driverPoints() const
    {
        VertexWrapDeform::DriverPoints d;
        d.floatXyz = driver.data();
        d.count = kVertexCount;
        return d;
    }
};

DeformData& deformData()
{
    static DeformData data;
    return data;
}

void BM_CopyPositions(benchmark::State& state)
{
    DeformData& d = deformData();
    for (auto _ : state) {
        std::memcpy(d.out.data(), d.positions.data(), kPositionBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kPositionBytes);
}
BENCHMARK(BM_CopyPositions)->Unit(benchmark::kMillisecond);

void deformAll(benchmark::State& state, const std::vector<int>& map)
{
    DeformData& d = deformData();
    for (auto _ : state) {
        const bool done = VertexWrapDeform::deformAll(d.driverPoints(), d.toLocal, map.data(), kVertexCount,
                                                      d.out.data());
        benchmark::DoNotOptimize(done);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kPositionBytes);
}

void BM_DeformFastPath(benchmark::State& state)
{
    deformAll(state, deformData().inOrder);
}
BENCHMARK(BM_DeformFastPath)->Unit(benchmark::kMillisecond);

void BM_DeformFastPathShuffledMap(benchmark::State& state)
{
    deformAll(state, deformData().shuffled);
}
BENCHMARK(BM_DeformFastPathShuffledMap)->Unit(benchmark::kMillisecond);

// The general path, as at an envelope below 1 or with unmapped vertices: the
// positions are read and written in place.
void BM_DeformGeneralPath(benchmark::State& state)
{
    DeformData& d = deformData();
    const double envelope = state.range(0) / 100.0;
    for (auto _ : state) {
        const int64_t moved = VertexWrapDeform::deformMapped(d.driverPoints(), d.toLocal, d.inOrder.data(),
                                                             kVertexCount, envelope, d.positions.data());
        benchmark::DoNotOptimize(moved);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kPositionBytes);
}
BENCHMARK(BM_DeformGeneralPath)->Arg(100)->Arg(50)->Unit(benchmark::kMillisecond);

// The command's maps: the driver grid built over the driver's object-space
// points, then one lookup per target vertex. The target is the driver's
// vertices in another order, a tenth of them moved off the driver.
void BM_VertexMaps(benchmark::State& state)
{
    const std::vector<double> driver = sheet<double>(3);
    std::vector<double> target(driver.size());
    std::vector<int> order(kVertexCount);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937_64(5));
    for (int64_t k = 0; k < kVertexCount; ++k) {
        for (int a = 0; a < 3; ++a)
            target[3 * k + a] = driver[3 * order[k] + a] + (k % 10 == 0 ? 0.001 : 0.0);
    }
    std::vector<int> map(kVertexCount);
    PatchMatching::DriverGrid grid;
    for (auto _ : state) {
        if (!VertexMapping::buildDriverGrid(driver.data(), kVertexCount, grid)) {
            state.SkipWithError("driver grid not built");
            break;
        }
        VertexMapping::mapTargetVertices(grid, target.data(), kVertexCount, map.data());
        benchmark::ClobberMemory();
    }
    int64_t mapped = 0;
    for (int64_t k = 0; k < kVertexCount; ++k)
        mapped += map[k] == order[k] ? 1 : 0;
    state.counters["mapped"] = static_cast<double>(mapped);
}
BENCHMARK(BM_VertexMaps)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
