#include <maya/MPxDrawOverride.h>
#include <maya/MDagPath.h>
#include <maya/MDrawContext.h>
#include <maya/MFrameContext.h>
#include <maya/MHWGeometry.h>
#include <maya/MSelectionContext.h>
#include <maya/MSelectionMask.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>

namespace MHWRender
{

MPxDrawOverride::MPxDrawOverride(const MObject&, GeometryDrawOverrideCb callback, bool isAlwaysDirty)
    : fCallback(callback), fAlwaysDirty(isAlwaysDirty)
{
}

MPxDrawOverride::~MPxDrawOverride() = default;

DrawAPI MPxDrawOverride::supportedDrawAPIs() const
{
    return kOpenGL;
}

bool MPxDrawOverride::isBounded(const MDagPath&, const MDagPath&) const
{
    return false;
}

MBoundingBox MPxDrawOverride::boundingBox(const MDagPath&, const MDagPath&) const
{
    return MBoundingBox();
}

MMatrix MPxDrawOverride::transform(const MDagPath& objPath, const MDagPath&) const
{
    return objPath.inclusiveMatrix();
}

bool MPxDrawOverride::disableInternalBoundingBoxDraw() const
{
    return false;
}

bool MPxDrawOverride::excludedFromPostEffects() const
{
    return true;
}

bool MPxDrawOverride::isTransparent() const
{
    return false;
}

bool MPxDrawOverride::hasUIDrawables() const
{
    return false;
}

void MPxDrawOverride::addUIDrawables(const MDagPath&, MUIDrawManager&, const MFrameContext&, const MUserData*) {}

bool MPxDrawOverride::wantUserSelection() const
{
    return false;
}

bool MPxDrawOverride::userSelect(MSelectionInfo&, const MDrawContext&, MPoint&, const MUserData*)
{
    return false;
}

bool MPxDrawOverride::refineSelectionPath(const MSelectionInfo&, const MRenderItem&, MDagPath&, MObject&,
                                          MSelectionMask&)
{
    return true;
}

void MPxDrawOverride::updateSelectionGranularity(const MDagPath&, MSelectionContext&) {}

bool MPxDrawOverride::traceCallSequence() const
{
    return false;
}

void MPxDrawOverride::handleTraceMessage(const MString&) const {}

bool MPxDrawOverride::pointSnappingActive()
{
    return false;
}

} // namespace MHWRender
