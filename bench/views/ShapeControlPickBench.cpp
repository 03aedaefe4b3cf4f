// Picking the shape control under the mouse in a real view (run under Xvfb): 1,000 curve
// controls, each a live circle of 8 spans (65 samples), seen from the top camera, either spread
// in a grid (argument 0) or all stacked on one spot under the mouse (argument 1, where no
// control can be ruled out by its box and every sample is projected).
//   PickShapeControl     one pick over every control of the scene, the mouse on an outline;
//   PickShapeControlMiss the same with the mouse where no control is (grid only);
//   ProjectEverySample   the baseline: each control's samples, already in world space,
//                        projected once with M3dView::worldToView.
//   PickMeshControl      one mesh control baked from a 20,000-face sphere of radius 5, seen from
//                        the top as the overlay's hover benchmark sees its sphere (110 units
//                        across), the mouse going round 29 places over the sphere (argument 0:
//                        the surface hit and the edges near the mouse nearer than it) or 16 just
//                        off its outline (argument 1: no surface hit, the edges within reach),
//                        or 2 places far from it (argument 2: what every other move pays).
// The pick benchmarks also time the baseline themselves, just before their own loop, and report
// `vs_projection`, the pick's time over the baseline's in that run (CPU time of the thread).
// The control type is this program's own build of the shape-control sources, registered here,
// since the loaded module keeps pickShapeControl to itself.

#include "dg/Registry.h"
#include "views/StartupCameras.h"
#include "views/Views.h"

#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlMouseFilter.h"
#include "shapeControl/ShapeControlRegistry.h"
#include "shapeControl/ShapeControlPicking.h"
#include "shapeControl/ShapeControlQueries.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPointArray.h>
#include <maya/MString.h>

#include <QPointF>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kControls = 1000;
constexpr int kColumns = 40;
const char* const kPlugin = "shapeControlPickBench";

void require(bool ok, const std::string& what)
{
    if (!ok) {
        std::fprintf(stderr, "ShapeControlPickBench: %s failed\n", what.c_str());
        std::exit(1);
    }
}

void mel(const std::string& command)
{
    require(MGlobal::executeCommand(MString(command.c_str()), false, false), command);
}

struct Scene
{
    int layout = -1;  // 0 grid, 1 stacked, 2 one mesh control
    M3dView view;
    QPointF onOutline;
    QPointF nowhere;
    std::vector<MPoint> samples;  // every control's samples in world space
    std::vector<QPointF> overMesh[3]; // places over the mesh control, just off its outline, far off
};

Scene& scene()
{
    static Scene theScene;
    return theScene;
}

QPointF widgetPointIn(Scene& s, const MPoint& world)
{
    short x = 0, y = 0;
    require(s.view.worldToView(world, x, y), "projecting a point");
    const double ratio = host::panelWidget(3)->devicePixelRatioF();
    return QPointF(x / ratio, (s.view.portHeight() - y) / ratio);
}

void useView(Scene& s, double width)
{
    mel("select -cl; lookThru top modelPanel4; setAttr topShape.orthographicWidth " + std::to_string(width));
    host::setActivePanel(3);
    host::processEvents();
    require(M3dView::getM3dViewFromModelPanel("modelPanel4", s.view), "the view of modelPanel4");
}

void useMeshScene()
{
    Scene& s = scene();
    if (s.layout == 2) return;
    s.layout = 2;
    s.samples.clear();
    mel("file -f -new");
    mel("polySphere -n knob -r 5 -sx 200 -sy 100; setAttr knob.visibility 0; setAttr top.translate 0 100 0");
    mel("createNode transform -n ctrl; createNode shapeControl -p ctrl -n ctrlShape");
    mel("connectAttr knobShape.outMesh ctrlShape.inGeometry");
    useView(s, 110);
    for (std::vector<QPointF>& places : s.overMesh) places.clear();
    for (int j = -3; j <= 3; ++j)
        for (int i = -3; i <= 3; ++i)
            if (i * i + j * j <= 9) s.overMesh[0].push_back(widgetPointIn(s, MPoint(1.6 * i + 0.13, 0, 1.6 * j + 0.07)));
    for (int k = 0; k < 16; ++k)
        s.overMesh[1].push_back(widgetPointIn(s, MPoint(5.5 * std::cos(0.39 * k + 0.1), 0, 5.5 * std::sin(0.39 * k + 0.1))));
    s.overMesh[2] = {widgetPointIn(s, MPoint(20, 0, 10)), widgetPointIn(s, MPoint(-20, 0, 12))};
}


