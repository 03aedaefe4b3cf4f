#include "overlay/DataOverlayMouseFilter.h"

#include "hoverMarker/HoverMarkerState.h"
#include "overlay/OverlayIsolate.h"
#include "overlay/OverlayNodeRegistry.h"
#include "overlay/OverlayOcclusion.h"
#include "overlay/OverlayToolBlocking.h"
#include "overlay/OverlayVisibility.h"
#include "overlay/PatchHover.h"
#include "overlay/PatchPickCache.h"
#include "overlay/PatchSelectionSync.h"
#include "overlay/PellixDataOverlay.h"
#include "overlay/ViewProjector.h"
#include "plugin/PlugQueries.h"
#include "plugin/ViewMouseSupport.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlPicking.h"
#include "shapeControl/ShapeControlRegistry.h"

#include <maya/M3dView.h>
#include <maya/MBoundingBox.h>
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MObjectArray.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPoint.h>
#include <maya/MStringArray.h>
#include <maya/MUiMessage.h>
#include <maya/MVector.h>

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

int hoveredPatchOf(const MObject& node)
{
    MStatus status;
    const int hovered = MPlug(node, PellixDataOverlay::hoveredPatch).asInt(&status);
    return status ? hovered : -1;
}

void clearOverlayOwnedShapeHover()
{
    if (activeShapeControlOverlayOwned) {
        setHoveredShapeControl(MObject::kNullObj, false);
    }
}

// The driver feeding "inMesh" and the instance of it the overlay follows.
void driverOf(const MObject& node, MObject& driver, unsigned& instance)
{
    driver = MObject::kNullObj;
    instance = 0;
    MStatus status;
    MPlugArray sources;
    const MPlug inMesh(node, PellixDataOverlay::inMesh);
    if (!inMesh.connectedTo(sources, true, false, &status) || !status || sources.length() == 0) {
        return;
    }
    driver = sources[0].node();
    if (sources[0].isElement()) {
        instance = sources[0].logicalIndex();
    }
}

MColor markerColorOf(const MObject& node)
{
    MColor color(1.0f, 0.8f, 0.2f, 0.96f);
    const MPlug plug(node, PellixDataOverlay::hoverColor);
    float* channels[3] = {&color.r, &color.g, &color.b};
    for (unsigned i = 0; i < 3; ++i) {
        MStatus status;
        const float value = plug.child(i, &status).asFloat(&status);
        if (status) {
            *channels[i] = value;
        }
    }
    return color;
}

// What one overlay offers under the cursor.
struct Candidate
{
    MObject node;
    PatchPick::PickHit hit;
    bool patchVisible = false;
    bool shapeWins = false;
    MObject shapeNode;
    double distance = kLargest;
};

enum class MouseKind { Hover, Drag, LeftPress, LeftRelease, Other };

class DataOverlayMouseFilter;
// The one filter, for the overlay's evaluations to reach from any thread.
std::atomic<DataOverlayMouseFilter*> theFilter{nullptr};
std::atomic<bool> followQueued{false};

class DataOverlayMouseFilter : public QObject
{
public:
    DataOverlayMouseFilter();
    ~DataOverlayMouseFilter() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The last hover move, tested again when its view's camera moves under the still cursor
    // (a fit, a look-through, a scripted camera change) so that hover and marker follow.
    struct LastHover
    {
        QPointer<QWidget> widget;
        QPointF position;
        MMatrix modelView;
        MMatrix projection;
    };
    struct PressState
    {
        bool pressed = false;
        bool dragged = false;
        MObjectHandle node;
        int32_t patch = -1;
        QPointF position;
        // Null once the panel of the press is closed.
        QPointer<QWidget> widget;
        int mode = kSelectReplace;
    };

    void resetPress() { press_ = PressState(); }
    void resetGrace()
    {
        graceNode_ = MObjectHandle();
        gracePatch_ = -1;
        graceCount_ = 0;
    }
    bool isGraceNode(const MObject& node) const
    {
        return graceNode_.isValid() && graceNode_.isAlive() && graceNode_.object() == node;
    }

