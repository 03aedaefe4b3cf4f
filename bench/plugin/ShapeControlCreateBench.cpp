// "shapeControlCreate" at scale: 1,000 selected NURBS curves of 4 spans turned into baked or
// live controls through MEL, beside the host work each control needs at least (two nodes
// created and a curve copied) so that the command's own share shows in one run.

#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnNurbsCurveData.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kCurves = 1000;

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

// A new scene with kCurves cubic curves of 4 spans, each under its own moved and turned
// transform, all selected.
bool buildScene()
{
    if (!loadPlugin() || !run("file -force -new")) {
        return false;
    }
    MDagModifier creator;
    std::vector<MObject> transforms;
    transforms.reserve(kCurves);
    for (int i = 0; i < kCurves; ++i) {
        transforms.push_back(creator.createNode("transform"));
        creator.renameNode(transforms.back(), MString(("curve" + std::to_string(i)).c_str()));
    }
    if (!creator.doIt()) {
        return false;
    }
    MDoubleArray knots;
    for (double knot : {0.0, 0.0, 0.0, 1.0, 2.0, 3.0, 4.0, 4.0, 4.0}) {
        knots.append(knot);
    }
    MSelectionList selection;
    for (int i = 0; i < kCurves; ++i) {
        MPointArray cvs;
        for (int k = 0; k < 7; ++k) {
            cvs.append(MPoint(k, (k % 2) * 0.5, 0.1 * i));
        }
        MStatus status;
        MFnNurbsCurve curve;
        curve.create(cvs, knots, 3, MFnNurbsCurve::kOpen, false, false, transforms[i], &status);
        if (!status) {
            return false;
        }
        MFnDependencyNode transform(transforms[i]);
        transform.findPlug("translateX", true).setValue(0.01 * i);
        transform.findPlug("rotateY", true).setValue(0.001 * i);
        selection.add(transforms[i]);
    }
    return MGlobal::setActiveSelectionList(selection);
}

void createControls(benchmark::State& state, const char* command)
{
    for (auto _ : state) {
        state.PauseTiming();
        const bool built = buildScene();
        state.ResumeTiming();
        if (!built) {
            state.SkipWithError("cannot set up the scene");
            break;
        }
        if (!run(command)) {
            state.SkipWithError("shapeControlCreate failed");
            break;
        }
    }
    state.counters["controls"] = kCurves;
    // Seconds per control.
    state.counters["perControl"] =
        benchmark::Counter(kCurves, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ShapeControlCreateBaked(benchmark::State& state)
{
    createControls(state, "shapeControlCreate");
}
BENCHMARK(BM_ShapeControlCreateBaked)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShapeControlCreateLive(benchmark::State& state)
{
    createControls(state, "shapeControlCreate -live 1");
}
BENCHMARK(BM_ShapeControlCreateLive)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: for every curve, a transform and a shape created in one DAG modifier, a copy of
// the curve built in new curve data and stored on the shape, as the baked command must.
void BM_HostFloorForTheSameControls(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const bool built = buildScene();
        std::vector<MObject> sources;
        MSelectionList selection;
        MGlobal::getActiveSelectionList(selection);
        for (unsigned i = 0; i < selection.length(); ++i) {
            MDagPath path;
            selection.getDagPath(i, path);
            path.extendToShape();
            sources.push_back(path.node());
        }
        state.ResumeTiming();
        if (!built) {
            state.SkipWithError("cannot set up the scene");
            break;
        }
        MDagModifier nodes;
        std::vector<MObject> shapes;
        shapes.reserve(sources.size());
        for (size_t i = 0; i < sources.size(); ++i) {
            const MObject transform = nodes.createNode("transform");
            shapes.push_back(nodes.createNode("shapeControl", transform));
        }
        nodes.doIt();
        MDGModifier values;
        for (size_t i = 0; i < sources.size(); ++i) {
            MFnNurbsCurve source(sources[i]);
            MPointArray cvs;
            MDoubleArray knots;
            source.getCVs(cvs);
            source.getKnots(knots);
            MFnNurbsCurveData dataFn;
            MObject data = dataFn.create();
            MFnNurbsCurve().create(cvs, knots, source.degree(), source.form(), false, false, data);
            values.newPlugValue(MFnDependencyNode(shapes[i]).findPlug("inGeometry", true), data);
        }
        values.doIt();
        benchmark::DoNotOptimize(shapes.data());
    }
    state.counters["controls"] = kCurves;
}
BENCHMARK(BM_HostFloorForTheSameControls)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
