// Frames of a view holding 100 bound overlays, drawn through the host's Viewport 2.0 stand-in
// with real OpenGL (run under Xvfb). Each frame's time is split into the plug-in's share (the
// time spent inside its override calls: the update checks, updateDG, populateGeometry, ...)
// and the host's own cost (walking the scene, shading the drivers, uploading and drawing),
// measured in the same frames:
//   SteadyFrame      nothing changed since the last frame;
//   HighlightFrame   one overlay's hovered patch changes every frame;
//   DriverMovedFrame one driver moves every frame, so its overlay rewrites its positions;
//   DriversOnly      the same drivers with no overlays, for the host's cost alone.

#include "commands/MessageOutput.h"
#include "viewport/FrameRenderer.h"

#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MString.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kOverlays = 100;
constexpr int kColumns = 10;

void require(bool ok, const std::string& what)
{
    if (!ok) {
        std::fprintf(stderr, "OverlayFrameBench: %s failed\n", what.c_str());
        std::exit(1);
    }
}

void mel(const std::string& command)
{
    require(MGlobal::executeCommand(MString(command.c_str()), false, false), command);
}

// An off-screen 960 x 720 view looking down at the grid of drivers from above.
struct Canvas {
    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<QOpenGLFramebufferObject> target;
    host::ViewSetup view;

    Canvas()
    {
        QSurfaceFormat format;
        format.setVersion(4, 5);
        format.setProfile(QSurfaceFormat::CoreProfile);
        format.setDepthBufferSize(24);
        format.setStencilBufferSize(8);
        surface.setFormat(format);
        surface.create();
        context.setFormat(format);
        require(context.create() && context.makeCurrent(&surface), "an OpenGL 4.5 core context");
        target = std::make_unique<QOpenGLFramebufferObject>(960, 720, QOpenGLFramebufferObject::CombinedDepthStencil);
        target->bind();
        view.width = 960;
        view.height = 720;
        // Eye looking down -Y from y = 50: x right, -z up on screen.
        MMatrix eye;
        eye[1][1] = 0.0, eye[1][2] = 1.0, eye[2][1] = -1.0, eye[2][2] = 0.0, eye[3][2] = -50.0;
        view.view = eye;
        // An orthographic lens 60 units wide, 45 high, depth 1..100.
        MMatrix projection;
        projection[0][0] = 2.0 / 60.0, projection[1][1] = 2.0 / 45.0;
        projection[2][2] = -2.0 / 99.0, projection[3][2] = -101.0 / 99.0;
        view.projection = projection;
    }

    void frame() { host::renderFrame(view); }
};

std::unique_ptr<Canvas> theCanvas;

Canvas& canvas()
{
    if (!theCanvas) theCanvas = std::make_unique<Canvas>();
    return *theCanvas;
}

// 100 drivers of 20 x 20 faces in a grid, each with a patch of 40 faces bound into its own
// overlay (when `overlays`), all drawn once so that every override is built.
void buildScene(bool overlays)
{
    host::MessageCapture quiet;  // the bind command's summaries
    mel("file -f -new");
    static bool loaded = false;
    if (overlays && !loaded) {
        mel("loadPlugin \"" PELLIX_PLUGIN_PATH "\"");
        loaded = true;
    }
    for (int i = 0; i < kOverlays; ++i) {
        const std::string n = std::to_string(i);
        const double x = (i % kColumns) * 5.5 - 25.0, z = (i / kColumns) * 4.2 - 19.0;
        mel("polyPlane -n driver" + n + " -w 5 -h 4 -sx 20 -sy 20");
        mel("move " + std::to_string(x) + " 0 " + std::to_string(z) + " driver" + n);
        if (!overlays) continue;
        mel("duplicate -n patch" + n + " driver" + n);
        mel("delete \"patch" + n + ".f[40:399]\"");
        mel("createNode transform -n ctrl" + n);
        mel("addAttr -ln pellixSelectNode -at message patch" + n);
        mel("connectAttr ctrl" + n + ".message patch" + n + ".pellixSelectNode");
        mel("pellixDataBind -hidePatches true -name overlay" + n + " driver" + n + " patch" + n);
    }
    canvas().frame();
    canvas().frame();
}

// Runs frames, `change` before each, and reports the plug-in's share and the host's cost.
template <class Change>
void timeFrames(benchmark::State& state, Change&& change)
{
    host::setFrameTiming(true);
    double plugin = 0.0, frame = 0.0;
    for (auto _ : state) {
        change();
        canvas().frame();
        const host::FrameTiming t = host::lastFrameTiming();
        plugin += t.pluginSeconds;
        frame += t.frameSeconds;
    }
    host::setFrameTiming(false);
    const double frames = double(state.iterations());
    state.counters["plugin_us"] = 1e6 * plugin / frames;
    state.counters["host_us"] = 1e6 * (frame - plugin) / frames;
    state.counters["plugin_share"] = frame > 0.0 ? plugin / frame : 0.0;
}

void SteadyFrame(benchmark::State& state)
{
    buildScene(true);
    timeFrames(state, [] {});
}

void HighlightFrame(benchmark::State& state)
{
    buildScene(true);
    int hovered = 0;
    timeFrames(state, [&] {
        hovered = 1 - hovered;
        mel("setAttr overlay7Shape.hoveredPatch " + std::to_string(hovered - 1));
    });
}

void DriverMovedFrame(benchmark::State& state)
{
    buildScene(true);
    int step = 0;
    timeFrames(state, [&] {
        step = 1 - step;
        mel(std::string("move -r 0 ") + (step ? "0.1" : "-0.1") + " 0 driver7");
    });
}

void DriversOnly(benchmark::State& state)
{
    buildScene(false);
    timeFrames(state, [] {});
}

BENCHMARK(SteadyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(HighlightFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(DriverMovedFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(DriversOnly)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    host::setRendererActive(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    // The overrides and their GL objects go while the context is still there.
    canvas().context.makeCurrent(&canvas().surface);
    mel("file -f -new");
    host::releaseOverrides("");
    theCanvas.reset();
    benchmark::Shutdown();
    return 0;
}