    bool handleMouse(QWidget* viewWidget, M3dView& view, QObject* watched, QMouseEvent* event);
    bool pickNode(QWidget* viewWidget, M3dView& view, const QPointF& position, const MObject& node,
                  const MPoint& origin, const MVector& direction, bool testOcclusion, MouseKind kind,
                  Candidate& candidate);
    void applyHover(const MObjectArray& nodes, const Candidate& best);

    // A pose edit moved a few driver vertices: the pick data follows them on the main thread
    // once the evaluation is over, before the next mouse move arrives, instead of within it.
    static void followFewMovedVerticesSoon();

    void rememberHover(QWidget* viewWidget, M3dView& view, const QPointF& position);
    void forgetHover() { lastHover_.widget = nullptr; }
    // Registers a pre-render callback on every model panel not yet watched.
    void watchPanels();
    static void viewAboutToRender(const MString& panelName, void* filter);
    void retestHover();

    PressState press_;
    MObjectHandle graceNode_;
    int32_t gracePatch_ = -1;
    int32_t graceCount_ = 0;
    PatchPickCache pickCache_;
    OverlayOcclusion occlusion_;
    PatchDriverVertices patchVertices_;
    OverlayIsolateGate isolateGate_;
    const ShapeControlUnderMouse* shapeUnderMouse_ = nullptr; // this move's, while handleMouse runs
    LastHover lastHover_;
    bool retestPending_ = false;
    std::vector<std::pair<MString, MCallbackId>> panelCallbacks_;
    std::vector<QPointer<QWidget>> watchedWidgets_;
};

DataOverlayMouseFilter::DataOverlayMouseFilter()
{
    theFilter.store(this);
    followQueued = false; // a call queued for an earlier filter went with it
    PellixDataOverlay::setFewVerticesMovedListener(followFewMovedVerticesSoon);
}

DataOverlayMouseFilter::~DataOverlayMouseFilter()
{
    PellixDataOverlay::setFewVerticesMovedListener(nullptr);
    theFilter.store(nullptr);
    for (const auto& [panel, id] : panelCallbacks_) {
        MMessage::removeCallback(id);
    }
}

void DataOverlayMouseFilter::followFewMovedVerticesSoon()
{
    DataOverlayMouseFilter* filter = theFilter.load();
    if (filter == nullptr || followQueued.exchange(true)) {
        return;
    }
    QMetaObject::invokeMethod(
        filter,
        [filter] {
            followQueued = false;
            filter->pickCache_.followFewMovedVertices(PellixDataOverlay::kFewMovedVertices);
        },
        Qt::QueuedConnection);
}

void DataOverlayMouseFilter::rememberHover(QWidget* viewWidget, M3dView& view, const QPointF& position)
{
    lastHover_.widget = viewWidget;
    lastHover_.position = position;
    if (!view.modelViewMatrix(lastHover_.modelView) || !view.projectionMatrix(lastHover_.projection)) {
        forgetHover();
        return;
    }
    if (std::find(watchedWidgets_.begin(), watchedWidgets_.end(), viewWidget) == watchedWidgets_.end()) {
        watchedWidgets_.emplace_back(viewWidget);
        watchPanels();
    }
}

void DataOverlayMouseFilter::watchPanels()
{
    MStringArray panels;
    if (!MGlobal::executeCommand("getPanel -type \"modelPanel\"", panels)) {
        return;
    }
    for (unsigned i = 0; i < panels.length(); ++i) {
        const bool watched =
            std::any_of(panelCallbacks_.begin(), panelCallbacks_.end(),
                        [&](const std::pair<MString, MCallbackId>& seen) { return seen.first == panels[i]; });
        MStatus status;
        const MCallbackId id =
            watched ? 0 : MUiMessage::add3dViewPreRenderMsgCallback(panels[i], viewAboutToRender, this, &status);
        if (!watched && status) {
            panelCallbacks_.emplace_back(panels[i], id);
        }
    }
}

