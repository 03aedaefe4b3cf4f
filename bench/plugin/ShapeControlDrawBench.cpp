// Shape-control draw preparation on a steady frame, called the way the renderer calls it:
// a 50,000-vertex baked mesh control beside the host's own cost of reading that mesh's points
// and vertex normals (the floor no drawing of the mesh can beat), and 1,000 baked curve
// controls of 4 spans with their samples served from the cache, with reused draw data (no
// samples copied) and with fresh draw data (every control copies its samples).

#include "viewport/DrawRegistryState.h"

#include <maya/MDagPath.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFrameContext.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MUserData.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class BenchFrameContext : public MHWRender::MFrameContext
{
};

bool run(const std::string& mel)
{
    return MGlobal::executeCommand(MString(mel.c_str()), false, false);
}

bool loadPlugin()
{
    static const bool loaded = run(std::string("loadPlugin \"") + PELLIX_PLUGIN_PATH + "\"");
    return loaded;
}

MDagPath pathOf(const MString& name)
{
    MSelectionList list;
    MDagPath path;
    if (list.add(name)) {
        list.getDagPath(0, path);
    }
    return path;
}

// One control with the override the renderer would make for it and its draw data.
struct PreparedControl
{
    MDagPath path;
    std::unique_ptr<MHWRender::MPxDrawOverride> drawOverride;
    MUserData* data = nullptr;

    ~PreparedControl() { delete data; }
};

bool makeOverride(PreparedControl& control)
{
    host::DrawOverrideEntry entry;
    if (!host::findDrawOverrideFor("drawdb/geometry/shapeControl", entry) || !entry.drawCreator) {
        return false;
    }
    control.drawOverride.reset(entry.drawCreator(control.path.node()));
    return control.drawOverride != nullptr;
}

// Every "shapeControl" in the scene, each with its own override.
bool collectControls(std::vector<std::unique_ptr<PreparedControl>>& controls)
{
    MStringArray names;
    if (!MGlobal::executeCommand("ls -long -type shapeControl", names, false, false)) {
        return false;
    }
    for (unsigned i = 0; i < names.length(); ++i) {
        auto control = std::make_unique<PreparedControl>();
        control->path = pathOf(names[i]);
        if (!control->path.isValid() || !makeOverride(*control)) {
            return false;
        }
        controls.push_back(std::move(control));
    }
    return !controls.empty();
}

// 224 x 224 vertices = 50,176.
bool buildMeshScene()
{
    return loadPlugin() && run("file -force -new") && run("polyPlane -n plate -w 10 -h 10 -sx 223 -sy 223") &&
           run("select -r plate") && run("shapeControlCreate") && run("select -cl");
}

void BM_MeshControlPrepare(benchmark::State& state)
{
    std::vector<std::unique_ptr<PreparedControl>> controls;
    if (!buildMeshScene() || !collectControls(controls) || controls.size() != 1) {
        state.SkipWithError("could not build the mesh control");
        return;
    }
    PreparedControl& control = *controls[0];
    const MDagPath camera = pathOf("persp");
    BenchFrameContext context;
    control.data = control.drawOverride->prepareForDraw(control.path, camera, context, control.data);
    for (auto _ : state) {
        control.data = control.drawOverride->prepareForDraw(control.path, camera, context, control.data);
        benchmark::DoNotOptimize(control.data);
    }
    state.counters["vertices"] = 224.0 * 224.0;
}
BENCHMARK(BM_MeshControlPrepare)->Unit(benchmark::kMillisecond);

// What any drawing of the mesh must read at least: its points and angle-weighted vertex normals.
void BM_MeshPointsAndNormalsFloor(benchmark::State& state)
{
    if (!buildMeshScene()) {
        state.SkipWithError("could not build the mesh");
        return;
    }
    MSelectionList list;
    MObject shape;
    list.add("plateShape");
    list.getDependNode(0, shape);
    const MObject meshData = MFnDependencyNode(shape).findPlug("outMesh", true).asMObject();
    MFnMesh mesh(meshData);
    MFloatVectorArray normals;
    for (auto _ : state) {
        const float* points = mesh.getRawPoints(nullptr);
        benchmark::DoNotOptimize(points);
        mesh.getVertexNormals(true, normals, MSpace::kObject);
        benchmark::DoNotOptimize(normals.length());
    }
}
BENCHMARK(BM_MeshPointsAndNormalsFloor)->Unit(benchmark::kMillisecond);

constexpr int kCurves = 1000;

bool buildCurveScene()
{
    if (!loadPlugin() || !run("file -force -new")) {
        return false;
    }
    std::string select = "select -r";
    for (int i = 0; i < kCurves; ++i) {
        const std::string name = "curve" + std::to_string(i);
        if (!run("curve -n " + name + " -d 3 -p 0 0 0 -p 1 0 1 -p 2 0 0 -p 3 0 1 -p 4 0 0 -p 5 0 1 -p 6 0 0")) {
            return false;
        }
        select += " " + name;
    }
    return run(select) && run("shapeControlCreate") && run("select -cl");
}

void prepareCurveControls(benchmark::State& state, bool freshData)
{
    std::vector<std::unique_ptr<PreparedControl>> controls;
    if (!buildCurveScene() || !collectControls(controls) || controls.size() != kCurves) {
        state.SkipWithError("could not build the curve controls");
        return;
    }
    const MDagPath camera = pathOf("persp");
    BenchFrameContext context;
    for (auto& control : controls) {
        control->data = control->drawOverride->prepareForDraw(control->path, camera, context, control->data);
    }
    for (auto _ : state) {
        for (auto& control : controls) {
            if (freshData) {
                delete control->data;
                control->data = nullptr;
            }
            control->data = control->drawOverride->prepareForDraw(control->path, camera, context, control->data);
        }
    }
    state.counters["perControl"] =
        benchmark::Counter(kCurves, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Reused draw data: the samples are current, nothing is copied.
void BM_CurveControlsSteadyFrame(benchmark::State& state)
{
    prepareCurveControls(state, false);
}
BENCHMARK(BM_CurveControlsSteadyFrame)->Unit(benchmark::kMillisecond);

// Fresh draw data for every control: each cache hit copies its samples.
void BM_CurveControlsCopyingSamples(benchmark::State& state)
{
    prepareCurveControls(state, true);
}
BENCHMARK(BM_CurveControlsCopyingSamples)->Unit(benchmark::kMillisecond);

} // namespace

