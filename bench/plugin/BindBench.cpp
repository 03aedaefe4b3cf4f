// "pellixDataBind" at scale: 999 patches of 200 vertices on a 1,000,000-vertex driver,
// end to end through MEL, beside the pieces it consists of (resolving the names, reading
// the driver and the patches, matching, writing the overlay's arrays and connections, and
// undo/redo) so that the share of each shows in one run. Building the scene is not timed.

#include "overlay/PatchMatching.h"

#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kDriverSide = 1000;  // driver vertices per side of the plane
constexpr int kPatches = 999;  // the command takes at most 1000 objects, the driver first
constexpr int kPatchColumns = 20;  // 20 x 10 vertices: 200 per patch
constexpr int kPatchRows = 10;
constexpr double kTolerance = 0.0001;

// Runs MEL as a script would, with its commands going on the undo queue.
bool run(const std::string& mel)
{
    return MGlobal::executeCommand(MString(mel.c_str()), false, true);
}

bool loadPlugin()
{
    static const bool loaded = run(std::string("loadPlugin \"") + PELLIX_PLUGIN_PATH + "\"");
    return loaded;
}

MDagPath pathOf(const std::string& name)
{
    MSelectionList list;
    MDagPath path;
    if (!list.add(MString(name.c_str())) || !list.getDagPath(0, path))
        return MDagPath();
    return path;
}

std::string patchName(int p)
{
    return "patch" + std::to_string(p);
}

// A new scene: the driver, a 1000 x 1000-vertex plane turned and moved so that world and
// object space differ, and kPatches meshes cut from it at random places, each a grid of
// kPatchColumns x kPatchRows vertices placed exactly on the driver's world positions, as a
// patch extracted from the driver would be. Patches may overlap. Returns false on failure.
bool buildScene()
{
    if (!loadPlugin() || !run("file -force -new") ||
        !run("polyPlane -n driver -w 100 -h 100 -sx " + std::to_string(kDriverSide - 1) + " -sy " +
             std::to_string(kDriverSide - 1)) ||
        !run("xform -ro 20 10 5 driver") || !run("xform -t 1 2 3 driver"))
        return false;
    MDagPath driver = pathOf("driver");
    if (!driver.isValid() || !driver.extendToShape())
        return false;
    MPointArray world;
    if (!MFnMesh(driver).getPoints(world, MSpace::kWorld) ||
        world.length() != static_cast<unsigned>(kDriverSide * kDriverSide))
        return false;

    MIntArray counts;
    MIntArray connects;
    for (int r = 0; r + 1 < kPatchRows; ++r) {
        for (int c = 0; c + 1 < kPatchColumns; ++c) {
            const int v = r * kPatchColumns + c;
            counts.append(4);
            for (int corner : {v, v + 1, v + kPatchColumns + 1, v + kPatchColumns})
                connects.append(corner);
        }
    }
    std::mt19937 random(11);
    std::uniform_int_distribution<int> column(0, kDriverSide - kPatchColumns);
    std::uniform_int_distribution<int> row(0, kDriverSide - kPatchRows);
    MPointArray points(kPatchColumns * kPatchRows);
    for (int p = 0; p < kPatches; ++p) {
        const int c0 = column(random);
        const int r0 = row(random);
        for (int r = 0; r < kPatchRows; ++r) {
            for (int c = 0; c < kPatchColumns; ++c)
                points[r * kPatchColumns + c] = world[(r0 + r) * kDriverSide + c0 + c];
        }
        MStatus status;
        MFnMesh mesh;
        const MObject transform =
            mesh.create(points.length(), counts.length(), points, counts, connects, MObject::kNullObj, &status);
        if (!status)
            return false;
        MFnDependencyNode(transform).setName(MString(patchName(p).c_str()), false, &status);
        if (!status)
            return false;
    }
    return true;
}

// The scene, built once for the benchmarks that only read it.
bool sharedScene(benchmark::State& state)
{
    static bool built = false;
    if (!built)
        built = buildScene();
    if (!built)
        state.SkipWithError("cannot build the scene");
    return built;
}

std::string bindCommand()
{
    std::string command = "pellixDataBind -n benchOverlay driver";
    for (int p = 0; p < kPatches; ++p)
        command += " " + patchName(p);
    return command;
}

