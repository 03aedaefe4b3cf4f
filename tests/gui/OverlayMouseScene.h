#pragma once
// A bound overlay under the mouse in a real view: a 4 x 4 body plane seen from the top camera,
// with a chest patch (its first two faces), an arm patch (the face beside them) and a belly
// patch (its last two faces), each standing for a control. The tests drive the overlay's mouse
// filter in the loaded module through hostMouseEvent and watch "hoveredPatch", the selection
// and what the view draws.

#include "MouseEventRecorder.h"
#include "PluginTestSupport.h"

#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <QColor>
#include <QImage>
#include <QWidget>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <unistd.h>

namespace overlaymouse {

constexpr unsigned kPanel = 3; // modelPanel4

class OverlayMouseScene : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        for (const char* command : {
                 "polyPlane -n body -w 4 -h 4 -sx 4 -sy 4",
                 "duplicate -n chestPatch body", "delete \"chestPatch.f[2:15]\"",
                 "duplicate -n armPatch body", "delete \"armPatch.f[3:15]\"", "delete \"armPatch.f[0:1]\"",
                 "duplicate -n bellyPatch body", "delete \"bellyPatch.f[0:13]\"",
                 "createNode transform -n chestCtrl", "createNode transform -n bellyCtrl",
                 "addAttr -ln pellixSelectNode -at message chestPatch",
                 "connectAttr chestCtrl.message chestPatch.pellixSelectNode",
                 "addAttr -ln pellixSelectNode -at message bellyPatch",
                 "connectAttr bellyCtrl.message bellyPatch.pellixSelectNode"})
            ASSERT_TRUE(mel(command)) << command;
        chest = worldCentreOf("chestPatch") + MVector(0.25, 0.0, 0.0); // inside a face, off its edges
        arm = worldCentreOf("armPatch");
        belly = worldCentreOf("bellyPatch") + MVector(0.25, 0.0, 0.0);
        bare = MPoint(0.5, 0.0, 0.5); // a body face no patch covers
        ASSERT_TRUE(mel("pellixDataBind -hidePatches true -name torsoOverlay body chestPatch armPatch bellyPatch"));
        for (const char* command : {"setAttr torsoOverlayShape.transparency 0",
                                    "setAttr torsoOverlayShape.hoverTransparency 0",
                                    "setAttr torsoOverlayShape.hoverColor -type double3 0 0 1",
                                    "setAttr torsoOverlayShape.drawMarker 1",
                                    "lookThru top modelPanel4", "setAttr topShape.orthographicWidth 6",
                                    "select -cl"})
            ASSERT_TRUE(mel(command)) << command;
        host::setActivePanel(kPanel);
        host::processEvents();
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
        widget = host::panelWidget(kPanel);
        ASSERT_NE(widget, nullptr);
        ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 1 -y 1"));
    }

    void TearDown() override
    {
        // No button left down and no hover left for the next test.
        mel("hostMouseEvent -panel modelPanel4 -type release -x 1 -y 1 -button left");
        mel("hostMouseEvent -panel modelPanel4 -type leave");
        mel("setToolTo selectSuperContext");
        mel("lookThru persp modelPanel4");
        PellixPluginTest::TearDown();
        std::remove(imageFile.c_str());
    }

    // The widget position (logical pixels, y down) a world point projects to.
    QPointF widgetPoint(const MPoint& world) const
    {
        short x = 0, y = 0;
        EXPECT_TRUE(view.worldToView(world, x, y));
        const double ratio = widget->devicePixelRatioF();
        return QPointF(x / ratio, (view.portHeight() - y) / ratio);
    }

    static std::string at(const QPointF& p)
    {
        std::ostringstream text;
        text << " -x " << p.x() << " -y " << p.y();
        return text.str();
    }

    static std::string withModifiers(const std::string& modifiers)
    {
        return modifiers.empty() ? std::string() : " -modifiers \"" + modifiers + "\"";
    }

    void mouse(const std::string& type, const QPointF& p, const std::string& button = "",
               const std::string& modifiers = "")
    {
        const std::string command = "hostMouseEvent -panel modelPanel4 -type " + type + at(p) +
                                    (button.empty() ? "" : " -button " + button) + withModifiers(modifiers);
        // With undo on, as the view's own events: the select a click runs is kept for undo.
        ASSERT_TRUE(MGlobal::executeCommand(MString(command.c_str()), false, true)) << command;
    }
    void moveTo(const QPointF& p, const std::string& modifiers = "") { mouse("move", p, "", modifiers); }
    void moveTo(const MPoint& world, const std::string& modifiers = "") { moveTo(widgetPoint(world), modifiers); }
    void click(const MPoint& world, const std::string& modifiers = "")
    {
        const QPointF p = widgetPoint(world);
        mouse("press", p, "left", modifiers);
        mouse("release", p, "left", modifiers);
    }

    int hovered() { return melInt("getAttr torsoOverlayShape.hoveredPatch"); }

    // The selected nodes' names, in selection order, joined by blanks.
    static std::string selection()
    {
        const MStringArray names = melStrings("ls -sl");
        std::string joined;
        for (unsigned i = 0; i < names.length(); ++i)
            joined += (i ? " " : "") + std::string(names[i].asChar());
        return joined;
    }

    // What the view shows, as `refresh -cv -fe png` writes it.
    void snapshot()
    {
        ASSERT_TRUE(mel("refresh -cv -fe png -fn \"" + imageFile + "\""));
        ASSERT_TRUE(image.load(imageFile.c_str()));
    }
    QColor pixelAt(const MPoint& world, int dx = 0, int dy = 0) const
    {
        short x = 0, y = 0;
        EXPECT_TRUE(view.worldToView(world, x, y));
        return image.pixelColor(x + dx, image.height() - 1 - (y + dy));
    }

    // The hover marker's ring is centred on a world point: its light dot (the blue hover colour
    // lightened) in the middle and its dark disc three pixels out.
    bool markerDrawnAt(const MPoint& world) const
    {
        const QColor dot = pixelAt(world);
        const QColor disc = pixelAt(world, 3, 0);
        const bool light = dot.red() > 40 && dot.red() < 80 && dot.blue() > 240;
        const bool dark = disc.red() < 30 && disc.green() < 30 && disc.blue() < 110;
        return light && dark;
    }

    mutable M3dView view;  // its port queries are not const
    QWidget* widget = nullptr;
    QImage image;
    MPoint chest, arm, belly, bare;
    std::string imageFile = "/tmp/pellix-overlay-mouse-" + std::to_string(::getpid()) + ".png";
};

inline std::string describe(const QColor& c)
{
    return "rgb(" + std::to_string(c.red()) + ", " + std::to_string(c.green()) + ", " + std::to_string(c.blue()) + ")";
}

} // namespace overlaymouse
