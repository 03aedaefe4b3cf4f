#ifndef MAYA_MPXDRAWOVERRIDE_H
#define MAYA_MPXDRAWOVERRIDE_H

#include <maya/MStatus.h>
#include <maya/MViewport2Renderer.h>
#include <maya/MString.h>
#include <maya/MBoundingBox.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>

class MUserData;

namespace host { struct RendererAccess; struct ShaderParameters; struct UiDrawList; }

namespace MHWRender
{

// Base class of draw overrides: the renderer asks for bounds, prepares per-object
// data in prepareForDraw and calls the draw callback and addUIDrawables with it.
class MPxDrawOverride
{
public:
    typedef void (*GeometryDrawOverrideCb)(const MDrawContext& context, const MUserData* data);

    MPxDrawOverride(const MObject& obj, GeometryDrawOverrideCb callback, bool isAlwaysDirty = true);
    virtual ~MPxDrawOverride();

    virtual DrawAPI supportedDrawAPIs() const;
    virtual bool isBounded(const MDagPath& objPath, const MDagPath& cameraPath) const;
    virtual MBoundingBox boundingBox(const MDagPath& objPath, const MDagPath& cameraPath) const;
    virtual MMatrix transform(const MDagPath& objPath, const MDagPath& cameraPath) const;
    virtual bool disableInternalBoundingBoxDraw() const;
    virtual bool excludedFromPostEffects() const;
    virtual bool isTransparent() const;
    virtual bool hasUIDrawables() const;
    virtual MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                                      const MFrameContext& frameContext, MUserData* oldData) = 0;
    virtual void addUIDrawables(const MDagPath& objPath, MUIDrawManager& drawManager,
                                const MFrameContext& frameContext, const MUserData* data);
    virtual bool wantUserSelection() const;
    virtual bool userSelect(MSelectionInfo& selectInfo, const MDrawContext& context, MPoint& hitPoint,
                            const MUserData* data);
    virtual bool refineSelectionPath(const MSelectionInfo& selectInfo, const MRenderItem& hitItem, MDagPath& path,
                                     MObject& components, MSelectionMask& objectMask);
    virtual void updateSelectionGranularity(const MDagPath& path, MSelectionContext& selectionContext);
    virtual bool traceCallSequence() const;
    virtual void handleTraceMessage(const MString& message) const;

    static bool pointSnappingActive();

private:
    friend struct host::RendererAccess;
    MPxDrawOverride(const MPxDrawOverride&) = delete;
    MPxDrawOverride& operator=(const MPxDrawOverride&) = delete;

    GeometryDrawOverrideCb fCallback;
    bool fAlwaysDirty;
};

} // namespace MHWRender

#endif
