#include "views/ToolManipulatorDrawing.h"

#include "views/ToolContexts.h"
#include "views/ToolInteraction.h"

#include <maya/MEulerRotation.h>
#include <maya/MFnManip3D.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>

namespace host {

namespace {

const float kAxisColors[3][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
const float kCentreColor[3] = {1.0f, 1.0f, 0.0f};
constexpr double kPi = 3.14159265358979323846;

void addSegment(OverlayLines& lines, const MPoint& a, const MPoint& b)
{
    lines.points.insert(lines.points.end(),
                        {float(a.x), float(a.y), float(a.z), float(b.x), float(b.y), float(b.z)});
}

// A square of half size `half` around `centre` in the plane of u and v.
void addSquare(OverlayLines& lines, const MPoint& centre, const MVector& u, const MVector& v, double half)
{
    const MPoint corners[4] = {centre + (u + v) * half, centre + (u - v) * half, centre - (u + v) * half,
                               centre + (v - u) * half};
    for (int i = 0; i < 4; ++i)
        addSegment(lines, corners[i], corners[(i + 1) % 4]);
}

void addCircle(OverlayLines& lines, const MPoint& centre, const MVector& u, const MVector& v, double radius)
{
    const int segments = 64;
    for (int i = 0; i < segments; ++i) {
        const double a0 = 2.0 * kPi * i / segments, a1 = 2.0 * kPi * (i + 1) / segments;
        addSegment(lines, centre + (u * std::cos(a0) + v * std::sin(a0)) * radius,
                   centre + (u * std::cos(a1) + v * std::sin(a1)) * radius);
    }
}

} // namespace

double worldUnitsPerPixel(const ViewSetup& view, const MPoint& world)
{
    const MPoint eye = world * view.view;
    const bool perspective = std::fabs(view.projection(3, 3)) < 1e-12;
    const double depth = -eye.z;
    if (perspective && depth <= 1e-9)
        return 0.0;
    const double pixelsPerUnit =
        view.projection(1, 1) * 0.5 * view.height / (perspective ? depth : 1.0) / std::max(view.devicePixelRatio, 1e-6);
    return pixelsPerUnit > 0.0 ? 1.0 / pixelsPerUnit : 0.0;
}

namespace {

// The manipulator's axes in world space for the context's mode.
void manipAxes(ManipKind kind, const ManipContextSettings& settings, const MDagPath& transform, MVector axes[3])
{
    MMatrix frame;  // world axes
    const bool world = kind == ManipKind::kRotate ? settings.mode == 1 : settings.mode == 2;
    const bool custom = kind == ManipKind::kRotate ? settings.mode == 3 : settings.mode == 6;
    if (custom)
        frame = MEulerRotation(settings.orientAxes[0], settings.orientAxes[1], settings.orientAxes[2]).asMatrix();
    else if (!world)
        frame = transform.inclusiveMatrix();
    for (int i = 0; i < 3; ++i) {
        MVector axis(i == 0, i == 1, i == 2);
        axis = axis * frame;
        if (axis.length() <= 1e-8)
            axis = MVector(i == 0, i == 1, i == 2);
        axes[i] = axis.normal();
    }
}

} // namespace

bool currentManipulatorPlacements(ManipKind& kind, std::vector<ManipulatorPlacement>& placements)
{
    placements.clear();
    if (!currentManipulator(kind))
        return false;
    MSelectionList selection;
    MGlobal::getActiveSelectionList(selection);
    const ManipContextSettings& settings = currentManipulatorSettings(kind);
    for (unsigned item = 0; item < selection.length(); ++item) {
        MDagPath path;
        if (!selection.getDagPath(item, path))
            continue;
        while (path.isValid() && path.length() > 0 && !path.node().hasFn(MFn::kTransform))
            path.pop();
        if (!path.isValid() || path.length() == 0)
            continue;
        MStatus status;
        MFnTransform transform(path, &status);
        if (!status)
            continue;
        ManipulatorPlacement placement;
        placement.transform = path;
        placement.pivot = kind == ManipKind::kScale ? transform.scalePivot(MSpace::kWorld, &status)
                                                    : transform.rotatePivot(MSpace::kWorld, &status);
        if (!status)
            continue;
        manipAxes(kind, settings, path, placement.axes);
        placements.push_back(placement);
    }
    return !placements.empty();
}

void toolManipulatorLines(const ViewSetup& view, std::vector<OverlayLines>& lines)
{
    dragBoxLines(view, lines);
    ManipKind kind;
    std::vector<ManipulatorPlacement> placements;
    if (!currentManipulatorPlacements(kind, placements))
        return;

    const double g = std::max(double(MFnManip3D::globalSize()), 0.1);
    const double hs = std::max(double(MFnManip3D::handleSize()), 1.0);
    const float width = float(std::max(double(MFnManip3D::lineSize()), 1.0) * view.devicePixelRatio);
    const MMatrix cameraToWorld = view.view.inverse();
    const MVector right = MVector(1, 0, 0) * cameraToWorld, up = MVector(0, 1, 0) * cameraToWorld;

    OverlayLines axisLines[3], centre;
    for (int i = 0; i < 3; ++i) {
        std::copy(kAxisColors[i], kAxisColors[i] + 3, axisLines[i].color);
        axisLines[i].width = width;
    }
    std::copy(kCentreColor, kCentreColor + 3, centre.color);
    centre.width = width;

    for (const ManipulatorPlacement& placement : placements) {
        const MPoint& pivot = placement.pivot;
        const MVector* axes = placement.axes;
        const double unit = worldUnitsPerPixel(view, pivot);
        if (unit <= 0.0)
            continue;

        if (kind == ManipKind::kRotate) {
            const double radius = (200.0 / 3.0) * g * unit;
            for (int i = 0; i < 3; ++i)
                addCircle(axisLines[i], pivot, axes[(i + 1) % 3], axes[(i + 2) % 3], radius);
            continue;
        }
        const double length = (0.5 * hs + 130.0 * g) * unit;
        const double tip = std::max(0.35 * hs, 4.0) * unit;
        for (int i = 0; i < 3; ++i) {
            const MPoint end = pivot + axes[i] * length;
            addSegment(axisLines[i], pivot, end);
            if (kind == ManipKind::kScale) {
                addSquare(axisLines[i], end, right, up, tip);
            } else {
                // An arrow head: four strokes back from the tip.
                const MVector side = axes[(i + 1) % 3] * (0.4 * tip), other = axes[(i + 2) % 3] * (0.4 * tip);
                const MPoint base = end - axes[i] * (2.0 * tip);
                for (const MVector& offset : {side, -side, other, -other})
                    addSegment(axisLines[i], end, base + offset);
            }
        }
        addSquare(centre, pivot, right, up, 8.0 * g * unit);
    }
    for (OverlayLines& l : axisLines)
        if (!l.points.empty())
            lines.push_back(std::move(l));
    if (!centre.points.empty())
        lines.push_back(std::move(centre));
}

} // namespace host