void DataOverlayMouseFilter::viewAboutToRender(const MString& panelName, void* filter)
{
    auto* self = static_cast<DataOverlayMouseFilter*>(filter);
    QWidget* widget = self->lastHover_.widget.data();
    M3dView view;
    MStatus status;
    if (widget == nullptr || self->retestPending_ || !M3dView::getM3dViewFromModelPanel(panelName, view) ||
        view.widget(&status) != widget || !status) {
        return;
    }
    MMatrix modelView;
    MMatrix projection;
    if (!view.modelViewMatrix(modelView) || !view.projectionMatrix(projection) ||
        (modelView == self->lastHover_.modelView && projection == self->lastHover_.projection)) {
        return;
    }
    // Not from inside the view's drawing: once it is done.
    self->retestPending_ = true;
    QTimer::singleShot(0, self, [self] {
        self->retestPending_ = false;
        self->retestHover();
    });
}

void DataOverlayMouseFilter::retestHover()
{
    QWidget* widget = lastHover_.widget.data();
    if (widget == nullptr || QApplication::mouseButtons() != Qt::NoButton) {
        return;
    }
    // The same move again, as every filter and the view itself would see it.
    QMouseEvent move(QEvent::MouseMove, lastHover_.position, widget->mapToGlobal(lastHover_.position.toPoint()),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

bool DataOverlayMouseFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Enter && type != QEvent::Leave && type != QEvent::MouseButtonPress &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseMove) {
        return false;
    }
    M3dView view;
    QWidget* viewWidget = nullptr;
    if (!findViewOf(watched, view, viewWidget)) {
        return false;
    }

    if (type == QEvent::Enter) {
        viewWidget->setMouseTracking(true);
        isolateGate_.forgetPanel(viewWidget);
        occlusion_.invalidate();
        return false;
    }
    if (type == QEvent::Leave) {
        if (watched == viewWidget) {
            forgetHover();
            resetPress();
            clearAllHovers(liveOverlayNodes());
            clearOverlayOwnedShapeHover();
        }
        return false;
    }
    return handleMouse(viewWidget, view, watched, static_cast<QMouseEvent*>(event));
}

