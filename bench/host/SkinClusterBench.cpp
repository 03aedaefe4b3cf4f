// A skinned mesh in steady use: a 199,809-vertex plane bound by `skinCluster` to 100 joints with
// 4 influences a vertex. One step turns a joint and pulls the mesh's points through the
// skinCluster (dirty propagation, the influences' matrices, skinning, the copy of the points).
// Baseline, timed in the same run: the same skinning kernel on plain arrays with the same
// weights and matrices, plus a copy of the points. "ratio" is a step over the baseline.

#include "deformers/SkinningKernel.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 447;    // 447 x 447 = 199,809 vertices
constexpr int kJoints = 10;   // 10 x 10 joints over the plane

void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "SkinClusterBench: %s failed\n", what);
        std::exit(1);
    }
}

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct SkinScene
{
    MPlug rotate;    // one joint's rotateZ
    MPlug outMesh;   // the skinned shape's points
    // The baseline's inputs: the Orig points, the weights and the influences' matrices.
    std::vector<float> points, skinned;
    host::SkinWeightTable table;
    std::vector<host::SkinMatrix> matrices;

    SkinScene()
    {
        std::string script = "polyPlane -n skin -w 20 -h 20 -sx " + std::to_string(kSide - 1) + " -sy " +
                             std::to_string(kSide - 1) + "; select -cl; ";
        std::string joints;
        for (int i = 0; i < kJoints; ++i)
            for (int k = 0; k < kJoints; ++k) {
                const std::string name = "j" + std::to_string(i * kJoints + k);
                script += "select -cl; joint -n " + name + " -p " + std::to_string(-9.0 + 2.0 * i) + " 0.5 " +
                          std::to_string(-9.0 + 2.0 * k) + "; ";
                joints += name + " ";
            }
        script += "skinCluster -tsb -mi 4 -n benchSkin " + joints + "skin";
        require(MGlobal::executeCommand(script.c_str()), "scene set-up");
        rotate = plug("j44", "rotateZ");
        outMesh = plug("skinShape", "outMesh");

        // The same table and matrices the skinCluster works from.
        MSelectionList list;
        MDagPath orig;
        require(list.add("skinShapeOrig") && list.getDagPath(0, orig), "skinShapeOrig");
        const float* raw = MFnMesh(orig).getRawPoints(nullptr);
        points.assign(raw, raw + 3 * size_t(MFnMesh(orig).numVertices()));
        skinned.resize(points.size());
        const MPlug lists = plug("benchSkin", "weightList");
        std::vector<uint32_t> ids;
        std::vector<float> weights;
        for (unsigned v = 0; v < lists.numElements(); ++v) {
            const MPlug values = lists.elementByLogicalIndex(v).child(0);
            ids.clear();
            weights.clear();
            for (unsigned k = 0; k < values.numElements(); ++k) {
                ids.push_back(values.elementByPhysicalIndex(k).logicalIndex());
                weights.push_back(float(values.elementByPhysicalIndex(k).asDouble()));
            }
            table.addPoint(ids.data(), weights.data(), ids.size());
        }
        // The first pull packs the weights; steps reuse them.
        outMesh.asMObject();
        matrices.resize(kJoints * kJoints);
        for (auto& m : matrices)
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 3; ++c)
                    m.m[r * 3 + c] = r == c ? 1.0 : 0.0;
    }

    static MPlug plug(const char* node, const char* attribute)
    {
        MSelectionList list;
        MObject object;
        require(list.add(node) && list.getDependNode(0, object), node);
        return MFnDependencyNode(object).findPlug(attribute, true);
    }

    void baselineStep()
    {
        host::skinPoints(points.data(), skinned.data(), points.size() / 3, table, matrices.data(), matrices.size(),
                         1.0f);
        std::vector<float> copy(skinned);
        benchmark::DoNotOptimize(copy.data());
    }
};

SkinScene& scene()
{
    static SkinScene s;
    return s;
}

double baselineSeconds()
{
    constexpr int kPasses = 20;
    SkinScene& s = scene();
    s.baselineStep();
    const double start = now();
    for (int i = 0; i < kPasses; ++i)
        s.baselineStep();
    return (now() - start) / kPasses;
}

void BM_SkinClusterStep(benchmark::State& state)
{
    SkinScene& s = scene();
    const double baseline = baselineSeconds();
    double angle = 0.0;
    const double start = now();
    for (auto _ : state) {
        s.rotate.setValue(angle += 0.01);
        MObject data = s.outMesh.asMObject();
        benchmark::DoNotOptimize(MFnMesh(data).getRawPoints(nullptr));
    }
    const double seconds = (now() - start) / double(state.iterations());
    state.counters["ratio"] = seconds / baseline;
    state.counters["baseline_ms"] = baseline * 1e3;
    state.counters["vertices"] = double(kSide) * kSide;
}
BENCHMARK(BM_SkinClusterStep)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SkinningKernelAndCopy(benchmark::State& state)
{
    SkinScene& s = scene();
    for (auto _ : state)
        s.baselineStep();
}
BENCHMARK(BM_SkinningKernelAndCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
