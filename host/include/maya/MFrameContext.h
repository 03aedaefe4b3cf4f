#ifndef MAYA_MFRAMECONTEXT_H
#define MAYA_MFRAMECONTEXT_H

#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MString.h>
#include <maya/MDagPath.h>

namespace host { struct RendererAccess; struct ShaderParameters; struct UiDrawList; }

namespace MHWRender
{

// What the renderer knows about the frame being drawn. Only the renderer
// creates these; they are valid during the override callbacks that get them.
class MFrameContext
{
public:
    enum MatrixType {
        kWorldMtx, kWorldTransposeMtx, kWorldInverseMtx, kWorldTranspInverseMtx,
        kViewMtx, kViewTransposeMtx, kViewInverseMtx, kViewTranspInverseMtx,
        kProjectionMtx, kProjectionTranposeMtx, kProjectionInverseMtx, kProjectionTranspInverseMtx,
        kViewProjMtx, kViewProjTransposeMtx, kViewProjInverseMtx, kViewProjTranspInverseMtx,
        kWorldViewMtx, kWorldViewTransposeMtx, kWorldViewInverseMtx, kWorldViewTranspInverseMtx,
        kWorldViewProjMtx, kWorldViewProjTransposeMtx, kWorldViewProjInverseMtx, kWorldViewProjTranspInverseMtx
    };
    enum DisplayStyle {
        kGouraudShaded = 1 << 0,
        kWireFrame = 1 << 1,
        kBoundingBox = 1 << 2,
        kTextured = 1 << 3,
        kDefaultMaterial = 1 << 4,
        kXrayJoint = 1 << 5,
        kXray = 1 << 6,
        kTwoSidedLighting = 1 << 7,
        kFlatShaded = 1 << 8,
        kShadeActiveOnly = 1 << 9,
        kXrayActiveComponents = 1 << 10,
        kBackfaceCulling = 1 << 11,
        kSmoothWireframe = 1 << 12
    };
    enum RenderingDestination { k3dViewport, k2dViewport, kImage };
    enum LightingMode { kNoLighting, kAmbientLight, kLightDefault, kSelectedLights, kSceneLights, kCustomLights };

    MMatrix getMatrix(MatrixType mtype, MStatus* ReturnStatus = NULL) const;
    MStatus getViewportDimensions(int& originX, int& originY, int& width, int& height) const;
    MDagPath getCurrentCameraPath(MStatus* ReturnStatus = NULL) const;
    unsigned int getDisplayStyle() const;
    LightingMode getLightingMode() const;
    float getGlobalLineWidth() const;
    void worldToViewport(const MPoint& inPoint, double& x_pos, double& y_pos) const;
    void viewportToWorld(double x_pos, double y_pos, MPoint& nearClipPt, MPoint& farClipPt) const;
    RenderingDestination renderingDestination(MString& destinationName) const;
    MUint64 objectTypeExclusions() const;
    void classificationExclusions(MStringArray& classificationExclusions) const;

    static bool inUserInteraction();
    static bool userChangingViewContext();
    // How wireframe on shaded draws when a view shows it.
    enum WireOnShadedMode { kWireframeOnShadedFull, kWireframeOnShadedReduced, kWireframeOnShadedNone };
    static WireOnShadedMode wireOnShadedMode();
    static bool shadeTemplates();

protected:
    MFrameContext();
    virtual ~MFrameContext();
    MFrameContext(const MFrameContext&) = delete;
    MFrameContext& operator=(const MFrameContext&) = delete;

    // Filled by the renderer for the frame being drawn.
    MMatrix fWorld;
    MMatrix fView;
    MMatrix fProjection;
    int fViewport[4];
    unsigned int fDisplayStyle;
    float fLineWidth;
    RenderingDestination fDestination;
    MString fDestinationName;

private:
    friend struct host::RendererAccess;
    MDagPath fCameraPath;
};

} // namespace MHWRender

#endif
