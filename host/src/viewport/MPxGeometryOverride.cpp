#include <maya/MCacheSchema.h>
#include <maya/MDagPath.h>
#include <maya/MEvaluationNode.h>
#include <maya/MFrameContext.h>
#include <maya/MHWGeometry.h>
#include <maya/MObject.h>
#include <maya/MPxGeometryOverride.h>
#include <maya/MSelectionContext.h>
#include <maya/MSelectionMask.h>
#include <maya/MUIDrawManager.h>

namespace MHWRender
{

MPxGeometryOverride::MPxGeometryOverride(const MObject&) : fFrameContext(nullptr) {}

MPxGeometryOverride::~MPxGeometryOverride() = default;

DrawAPI MPxGeometryOverride::supportedDrawAPIs() const
{
    return kOpenGL;
}

bool MPxGeometryOverride::hasUIDrawables() const
{
    return false;
}

bool MPxGeometryOverride::requiresGeometryUpdate() const
{
    return true;
}

bool MPxGeometryOverride::requiresUpdateRenderItems(const MDagPath&) const
{
    return true;
}

bool MPxGeometryOverride::supportsEvaluationManagerParallelUpdate() const
{
    return false;
}

bool MPxGeometryOverride::supportsVP2CustomCaching() const
{
    return false;
}

void MPxGeometryOverride::configCache(const MEvaluationNode&, MCacheSchema&) const {}

bool MPxGeometryOverride::isIndexingDirty(const MRenderItem&)
{
    return true;
}

bool MPxGeometryOverride::isStreamDirty(const MVertexBufferDescriptor&)
{
    return true;
}

void MPxGeometryOverride::addUIDrawables(const MDagPath&, MUIDrawManager&, const MFrameContext&) {}

void MPxGeometryOverride::updateSelectionGranularity(const MDagPath&, MSelectionContext&) {}

bool MPxGeometryOverride::refineSelectionPath(const MSelectionInfo&, const MRenderItem&, MDagPath&, MObject&,
                                              MSelectionMask&)
{
    return true;
}

bool MPxGeometryOverride::traceCallSequence() const
{
    return false;
}

void MPxGeometryOverride::handleTraceMessage(const MString&) const {}

bool MPxGeometryOverride::pointSnappingActive()
{
    return false;
}

const MFrameContext* MPxGeometryOverride::getFrameContext() const
{
    return fFrameContext;
}

} // namespace MHWRender
