#include "PanelTestSupport.h"

#include "PluginTestSupport.h"

#include "viewport/FrameRenderer.h"
#include "views/Views.h"

#include <maya/MGlobal.h>

#include <QElapsedTimer>
#include <QWidget>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

PanelView::PanelView(const std::string& pictureName)
    : imageFile("/tmp/pellix-" + pictureName + "-" + std::to_string(::getpid()) + ".png")
{
}

PanelView::~PanelView()
{
    std::remove(imageFile.c_str());
}

void PanelView::usePanel()
{
    host::setActivePanel(kPanel);
    host::processEvents();
    ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    widget = host::panelWidget(kPanel);
    ASSERT_NE(widget, nullptr);
}

void PanelView::releasePanel()
{
    mel("hostMouseEvent -panel modelPanel4 -type release -x 1 -y 1 -button left");
    mel("hostMouseEvent -panel modelPanel4 -type leave");
    mel("setToolTo selectSuperContext");
    mel("lookThru persp modelPanel4");
}

QPointF PanelView::widgetPoint(const MPoint& world) const
{
    short x = 0, y = 0;
    EXPECT_TRUE(view.worldToView(world, x, y));
    const double ratio = widget->devicePixelRatioF();
    return QPointF(x / ratio, (view.portHeight() - y) / ratio);
}

std::string PanelView::at(const QPointF& p)
{
    std::ostringstream text;
    text << " -x " << p.x() << " -y " << p.y();
    return text.str();
}

void PanelView::mouse(const std::string& type, const QPointF& p, const std::string& button,
                      const std::string& modifiers)
{
    const std::string command = "hostMouseEvent -panel modelPanel4 -type " + type + at(p) +
                                (button.empty() ? "" : " -button " + button) +
                                (modifiers.empty() ? "" : " -modifiers \"" + modifiers + "\"");
    // With undo on, as the view's own events: the select a click runs is kept for undo.
    ASSERT_TRUE(MGlobal::executeCommand(MString(command.c_str()), false, true)) << command;
}

void PanelView::click(const QPointF& p, const std::string& modifiers)
{
    mouse("press", p, "left", modifiers);
    mouse("release", p, "left", modifiers);
}

void PanelView::snapshot()
{
    ASSERT_TRUE(mel("refresh -cv -fe png -fn \"" + imageFile + "\""));
    ASSERT_TRUE(image.load(imageFile.c_str()));
    ASSERT_EQ(image.width(), view.portWidth());
}

void PanelView::snapshotAfter(const std::string& command)
{
    ASSERT_TRUE(mel(command)) << command;
    snapshot();
}

QColor PanelView::pixelAt(const MPoint& world, int dx, int dy) const
{
    short x = 0, y = 0;
    EXPECT_TRUE(view.worldToView(world, x, y));
    return pixel(x + dx, y + dy);
}

bool nearColour(const QColor& pixel, double r, double g, double b, int tolerance)
{
    return std::abs(pixel.red() - int(r * 255 + 0.5)) <= tolerance &&
           std::abs(pixel.green() - int(g * 255 + 0.5)) <= tolerance &&
           std::abs(pixel.blue() - int(b * 255 + 0.5)) <= tolerance;
}

std::string describe(const QColor& c)
{
    return "rgb(" + std::to_string(c.red()) + ", " + std::to_string(c.green()) + ", " + std::to_string(c.blue()) + ")";
}

int xdotoolAt(QWidget* widget, const QPointF& position, const std::string& actions)
{
    widget->window()->raise();
    host::processEvents();
    const QPoint inWindow = widget->mapTo(widget->window(), position.toPoint());
    const std::string command = "xdotool mousemove --window " + std::to_string(widget->window()->winId()) + " " +
                                std::to_string(inWindow.x()) + " " + std::to_string(inWindow.y()) + " " + actions;
    return std::system(command.c_str());
}

bool processEventsUntil(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        host::processEvents();
    return done();
}

std::map<std::string, int> overrideCallsWhileIdle(const std::string& node, int milliseconds)
{
    host::startVp2Record();
    host::takeVp2Record();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        host::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::map<std::string, int> calls;
    for (const host::Vp2Call& call : host::takeVp2Record())
        if (call.node == node) ++calls[call.call];
    host::stopVp2Record();
    return calls;
}

std::string joined(const MStringArray& strings)
{
    std::string text;
    for (unsigned i = 0; i < strings.length(); ++i)
        text += (i ? " " : "") + std::string(strings[i].asChar());
    return text;
}

std::string selectionText()
{
    return joined(melStrings("ls -sl"));
}

void buildTorso(bool withArm, bool withBelly)
{
    std::string patches = " chestPatch";
    ASSERT_TRUE(mel("polyPlane -n body -w 4 -h 4 -sx 4 -sy 4; duplicate -n chestPatch body; "
                    "delete \"chestPatch.f[2:15]\"; createNode transform -n chestCtrl; "
                    "addAttr -ln pellixSelectNode -at message chestPatch; "
                    "connectAttr chestCtrl.message chestPatch.pellixSelectNode"));
    if (withArm) {
        ASSERT_TRUE(mel("duplicate -n armPatch body; delete \"armPatch.f[3:15]\"; delete \"armPatch.f[0:1]\""));
        patches += " armPatch";
    }
    if (withBelly) {
        ASSERT_TRUE(mel("duplicate -n bellyPatch body; delete \"bellyPatch.f[0:13]\"; createNode transform -n bellyCtrl; "
                        "addAttr -ln pellixSelectNode -at message bellyPatch; "
                        "connectAttr bellyCtrl.message bellyPatch.pellixSelectNode"));
        patches += " bellyPatch";
    }
    ASSERT_TRUE(mel("pellixDataBind -hidePatches true -name torsoOverlay body" + patches +
                    "; lookThru top modelPanel4; setAttr topShape.orthographicWidth 6; select -cl"));
}
