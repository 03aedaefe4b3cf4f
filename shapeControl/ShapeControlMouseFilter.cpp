#include "shapeControl/ShapeControlMouseFilter.h"

#include "plugin/StatusCheck.h"

#include <maya/M3dView.h>
#include <maya/MViewport2Renderer.h>

#include <QApplication>
#include <QCoreApplication>
#include <QObject>
#include <QWidget>

namespace {

const char* const kStatusSource = "shapeControlMouseFilter";

// Watches mouse events over the 3D views for the shape-control hover. It never consumes an
// event. Picking arrives with the shape-control interaction work; until then every event
// passes on unchanged.
class ShapeControlMouseFilter : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override { return QObject::eventFilter(watched, event); }
};

void markControlDirty(const MObject& node)
{
    PELLIX_REPORT(MHWRender::MRenderer::setGeometryDrawDirty(node, true));
}

} // namespace

QObject* shapeControlFilter = nullptr;
QObject* shapeControlFilterHost = nullptr;
MObjectHandle activeShapeControl;
bool activeShapeControlOverlayOwned = false;

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

    // Hover needs move events without a button held.
    const unsigned viewCount = M3dView::numberOf3dViews();
    for (unsigned i = 0; i < viewCount; ++i) {
        M3dView view;
        if (!M3dView::get3dView(i, view)) {
            continue;
        }
        QWidget* widget = view.widget();
        if (widget) {
            widget->setMouseTracking(true);
        }
    }
}

void removeShapeControlMouseFilter()
{
    if (shapeControlFilterHost && shapeControlFilter) {
        shapeControlFilterHost->removeEventFilter(shapeControlFilter);
    }
    shapeControlFilterHost = nullptr;
    delete shapeControlFilter;
    shapeControlFilter = nullptr;
}

void setHoveredShapeControl(const MObject& node, bool overlayOwned)
{
    if (activeShapeControl.isValid() && activeShapeControl.isAlive() && !activeShapeControl.object().isNull()) {
        if (activeShapeControl.object() == node) {
            activeShapeControlOverlayOwned = overlayOwned;
            return;
        }
        markControlDirty(activeShapeControl.object());
    } else if (node.isNull()) {
        activeShapeControlOverlayOwned = false;
        return;
    }

    activeShapeControl = node.isNull() ? MObjectHandle() : MObjectHandle(node);
    activeShapeControlOverlayOwned = !node.isNull() && overlayOwned;
    if (!node.isNull()) {
        markControlDirty(node);
    }
    M3dView::scheduleRefreshAllViews();
}
