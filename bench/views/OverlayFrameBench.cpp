// Frames of a view holding 100 bound overlays, drawn through the host's Viewport 2.0 stand-in
// with real OpenGL (run under Xvfb). Each frame's time is split into the plug-in's share (the
// time spent inside its override calls: the update checks, updateDG, populateGeometry, ...)
// and the host's own cost (walking the scene, shading the drivers, uploading and drawing),
// measured in the same frames:
//   SteadyFrame      nothing changed since the last frame;
//   HighlightFrame   one overlay's hovered patch changes every frame;
//   DriverMovedFrame one driver moves every frame, so its overlay rewrites its positions;
//   DriversOnly      the same drivers with no overlays, for the host's cost alone.
// And a view holding shape controls baked from meshes:
//   SelectedMeshControlFrame  one 200,000-face mesh control, selected, nothing changing; its
//                             `ratio` is the frame against the same frame with the control
//                             unselected, measured in the same run;
//   MeshControlHoverChange    500 mesh controls of 400 faces (200,000 in all), the hover moving
//                             from one to another every frame (the hovered control's colour
//                             and the one it leaves), split into the plug-in's share and the
//                             host's as above.

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

#include <chrono>
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
void loadPlugin()
{
    static bool loaded = false;
    if (!loaded) {
        mel("loadPlugin \"" PELLIX_PLUGIN_PATH "\"");
        loaded = true;
    }
}

void buildScene(bool overlays)
{
    host::MessageCapture quiet;  // the bind command's summaries
    mel("file -f -new");
    if (overlays) {
        loadPlugin();
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

// `count` planes of `facesX` x `facesZ` faces baked into shape controls (the planes hidden), in a
// grid of 25 columns filling the view, all drawn once.
void buildMeshControls(int count, int facesX, int facesZ)
{
    host::MessageCapture quiet;
    mel("file -f -new");
    loadPlugin();
    const int columns = count < 25 ? count : 25;
    const int rows = (count + columns - 1) / columns;
    const double width = 50.0 / columns, depth = 40.0 / rows;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        mel("polyPlane -n plate" + n + " -w " + std::to_string(0.9 * width) + " -h " + std::to_string(0.9 * depth) +
            " -sx " + std::to_string(facesX) + " -sy " + std::to_string(facesZ) + " -cuv 0");
        mel("move " + std::to_string((i % columns + 0.5) * width - 25.0) + " 0 " +
            std::to_string((i / columns + 0.5) * depth - 20.0) + " plate" + n);
        mel("select -r plate" + n + "; shapeControlCreate -n ctrl" + n + "; select -cl");
        mel("setAttr plate" + n + ".visibility 0");
    }
    canvas().frame();
    canvas().frame();
}

double secondsOfFrames(int frames)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        canvas().frame();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void SelectedMeshControlFrame(benchmark::State& state)
{
    buildMeshControls(1, 500, 400);
    mel("select -r ctrl0");
    canvas().frame();
    timeFrames(state, [] {});

    // The ratio from blocks of frames taken in turn, so that both see the same machine.
    double selected = 0.0, unselected = 0.0;
    for (int block = 0; block < 4; ++block) {
        mel("select -r ctrl0");
        canvas().frame();
        selected += secondsOfFrames(10);
        mel("select -cl");
        canvas().frame();
        unselected += secondsOfFrames(10);
    }
    state.counters["unselected_us"] = 1e6 * unselected / 40.0;
    state.counters["ratio"] = unselected > 0.0 ? selected / unselected : 0.0;
}

void MeshControlHoverChange(benchmark::State& state)
{
    buildMeshControls(500, 20, 20);
    // What a hover change does to the drawing: the control left and the control entered are
    // prepared again in their new colours.
    int hovered = 0;
    timeFrames(state, [&] {
        const std::string left = std::to_string(hovered);
        hovered = (hovered + 37) % 500;
        mel("setAttr ctrl" + left + "Shape.color 1 0 0; setAttr ctrl" + std::to_string(hovered) +
            "Shape.color 1 0.82 0.18");
    });
}

BENCHMARK(SteadyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(HighlightFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(DriverMovedFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(DriversOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(SelectedMeshControlFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(MeshControlHoverChange)->Unit(benchmark::kMicrosecond);

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