bool DataOverlayMouseFilter::handleMouse(QWidget* viewWidget, M3dView& view, QObject* watched, QMouseEvent* event)
{
    QPointF position = event->localPos();
    if (watched != viewWidget) {
        position += static_cast<QWidget*>(watched)->mapTo(viewWidget, QPoint(0, 0));
    }

    MouseKind kind = MouseKind::Other;
    if (event->type() == QEvent::MouseMove) {
        if (event->buttons() == Qt::NoButton) {
            kind = MouseKind::Hover;
        } else if ((event->buttons() & Qt::LeftButton) && press_.pressed) {
            kind = MouseKind::Drag;
        }
    } else if (event->button() == Qt::LeftButton) {
        kind = event->type() == QEvent::MouseButtonPress ? MouseKind::LeftPress : MouseKind::LeftRelease;
    }
    const bool leftRelease = kind == MouseKind::LeftRelease;

    // A drag or release in another view than the press (or after the press's panel closed).
    if ((kind == MouseKind::Drag || leftRelease) && press_.pressed && press_.widget.data() != viewWidget) {
        if (leftRelease) {
            resetPress();
        }
        return false;
    }

    // Another button held (a manipulator or the camera dragged): no hover and no marker until
    // the drag ends, and nothing to test again meanwhile.
    if (event->type() == QEvent::MouseMove && event->buttons() != Qt::NoButton && kind != MouseKind::Drag) {
        forgetHover();
        clearAllHovers(liveOverlayNodes());
        clearOverlayOwnedShapeHover();
        return false;
    }

    // Alt hands the mouse to the camera.
    if (event->modifiers() & Qt::AltModifier) {
        forgetHover();
        resetPress();
        clearAllHovers(liveOverlayNodes());
        clearOverlayOwnedShapeHover();
        return false;
    }

    if (kind == MouseKind::Drag &&
        (position - press_.position).manhattanLength() >= QApplication::startDragDistance()) {
        press_.dragged = true;
    }

    if (kind == MouseKind::Hover || kind == MouseKind::LeftRelease) {
        rememberHover(viewWidget, view, position);
    } else if (event->type() == QEvent::MouseButtonPress) {
        forgetHover();
    }

    const MObjectArray nodes = liveOverlayNodes();
    pickCache_.dropDeadEntries();
    if (nodes.length() == 0) {
        hideHoverMarker();
        clearOverlayOwnedShapeHover();
        if (leftRelease) {
            resetPress();
        }
        return false;
    }

    if (kind != MouseKind::Other && isOverlayBlockedByTool(view, position)) {
        clearAllHovers(nodes);
        clearOverlayOwnedShapeHover();
        if (kind == MouseKind::LeftPress) {
            resetPress();
            return false;
        }
        if (kind == MouseKind::Drag) {
            press_.dragged = true;
            return true;
        }
        if (leftRelease && press_.pressed) {
            resetPress();
            return true;
        }
        return false;
    }

    // The mouse ray, from the view's device pixels (y up).
    const double ratio = viewWidget->devicePixelRatioF();
    const double portHeight = view.portHeight();
    const short pixelX = static_cast<short>(std::lround(position.x() * ratio));
    const short pixelY = static_cast<short>(std::lround(portHeight - position.y() * ratio));
    MPoint origin;
    MVector direction;
    const bool rayOk = view.viewToWorld(pixelX, pixelY, origin, direction);
    if (!rayOk || direction.length() <= 1e-8) {
        clearAllHovers(nodes);
        clearOverlayOwnedShapeHover();
        if (leftRelease && press_.pressed) {
            resetPress();
            return true;
        }
        return false;
    }
    direction.normalize();

    // Meshes hide what lies behind them only where the view draws them, and draws them shaded.
    MStatus displayStatus;
    const unsigned display = view.objectDisplay(&displayStatus);
    MStatus styleStatus;
    const M3dView::DisplayStyle style = view.displayStyle(&styleStatus);
    const bool shaded = !styleStatus || style == M3dView::kGouraudShaded || style == M3dView::kFlatShaded;
    const bool testOcclusion = shaded && (!displayStatus || (display & M3dView::kDisplayMeshes) != 0);
    if (testOcclusion) {
        // A driver's world box is that of its triangles' tree, kept up to date for the pick.
        occlusion_.refreshIfDue([this, &nodes](const MDagPath& mesh, MBoundingBox& worldBox) {
            for (unsigned i = 0; i < nodes.length(); ++i) {
                MObject driver;
                unsigned instance = 0;
                driverOf(nodes[i], driver, instance);
                if (!driver.isNull() && mesh.node() == driver && mesh.instanceNumber() == instance &&
                    pickCache_.driverBox(nodes[i], driver, worldBox)) {
                    return true;
                }
            }
            return false;
        });
    }

    // The shape control under the mouse, picked once for this move with the shape-control filter.
    const ShapeControlUnderMouse shapeUnderMouse = liveShapeControlCount() > 0
                                                       ? shapeControlUnderMouse(view, viewWidget, position,
                                                                                kind == MouseKind::Hover)
                                                       : ShapeControlUnderMouse();
    shapeUnderMouse_ = &shapeUnderMouse;
    Candidate best;
    bool haveBest = false;
    for (unsigned i = 0; i < nodes.length(); ++i) {
        Candidate candidate;
        if (!pickNode(viewWidget, view, position, nodes[i], origin, direction, testOcclusion, kind, candidate)) {
            continue;
        }
        // Ties keep the earlier overlay.
        if (!haveBest || candidate.distance < best.distance) {
            best = candidate;
            haveBest = true;
        }
    }
    if (haveBest) {
        isolateGate_.syncIsolateForView(viewWidget, best.node);
        haveBest = pickCache_.entryFor(best.node) != nullptr;
    }
    if (!haveBest) {
        clearAllHovers(nodes);
        clearOverlayOwnedShapeHover();
        if (leftRelease && press_.pressed) {
            resetPress();
            return true;
        }
        return false;
    }

    const bool onVisiblePatch = best.patchVisible && !best.shapeWins;
    if (onVisiblePatch && shapeUnderMouse_ != nullptr && shapeUnderMouse_->hit) {
        // The control lies behind the patch: neither filter hovers it.
        notePatchInFrontOfShapeControl(viewWidget, position);
        setHoveredShapeControl(MObject::kNullObj, false);
    }
    switch (kind) {
    case MouseKind::Hover:
        applyHover(nodes, best);
        return false;
    case MouseKind::LeftPress: {
        const Qt::KeyboardModifiers modifiers = event->modifiers();
        const bool shift = modifiers & Qt::ShiftModifier;
        const bool ctrl = modifiers & Qt::ControlModifier;
        const int mode = shift && ctrl ? kSelectAdd : shift ? kSelectToggle : ctrl ? kSelectRemove : kSelectReplace;
        resetPress();
        applyHover(nodes, best);
        if (!onVisiblePatch) {
            return false;
        }
        press_.pressed = true;
        press_.node = MObjectHandle(best.node);
        press_.patch = best.hit.patch;
        press_.widget = viewWidget;
        press_.mode = mode;
        press_.position = position;
        return true;
    }
    case MouseKind::Drag:
        return true;
    case MouseKind::LeftRelease: {
        if (!press_.pressed) {
            applyHover(nodes, best);
            return false;
        }
        const bool pressNodeAlive = press_.node.isValid() && press_.node.isAlive();
        const bool click = !press_.dragged && pressNodeAlive && press_.node.object() == best.node && onVisiblePatch &&
                           best.hit.patch == press_.patch;
        const int patch = press_.patch;
        const int mode = press_.mode;
        resetPress();
        applyHover(nodes, best);
        if (click && selectPatchTarget(best.node, patch, mode)) {
            syncSelectedPatches();
        }
        return true;
    }
    case MouseKind::Other:
        break;
    }
    return false;
}

