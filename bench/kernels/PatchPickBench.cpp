// Overlay picking: the nearest patch along mouse rays over an overlay of 10,000 patches with
// 1,000,000 triangles, against Embree answering the same rays on the same triangles, and the
// pick-data rebuild against Embree's scene build. Both run on one thread; the setup checks
// that both find the same nearest hits and prints the count of disagreements.

#include "overlay/PatchPickData.h"

#include <benchmark/benchmark.h>
#include <embree3/rtcore.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <time.h>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A bumpy torus of 1000 x 500 quads (R 10, r 4) cut into 100 x 100 patches of 10 x 5 quads:
// 10,000 patches of 66 vertices and 100 triangles each, neighbours sharing border vertices.
struct PickScene {
    static constexpr int kAround = 1000, kAcross = 500, kPatchAround = 10, kPatchAcross = 5;

    std::vector<float> driverPoints;
    std::vector<int> vertexCounts, drivers, triOffsets, triCounts, triIndices, edgeOffsets, edgeCounts, edgeIndices;
    const double matrix[4][4] = {{0.8, 0.6, 0, 0}, {-0.6, 0.8, 0, 0}, {0, 0, 1, 0}, {2, -3, 5, 1}};

    PatchPick::PickData pickData;
    std::vector<double> rays; // origin and unit direction, six per ray
    int rayCount = 0;

    PickScene()
    {
        for (int j = 0; j < kAcross; ++j) {
            for (int i = 0; i < kAround; ++i) {
                const double u = 2 * kPi * i / kAround, v = 2 * kPi * j / kAcross;
                const double r = 4 + 0.15 * std::sin(7 * u + 3 * v) * std::cos(11 * v);
                driverPoints.push_back(float((10 + r * std::cos(v)) * std::cos(u)));
                driverPoints.push_back(float((10 + r * std::cos(v)) * std::sin(u)));
                driverPoints.push_back(float(r * std::sin(v)));
            }
        }
        auto driverId = [](int i, int j) { return (j % kAcross) * kAround + (i % kAround); };
        for (int pj = 0; pj < kAcross / kPatchAcross; ++pj) {
            for (int pi = 0; pi < kAround / kPatchAround; ++pi) {
                vertexCounts.push_back((kPatchAround + 1) * (kPatchAcross + 1));
                for (int y = 0; y <= kPatchAcross; ++y) {
                    for (int x = 0; x <= kPatchAround; ++x) {
                        drivers.push_back(driverId(pi * kPatchAround + x, pj * kPatchAcross + y));
                    }
                }
                triOffsets.push_back(int(triIndices.size()));
                edgeOffsets.push_back(int(edgeIndices.size()));
                for (int y = 0; y < kPatchAcross; ++y) {
                    for (int x = 0; x < kPatchAround; ++x) {
                        const int a = y * (kPatchAround + 1) + x, b = a + 1, c = a + kPatchAround + 2,
                                  d = a + kPatchAround + 1;
                        triIndices.insert(triIndices.end(), {a, b, c, a, c, d});
                        edgeIndices.insert(edgeIndices.end(), {a, b, a, d});
                    }
                }
                triCounts.push_back(int(triIndices.size()) - triOffsets.back());
                edgeCounts.push_back(int(edgeIndices.size()) - edgeOffsets.back());
            }
        }
        if (!build(pickData)) {
            std::fprintf(stderr, "PatchPickBench: the pick data of the benchmark overlay did not build\n");
            std::abort();
        }

        // Mouse rays from cameras around the torus, aimed at points inside its box: most hit,
        // some pass through the hole or beside it.
        std::mt19937 random(11);
        std::uniform_real_distribution<double> unit(-1.0, 1.0);
        rayCount = 4096;
        for (int k = 0; k < rayCount; ++k) {
            double eye[3], target[3], direction[3];
            double length = 0;
            do {
                eye[0] = unit(random), eye[1] = unit(random), eye[2] = unit(random);
                length = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
            } while (length < 0.1 || length > 1.0);
            for (int a = 0; a < 3; ++a) {
                eye[a] = eye[a] / length * 45 + matrix[3][a];
                target[a] = unit(random) * (a == 2 ? 4 : 14) + matrix[3][a];
                direction[a] = target[a] - eye[a];
            }
            length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
            rays.insert(rays.end(), {eye[0], eye[1], eye[2], direction[0] / length, direction[1] / length,
                                     direction[2] / length});
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

    bool build(PatchPick::PickData& data) const
    {
        return PatchPick::buildPickData(arrays(), driverPoints.data(), int64_t(driverPoints.size() / 3), matrix, data);
    }

    const double* origin(int k) const { return &rays[size_t(k) * 6]; }
    const double* direction(int k) const { return &rays[size_t(k) * 6 + 3]; }
};

double threadCpuNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e9 + double(now.tv_nsec);
}

PickScene& pickScene()
{
    static PickScene scene;
    return scene;
}

// The same triangles in an Embree scene: the patch vertices placed by the same matrix (as
// floats), every patch triangle, and the patch each primitive belongs to.
struct EmbreeScene {
    RTCDevice device = nullptr;
    RTCScene scene = nullptr;
    std::vector<int> patchOfPrimitive;

