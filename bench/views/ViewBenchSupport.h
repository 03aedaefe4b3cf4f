#pragma once
// What the benchmarks in a real view share (run under Xvfb): a set-up step that stops the run
// when it fails, modelPanel4's widget and view, world points as widget positions, and a main
// that starts the views around the benchmarks.

#include "commands/MessageOutput.h"
#include "views/StartupCameras.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MGlobal.h>
#include <maya/MPoint.h>
#include <maya/MString.h>

#include <QPointF>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace viewbench {

constexpr unsigned kPanel = 3; // modelPanel4

inline void require(bool ok, const std::string& what)
{
    if (!ok) {
        std::fprintf(stderr, "%s failed\n", what.c_str());
        std::exit(1);
    }
}

inline void mel(const std::string& command)
{
    require(MGlobal::executeCommand(MString(command.c_str()), false, false), command);
}

// modelPanel4 as the benchmarks drive it.
struct PanelView
{
    QWidget* widget = nullptr;
    M3dView view;
};

// Makes modelPanel4 the active panel (looking through whatever camera the caller set) and finds
// its widget and view.
inline void usePanel(PanelView& panel)
{
    host::setActivePanel(kPanel);
    host::processEvents();
    panel.widget = host::panelWidget(kPanel);
    require(panel.widget != nullptr && M3dView::getM3dViewFromModelPanel("modelPanel4", panel.view), "the view");
}

// The widget position (logical pixels, y down) a world point projects to.
inline QPointF widgetPoint(PanelView& panel, const MPoint& world)
{
    short x = 0, y = 0;
    require(panel.view.worldToView(world, x, y), "projecting a world point");
    const double ratio = panel.widget->devicePixelRatioF();
    return QPointF(x / ratio, (panel.view.portHeight() - y) / ratio);
}

// Starts the views and the startup cameras, runs the benchmarks, then empties the scene, runs
// `release` (the program's scenes) and stops the views.
inline int runViewBenchmarks(int argc, char** argv, const std::function<void()>& release)
{
    std::string error;
    require(host::startViews(argc, argv, error), "starting the views: " + error);
    require(host::ensureStartupCameras(), "the startup cameras");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    {
        host::MessageCapture quiet;
        mel("file -f -new");
    }
    release();
    host::stopViews();
    benchmark::Shutdown();
    return 0;
}

} // namespace viewbench