bool DataOverlayMouseFilter::pickNode(QWidget* viewWidget, M3dView& view, const QPointF& position,
                                      const MObject& node, const MPoint& origin, const MVector& direction,
                                      bool testOcclusion, MouseKind kind, Candidate& candidate)
{
    if (!plugIsOn(node, PellixDataOverlay::enable) || !isOverlayDrawnIn(view, node) ||
        !isolateGate_.syncIsolateForView(viewWidget, node)) {
        return false;
    }
    const PellixDataOverlay* overlay = PellixDataOverlay::fromObject(node);
    if (overlay == nullptr || !overlay->hasDriver()) {
        return false;
    }
    const PickCacheEntry* entry = pickCache_.entryFor(node);
    if (entry == nullptr) {
        return false;
    }
    const double o[3] = {origin.x, origin.y, origin.z};
    const double d[3] = {direction.x, direction.y, direction.z};
    PatchPick::PickHit hit = PatchPick::rayPick(entry->data, o, d);

    // A hovered patch stays under a still cursor even when another is nearer along the ray.
    // A stale or hand-set index outside the patches is left alone.
    const int hovered = hoveredPatchOf(node);
    const int patchCount = static_cast<int>(entry->data.patches.size());
    if (hovered >= 0 && hovered < patchCount && hovered != hit.patch) {
        const ViewProjector projector(view, viewWidget->devicePixelRatioF(), view.portHeight());
        const double mouse[2] = {position.x(), position.y()};
        const PatchPick::PickHit kept =
            PatchPick::screenTestPatch(entry->data, hovered, projector, mouse, hit.hit ? 0.75 : 0.5, o, d);
        if (kept.hit) {
            hit = kept;
        }
    }
    // A patch whose control is gone is drawn but is no longer a button: not hovered, not clicked.
    if (hit.hit && patchControlOf(node, hit.patch).isNull()) {
        hit = PatchPick::PickHit();
    }

    // Every shape control competes with the patches, tracked or not: the front-most wins, so
    // that hover and click agree.
    MObject shapeNode;
    double shapeDepth = kLargest;
    double shapeRadius = 0.0;
    bool shapeHit = false;
    if (shapeUnderMouse_ != nullptr && shapeUnderMouse_->hit) {
        shapeNode = shapeUnderMouse_->node;
        shapeDepth = shapeUnderMouse_->depth;
        shapeRadius = shapeUnderMouse_->worldRadius;
        shapeHit = true;
    }

    bool patchVisible = hit.hit;
    bool hiddenByOcclusion = false;
    if (testOcclusion) {
        const MSelectionList* isolateMembers =
            isolateGate_.hasCurrentIsolate() ? &isolateGate_.isolateMembers() : nullptr;
        if (hit.hit && !plugIsOn(node, PellixDataOverlay::drawInXray)) {
            MObject driver;
            unsigned instance = 0;
            driverOf(node, driver, instance);
            const OverlayOcclusion::Result result =
                occlusion_.test(origin, direction, hit.distance, isolateMembers, driver, instance,
                                patchVertices_.of(node, hit.patch), pickCache_.driverTrianglesFor(node, driver));
            if (result.occluded) {
                // A hovered patch gets more room in a near tie with the surface in front of it.
                const double tolerance = std::max(result.distance, 1.0) * 1e-4 * (hit.patch == hovered ? 4.0 : 1.0);
                patchVisible = hit.distance <= result.distance + tolerance;
                hiddenByOcclusion = !patchVisible;
            }
        }
        if (shapeHit && !plugIsOn(shapeNode, ShapeControl::drawInXray)) {
            const OverlayOcclusion::Result result =
                occlusion_.test(origin, direction, shapeDepth, isolateMembers, MObject::kNullObj, 0);
            if (result.occluded) {
                shapeHit = shapeDepth <=
                           result.distance + std::max(shapeRadius, std::max(result.distance, 1.0) * 1e-4);
            }
        }
    }

    // A hovered patch that goes behind something is kept for two more hover moves.
    const bool rawOnHovered = hit.hit && hovered >= 0 && hit.patch == hovered;
    if (patchVisible) {
        if (isGraceNode(node)) {
            resetGrace();
        }
    } else if (hiddenByOcclusion && kind == MouseKind::Hover && !shapeHit && rawOnHovered) {
        if (isGraceNode(node) && gracePatch_ == hovered) {
            ++graceCount_;
            patchVisible = graceCount_ < 3;
        } else {
            graceNode_ = MObjectHandle(node);
            gracePatch_ = hovered;
            graceCount_ = 1;
            patchVisible = true;
        }
    } else if (isGraceNode(node)) {
        resetGrace();
    }

    if (!patchVisible && !shapeHit) {
        return false;
    }
    // A near tie along the ray goes to the shape control.
    const double eps = std::max(std::min(hit.distance, shapeDepth), 1.0) * 1e-5;
    const bool shapeWins = shapeHit && (!patchVisible || hit.distance + std::max(shapeRadius, eps) >= shapeDepth);
    candidate.node = node;
    candidate.hit = hit;
    candidate.patchVisible = patchVisible;
    candidate.shapeWins = shapeWins;
    candidate.shapeNode = shapeNode;
    candidate.distance = shapeWins ? shapeDepth : hit.distance;
    return true;
}

