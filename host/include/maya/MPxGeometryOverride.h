#ifndef MAYA_MPXGEOMETRYOVERRIDE_H
#define MAYA_MPXGEOMETRYOVERRIDE_H

#include <maya/MStatus.h>
#include <maya/MViewport2Renderer.h>
#include <maya/MString.h>

namespace host { struct RendererAccess; struct ShaderParameters; struct UiDrawList; }

namespace MHWRender
{

// Base class of geometry overrides: the renderer calls updateDG, then
// updateRenderItems and addUIDrawables per path, then populateGeometry and cleanUp.
class MPxGeometryOverride
{
public:
    MPxGeometryOverride(const MObject& obj);
    virtual ~MPxGeometryOverride();

    virtual DrawAPI supportedDrawAPIs() const;
    virtual bool hasUIDrawables() const;
    virtual bool requiresGeometryUpdate() const;
    virtual bool requiresUpdateRenderItems(const MDagPath& path) const;
    virtual bool supportsEvaluationManagerParallelUpdate() const;
    virtual bool supportsVP2CustomCaching() const;
    virtual void configCache(const MEvaluationNode& evalNode, MCacheSchema& schema) const;
    virtual void updateDG() = 0;
    virtual bool isIndexingDirty(const MRenderItem& item);
    virtual bool isStreamDirty(const MVertexBufferDescriptor& desc);
    virtual void updateRenderItems(const MDagPath& path, MRenderItemList& list) = 0;
    virtual void addUIDrawables(const MDagPath& path, MUIDrawManager& drawManager, const MFrameContext& frameContext);
    virtual void populateGeometry(const MGeometryRequirements& requirements, const MRenderItemList& renderItems,
                                  MGeometry& data) = 0;
    virtual void cleanUp() = 0;
    virtual void updateSelectionGranularity(const MDagPath& path, MSelectionContext& selectionContext);
    virtual bool refineSelectionPath(const MSelectionInfo& selectInfo, const MRenderItem& hitItem, MDagPath& path,
                                     MObject& components, MSelectionMask& objectMask);
    virtual bool traceCallSequence() const;
    virtual void handleTraceMessage(const MString& message) const;

    static bool pointSnappingActive();

protected:
    const MFrameContext* getFrameContext() const;

private:
    friend struct host::RendererAccess;
    MPxGeometryOverride(const MPxGeometryOverride&) = delete;
    MPxGeometryOverride& operator=(const MPxGeometryOverride&) = delete;

    const MFrameContext* fFrameContext;
};

} // namespace MHWRender

#endif
