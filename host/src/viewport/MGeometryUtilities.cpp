#include <maya/MHWGeometry.h>
#include <maya/MHWGeometryUtilities.h>

#include "DisplayStatus.h"
#include "dag/DrawOverrides.h"

namespace MHWRender
{

DisplayStatus MGeometryUtilities::displayStatus(const MDagPath& path, MStatus* returnStatus)
{
    return host::displayStatusOf(path, returnStatus);
}

MColor MGeometryUtilities::wireframeColor(const MDagPath& path)
{
    switch (host::displayStatusOf(path, nullptr)) {
    case kLead: return MColor(0.26f, 1.0f, 0.64f);
    case kActive: return MColor(1.0f, 1.0f, 1.0f);
    case kTemplate: return MColor(0.47f, 0.47f, 0.47f);
    case kHilite: return MColor(0.0f, 1.0f, 1.0f);
    // The host's own picks for the remaining states: a light red for a selected
    // template, green for the live object.
    case kActiveTemplate: return MColor(1.0f, 0.47f, 0.47f);
    case kLive: return MColor(0.2f, 0.62f, 0.2f);
    default: break;
    }
    // Dormant: the drawing override's colour, else the object's own wireframe colour.
    const host::PathDrawOverride drawOverride = host::drawOverrideOf(path);
    if (drawOverride.hasColor)
        return drawOverride.color;
    MColor own;
    if (host::objectWireColor(path, own))
        return own;
    return MColor(0.0f, 0.016f, 0.376f);
}

MGeometry* MGeometryUtilities::acquireReferenceGeometry(GeometricShape, const MGeometryRequirements&)
{
    // Reference geometry lives in the renderer, which batch mode does not run.
    return nullptr;
}

void MGeometryUtilities::releaseReferenceGeometry(MGeometry* geometry)
{
    delete geometry;
}

} // namespace MHWRender