// The whole command as a script runs it: name resolution, reading the meshes, matching,
// creating the overlay and writing its arrays, settings and connections. Each run is
// undone untimed so that the next one binds the same scene.
void BM_PellixDataBind(benchmark::State& state)
{
    if (!sharedScene(state))
        return;
    const std::string command = bindCommand();
    for (auto _ : state) {
        if (!run(command)) {
            state.SkipWithError("pellixDataBind failed");
            break;
        }
        state.PauseTiming();
        const bool undone = run("undo");
        state.ResumeTiming();
        if (!undone) {
            state.SkipWithError("undo failed");
            break;
        }
    }
    state.counters["patchVertices"] = kPatches * kPatchColumns * kPatchRows;
}
BENCHMARK(BM_PellixDataBind)->Unit(benchmark::kMillisecond)->Iterations(3);

// Undo and redo of one bind: the command's modifiers replayed.
void BM_PellixDataBindUndoRedo(benchmark::State& state)
{
    if (!sharedScene(state))
        return;
    if (!run(bindCommand())) {
        state.SkipWithError("pellixDataBind failed");
        return;
    }
    for (auto _ : state) {
        if (!run("undo") || !run("redo")) {
            state.SkipWithError("undo or redo failed");
            break;
        }
    }
    run("undo");
}
BENCHMARK(BM_PellixDataBindUndoRedo)->Unit(benchmark::kMillisecond)->Iterations(3);

// Host share 1: the names of the driver and the patches resolved to DAG paths.
void BM_HostResolveNames(benchmark::State& state)
{
    if (!sharedScene(state))
        return;
    for (auto _ : state) {
        MSelectionList list;
        list.add("driver");
        for (int p = 0; p < kPatches; ++p)
            list.add(MString(patchName(p).c_str()));
        MDagPath path;
        list.getDagPath(kPatches, path);
        benchmark::DoNotOptimize(path);
    }
}
BENCHMARK(BM_HostResolveNames)->Unit(benchmark::kMillisecond)->Iterations(3);