    EmbreeScene() : device(rtcNewDevice("threads=1")) { patchOfPrimitive = patchesOfTriangles(pickScene()); }

    ~EmbreeScene()
    {
        if (scene != nullptr) {
            rtcReleaseScene(scene);
        }
        rtcReleaseDevice(device);
    }

    static std::vector<int> patchesOfTriangles(const PickScene& input)
    {
        std::vector<int> patches;
        for (size_t p = 0; p < input.triCounts.size(); ++p) {
            patches.insert(patches.end(), size_t(input.triCounts[p] / 3), int(p));
        }
        return patches;
    }

    // Builds a new scene from the stored arrays and the driver's points, as the pick data is.
    RTCScene buildScene(const PickScene& input) const
    {
        RTCScene built = rtcNewScene(device);
        RTCGeometry geometry = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
        const size_t vertexCount = input.drivers.size();
        float* vertices = static_cast<float*>(rtcSetNewGeometryBuffer(geometry, RTC_BUFFER_TYPE_VERTEX, 0,
                                                                      RTC_FORMAT_FLOAT3, 3 * sizeof(float),
                                                                      vertexCount));
        const double(*m)[4] = input.matrix;
        for (size_t k = 0; k < vertexCount; ++k) {
            const float* raw = &input.driverPoints[size_t(input.drivers[k]) * 3];
            const double x = raw[0], y = raw[1], z = raw[2];
            for (int a = 0; a < 3; ++a) {
                vertices[k * 3 + a] = float(x * m[0][a] + y * m[1][a] + z * m[2][a] + m[3][a]);
            }
        }
        const size_t triangleCount = input.triIndices.size() / 3;
        unsigned* indices = static_cast<unsigned*>(rtcSetNewGeometryBuffer(
            geometry, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 3 * sizeof(unsigned), triangleCount));
        unsigned base = 0;
        size_t at = 0;
        for (size_t p = 0; p < input.vertexCounts.size(); ++p) {
            for (int k = 0; k < input.triCounts[p]; ++k) {
                indices[at++] = base + unsigned(input.triIndices[size_t(input.triOffsets[p] + k)]);
            }
            base += unsigned(input.vertexCounts[p]);
        }
        rtcCommitGeometry(geometry);
        rtcAttachGeometry(built, geometry);
        rtcReleaseGeometry(geometry);
        rtcCommitScene(built);
        return built;
    }

    // Distance and patch of the nearest hit, or a negative patch.
    void intersect(const double* origin, const double* direction, float& distance, int& patch) const
    {
        RTCIntersectContext context;
        rtcInitIntersectContext(&context);
        RTCRayHit query;
        query.ray.org_x = float(origin[0]);
        query.ray.org_y = float(origin[1]);
        query.ray.org_z = float(origin[2]);
        query.ray.dir_x = float(direction[0]);
        query.ray.dir_y = float(direction[1]);
        query.ray.dir_z = float(direction[2]);
        query.ray.tnear = 0.0f;
        query.ray.tfar = std::numeric_limits<float>::infinity();
        query.ray.mask = 0xFFFFFFFFu;
        query.ray.flags = 0;
        query.ray.time = 0.0f;
        query.hit.geomID = RTC_INVALID_GEOMETRY_ID;
        query.hit.instID[0] = RTC_INVALID_GEOMETRY_ID;
        rtcIntersect1(scene, &context, &query);
        distance = query.ray.tfar;
        patch = query.hit.geomID == RTC_INVALID_GEOMETRY_ID ? -1 : patchOfPrimitive[query.hit.primID];
    }
};

EmbreeScene& embreeScene()
{
    static EmbreeScene embree;
    if (embree.scene == nullptr) {
        embree.scene = embree.buildScene(pickScene());
    }
    return embree;
}

// Compares both answers on every ray once: a different patch at the same distance (within
// single precision) is a ray through an edge two patches share; anything else is a mismatch.
struct HitCheck {
    int hits = 0, sameHits = 0, edgeTies = 0, mismatches = 0;

