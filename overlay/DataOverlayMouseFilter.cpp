#include "overlay/DataOverlayMouseFilter.h"

#include "hoverMarker/HoverMarkerState.h"
#include "overlay/OverlayIsolate.h"
#include "overlay/OverlayNodeRegistry.h"
#include "overlay/OverlayOcclusion.h"
#include "overlay/OverlayToolBlocking.h"
#include "overlay/PatchHover.h"
#include "overlay/PatchPickCache.h"
#include "overlay/PatchSelectionSync.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/PlugQueries.h"
#include "plugin/ViewMouseSupport.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlPicking.h"
#include "shapeControl/ShapeControlRegistry.h"

#include <maya/M3dView.h>
#include <maya/MColor.h>
#include <maya/MObjectArray.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <algorithm>
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

// The shape controls an overlay weighs against its patches: the sources of its
// "trackedShapeControls" elements.
MObjectArray trackedShapeControlsOf(const MObject& node)
{
    MObjectArray tracked;
    MStatus status;
    const MPlug array(node, PellixDataOverlay::trackedShapeControls);
    const unsigned count = array.numElements(&status);
    if (!status) {
        return tracked;
    }
    for (unsigned i = 0; i < count; ++i) {
        const MPlug element = array.elementByPhysicalIndex(i, &status);
        const MObject source = status ? sourceNodeOf(element) : MObject::kNullObj;
        if (!source.isNull()) {
            tracked.append(source);
        }
    }
    return tracked;
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

// World points to a view's logical pixels (y down), as the mouse reports them, and the world
// region around the mouse that projects near it, so that the screen test of a large patch
// projects only its triangles there.
class ViewProjector : public PatchPick::ScreenProjector
{
public:
    ViewProjector(M3dView& view, double ratio, double portHeight)
        : view_(view), ratio_(ratio), portHeight_(portHeight)
    {
    }

    bool project(const double world[3], double pixel[2]) const override
    {
        short x = 0;
        short y = 0;
        if (!view_.worldToView(MPoint(world[0], world[1], world[2]), x, y)) {
            return false;
        }
        pixel[0] = x / ratio_;
        pixel[1] = (portHeight_ - y) / ratio_;
        return true;
    }

    // The planes through the view rays at the corners of a port square around the mouse. The
    // square reaches beyond `radius` by the whole pixel that worldToView rounds to, and more.
    bool window(const double pixel[2], double radius, PatchPick::ScreenWindow& window) const override
    {
        const double reach = radius * ratio_ + 2.0;
        const double x = pixel[0] * ratio_;
        const double y = portHeight_ - pixel[1] * ratio_;
        const double corners[4][2] = {{std::floor(x - reach), std::floor(y - reach)},
                                      {std::ceil(x + reach), std::floor(y - reach)},
                                      {std::ceil(x + reach), std::ceil(y + reach)},
                                      {std::floor(x - reach), std::ceil(y + reach)}};
        MPoint near[4];
        MVector along[4];
        for (int c = 0; c < 4; ++c) {
            const double limit = std::numeric_limits<short>::max();
            if (!(std::fabs(corners[c][0]) <= limit && std::fabs(corners[c][1]) <= limit) ||
                !view_.viewToWorld(short(corners[c][0]), short(corners[c][1]), near[c], along[c])) {
                return false;
            }
        }
        // Side c passes through the rays at corners c and c + 1; the opposite corner is inside.
        for (int c = 0; c < 4; ++c) {
            const MPoint& from = near[c];
            MVector normal = (near[(c + 1) % 4] - from) ^ along[c];
            const MPoint& inside = near[(c + 2) % 4];
            if (normal * (inside - from) < 0.0) {
                normal = -normal;
            }
            if (!(normal.length() > 0.0)) {
                return false;
            }
            window.sides[c][0] = normal.x;
            window.sides[c][1] = normal.y;
            window.sides[c][2] = normal.z;
            window.sides[c][3] = -(normal * MVector(from));
        }
        // In front: beyond the near clip plane, through the corners' near points.
        MVector front = (near[1] - near[0]) ^ (near[3] - near[0]);
        if (front * along[0] < 0.0) {
            front = -front;
        }
        if (!(front.length() > 0.0)) {
            return false;
        }
        window.front[0] = front.x;
        window.front[1] = front.y;
        window.front[2] = front.z;
        window.front[3] = -(front * MVector(near[0]));
        return true;
    }

private:
    M3dView& view_;
    double ratio_;
    double portHeight_;
};

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

class DataOverlayMouseFilter : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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

    PressState press_;
    MObjectHandle graceNode_;
    int32_t gracePatch_ = -1;
    int32_t graceCount_ = 0;
    PatchPickCache pickCache_;
    OverlayOcclusion occlusion_;
    OverlayIsolateGate isolateGate_;
};

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

    // Alt hands the mouse to the camera.
    if (event->modifiers() & Qt::AltModifier) {
        resetPress();
        clearAllHovers(liveOverlayNodes());
        clearOverlayOwnedShapeHover();
        return false;
    }

    if (kind == MouseKind::Drag &&
        (position - press_.position).manhattanLength() >= QApplication::startDragDistance()) {
        press_.dragged = true;
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

    MStatus displayStatus;
    const unsigned display = view.objectDisplay(&displayStatus);
    const bool testOcclusion = !displayStatus || (display & M3dView::kDisplayMeshes) != 0;
    if (testOcclusion) {
        occlusion_.refreshIfDue();
    }

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
    if (!plugIsOn(node, PellixDataOverlay::enable) || !isolateGate_.syncIsolateForView(viewWidget, node)) {
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

    MObject shapeNode;
    double shapeDepth = kLargest;
    double shapeRadius = 0.0;
    bool shapeHit = false;
    const MObjectArray tracked = trackedShapeControlsOf(node);
    if (tracked.length() > 0) {
        shapeHit = pickShapeControl(view, position, shapeNode, shapeDepth, shapeRadius, &tracked) &&
                   !shapeNode.isNull();
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
                occlusion_.test(origin, direction, hit.distance, isolateMembers, driver, instance);
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
