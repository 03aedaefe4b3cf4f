#pragma once
// modelPanel4 as the GUI tests drive and read it: its view and widget, world points as widget
// positions, the mouse through hostMouseEvent (undoable, as the view's own events are) or the real
// pointer through xdotool, pictures of what the view draws, what the overrides do while the view
// idles, and the torso scene of the overlay tests.

#include <maya/M3dView.h>
#include <maya/MPoint.h>
#include <maya/MStringArray.h>

#include <QColor>
#include <QImage>
#include <QPointF>

#include <functional>
#include <map>
#include <string>

class QWidget;

constexpr unsigned kPanel = 3; // modelPanel4

class PanelView
{
protected:
    explicit PanelView(const std::string& pictureName);
    ~PanelView();

    // Makes modelPanel4 the active panel and finds its view and widget.
    void usePanel();
    // No button left down, no hover, the select tool and the perspective camera for the next test.
    void releasePanel();

    // The widget position (logical pixels, y down) a world point projects to.
    QPointF widgetPoint(const MPoint& world) const;
    static std::string at(const QPointF& p);
    void mouse(const std::string& type, const QPointF& p, const std::string& button = "",
               const std::string& modifiers = "");
    void moveTo(const QPointF& p, const std::string& modifiers = "") { mouse("move", p, "", modifiers); }
    void moveTo(const MPoint& world, const std::string& modifiers = "") { moveTo(widgetPoint(world), modifiers); }
    void click(const QPointF& p, const std::string& modifiers = "");
    void click(const MPoint& world, const std::string& modifiers = "") { click(widgetPoint(world), modifiers); }

    // What the view shows, as `refresh -cv -fe png` writes it (after running `command`).
    void snapshot();
    void snapshotAfter(const std::string& command);
    // A pixel of the last picture, y up from the bottom row, or at a projected world point.
    QColor pixel(int x, int y) const { return image.pixelColor(x, image.height() - 1 - y); }
    QColor pixelAt(const MPoint& world, int dx = 0, int dy = 0) const;

    mutable M3dView view; // its port queries are not const
    QWidget* widget = nullptr;
    QImage image;
    const std::string imageFile;
};

bool nearColour(const QColor& pixel, double r, double g, double b, int tolerance = 4);
std::string describe(const QColor& c);

// Moves the real pointer to a widget position in the widget's top-level X window, then runs
// xdotool's `actions` there ("click 1", "keydown shift click 1 keyup shift").
int xdotoolAt(QWidget* widget, const QPointF& position, const std::string& actions = "");

// Turns the event loop until `done` holds, for at most five seconds.
bool processEventsUntil(const std::function<bool()>& done);

// The override calls on `node`, by name, while the event loop runs for `milliseconds` with
// nothing refreshed by hand.
std::map<std::string, int> overrideCallsWhileIdle(const std::string& node, int milliseconds);

// The strings joined by blanks, and the selected nodes' names so joined, in selection order.
std::string joined(const MStringArray& strings);
std::string selectionText();

// The body of the demo: a 4 x 4 plane "body" with a chest patch on its first two faces, an arm
// patch on the face beside them and a belly patch on its last two faces, the chest and belly
// standing for the controls "chestCtrl" and "bellyCtrl", bound in that order into "torsoOverlay"
// and seen from the top camera, 6 units wide.
void buildTorso(bool withArm, bool withBelly);
