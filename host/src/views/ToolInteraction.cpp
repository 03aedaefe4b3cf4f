#include "views/ToolInteraction.h"

#include "commands/UndoQueue.h"
#include "geometry/TransformRotation.h"
#include "views/CameraView.h"
#include "views/FaceSelection.h"
#include "views/SelectionMode.h"
#include "views/ToolContexts.h"
#include "views/ToolManipulatorDrawing.h"
#include "views/Views.h"

#include <maya/MArgList.h>
#include <maya/MFnManip3D.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MQuaternion.h>
#include <maya/MPxCommand.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace host {

namespace {

// A press and release closer than this (logical pixels) is a click.
constexpr double kClickDistance = 4.0;
// Half the side of the square a click picks in (logical pixels), Maya's click box.
constexpr double kPickRadius = 4.0;

// What a manipulator drag changes on each transform.
enum class DragPart { kTranslate, kScale, kRotate };

// One transform a drag changes: its translation (parent space), scale or rotate channels, before
// and now; for a rotation also its orientation in the world when the drag began.
struct MovedTransform
{
    MDagPath path;
    MVector before;
    MVector after;
    MMatrix worldBefore;
};

MStatus readPart(const MDagPath& path, DragPart part, MVector& value)
{
    MStatus status;
    MFnTransform transform(path, &status);
    if (!status)
        return status;
    if (part == DragPart::kTranslate) {
        value = transform.getTranslation(MSpace::kTransform, &status);
        return status;
    }
    if (part == DragPart::kRotate) {
        MEulerRotation rotation;
        status = transform.getRotation(rotation);
        value = MVector(rotation.x, rotation.y, rotation.z);
        return status;
    }
    double scale[3] = {1.0, 1.0, 1.0};
    status = transform.getScale(scale);
    value = MVector(scale[0], scale[1], scale[2]);
    return status;
}

MStatus writePart(const MDagPath& path, DragPart part, const MVector& value)
{
    MStatus status;
    MFnTransform transform(path, &status);
    if (!status)
        return status;
    if (part == DragPart::kTranslate)
        return transform.setTranslation(value, MSpace::kTransform);
    if (part == DragPart::kRotate) {
        MEulerRotation rotation;
        status = transform.getRotation(rotation);
        if (!status)
            return status;
        return transform.setRotation(MEulerRotation(value.x, value.y, value.z, rotation.order));
    }
    const double scale[3] = {value.x, value.y, value.z};
    return transform.setScale(scale);
}

// The drag as one undoable step, recorded when the drag ends.
class ManipulatorDragStep : public MPxCommand
{
public:
    ManipulatorDragStep(DragPart part, std::vector<MovedTransform> moved) : mPart(part), mMoved(std::move(moved))
    {
        setCommandString(part == DragPart::kTranslate ? "move" : part == DragPart::kRotate ? "rotate" : "scale");
    }
    MStatus doIt(const MArgList&) override { return redoIt(); }
    MStatus undoIt() override { return apply(false); }
    MStatus redoIt() override { return apply(true); }
    bool isUndoable() const override { return true; }

private:
    MStatus apply(bool after)
    {
        MStatus result = MS::kSuccess;
        for (const MovedTransform& m : mMoved) {
            const MStatus status = writePart(m.path, mPart, after ? m.after : m.before);
            if (!status)
                result = status;
        }
        scheduleRefreshAll();
        return result;
    }