// Circles of radius 0.4 feeding the controls: 40 x 25 of them 1 unit apart, or all on one spot.
void useScene(int layout)
{
    Scene& s = scene();
    if (s.layout == layout) return;
    s.layout = layout;
    s.samples.clear();
    mel("file -f -new");
    mel("setAttr top.translate 0 1000 0");
    for (int i = 0; i < kControls; ++i) {
        const std::string n = std::to_string(i);
        const double x = layout == 0 ? (i % kColumns) - kColumns / 2.0 + 0.5 : 0.5;
        const double z = layout == 0 ? (i / kColumns) - (kControls / kColumns) / 2.0 + 0.5 : 0.5;
        mel("circle -nr 0 1 0 -r 0.4 -s 8 -n ring" + n + "; setAttr ring" + n + ".visibility 0");
        mel("createNode transform -n ctrl" + n + "; createNode shapeControl -p ctrl" + n + " -n ctrl" + n + "Shape");
        mel("setAttr ctrl" + n + ".translate " + std::to_string(x) + " 0 " + std::to_string(z));
        mel("connectAttr ring" + n + "Shape.local ctrl" + n + "Shape.inGeometry");
    }
    useView(s, 42);

    // The samples the pick will test, placed in world space as the pick places them.
    for (MItDag it(MItDag::kDepthFirst, MFn::kPluginLocatorNode); !it.isDone(); it.next()) {
        MDagPath path;
        it.getPath(path);
        MObject node = path.node();
        const ShapeControl* control = dynamic_cast<const ShapeControl*>(MFnDependencyNode(node).userNode());
        require(control != nullptr, "a control's node");
        MObject geometry = control->storedGeometry();
        MPointArray points;
        bool closed = false;
        unsigned long long serial = 0;
        require(sampleShapeControlCurve(node, geometry, 0, points, closed, serial), "sampling a control");
        const MMatrix world = path.inclusiveMatrix();
        for (unsigned k = 0; k < points.length(); ++k) s.samples.push_back(points[k] * world);
    }
    require(s.samples.size() == size_t(kControls) * 65, "65 samples a control");

    s.onOutline = widgetPointIn(s, MPoint(0.5 + 0.4, 0, 0.5));
    s.nowhere = widgetPointIn(s, MPoint(0.0, 0, 14.5));
}

void projectEverySample()
{
    Scene& s = scene();
    short x = 0, y = 0;
    for (const MPoint& p : s.samples) {
        benchmark::DoNotOptimize(s.view.worldToView(p, x, y));
        benchmark::DoNotOptimize(x);
    }
}

// This thread's CPU time in seconds: other processes on a busy machine do not count.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// CPU seconds per baseline pass, timed over a few passes.
double baselineSeconds()
{
    constexpr int kPasses = 40;
    const double start = threadSeconds();
    for (int i = 0; i < kPasses; ++i) projectEverySample();
    return (threadSeconds() - start) / kPasses;
}

void timePicks(benchmark::State& state, const QPointF& mouse, bool expectHit)
{
    Scene& s = scene();
    const double baseline = baselineSeconds();
    MObject node;
    double depth = 0.0, radius = 0.0;
    require(pickShapeControl(s.view, mouse, node, depth, radius) == expectHit, "the expected pick");
    const double start = threadSeconds();
    for (auto _ : state) {
        benchmark::DoNotOptimize(pickShapeControl(s.view, mouse, node, depth, radius));
    }
    const double seconds = threadSeconds() - start;
    state.counters["vs_projection"] = seconds / double(state.iterations()) / baseline;
    state.counters["baseline_us"] = baseline * 1e6;
}

void PickShapeControl(benchmark::State& state)
{
    useScene(int(state.range(0)));
    timePicks(state, scene().onOutline, true);
}

void PickShapeControlMiss(benchmark::State& state)
{
    useScene(int(state.range(0)));
    timePicks(state, scene().nowhere, false);
}

void PickMeshControl(benchmark::State& state)
{
    useMeshScene();
    const std::vector<QPointF>& places = scene().overMesh[state.range(0)];
    MObject node;
    double depth = 0.0, radius = 0.0;
    int hits = 0;
    size_t next = 0;
    for (auto _ : state) {
        hits += pickShapeControl(scene().view, places[next], node, depth, radius) ? 1 : 0;
        next = (next + 1) % places.size();
    }
    state.counters["hit_share"] = double(hits) / double(state.iterations());
}

void ProjectEverySample(benchmark::State& state)
{
    useScene(int(state.range(0)));
    for (auto _ : state) projectEverySample();
}

BENCHMARK(PickShapeControl)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(PickShapeControlMiss)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(ProjectEverySample)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(PickShapeControl)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(ProjectEverySample)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(PickMeshControl)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (!host::startViews(argc, argv, error)) {
        std::fprintf(stderr, "Error: %s\n", error.c_str());
        return 1;
    }
    require(host::ensureStartupCameras(), "the startup cameras");
    host::NodeTypeInfo info;
    info.name = ShapeControl::typeName;
    info.id = ShapeControl::id;
    info.creator = &ShapeControl::creator;
    info.initialize = &ShapeControl::initialize;
    info.type = MPxNode::kLocatorNode;
    info.classification = "drawdb/geometry/shapeControl";
    info.pluginName = kPlugin;
    require(host::registerNodeType(info), "registering shapeControl");
    setShapeControlCreatedCallback(installShapeControlMouseFilter);  // as the plug-in does

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    mel("file -f -new");
    host::deregisterNodeType(ShapeControl::id);
    removeShapeControlMouseFilter();
    setShapeControlCreatedCallback(nullptr);
    host::stopViews();
    return 0;
}
