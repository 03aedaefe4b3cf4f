// Face selection in a real view (run under Xvfb): a 500 x 400 face plane (200,000 faces) filling
// the perspective view, clicked and box-selected through the panel widget's own mouse events,
// each change a `select` as a user's click makes it:
//   ObjectClick  object mode: the click picks the plane (the baseline);
//   FaceClick    face mode: the click picks the plane, then the face its ray meets; `ratio` is its
//                CPU time over ObjectClick's, measured in the same run;
//   FaceBox      face mode: a drag box over a third of the plane (about 67,000 faces facing the
//                camera), against ObjectClick likewise;
//   FaceBoxAll   a box over the whole plane (200,000 faces).
// The plane's ray hierarchy is built by a click before the timing, as after the first click.

#include "../CpuClock.h"
#include "ViewBenchSupport.h"

#include "commands/MessageOutput.h"
#include "views/SelectionMode.h"

#include <maya/MGlobal.h>
#include <maya/MPoint.h>
#include <maya/MStringArray.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace viewbench;

struct Scene : PanelView
{
    std::vector<QPointF> spread;  // click places over the plane
    QPointF boxFrom, boxTo, allFrom, allTo;
};

Scene* theScene = nullptr;

Scene& scene()
{
    if (theScene)
        return *theScene;
    theScene = new Scene;
    Scene& s = *theScene;
    host::MessageCapture quiet;
    mel("file -f -new");
    mel("polyPlane -n body -w 100 -h 80 -sx 500 -sy 400 -ax 0 0 1");
    mel("lookThru persp modelPanel4; setAttr persp.translate 0 0 120; setAttr persp.rotate 0 0 0");
    usePanel(s);
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 16; ++i)
            s.spread.push_back(widgetPoint(s, MPoint(-45.0 + 6.0 * i + 0.13, -35.0 + 9.0 * j + 0.07, 0.0)));
    s.boxFrom = widgetPoint(s, MPoint(-50.0, 40.0, 0.0));
    s.boxTo = widgetPoint(s, MPoint(-16.6, -40.0, 0.0));
    s.allFrom = widgetPoint(s, MPoint(-51.0, 41.0, 0.0));
    s.allTo = widgetPoint(s, MPoint(51.0, -41.0, 0.0));
    return s;
}

void send(QWidget* widget, QEvent::Type type, const QPointF& at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at.toPoint()), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void click(Scene& s, const QPointF& at)
{
    send(s.widget, QEvent::MouseButtonPress, at);
    send(s.widget, QEvent::MouseButtonRelease, at);
}

void drag(Scene& s, const QPointF& from, const QPointF& to)
{
    send(s.widget, QEvent::MouseButtonPress, from);
    send(s.widget, QEvent::MouseMove, to);
    send(s.widget, QEvent::MouseButtonRelease, to);
}

unsigned selectedCount()
{
    MStringArray faces;
    MGlobal::executeCommand("filterExpand -sm 34", faces);
    return faces.length();
}

// The object-mode click's CPU time, the baseline of the ratios.
double objectClickSeconds(Scene& s)
{
    host::resetSelectionMode();
    size_t i = 0;
    return bench::cpuSecondsPer([&] { click(s, s.spread[i++ % s.spread.size()]); }, 64);
}

void faceMode(Scene& s)
{
    host::setComponentMode(true);
    host::setFaceSelectable(true);
    click(s, s.spread[0]);  // builds the ray hierarchy
}

void ObjectClick(benchmark::State& state)
{
    Scene& s = scene();
    const double baseline = objectClickSeconds(s);
    size_t i = 0;
    bench::runAgainst(state, baseline, [&] { click(s, s.spread[i++ % s.spread.size()]); });
}

void FaceClick(benchmark::State& state)
{
    Scene& s = scene();
    const double baseline = objectClickSeconds(s);
    faceMode(s);
    size_t i = 0;
    bench::runAgainst(state, baseline, [&] { click(s, s.spread[i++ % s.spread.size()]); });
    state.counters["faces"] = selectedCount();
    host::resetSelectionMode();
}

// A drag box from corner to corner, over and over, each time replacing the selection.
void boxes(benchmark::State& state, QPointF Scene::*from, QPointF Scene::*to)
{
    Scene& s = scene();
    const double baseline = objectClickSeconds(s);
    faceMode(s);
    bench::runAgainst(state, baseline, [&] { drag(s, s.*from, s.*to); });
    state.counters["faces"] = selectedCount();
    host::resetSelectionMode();
}

void FaceBox(benchmark::State& state)
{
    boxes(state, &Scene::boxFrom, &Scene::boxTo);
}

void FaceBoxAll(benchmark::State& state)
{
    boxes(state, &Scene::allFrom, &Scene::allTo);
}

BENCHMARK(ObjectClick)->Unit(benchmark::kMillisecond);
BENCHMARK(FaceClick)->Unit(benchmark::kMillisecond);
BENCHMARK(FaceBox)->Unit(benchmark::kMillisecond);
BENCHMARK(FaceBoxAll)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return viewbench::runViewBenchmarks(argc, argv, [] { delete theScene; });
}
