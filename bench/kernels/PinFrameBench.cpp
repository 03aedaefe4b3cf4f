// The per-pin evaluation loop: 100,000 pins bound to random triangles of a
// 1,000,000-vertex mesh, matrix output, serially and in parallel, beside a
// gather baseline that reads the same corners and normals and only sums them.

#include "pins/PinFrameMath.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

using namespace PinFrameMath;

namespace {

constexpr int kSide = 1000;  // kSide² vertices
constexpr int kPins = 100000;

struct PinData {
    std::vector<float> points;   // xyz per vertex
    std::vector<float> normals;  // xyz per normal id (one per vertex: a smooth mesh)
    std::vector<PinBinding> pins;
    std::vector<Matrix4> outputs;
    Matrix4 geometry;
};

PinData& pinData()
{
    static PinData data = [] {
        PinData d;
        d.points.reserve(3 * size_t(kSide) * kSide);
        d.normals.reserve(3 * size_t(kSide) * kSide);
        for (int j = 0; j < kSide; ++j) {
            for (int i = 0; i < kSide; ++i) {
                const float x = i * 0.01f, y = j * 0.01f;
                const float z = 0.2f * std::sin(x * 3.0f) * std::cos(y * 2.0f);
                d.points.insert(d.points.end(), {x, y, z});
                // Normal of the height field, left unnormalised like raw mesh normals may be.
                const float dzdx = 0.6f * std::cos(x * 3.0f) * std::cos(y * 2.0f);
                const float dzdy = -0.4f * std::sin(x * 3.0f) * std::sin(y * 2.0f);
                d.normals.insert(d.normals.end(), {-dzdx, -dzdy, 1.0f});
            }
        }
        std::mt19937 random(99);
        std::uniform_int_distribution<int> cell(0, kSide - 2);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        d.pins.resize(kPins);
        for (PinBinding& pin : d.pins) {
            const int v = cell(random) * kSide + cell(random);
            const bool upper = unit(random) < 0.5f;
            const int corners[3] = {upper ? v + 1 : v, upper ? v + kSide + 1 : v + 1, v + kSide};
            float w1 = unit(random), w2 = unit(random);
            if (w1 + w2 > 1.0f) {
                w1 = 1.0f - w1;
                w2 = 1.0f - w2;
            }
            for (int k = 0; k < 3; ++k) {
                pin.vertexIds[k] = corners[k];
                pin.normalIds[k] = corners[k];
            }
            pin.weights[0] = 1.0f - w1 - w2;
            pin.weights[1] = w1;
            pin.weights[2] = w2;
            pin.tangentCoeffs[0] = 1.0f + unit(random);
            pin.tangentCoeffs[1] = unit(random) - 0.5f;
        }
        d.outputs.resize(kPins);
        d.geometry = Matrix4{{{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {5, 6, 7, 1}}};
        return d;
    }();
    return data;
}

FrameInputs evaluationOf(const PinData& d)
{
    FrameInputs e;
    e.points = d.points.data();
    e.normals = d.normals.data();
    e.geometry = geometryBlock(d.geometry);
    return e;
}

void reportPerPin(benchmark::State& state)
{
    state.counters["time_per_pin"] =
        benchmark::Counter(static_cast<double>(kPins), benchmark::Counter::kIsIterationInvariantRate |
                                                                   benchmark::Counter::kInvert);
}

void BM_PinFramesSerial(benchmark::State& state)
{
    PinData& d = pinData();
    const FrameInputs e = evaluationOf(d);
    for (auto _ : state) {
        composePinOutputs(e, d.pins.data(), 0, kPins, d.outputs.data());
        benchmark::ClobberMemory();
    }
    reportPerPin(state);
}

void BM_PinFramesParallel(benchmark::State& state)
{
    PinData& d = pinData();
    const FrameInputs e = evaluationOf(d);
    for (auto _ : state) {
        evaluatePins(e, d.pins.data(), kPins, d.outputs.data());
        benchmark::ClobberMemory();
    }
    reportPerPin(state);
}

// Reads each pin's three points and three normals and writes their sums into
// the pin's output matrix, all of it: the memory traffic of the loop (pin records
// in, scattered corners and normals in, 128 bytes out per pin) without its
// arithmetic. A plain loop, as the compiler and the processor run it.
void BM_GatherBaseline(benchmark::State& state)
{
    PinData& d = pinData();
    const float* points = d.points.data();
    const float* normals = d.normals.data();
    for (auto _ : state) {
        for (int i = 0; i < kPins; ++i) {
            const PinBinding& pin = d.pins[i];
            Matrix4& out = d.outputs[i];
            for (int c = 0; c < 3; ++c) {
                out.m[0][c] = out.m[1][c] = 0.0;
                out.m[2][c] = double(normals[3 * pin.normalIds[0] + c]) + normals[3 * pin.normalIds[1] + c] +
                              normals[3 * pin.normalIds[2] + c];
                out.m[3][c] = double(points[3 * pin.vertexIds[0] + c]) + points[3 * pin.vertexIds[1] + c] +
                              points[3 * pin.vertexIds[2] + c];
            }
            out.m[0][3] = out.m[1][3] = out.m[2][3] = 0.0;
            out.m[3][3] = 1.0;
        }
        benchmark::ClobberMemory();
    }
    reportPerPin(state);
}

}  // namespace

BENCHMARK(BM_GatherBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PinFramesSerial)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PinFramesParallel)->Unit(benchmark::kMillisecond)->UseRealTime();
