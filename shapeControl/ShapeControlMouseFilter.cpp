#include "shapeControl/ShapeControlMouseFilter.h"

#include "overlay/OverlayNodeRegistry.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/PlugQueries.h"
#include "plugin/StatusCheck.h"
#include "plugin/ViewMouseSupport.h"
#include "shapeControl/ShapeControlPicking.h"
#include "shapeControl/ShapeControlRedraw.h"
#include "shapeControl/ShapeControlRegistry.h"

#include <maya/M3dView.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MViewport2Renderer.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPointF>
#include <QWidget>


namespace {

const char* const kStatusSource = "shapeControlMouseFilter";

// Whether the control feeds any overlay's "trackedShapeControls". Asking the control's own
// connections first spares the overlay registry (and its scene scan when empty) for the many
// controls that no overlay tracks.
bool feedsTrackedShapeControls(const MObject& control)
{
    MStatus status;
    const MFnDependencyNode fn(control, &status);
    MPlugArray plugs;
    if (!status || !fn.getConnections(plugs)) {
        return false;
    }
    for (unsigned i = 0; i < plugs.length(); ++i) {
        MPlugArray destinations;
        if (!plugs[i].connectedTo(destinations, false, true, &status) || !status) {
            continue;
        }
        for (unsigned d = 0; d < destinations.length(); ++d) {
            const MPlug& destination = destinations[d];
            const MPlug array = destination.isElement() ? destination.array() : destination;
            if (array.attribute() == PellixDataOverlay::trackedShapeControls) {
                return true;
            }
        }
    }
    return false;
}

// Whether a patch overlay whose "enable" is on tracks the control: such a control is hovered
// by the overlay's own filter, which weighs it against the overlay's patches.
bool isTrackedByEnabledOverlay(const MObject& control)
{
    if (!feedsTrackedShapeControls(control)) {
        return false;
    }
    const MObjectArray overlays = liveOverlayNodes();
    for (unsigned o = 0; o < overlays.length(); ++o) {
        if (!plugIsOn(overlays[o], PellixDataOverlay::enable)) {
            continue;
        }
        const MPlug tracked(overlays[o], PellixDataOverlay::trackedShapeControls);
        MStatus status;
        const unsigned count = tracked.numElements(&status);
        for (unsigned e = 0; status && e < count; ++e) {
            if (sourceNodeOf(tracked.elementByPhysicalIndex(e)) == control) {
                return true;
            }
        }
    }
    return false;
}

// Watches mouse events over the 3D views and keeps the hovered shape control up to date.
// It never consumes an event: the host's tools and selection see every one.
class ShapeControlMouseFilter : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

bool ShapeControlMouseFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // Paint, timer and key events are by far the most common: leave them at once.
    if (type != QEvent::Enter && type != QEvent::Leave && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease) {
        return QObject::eventFilter(watched, event);
    }
    if (liveShapeControlCount() == 0) {
        return QObject::eventFilter(watched, event);
    }
    M3dView view;
    QWidget* viewWidget = nullptr;
    if (!findViewOf(watched, view, viewWidget)) {
        return QObject::eventFilter(watched, event);
    }

    if (type == QEvent::Enter) {
        viewWidget->setMouseTracking(true);
        forgetShapeControlUnderMouse();
        return QObject::eventFilter(watched, event);
    }
    if (type == QEvent::Leave) {
        if (watched == viewWidget) {
            forgetShapeControlUnderMouse();
            setHoveredShapeControl(MObject::kNullObj, false);
        }
        return QObject::eventFilter(watched, event);
    }

    const QMouseEvent* mouse = static_cast<const QMouseEvent*>(event);
    // A drag in the view (not a camera move) is the animator manipulating the selection: the
    // readouts of the controls it moves follow it.
    if (type == QEvent::MouseButtonPress && !(mouse->modifiers() & Qt::AltModifier)) {
        beginViewDrag();
    } else if (type == QEvent::MouseButtonRelease) {
        if (mouse->buttons() == Qt::NoButton) {
            endViewDrag();
        }
        return QObject::eventFilter(watched, event);
    } else if (type == QEvent::MouseMove && mouse->buttons() != Qt::NoButton && currentViewDrag() != 0) {
        redrawManipulatedControls();
    }
    const bool hover = type == QEvent::MouseMove && mouse->buttons() == Qt::NoButton;
    const bool click = type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton;
    if (!hover && !click) {
        return QObject::eventFilter(watched, event);
    }
    // The event's position is in the watched widget, which may be a child of the view's.
    const QWidget* watchedWidget = static_cast<const QWidget*>(watched);
    const QPointF position = mouse->localPos() + QPointF(watchedWidget->mapTo(viewWidget, QPoint(0, 0)));

    if ((mouse->modifiers() & Qt::AltModifier) || isNearActiveManipulator(view, position)) {
        setHoveredShapeControl(MObject::kNullObj, false);
        return QObject::eventFilter(watched, event);
    }
    // One pick a move, shared with the patch overlay's filter; a patch the overlay found in front
    // of the control keeps the hover.
    const ShapeControlUnderMouse under = shapeControlUnderMouse(view, viewWidget, position, hover);
    if (under.patchInFront) {
        return QObject::eventFilter(watched, event);
    }
    if (under.hit && !isTrackedByEnabledOverlay(under.node)) {
        setHoveredShapeControl(under.node, false);
    } else if (!activeShapeControlOverlayOwned) {
        // A miss leaves a hover the overlay set to the overlay.
        setHoveredShapeControl(MObject::kNullObj, false);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace

QObject* shapeControlFilter = nullptr;
QObject* shapeControlFilterHost = nullptr;

void installShapeControlMouseFilter()
{
    QApplication* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!application) {
        return;
    }
    if (shapeControlFilter && shapeControlFilterHost == application) {
        return;
    }
    if (!shapeControlFilter) {
        shapeControlFilter = new ShapeControlMouseFilter();
    }
    if (shapeControlFilterHost && shapeControlFilterHost != application) {
        shapeControlFilterHost->removeEventFilter(shapeControlFilter);
    }
    application->installEventFilter(shapeControlFilter);
    shapeControlFilterHost = application;
    installShapeControlRedraws();

    // Hover needs move events without a button held.
    trackMouseInAllViews();
}

void removeShapeControlMouseFilter()
{
    removeApplicationFilter(shapeControlFilter, shapeControlFilterHost);
    removeShapeControlRedraws();
    forgetShapeControlPaths();
}
