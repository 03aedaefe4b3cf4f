#ifndef MAYA_M3DVIEW_H
#define MAYA_M3DVIEW_H

#include <maya/MStatus.h>
#include <maya/MColor.h>

class QWidget;

// A 3D view of the interactive session. Batch mode has no views: a default
// M3dView is not attached to one and its queries fail.
class M3dView
{
public:
    enum DisplayStyle { kBoundingBox, kFlatShaded, kGouraudShaded, kWireFrame, kPoints };
    enum DisplayStatus {
        kActive, kLive, kDormant, kInvisible, kHilite, kTemplate, kActiveTemplate, kActiveComponent,
        kLead, kIntermediateObject, kActiveAffected, kNoStatus
    };
    enum TextPosition { kLeft, kCenter, kRight };
    enum ColorTable { kActiveColors, kDormantColors, kTemplateColor, kBackgroundColor };
    enum DisplayObjects {
        kDisplayEverything = ~0,
        kDisplayNurbsCurves = 1 << 0,
        kDisplayNurbsSurfaces = 1 << 1,
        kDisplayMeshes = 1 << 2,
        kDisplayPlanes = 1 << 3,
        kDisplayLights = 1 << 4,
        kDisplayCameras = 1 << 5,
        kDisplayJoints = 1 << 6,
        kDisplayIkHandles = 1 << 7,
        kDisplayDeformers = 1 << 8,
        kDisplayDynamics = 1 << 9,
        kDisplayLocators = 1 << 10,
        kDisplayDimensions = 1 << 11,
        kDisplaySelectHandles = 1 << 12,
        kDisplayPivots = 1 << 13,
        kDisplayTextures = 1 << 14,
        kDisplayGrid = 1 << 15,
        kDisplayCVs = 1 << 16,
        kDisplayHulls = 1 << 17,
        kDisplayStrokes = 1 << 18,
        kDisplaySubdivSurfaces = 1 << 19,
        kDisplayFluids = 1 << 20,
        kDisplayFollicles = 1 << 21,
        kDisplayHairSystems = 1 << 22,
        kDisplayImagePlane = 1 << 23,
        kDisplayNCloths = 1 << 24,
        kDisplayNRigids = 1 << 25,
        kDisplayDynamicConstraints = 1 << 26,
        kDisplayManipulators = 1 << 27,
        kDisplayNParticles = 1 << 28,
        kExcludeMotionTrails = 1 << 29,
        kExcludePluginShapes = 1 << 30
    };

    M3dView();
    ~M3dView();

    static M3dView active3dView(MStatus* ReturnStatus = NULL);
    static unsigned int numberOf3dViews();
    static MStatus get3dView(const unsigned int index, M3dView& view);
    static MStatus getM3dViewFromModelPanel(const MString& modelPaneName, M3dView& view);
    static MStatus getM3dViewFromModelEditor(const MString& modelEditorName, M3dView& view);
    static void scheduleRefreshAllViews();
    static DisplayStatus displayStatus(const MDagPath& path, MStatus* ReturnStatus = NULL);

    QWidget* widget(MStatus* ReturnStatus = NULL) const;
    int portWidth(MStatus* ReturnStatus = NULL);
    int portHeight(MStatus* ReturnStatus = NULL);
    bool worldToView(const MPoint& worldPt, short& x_pos, short& y_pos, MStatus* ReturnStatus = NULL) const;
    MStatus viewToWorld(short x_pos, short y_pos, MPoint& worldPt, MVector& worldVector) const;
    MStatus viewToWorld(short x_pos, short y_pos, MPoint& nearClipPt, MPoint& farClipPt) const;
    MStatus refresh(bool all = false, bool force = false);
    void scheduleRefresh();
    MStatus getCamera(MDagPath& camera);
    MStatus modelViewMatrix(MMatrix& modelView) const;
    MStatus projectionMatrix(MMatrix& projection) const;
    DisplayStyle displayStyle(MStatus* ReturnStatus = NULL) const;
    unsigned int objectDisplay(MStatus* ReturnStatus = NULL);
    MStatus setObjectDisplay(unsigned int displayMask);
    bool pluginObjectDisplay(const MString& pluginDisplayFilter, MStatus* ReturnStatus = NULL);
    MColor colorAtIndex(unsigned int index, ColorTable table = kActiveColors, MStatus* ReturnStatus = NULL);
    void drawText(const MString& text, const MPoint position, TextPosition textPosition = kLeft);

private:
    int fViewIndex;
};

#endif