    DragPart mPart;
    std::vector<MovedTransform> mMoved;
};

enum class Handle { kNone, kCentre, kAxis, kRing, kOther };

struct ToolInput
{
    bool pressed = false;      // the panel widget saw the left press
    unsigned int panel = 0;
    QPointF pressPosition;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    // Dragging the move, rotate or scale manipulator.
    Handle handle = Handle::kNone;
    DragPart part = DragPart::kTranslate;
    int axisIndex = 0;
    double handlePixels = 1.0; // the axis handles' length on screen
    MPoint pivot;
    MVector axis;              // the picked axis (a ring's normal), or the view direction for the centre handle
    MPoint pressPoint;         // where the press ray met the axis or the view plane
    std::vector<MovedTransform> moved;
    // A drag box in face mode: where the cursor is now, once it has left the click's reach.
    bool boxing = false;
    QPointF boxCorner;
};

bool isDragHandle(Handle handle)
{
    return handle == Handle::kAxis || handle == Handle::kCentre || handle == Handle::kRing;
}

ToolInput& input()
{
    static ToolInput state;
    return state;
}

double devicePixelRatio(const ViewSetup& view)
{
    return view.devicePixelRatio > 0.0 ? view.devicePixelRatio : 1.0;
}

// A world point in the widget's logical pixels (y down); false behind the camera.
bool worldToLogical(const ViewSetup& view, const MPoint& world, QPointF& position)
{
    const MPoint clip = world * (view.view * view.projection);
    if (!(clip.w > 1e-12))
        return false;
    const double ratio = devicePixelRatio(view);
    const double portX = (clip.x / clip.w * 0.5 + 0.5) * view.width;
    const double portY = (clip.y / clip.w * 0.5 + 0.5) * view.height;
    position = QPointF(portX / ratio, (view.height - portY) / ratio);
    return std::isfinite(position.x()) && std::isfinite(position.y());
}

// The world ray under a logical position.
bool rayAt(const ViewSetup& view, const QPointF& position, MPoint& origin, MVector& direction)
{
    const double ratio = devicePixelRatio(view);
    MPoint nearPoint, farPoint;
    if (!portToWorld(view, position.x() * ratio, view.height - position.y() * ratio, nearPoint, farPoint))
        return false;
    origin = nearPoint;
    direction = farPoint - nearPoint;
    if (direction.length() <= 1e-12)
        return false;
    direction.normalize();
    return true;
}

// The point of the line (pivot, axis) nearest the ray; false when they are parallel.
bool pointOnAxis(const MPoint& pivot, const MVector& axis, const MPoint& origin, const MVector& direction, MPoint& point)
{
    const MVector w = pivot - origin;
    const double b = axis * direction;
    const double denominator = 1.0 - b * b;
    if (denominator < 1e-9)
        return false;
    const double s = (b * (direction * w) - axis * w) / denominator;
    point = pivot + axis * s;
    return std::isfinite(s);
}

// Where the ray meets the plane through the pivot with the given normal.
bool pointOnPlane(const MPoint& pivot, const MVector& normal, const MPoint& origin, const MVector& direction, MPoint& point)
{
    const double d = normal * direction;
    if (std::fabs(d) < 1e-9)
        return false;
    const double t = normal * (pivot - origin) / d;
    point = origin + direction * t;
    return std::isfinite(t);
}

double distanceToSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0.0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF nearest = a + ab * t;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

// Which handle of which manipulator is under a position, with the handle sizes
// the manipulators draw with (MFnManip3D preferences).
Handle handleAt(const ViewSetup& view, const QPointF& position, ManipKind& kind, ManipulatorPlacement& hit,
                int& axisIndex)
{
    std::vector<ManipulatorPlacement> placements;
    if (!currentManipulatorPlacements(kind, placements))
        return Handle::kNone;
    const double g = std::max(double(MFnManip3D::globalSize()), 0.1);
    const double hs = std::max(double(MFnManip3D::handleSize()), 1.0);
    const double ls = std::max(double(MFnManip3D::lineSize()), 1.0);
    const double length = 0.5 * hs + 130.0 * g;
    const double lineTolerance = std::max(2.0 * ls + 0.2 * hs, 8.0);
    const double tipTolerance = std::max(0.35 * hs, 10.0);
    const double centreTolerance = 8.0 * g + std::max(0.15 * hs, 4.0);
    const double ringRadius = (200.0 / 3.0) * g;
    const double ringTolerance = std::max(2.0 * ls + 0.2 * hs, 6.0);

    double bestAxis = lineTolerance + tipTolerance;
    Handle best = Handle::kNone;
    for (const ManipulatorPlacement& placement : placements) {
        QPointF centre;
        if (!worldToLogical(view, placement.pivot, centre))
            continue;
        const double d = std::hypot(position.x() - centre.x(), position.y() - centre.y());
        if (kind == ManipKind::kRotate) {
            // The nearest ring where it is drawn; inside them the press is taken all the same.
            const double unit = worldUnitsPerPixel(view, placement.pivot);
            double bestRing = ringTolerance;
            Handle ring = d <= ringRadius + ringTolerance ? Handle::kOther : Handle::kNone;
            for (int i = 0; i < 3 && unit > 0.0; ++i) {
                const MVector u = placement.axes[(i + 1) % 3], v = placement.axes[(i + 2) % 3];
                const int segments = 64;
                QPointF previous;
                bool havePrevious = false;
                for (int k = 0; k <= segments; ++k) {
                    const double a = 2.0 * 3.14159265358979323846 * k / segments;
                    QPointF here;
                    const bool visible =
                        worldToLogical(view, placement.pivot + (u * std::cos(a) + v * std::sin(a)) * (ringRadius * unit), here);
                    if (visible && havePrevious) {
                        const double distance = distanceToSegment(position, previous, here);
                        if (distance <= bestRing) {
                            bestRing = distance;
                            ring = Handle::kRing;
                            axisIndex = i;
                        }
                    }
                    previous = here;
                    havePrevious = visible;
                }
            }
            if (ring != Handle::kNone) {
                hit = placement;
                return ring;
            }
            continue;
        }
        if (d <= centreTolerance) {
            hit = placement;
            return Handle::kCentre;
        }
        const double unit = worldUnitsPerPixel(view, placement.pivot);
        for (int i = 0; i < 3; ++i) {
            // The handle where it is drawn: `length` pixels of world axis at the pivot's depth.
            QPointF tip;
            if (!(unit > 0.0) || !worldToLogical(view, placement.pivot + placement.axes[i] * (length * unit), tip))
                continue;
            const QPointF u = tip - centre;
            if (std::hypot(u.x(), u.y()) < 1e-6)
                continue;
            const double line = distanceToSegment(position, centre, tip);
            const double tipDistance = std::hypot(position.x() - tip.x(), position.y() - tip.y());
            if ((line <= lineTolerance || tipDistance <= tipTolerance) && std::min(line, tipDistance) < bestAxis) {
                bestAxis = std::min(line, tipDistance);
                best = kind == ManipKind::kRotate ? Handle::kOther : Handle::kAxis;
                hit = placement;
                axisIndex = i;
            }
        }
    }
    return best;
}

bool startDrag(ToolInput& state, const ViewSetup& view, const QPointF& position, ManipKind kind, Handle handle,
               const ManipulatorPlacement& placement, int axisIndex)
{
    MPoint origin;
    MVector direction;
    if (!rayAt(view, position, origin, direction))
        return false;
    state.part = kind == ManipKind::kScale    ? DragPart::kScale
                 : kind == ManipKind::kRotate ? DragPart::kRotate
                                              : DragPart::kTranslate;
    state.axisIndex = axisIndex;
    state.handlePixels = std::max(0.5 * std::max(double(MFnManip3D::handleSize()), 1.0) +
                                      130.0 * std::max(double(MFnManip3D::globalSize()), 0.1),
                                  1.0);
    state.pivot = placement.pivot;
    if (handle == Handle::kRing) {
        // The ring's plane: the press and the drag are measured as angles about its normal.
        state.axis = placement.axes[axisIndex];
        if (!pointOnPlane(state.pivot, state.axis, origin, direction, state.pressPoint) ||
            (state.pressPoint - state.pivot).length() < 1e-12)
            return false;
    } else if (handle == Handle::kAxis) {
        state.axis = placement.axes[axisIndex];
        if (!pointOnAxis(state.pivot, state.axis, origin, direction, state.pressPoint))
            return false;
        // Scaling measures from the pivot: a press on it gives no ratio.
        if (state.part == DragPart::kScale && std::fabs((state.pressPoint - state.pivot) * state.axis) < 1e-9)
            return false;
    } else {
        // The view plane through the pivot.
        state.axis = MVector(0.0, 0.0, -1.0) * view.view.inverse();
        state.axis.normalize();
        if (!pointOnPlane(state.pivot, state.axis, origin, direction, state.pressPoint))
            return false;
    }
    // The tool changes every selected transform alike.
    std::vector<ManipulatorPlacement> placements;
    ManipKind current;
    currentManipulatorPlacements(current, placements);
    state.moved.clear();
    for (const ManipulatorPlacement& p : placements) {
        MVector value;
        TransformOrientation orientation;
        if (readPart(p.transform, state.part, value) &&
            (state.part != DragPart::kRotate || orientationOf(p.transform, orientation)))
            state.moved.push_back({p.transform, value, value, orientation.world});
    }
    state.handle = handle;
    return !state.moved.empty();
}

void continueDrag(ToolInput& state, const QPointF& position)
{
    if (state.part == DragPart::kScale && state.handle == Handle::kCentre) {
        // Uniform scale: a handle's length of horizontal travel doubles the size.
        const double factor = std::max(1.0 + (position.x() - state.pressPosition.x()) / state.handlePixels, 0.01);
        for (MovedTransform& m : state.moved)
            if (writePart(m.path, state.part, m.before * factor))
                m.after = m.before * factor;
        scheduleRefreshAll();
        return;
    }
    const ViewSetup view = panelViewSetup(state.panel);
    MPoint origin, point;
    MVector direction;
    if (!rayAt(view, position, origin, direction))
        return;
    const bool found = state.handle == Handle::kAxis
                           ? pointOnAxis(state.pivot, state.axis, origin, direction, point)
                           : pointOnPlane(state.pivot, state.axis, origin, direction, point);
    if (!found)
        return;
    if (state.part == DragPart::kRotate) {
        // The angle the cursor swept about the ring's normal turns every transform by as much
        // about that axis through its own pivot.
        const MVector from = state.pressPoint - state.pivot, to = point - state.pivot;
        const double angle = std::atan2((from ^ to) * state.axis, from * to);
        if (!std::isfinite(angle))
            return;
        const MMatrix turn = MQuaternion(angle, state.axis).asMatrix();
        for (MovedTransform& m : state.moved) {
            TransformOrientation current;
            MEulerRotation rotate;
            if (!orientationOf(m.path, current) || !rotateForWorld(m.path, current, m.worldBefore * turn, rotate))
                continue;
            const MVector value(rotate.x, rotate.y, rotate.z);
            if (writePart(m.path, state.part, value))
                m.after = value;
        }
        scheduleRefreshAll();
        return;
    }
    if (state.part == DragPart::kScale) {
        // The handle's scale follows the ratio of the cursor's distance from the pivot along the axis.
        const double factor = ((point - state.pivot) * state.axis) / ((state.pressPoint - state.pivot) * state.axis);
        if (!std::isfinite(factor))
            return;
        for (MovedTransform& m : state.moved) {
            MVector value = m.before;
            value[state.axisIndex] *= factor;
            if (writePart(m.path, state.part, value))
                m.after = value;
        }
        scheduleRefreshAll();
        return;
    }
    const MVector worldDelta = point - state.pressPoint;
    for (MovedTransform& m : state.moved) {
        // The world offset in the parent's space, where translate lives.
        const MVector value = m.before + worldDelta * m.path.exclusiveMatrixInverse();
        if (writePart(m.path, state.part, value))
            m.after = value;
    }
    scheduleRefreshAll();
}

void finishDrag(ToolInput& state)
{
    std::vector<MovedTransform> moved;
    for (const MovedTransform& m : state.moved)
        if (!m.after.isEquivalent(m.before, 0.0))
            moved.push_back(m);
    state.moved.clear();
    state.handle = Handle::kNone;
    if (!moved.empty())
        UndoQueue::record(std::make_unique<ManipulatorDragStep>(state.part, std::move(moved)));
}

MString quoted(const MString& text)
{
    return MString("\"") + text + "\"";
}

// In face mode a click picks the face of the mesh under the cursor that its ray meets first.
MStatus clickSelectFace(unsigned int panel, const QPointF& position, bool shift, bool ctrl)
{
    std::vector<ShapeFaces> picked(1);
    if (pickPanelShape(panel, position.x(), position.y(), kPickRadius, picked[0].shape) &&
        picked[0].shape.hasFn(MFn::kMesh)) {
        // The mesh may have been picked near its outline: the nearest ray within the pick square that meets it.
        const ViewSetup view = panelViewSetup(panel);
        const double kOffsets[][2] = {{0, 0},  {-2, 0}, {2, 0},  {0, -2}, {0, 2},  {-2, -2}, {2, 2},
                                      {-2, 2}, {2, -2}, {-4, 0}, {4, 0},  {0, -4}, {0, 4},   {-4, -4},
                                      {4, 4},  {-4, 4}, {4, -4}};
        for (const auto& offset : kOffsets) {
            MPoint origin;
            MVector direction;
            const QPointF at(position.x() + offset[0], position.y() + offset[1]);
            const int face = rayAt(view, at, origin, direction) ? faceOnRay(picked[0].shape, origin, direction) : -1;
            if (face >= 0) {
                picked[0].faces.push_back(face);
                break;
            }
        }
    }
    if (picked[0].faces.empty())
        picked.clear();
    const MString command = faceSelectCommand(picked, shift, ctrl);
    return command.length() == 0 ? MStatus(MS::kSuccess) : MGlobal::executeCommand(command, false, true);
}

// In face mode a drag box picks the faces whose centres it holds and that face the camera.
MStatus boxSelectFaces(unsigned int panel, const QPointF& from, const QPointF& to, bool shift, bool ctrl)
{
    const ViewSetup view = panelViewSetup(panel);
    const double ratio = devicePixelRatio(view);
    const double left = std::min(from.x(), to.x()) * ratio, right = std::max(from.x(), to.x()) * ratio;
    const double bottom = view.height - std::max(from.y(), to.y()) * ratio;
    const double top = view.height - std::min(from.y(), to.y()) * ratio;
    const MString command = faceSelectCommand(facesInBox(view, left, bottom, right, top), shift, ctrl);
    return command.length() == 0 ? MStatus(MS::kSuccess) : MGlobal::executeCommand(command, false, true);
}

} // namespace

