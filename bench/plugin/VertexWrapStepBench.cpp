// The vertex wrap in steady use: a 200,704-vertex target following a driver
// whose points change every step. Beside it, in the same run, the same step
// with the envelope at 0 (the host's point change, dirty propagation and
// deformer chain copying the geometry through) and with only the driver
// pulled, so the host's share of a step can be read off. "ratio" is the whole
// step over the envelope-0 step plus the deform kernel on the same points and
// map, measured in the same run. Then the
// "vertexWrap" command itself on a 1,000,000-vertex target and driver.

#include "bench/CpuClock.h"
#include "vertexWrap/VertexWrapDeform.h"

#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MIntArray.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kStepSide = 448;       // 200,704 vertices
constexpr int kCommandSide = 1000;   // 1,000,000 vertices

void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "VertexWrapStepBench: %s failed\n", what);
        std::exit(1);
    }
}

bool run(const std::string& mel)
{
    return MGlobal::executeCommand(MString(mel.c_str()), false, true);
}

MDagPath shapePath(const char* name)
{
    MSelectionList list;
    MDagPath path;
    require(list.add(name) && list.getDagPath(0, path), name);
    return path;
}

std::string plane(const char* name, int side)
{
    return std::string("polyPlane -n ") + name + " -w 20 -h 20 -sx " + std::to_string(side - 1) + " -sy " +
           std::to_string(side - 1);
}

// Driver and wrapped target under different transforms, and two poses of the
// driver's points to alternate between.
struct WrapScene {
    MDagPath driver;
    MPlug driverWorldMesh;
    MPlug targetOutMesh;
    MPlug envelope;
    MPlug wrapMap;  // the target's vertex map
    MPointArray poses[2];
    int step = 0;

    WrapScene()
    {
        require(run(std::string("loadPlugin \"") + PELLIX_PLUGIN_PATH + "\""), "loadPlugin");
        require(run("file -force -new"), "file -new");
        require(run(plane("stepDriver", kStepSide)), "polyPlane");
        require(run("duplicate -n stepTarget stepDriver"), "duplicate");
        require(run("xform -t 3 1 0 stepTarget") && run("xform -ro 0 30 0 stepDriver"), "xform");
        require(run("vertexWrap -n stepWrap stepDriver stepTarget"), "vertexWrap");
        driver = shapePath("stepDriverShape");
        MPointArray points;
        require(MFnMesh(driver).getPoints(points), "getPoints");
        for (int k = 0; k < 2; ++k) {
            poses[k] = points;
            for (unsigned i = 0; i < points.length(); ++i)
                poses[k][i].y = 0.5 * std::sin(points[i].x * 0.7 + k) * std::cos(points[i].z * 0.4);
        }
        driverWorldMesh = MFnDependencyNode(driver.node()).findPlug("worldMesh", true).elementByLogicalIndex(0);
        targetOutMesh = MFnDependencyNode(shapePath("stepTargetShape").node()).findPlug("outMesh", true);
        MSelectionList list;
        MObject wrap;
        require(list.add("stepWrap") && list.getDependNode(0, wrap), "stepWrap");
        envelope = MFnDependencyNode(wrap).findPlug("envelope", true);
        wrapMap = MFnDependencyNode(wrap).findPlug("vertexMapping", true).elementByLogicalIndex(0);
    }

    void moveDriver() { require(MFnMesh(driver).setPoints(poses[step++ % 2]), "setPoints"); }

    // New driver points, then the deformed target pulled.
    void wrapStep()
    {
        moveDriver();
        benchmark::DoNotOptimize(firstCoordinate(targetOutMesh));
    }

    static float firstCoordinate(const MPlug& meshPlug)
    {
        MStatus status;
        MFnMesh mesh(meshPlug.asMObject(&status));
        require(status, "mesh pull");
        const float* points = mesh.getRawPoints(&status);
        require(status && points != nullptr, "raw points");
        return points[1];
    }
};

WrapScene& scene()
{
    static WrapScene s;
    return s;
}

void stepWithEnvelope(benchmark::State& state, float weight)
{
    WrapScene& s = scene();
    require(s.envelope.setFloat(weight), "envelope");
    for (auto _ : state)
        s.wrapStep();
    state.SetItemsProcessed(state.iterations());
}

// CPU seconds of a step at envelope 0 plus the wrap's deform loop on the driver's points, the
// wrap's map and a target-sized MPointArray's worth of positions.
double hostStepAndKernelSeconds()
{
    WrapScene& s = scene();
    require(s.envelope.setFloat(0.0f), "envelope");
    const double host = bench::cpuSecondsPer([&] { s.wrapStep(); }, 20);
    require(s.envelope.setFloat(1.0f), "envelope");

    MStatus status;
    const MIntArray map = MFnIntArrayData(s.wrapMap.asMObject(&status)).array();
    require(status && map.length() > 0, "vertexMapping");
    std::vector<int> ids(map.length());
    for (unsigned i = 0; i < map.length(); ++i)
        ids[i] = map[i];
    MFnMesh driver(s.driver);
    const double toLocal[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    VertexWrapDeform::DriverPoints points;
    points.floatXyz = driver.getRawPoints(&status);
    points.count = driver.numVertices();
    require(status && points.floatXyz, "driver points");
    std::vector<double> out(4 * ids.size());
    const double kernel = bench::cpuSecondsPer(
        [&] {
            require(VertexWrapDeform::deformAll(points, toLocal, ids.data(), int64_t(ids.size()), out.data()),
                    "deformAll");
            benchmark::ClobberMemory();
        },
        20);
    return host + kernel;
}

// The whole step: new driver points, then the deformed target pulled.
void BM_WrapStep(benchmark::State& state)
{
    WrapScene& s = scene();
    bench::runAgainst(state, hostStepAndKernelSeconds(), [&] { s.wrapStep(); });
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WrapStep)->Unit(benchmark::kMillisecond);

// The same step at half envelope: the general path reads the old positions too.
void BM_WrapStepHalfEnvelope(benchmark::State& state)
{
    stepWithEnvelope(state, 0.5f);
}
BENCHMARK(BM_WrapStepHalfEnvelope)->Unit(benchmark::kMillisecond);

// The host's part: the deformer returns at once, the chain still copies the geometry.
void BM_WrapStepHostOnly(benchmark::State& state)
{
    stepWithEnvelope(state, 0.0f);
}
BENCHMARK(BM_WrapStepHostOnly)->Unit(benchmark::kMillisecond);

// New driver points and the driver's world mesh pulled, no target.
void BM_DriverStepOnly(benchmark::State& state)
{
    WrapScene& s = scene();
    for (auto _ : state) {
        s.moveDriver();
        benchmark::DoNotOptimize(WrapScene::firstCoordinate(s.driverWorldMesh));
    }
}
BENCHMARK(BM_DriverStepOnly)->Unit(benchmark::kMillisecond);

// The command on a 1,000,000-vertex driver and target, undone after each run
// (the undo is not timed). Includes the deformer's first evaluation only if the
// host evaluates on creation.
void BM_WrapCommandMillion(benchmark::State& state)
{
    require(run(std::string("loadPlugin \"") + PELLIX_PLUGIN_PATH + "\""), "loadPlugin");
    require(run("file -force -new"), "file -new");
    require(run(plane("bigDriver", kCommandSide)), "polyPlane");
    require(run("duplicate -n bigTarget bigDriver") && run("xform -t 0 5 0 bigTarget"), "duplicate");
    for (auto _ : state) {
        require(run("vertexWrap bigDriver bigTarget"), "vertexWrap");
        state.PauseTiming();
        require(run("undo"), "undo");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WrapCommandMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
