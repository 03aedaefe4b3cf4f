// M3dView::worldToView in a real persp panel (run under xvfb-run), as the plug-in's mouse filters
// call it hundreds of times per mouse move:
//   WorldToViewKept       the view as the panel keeps it between calls;
//   WorldToViewLookedUp   the camera looked up by name and its plugs read on every call, as each
//                         call used to;
//   ProjectionOnly        the bare projection of a point through a view already at hand (the floor).

#include "views/CameraView.h"
#include "views/StartupCameras.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MPoint.h>

#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

MPoint pointOf(int i)
{
    return MPoint(0.01 * (i % 97), 0.02 * (i % 89), -0.01 * (i % 83));
}

// The view worked out from scratch, as the panel's view was before it was kept.
host::ViewSetup lookedUpView(unsigned int panel)
{
    host::ViewSetup setup;
    int width = 0, height = 0;
    host::panelPortSize(panel, width, height);
    host::cameraViewSetup(host::panelCamera(panel), width, height, setup);
    setup.devicePixelRatio = host::panelWidget(panel)->devicePixelRatioF();
    setup.panelName = host::panelName(panel);
    setup.filterPanel = setup.panelName;
    return setup;
}

void WorldToViewKept(benchmark::State& state)
{
    M3dView view;
    M3dView::getM3dViewFromModelPanel("modelPanel4", view);
    int i = 0;
    for (auto _ : state) {
        short x = 0, y = 0;
        benchmark::DoNotOptimize(view.worldToView(pointOf(i++), x, y));
        benchmark::DoNotOptimize(x + y);
    }
}

void WorldToViewLookedUp(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        const host::ViewSetup setup = lookedUpView(3);
        double x = 0, y = 0;
        benchmark::DoNotOptimize(host::worldToPort(setup, pointOf(i++), x, y));
        benchmark::DoNotOptimize(x + y);
    }
}

void ProjectionOnly(benchmark::State& state)
{
    const host::ViewSetup setup = lookedUpView(3);
    int i = 0;
    for (auto _ : state) {
        double x = 0, y = 0;
        benchmark::DoNotOptimize(host::worldToPort(setup, pointOf(i++), x, y));
        benchmark::DoNotOptimize(x + y);
    }
}

BENCHMARK(WorldToViewKept);
BENCHMARK(WorldToViewLookedUp);
BENCHMARK(ProjectionOnly);

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (!host::startViews(argc, argv, error)) {
        std::fprintf(stderr, "Error: %s\n", error.c_str());
        return 1;
    }
    if (!host::ensureStartupCameras()) {
        std::fprintf(stderr, "Error: no startup cameras\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    host::stopViews();
    return 0;
}