MStatus clickSelect(unsigned int panel, const QPointF& position, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers & Qt::ShiftModifier, ctrl = modifiers & Qt::ControlModifier;
    if (faceSelectMode())
        return clickSelectFace(panel, position, shift, ctrl);
    MDagPath shape;
    const bool hit = pickPanelShape(panel, position.x(), position.y(), kPickRadius, shape);
    if (!hit) {
        // Only a plain click on empty space clears; modified clicks there change nothing.
        if (shift || ctrl)
            return MS::kSuccess;
        return MGlobal::executeCommand("select -cl", false, true);
    }
    // Object selection picks a shape's transform.
    MDagPath target = shape;
    if (!target.node().hasFn(MFn::kTransform) && target.length() > 1)
        target.pop();
    const char* mode = shift && ctrl ? "-add" : shift ? "-tgl" : ctrl ? "-d" : "-r";
    return MGlobal::executeCommand(MString("select ") + mode + " " + quoted(target.fullPathName()), false, true);
}

bool toolMousePress(unsigned int panel, const QPointF& position, Qt::MouseButton button,
                    Qt::KeyboardModifiers modifiers)
{
    if (button != Qt::LeftButton)
        return false;
    ToolInput& state = input();
    // A press while one is held means its release went elsewhere: that drag ends here.
    if (state.pressed && isDragHandle(state.handle))
        finishDrag(state);
    state = ToolInput();
    state.panel = panel;
    state.pressPosition = position;
    state.modifiers = modifiers;

    const ViewSetup view = panelViewSetup(panel);
    ManipKind kind;
    ManipulatorPlacement placement;
    int axisIndex = 0;
    const Handle handle = handleAt(view, position, kind, placement, axisIndex);
    if (isDragHandle(handle)) {
        if (!startDrag(state, view, position, kind, handle, placement, axisIndex))
            state.handle = Handle::kOther;
    } else {
        state.handle = handle;
    }
    state.pressed = true;
    return true;
}

