// "surfacePinBind" at scale: 10,000 controls on a 100,000-face mesh, end to end through
// MEL, beside the host work it consists of (closest points, queued connections and
// channel writes) so that the share of each shows in one run.

#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kControls = 10000;

// On the undo queue, as a user's or script's command runs.
bool run(const std::string& mel)
{
    return MGlobal::executeCommand(MString(mel.c_str()), false, true);
}

bool loadPlugin()
{
    static const bool loaded = run(std::string("loadPlugin \"") + PELLIX_PLUGIN_PATH + "\"");
    return loaded;
}

// A new scene with a 500 x 200-face plane (100,000 faces) and kControls transforms
// scattered above it; returns the command that pins them all.
std::string buildScene(benchmark::State& state, const char* flags)
{
    if (!loadPlugin() || !run("file -force -new") || !run("polyPlane -w 100 -h 40 -sx 500 -sy 200")) {
        state.SkipWithError("cannot set up the scene");
        return std::string();
    }
    MDagModifier creator;
    std::vector<MObject> controls;
    controls.reserve(kControls);
    for (int i = 0; i < kControls; ++i) {
        controls.push_back(creator.createNode("transform"));
        creator.renameNode(controls.back(), MString(("c" + std::to_string(i)).c_str()));
    }
    if (!creator.doIt()) {
        state.SkipWithError("cannot create the controls");
        return std::string();
    }
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(-50, 50), y(-1, 1), z(-20, 20);
    std::string command = std::string("surfacePinBind ") + flags + " pPlane1";
    for (int i = 0; i < kControls; ++i) {
        MFnDependencyNode fn(controls[i]);
        fn.findPlug("translateX", true).setValue(x(random));
        fn.findPlug("translateY", true).setValue(y(random));
        fn.findPlug("translateZ", true).setValue(z(random));
        command += " c" + std::to_string(i);
    }
    return command;
}

void bindEndToEnd(benchmark::State& state, const char* flags)
{
    for (auto _ : state) {
        state.PauseTiming();
        const std::string command = buildScene(state, flags);
        state.ResumeTiming();
        if (!run(command))
            state.SkipWithError("surfacePinBind failed");
    }
    state.counters["controls"] = kControls;
}

// The whole command as a script runs it: argument parsing, binding, node creation,
// connections, channel resets and the first redo.
void BM_SurfacePinBind(benchmark::State& state)
{
    bindEndToEnd(state, "");
}
BENCHMARK(BM_SurfacePinBind)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SurfacePinBindMaintainOffset(benchmark::State& state)
{
    bindEndToEnd(state, "-mo -iv true");
}
BENCHMARK(BM_SurfacePinBindMaintainOffset)->Unit(benchmark::kMillisecond)->Iterations(3);

// Undo and redo of the same bind, replaying the queued modifiers.
void BM_SurfacePinBindUndoRedo(benchmark::State& state)
{
    const std::string command = buildScene(state, "");
    if (command.empty() || !run(command)) {
        state.SkipWithError("surfacePinBind failed");
        return;
    }
    for (auto _ : state) {
        if (!run("undo") || !run("redo"))
            state.SkipWithError("undo or redo failed");
    }
}
BENCHMARK(BM_SurfacePinBindUndoRedo)->Unit(benchmark::kMillisecond)->Iterations(3);

// Host share 1: the closest-point queries the bind makes, one per control.
void BM_HostClosestPoints(benchmark::State& state)
{
    const std::string command = buildScene(state, "");
    MSelectionList list;
    MDagPath path;
    if (command.empty() || !list.add("pPlaneShape1") || !list.getDagPath(0, path)) {
        state.SkipWithError("no mesh");
        return;
    }
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(-50, 50), y(-1, 1), z(-20, 20);
    std::vector<MPoint> points;
    for (int i = 0; i < kControls; ++i)
        points.emplace_back(x(random), y(random), z(random));
    for (auto _ : state) {
        MFnMesh mesh(path);
        for (const MPoint& p : points) {
            MPoint closest;
            int face = -1;
            mesh.getClosestPoint(p, closest, MSpace::kWorld, &face);
            benchmark::DoNotOptimize(face);
        }
    }
}
BENCHMARK(BM_HostClosestPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

// Host share 2: finding each control by name, as the command does for every name given.
void BM_HostResolveControlNames(benchmark::State& state)
{
    if (buildScene(state, "").empty())
        return;
    for (auto _ : state) {
        for (int i = 0; i < kControls; ++i) {
            MSelectionList list;
            MDagPath path;
            list.add(MString(("c" + std::to_string(i)).c_str()));
            list.getDagPath(0, path);
            benchmark::DoNotOptimize(path);
        }
    }
}
BENCHMARK(BM_HostResolveControlNames)->Unit(benchmark::kMillisecond)->Iterations(3);

// Host share 3: what the command queues per control in matrix mode (one connection and
// nine channel writes) executed on a modifier, against a node standing in for the pin.
void BM_HostControlModifier(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        buildScene(state, "");
        MObject source;
        MSelectionList list;
        if (!run("createNode surfacePin -n stand") || !list.add("stand") || !list.getDependNode(0, source)) {
            state.SkipWithError("no stand-in node");
            break;
        }
        MDGModifier modifier;
        const MPlug outputs = MFnDependencyNode(source).findPlug("outputMatrix", true);
        static const char* const kChannels[] = {"tx", "ty", "tz", "rx", "ry", "rz", "sx", "sy", "sz"};
        for (int i = 0; i < kControls; ++i) {
            MSelectionList controlList;
            MObject control;
            controlList.add(MString(("c" + std::to_string(i)).c_str()));
            controlList.getDependNode(0, control);
            MFnDependencyNode fn(control);
            modifier.connect(outputs.elementByLogicalIndex(i), fn.findPlug("offsetParentMatrix", true));
            for (int c = 0; c < 9; ++c)
                modifier.newPlugValueDouble(fn.findPlug(kChannels[c], true), c < 6 ? 0.0 : 1.0);
        }
        state.ResumeTiming();
        if (!modifier.doIt())
            state.SkipWithError("modifier failed");
    }
}
BENCHMARK(BM_HostControlModifier)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
