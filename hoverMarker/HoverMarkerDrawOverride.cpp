#include "hoverMarker/HoverMarkerDrawOverride.h"

#include "hoverMarker/HoverMarkerRing.h"
#include "hoverMarker/HoverMarkerState.h"

#include <maya/MFrameContext.h>
#include <maya/MStatus.h>
#include <maya/MUIDrawManager.h>

#include <cmath>
#include <mutex>

namespace {

HoverMarkerRing::Vec3 toVec3(const MPoint& p)
{
    return {p.x, p.y, p.z};
}

HoverMarkerRing::Vec3 toVec3(const MVector& v)
{
    return {v.x, v.y, v.z};
}

} // namespace

HoverMarkerData::HoverMarkerData() : MUserData() {}

HoverMarkerData::~HoverMarkerData() = default;

MHWRender::MPxDrawOverride* HoverMarkerDrawOverride::creator(const MObject& obj)
{
    return new HoverMarkerDrawOverride(obj);
}

// No draw callback, and always dirty: the marker's state lives outside the scene graph.
HoverMarkerDrawOverride::HoverMarkerDrawOverride(const MObject& obj)
    : MHWRender::MPxDrawOverride(obj, nullptr, true)
{
}

HoverMarkerDrawOverride::~HoverMarkerDrawOverride() = default;

MHWRender::DrawAPI HoverMarkerDrawOverride::supportedDrawAPIs() const
{
    return MHWRender::kAllDevices;
}

bool HoverMarkerDrawOverride::hasUIDrawables() const
{
    return true;
}

// Unbounded, so the marker is never culled wherever the ring is.
bool HoverMarkerDrawOverride::isBounded(const MDagPath&, const MDagPath&) const
{
    return false;
}

MUserData* HoverMarkerDrawOverride::prepareForDraw(const MDagPath&, const MDagPath&,
                                                   const MHWRender::MFrameContext&, MUserData* oldData)
{
    HoverMarkerData* data = dynamic_cast<HoverMarkerData*>(oldData);
    if (!data) {
        data = new HoverMarkerData();
    }
    std::lock_guard<std::mutex> lock(hoverMarkerMutex);
    data->visible = hoverMarkerState.visible;
    data->position = hoverMarkerState.position;
    data->normal = hoverMarkerState.normal;
    data->screenRadius = hoverMarkerState.screenRadius;
    data->color = hoverMarkerState.color;
    data->lineWidth = hoverMarkerState.lineWidth;
    return data;
}

void HoverMarkerDrawOverride::addUIDrawables(const MDagPath&, MHWRender::MUIDrawManager& drawManager,
                                             const MHWRender::MFrameContext& frameContext, const MUserData* userData)
{
    const HoverMarkerData* data = dynamic_cast<const HoverMarkerData*>(userData);
    if (!data || !data->visible) {
        return;
    }

    // Two rays a ring radius apart on screen give the world radius at the marker's depth.
    // A point with no place on screen (an empty viewport, the eye plane) draws nothing.
    double sx = 0.0;
    double sy = 0.0;
    frameContext.worldToViewport(data->position, sx, sy);
    if (!std::isfinite(sx) || !std::isfinite(sy)) {
        return;
    }
    MPoint near0, far0, near1, far1;
    frameContext.viewportToWorld(sx, sy, near0, far0);
    frameContext.viewportToWorld(sx + data->screenRadius, sy, near1, far1);
    HoverMarkerRing::Ring ring;
    if (!HoverMarkerRing::ringGeometry(toVec3(data->position), toVec3(data->normal), toVec3(near0), toVec3(far0),
                                       toVec3(near1), toVec3(far1), ring)) {
        return;
    }
    const float color[4] = {data->color.r, data->color.g, data->color.b, data->color.a};
    const HoverMarkerRing::RingColors colors = HoverMarkerRing::ringColors(color, data->lineWidth);
    const MPoint center(ring.center.x, ring.center.y, ring.center.z);
    const MVector facing(ring.facing.x, ring.facing.y, ring.facing.z);

    drawManager.beginDrawable(MHWRender::MUIDrawManager::kAutomatic);
    drawManager.beginDrawInXray();

    drawManager.setColor(MColor(colors.outer[0], colors.outer[1], colors.outer[2], colors.outer[3]));
    drawManager.setLineWidth(colors.outerLineWidth);
    drawManager.circle(center, facing, ring.radius, false);

    drawManager.setColor(MColor(colors.centre[0], colors.centre[1], colors.centre[2], colors.centre[3]));
    drawManager.circle(center, facing, ring.radius * HoverMarkerRing::kCentreRadiusFactor, true);

    drawManager.setColor(MColor(colors.dot[0], colors.dot[1], colors.dot[2], colors.dot[3]));
    drawManager.circle(center, facing, ring.radius * HoverMarkerRing::kDotRadiusFactor, true);

    drawManager.endDrawInXray();
    drawManager.endDrawable();
}