    HitCheck()
    {
        const PickScene& input = pickScene();
        const EmbreeScene& embree = embreeScene();
        for (int k = 0; k < input.rayCount; ++k) {
            const PatchPick::PickHit hit = PatchPick::rayPick(input.pickData, input.origin(k), input.direction(k));
            float distance = 0;
            int patch = -1;
            embree.intersect(input.origin(k), input.direction(k), distance, patch);
            hits += hit.hit ? 1 : 0;
            const bool closeDistance = hit.hit && patch >= 0 &&
                                       std::fabs(hit.distance - distance) <= 1e-4 * std::max(1.0, hit.distance);
            if (hit.patch == patch && (patch < 0 || closeDistance)) {
                ++sameHits;
            } else if (closeDistance) {
                ++edgeTies;
            } else {
                ++mismatches;
            }
        }
        std::fprintf(stderr,
                     "pick check against Embree: %d rays, %d hits, %d same nearest hit, %d edge ties, %d mismatches\n",
                     input.rayCount, hits, sameHits, edgeTies, mismatches);
    }
};

const HitCheck& hitCheck()
{
    static HitCheck check;
    return check;
}

void BM_PatchPickRay(benchmark::State& state)
{
    const PickScene& input = pickScene();
    const HitCheck& check = hitCheck();
    int k = 0;
    for (auto _ : state) {
        const PatchPick::PickHit hit = PatchPick::rayPick(input.pickData, input.origin(k), input.direction(k));
        benchmark::DoNotOptimize(hit.patch);
        k = (k + 1) & (input.rayCount - 1);
    }
    state.counters["mismatches"] = check.mismatches;
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PatchPickRay)->Unit(benchmark::kNanosecond);

// Baseline: Embree's nearest hit of the same ray on the same triangles.
void BM_EmbreePickRay(benchmark::State& state)
{
    const PickScene& input = pickScene();
    const EmbreeScene& embree = embreeScene();
    int k = 0;
    for (auto _ : state) {
        float distance;
        int patch;
        embree.intersect(input.origin(k), input.direction(k), distance, patch);
        benchmark::DoNotOptimize(patch);
        k = (k + 1) & (input.rayCount - 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EmbreePickRay)->Unit(benchmark::kNanosecond);

// Both in turns of 256 rays, so that a busy machine weighs on both alike: the counters give
// the thread CPU time per ray of each and their ratio.
void BM_PickRayTurns(benchmark::State& state)
{
    const PickScene& input = pickScene();
    const EmbreeScene& embree = embreeScene();
    double patchTime = 0, embreeTime = 0;
    int64_t rays = 0;
    int k = 0;
    for (auto _ : state) {
        const double start = threadCpuNanoseconds();
        for (int i = 0; i < 256; ++i) {
            const PatchPick::PickHit hit =
                PatchPick::rayPick(input.pickData, input.origin(k + i), input.direction(k + i));
            benchmark::DoNotOptimize(hit.patch);
        }
        const double middle = threadCpuNanoseconds();
        for (int i = 0; i < 256; ++i) {
            float distance;
            int patch;
            embree.intersect(input.origin(k + i), input.direction(k + i), distance, patch);
            benchmark::DoNotOptimize(patch);
        }
        const double end = threadCpuNanoseconds();
        patchTime += middle - start;
        embreeTime += end - middle;
        rays += 256;
        k = (k + 256) & (input.rayCount - 1);
    }
    const double patchNs = patchTime / double(rays);
    const double embreeNs = embreeTime / double(rays);
    state.counters["patch_ns"] = patchNs;
    state.counters["embree_ns"] = embreeNs;
    state.counters["ratio"] = patchNs / embreeNs;
}
BENCHMARK(BM_PickRayTurns)->Unit(benchmark::kMicrosecond);

void BM_PatchPickDataRebuild(benchmark::State& state)
{
    const PickScene& input = pickScene();
    PatchPick::PickData data;
    for (auto _ : state) {
        input.build(data);
        benchmark::DoNotOptimize(data.nodes.data());
    }
}
BENCHMARK(BM_PatchPickDataRebuild)->Unit(benchmark::kMillisecond);

// Baseline: Embree's scene build over the same triangles, filled from the same arrays.
void BM_EmbreeSceneBuild(benchmark::State& state)
{
    const PickScene& input = pickScene();
    const EmbreeScene& embree = embreeScene();
    for (auto _ : state) {
        RTCScene built = embree.buildScene(input);
        benchmark::DoNotOptimize(built);
        rtcReleaseScene(built);
    }
}
BENCHMARK(BM_EmbreeSceneBuild)->Unit(benchmark::kMillisecond);

} // namespace