bool toolMouseMove(unsigned int panel, const QPointF& position)
{
    ToolInput& state = input();
    if (!state.pressed || state.panel != panel)
        return false;
    if (isDragHandle(state.handle)) {
        continueDrag(state, position);
    } else if (state.handle == Handle::kNone && faceSelectMode()) {
        const QPointF travel = position - state.pressPosition;
        state.boxing = state.boxing || std::hypot(travel.x(), travel.y()) > kClickDistance;
        state.boxCorner = position;
        if (state.boxing)
            scheduleRefresh(panel);
    }
    return true;
}

bool toolMouseRelease(unsigned int panel, const QPointF& position, Qt::MouseButton button)
{
    ToolInput& state = input();
    // A release whose press went to someone else (an application filter) does nothing.
    if (button != Qt::LeftButton || !state.pressed || state.panel != panel)
        return false;
    state.pressed = false;
    if (state.boxing) {
        state.boxing = false;
        scheduleRefresh(panel);
    }
    if (isDragHandle(state.handle)) {
        continueDrag(state, position);
        finishDrag(state);
        return true;
    }
    if (state.handle == Handle::kOther)
        return true;
    const QPointF travel = position - state.pressPosition;
    if (std::hypot(travel.x(), travel.y()) <= kClickDistance)
        clickSelect(panel, state.pressPosition, state.modifiers);
    else if (faceSelectMode())
        boxSelectFaces(panel, state.pressPosition, position, state.modifiers & Qt::ShiftModifier,
                       state.modifiers & Qt::ControlModifier);
    return true;
}

void dragBoxLines(const ViewSetup& view, std::vector<OverlayLines>& lines)
{
    const ToolInput& state = input();
    if (!state.pressed || !state.boxing || view.filterPanel != panelName(state.panel))
        return;
    const QPointF a = state.pressPosition, b = state.boxCorner;
    const QPointF corners[4] = {a, QPointF(b.x(), a.y()), b, QPointF(a.x(), b.y())};
    // The corners a little way along their rays: in front of everything, inside the view.
    MPoint world[4];
    for (int i = 0; i < 4; ++i) {
        MPoint origin;
        MVector direction;
        if (!rayAt(view, corners[i], origin, direction))
            return;
        world[i] = origin + direction * 1e-3;
    }
    OverlayLines box;
    box.width = float(devicePixelRatio(view));
    for (int i = 0; i < 4; ++i)
        for (const MPoint& p : {world[i], world[(i + 1) % 4]})
            box.points.insert(box.points.end(), {float(p.x), float(p.y), float(p.z)});
    lines.push_back(box);
}

} // namespace host