// Host share 2: the driver's world points, read once per run.
void BM_HostReadDriverPoints(benchmark::State& state)
{
    if (!sharedScene(state))
        return;
    MDagPath driver = pathOf("driver");
    driver.extendToShape();
    for (auto _ : state) {
        MPointArray points;
        MFnMesh(driver).getPoints(points, MSpace::kWorld);
        benchmark::DoNotOptimize(points.length());
    }
}
BENCHMARK(BM_HostReadDriverPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

std::vector<MDagPath> patchPaths()
{
    std::vector<MDagPath> paths;
    for (int p = 0; p < kPatches; ++p) {
        MDagPath path = pathOf(patchName(p));
        path.extendToShape();
        paths.push_back(path);
    }
    return paths;
}

// What the bind reads of every patch: world points, triangles and edge vertices.
struct PatchTopology {
    std::vector<double> xyz;
    MIntArray triangleVertices;
    std::vector<int> edgeVertices;
};

void readPatch(const MDagPath& path, PatchTopology& topology)
{
    MFnMesh mesh(path);
    MPointArray points;
    mesh.getPoints(points, MSpace::kWorld);
    topology.xyz.clear();
    for (unsigned k = 0; k < points.length(); ++k)
        topology.xyz.insert(topology.xyz.end(), {points[k].x, points[k].y, points[k].z});
    MIntArray triangleCounts;
    mesh.getTriangles(triangleCounts, topology.triangleVertices);
    const int edges = mesh.numEdges();
    topology.edgeVertices.clear();
    for (int e = 0; e < edges; ++e) {
        int2 pair;
        if (mesh.getEdgeVertices(e, pair))
            topology.edgeVertices.insert(topology.edgeVertices.end(), {pair[0], pair[1]});
    }
}

// Host share 3: reading every patch.
void BM_HostReadPatches(benchmark::State& state)
{
    if (!sharedScene(state))
        return;
    const std::vector<MDagPath> paths = patchPaths();
    PatchTopology topology;
    for (auto _ : state) {
        for (const MDagPath& path : paths)
            readPatch(path, topology);
        benchmark::DoNotOptimize(topology.edgeVertices.data());
    }
}
BENCHMARK(BM_HostReadPatches)->Unit(benchmark::kMillisecond)->Iterations(3);

// The plug-in's share: the driver grid built and every patch vertex matched, on the
// points the host gave.
void BM_MatchPatches(benchmark::State& state)
{
    if (!sharedScene(state))
        return;
    MDagPath driver = pathOf("driver");
    driver.extendToShape();
    MPointArray driverPoints;
    MFnMesh(driver).getPoints(driverPoints, MSpace::kWorld);
    std::vector<double> driverXyz;
    for (unsigned k = 0; k < driverPoints.length(); ++k)
        driverXyz.insert(driverXyz.end(), {driverPoints[k].x, driverPoints[k].y, driverPoints[k].z});
    std::vector<std::vector<double>> patches;
    PatchTopology topology;
    for (const MDagPath& path : patchPaths()) {
        readPatch(path, topology);
        patches.push_back(topology.xyz);
    }
    std::vector<int> ids(kPatchColumns * kPatchRows);
    std::vector<int> scratch;
    int64_t outside = 0;
    for (auto _ : state) {
        PatchMatching::DriverGrid grid;
        grid.build(driverXyz.data(), static_cast<int64_t>(driverPoints.length()), kTolerance);
        outside = 0;
        for (const std::vector<double>& xyz : patches)
            outside += PatchMatching::matchPatchVertices(grid, xyz.data(), static_cast<int64_t>(xyz.size() / 3),
                                                         ids.data(), scratch)
                           .outside;
    }
    if (outside != 0)
        state.SkipWithError("patch vertices outside tolerance");
}
BENCHMARK(BM_MatchPatches)->Unit(benchmark::kMillisecond)->Iterations(3);

// Host share 4: what the bind queues on its settings modifier, on a bare overlay node:
// the eight int arrays at the sizes this scene gives, the display settings, the driver's
// world mesh into inMesh and two message connections per patch; then executed.
void BM_HostWriteOverlay(benchmark::State& state)
{
    if (!sharedScene(state))
        return;
    std::vector<MDagPath> paths = patchPaths();
    MIntArray arrays[8];
    PatchTopology topology;
    for (const MDagPath& path : paths) {
        readPatch(path, topology);
        const int vertices = static_cast<int>(topology.xyz.size() / 3);
        arrays[0].append(vertices);
        for (int k = 0; k < vertices; ++k)
            arrays[1].append(k);
        arrays[2].append(static_cast<int>(arrays[4].length()));
        arrays[3].append(static_cast<int>(topology.triangleVertices.length()));
        for (unsigned k = 0; k < topology.triangleVertices.length(); ++k)
            arrays[4].append(topology.triangleVertices[k]);
        arrays[5].append(static_cast<int>(arrays[7].length()));
        arrays[6].append(static_cast<int>(topology.edgeVertices.size()));
        for (int v : topology.edgeVertices)
            arrays[7].append(v);
    }
    static const char* const kArrayNames[] = {"patchVertexCounts",    "patchDriverVertexIndices",
                                              "patchTriangleOffsets", "patchTriangleCounts",
                                              "patchTriangleIndices", "patchEdgeOffsets",
                                              "patchEdgeCounts",      "patchEdgeIndices"};
    static const char* const kSettings[] = {"transparency", "hoverTransparency", "selectedTransparency",
                                            "wireframeWidth", "colorR", "colorG", "colorB"};
    MDagPath driver = pathOf("driver");
    driver.extendToShape();
    const MPlug worldMesh = MFnDependencyNode(driver.node()).findPlug("worldMesh", false).elementByLogicalIndex(0);
    for (auto _ : state) {
        state.PauseTiming();
        if (!run("createNode pellixDataOverlay -n benchWrite")) {
            state.SkipWithError("cannot create an overlay");
            break;
        }
        MSelectionList list;
        MObject overlay;
        list.add("benchWrite");
        list.getDependNode(0, overlay);
        state.ResumeTiming();

        MFnDependencyNode fn(overlay);
        MDGModifier modifier;
        for (int i = 0; i < 8; ++i) {
            MFnIntArrayData data;
            MObject value = data.create(arrays[i]);
            modifier.newPlugValue(fn.findPlug(kArrayNames[i], false), value);
        }
        for (const char* name : kSettings)
            modifier.newPlugValueFloat(fn.findPlug(name, false), 0.5f);
        modifier.connect(worldMesh, fn.findPlug("inMesh", false));
        const MPlug sources = fn.findPlug("patchSourceMeshes", false);
        const MPlug controls = fn.findPlug("patchControl", false);
        for (int p = 0; p < kPatches; ++p) {
            modifier.connect(MFnDependencyNode(paths[p].node()).findPlug("message", false),
                             sources.elementByLogicalIndex(p));
            MDagPath transform = paths[p];
            transform.pop();
            modifier.connect(MFnDependencyNode(transform.node()).findPlug("message", false),
                             controls.elementByLogicalIndex(p));
        }
        if (!modifier.doIt())
            state.SkipWithError("modifier failed");

        state.PauseTiming();
        modifier.undoIt();
        run("delete benchWrite");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_HostWriteOverlay)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
