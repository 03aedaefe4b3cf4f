// Mesh queries on a 1,000,000-vertex mesh: building the acceleration
// structure once, then closest points and ray hits against it.

#include "geometry/MeshData.h"
#include "geometry/PolyPrimitives.h"

#include <maya/MFnMesh.h>
#include <maya/MPoint.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

float hillHeight(double x, double z)
{
    return float(3.0 * std::sin(x * 0.3) * std::cos(z * 0.2));
}

// A 999 x 999-face plane (1,000,000 vertices) with rolling hills.
host::MeshGeometryPtr hillyPlane()
{
    host::MeshGeometryPtr g = host::buildPlane(100.0, 100.0, 999, 999);
    std::vector<float> points = g->points;
    for (size_t i = 0; i < points.size(); i += 3)
        points[i + 1] = hillHeight(points[i], points[i + 2]);
    g->setPoints(std::move(points));
    return g;
}

// Points near the surface, as the vertices of meshes modelled on it are.
std::vector<MPoint> queries(size_t count)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> xz(-50, 50), offset(-0.5, 0.5);
    std::vector<MPoint> out;
    for (size_t i = 0; i < count; ++i) {
        const double x = xz(random), z = xz(random);
        out.emplace_back(x, hillHeight(x, z) + offset(random), z);
    }
    return out;
}

void BM_BuildAndFirstClosestPoint(benchmark::State& state)
{
    host::MeshGeometryPtr base = hillyPlane();
    for (auto _ : state) {
        state.PauseTiming();
        MObject data = host::MeshData::make(std::make_shared<host::MeshGeometry>(*base));
        MFnMesh mesh(data);
        state.ResumeTiming();
        MPoint closest;
        mesh.getClosestPoint(MPoint(1, 10, 1), closest);
        benchmark::DoNotOptimize(closest);
    }
}
BENCHMARK(BM_BuildAndFirstClosestPoint)->Unit(benchmark::kMillisecond);

void BM_ClosestPoint(benchmark::State& state)
{
    MObject data = host::MeshData::make(hillyPlane());
    MFnMesh mesh(data);
    const std::vector<MPoint> points = queries(100000);
    MPoint closest;
    mesh.getClosestPoint(points[0], closest);  // builds the hierarchy
    size_t i = 0;
    for (auto _ : state) {
        mesh.getClosestPoint(points[i++ % points.size()], closest);
        benchmark::DoNotOptimize(closest);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ClosestPoint);

void BM_ClosestIntersection(benchmark::State& state)
{
    MObject data = host::MeshData::make(hillyPlane());
    MFnMesh mesh(data);
    const std::vector<MPoint> points = queries(100000);
    MFloatPoint hit;
    float param = 0;
    int face = -1;
    MMeshIsectAccelParams accel = MFnMesh::autoUniformGridParams();
    MPoint closest;
    mesh.getClosestPoint(points[0], closest);  // builds the hierarchy
    size_t i = 0;
    for (auto _ : state) {
        const MPoint& p = points[i++ % points.size()];
        const bool found = mesh.closestIntersection(MFloatPoint(float(p.x), 20.0f, float(p.z)), MFloatVector(0, -1, 0),
                                                    nullptr, nullptr, false, MSpace::kObject, 100.0f, false, &accel,
                                                    hit, &param, &face, nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ClosestIntersection);

} // namespace