void DataOverlayMouseFilter::applyHover(const MObjectArray& nodes, const Candidate& best)
{
    if (best.shapeWins) {
        clearAllHovers(nodes);
        setHoveredShapeControl(best.shapeNode, true);
        return;
    }
    for (unsigned i = 0; i < nodes.length(); ++i) {
        if (nodes[i] != best.node && hoveredPatchOf(nodes[i]) >= 0) {
            setHoveredPatch(nodes[i], -1);
        }
    }
    clearOverlayOwnedShapeHover();
    if (!best.patchVisible) {
        setHoveredPatch(best.node, -1);
        return;
    }
    setHoveredPatch(best.node, best.hit.patch);
    if (best.hit.hit && plugIsOn(best.node, PellixDataOverlay::drawMarker)) {
        const PatchPick::PickHit& hit = best.hit;
        showHoverMarker(MPoint(hit.point[0], hit.point[1], hit.point[2]),
                        MVector(hit.normal[0], hit.normal[1], hit.normal[2]), markerColorOf(best.node));
    } else {
        hideHoverMarker();
    }
    if (isolateGate_.hasCurrentIsolate() && !currentHoverMarker().isNull()) {
        isolateGate_.keepMarkerIsolated();
    }
}

} // namespace

QObject* createDataOverlayMouseFilter()
{
    return new DataOverlayMouseFilter();
}
