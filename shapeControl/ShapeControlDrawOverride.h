#pragma once
// Viewport 2.0 drawing of "shapeControl" shapes: the stored mesh (filled or as wire edges),
// the stored curve or the default square as lines or points, in the normal, hovered or
// selected look, with the transform readout and its slider above a moved control.

#include <maya/MApiNamespace.h>
#include <maya/MBoundingBox.h>
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MIntArray.h>
#include <maya/MObjectHandle.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MString.h>
#include <maya/MUintArray.h>
#include <maya/MUserData.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

// Everything one control's drawing needs, gathered from the node and kept between frames so
// that mesh topology and curve samples are rebuilt only when they change.
class ShapeControlData : public MUserData
{
public:
    ShapeControlData();
    ~ShapeControlData() override;

    int primitive = 1;
    MColor color = MColor(1.0f, 0.0f, 0.0f, 1.0f);
    float lineWidth = 2.0f;
    MPoint localPosition = MPoint(0.0, 0.0, 0.0, 1.0);
    MVector localScale = MVector(1.0, 1.0, 1.0);
    int lineStyle = 0;
    int paintStyle = 0;
    bool drawInXray = false;
    bool wireframe = false;
    bool hovered = false;
    bool selected = false;
    bool templated = false;
    bool showReadout = false;
    bool showSlider = false;
    bool showRangeLabels = false;
    int sliderKind = 0;
    unsigned long long readoutDrag = 0;  // the view drag the readout last compared during
    double unitSize = 0.12;
    double sliderValue = 0.0;
    double sliderReference = 0.5;
    double sliderLength = 0.75;
    int readoutTextSize = 15;
    MPoint readoutAnchor = MPoint(0.0, 0.0, 0.0, 1.0);
    // One pixel along the camera's right and up directions, in the control's local space; the
    // slider's unit size and length are in pixels.
    MVector cameraRight = MVector(1.0, 0.0, 0.0);
    MVector cameraUp = MVector(0.0, 1.0, 0.0);
    MString readoutText;
    MString minLabel;
    MString maxLabel;
    float readoutColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float sliderHandleColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    MPointArray polylinePoints;
    MPointArray defaultSquare;
    MPointArray curveSamples;
    bool hasCurve = false;
    bool curveClosed = false;
    // The mesh is drawn indexed: one point and one normal per vertex (placed by localPosition
    // and localScale), and the corners of the triangles and edges that name an existing vertex.
    // Kept in the draw manager's own array types so that drawing hands them over uncopied.
    MPointArray meshPoints;
    MVectorArray meshNormals;
    MFloatVectorArray vertexNormals;  // what the mesh reports, reused across frames
    MUintArray triangleCorners;
    MUintArray edgeCorners;
    MIntArray triangleVertices;
    MIntArray edgeVertices;
    bool hasMeshDraw = false;
    bool meshTopologyValid = false;
    bool normalsGathered = false;
    unsigned long long meshSerial = 0;  // the node's geometry serial the positions were read at
    MObjectHandle meshHandle;
    int cachedVertexCount = -1;
    int cachedPolygonCount = -1;
    int cachedNormalCount = -1;
    int cachedTriangleVertexCount = -1;
    int cachedEdgeCount = -1;
    MPoint cachedLocalPosition = MPoint(0.0, 0.0, 0.0, 1.0);
    MVector cachedLocalScale = MVector(1.0, 1.0, 1.0);
    unsigned long long curveSerial = 0;
};

class ShapeControlDrawOverride : public MHWRender::MPxDrawOverride
{
public:
    static MHWRender::MPxDrawOverride* creator(const MObject& obj);
    ~ShapeControlDrawOverride() override;

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    bool isBounded(const MDagPath& objPath, const MDagPath& cameraPath) const override;
    MMatrix transform(const MDagPath& objPath, const MDagPath& cameraPath) const override;
    MBoundingBox boundingBox(const MDagPath& objPath, const MDagPath& cameraPath) const override;
    bool hasUIDrawables() const override;
    MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                              const MHWRender::MFrameContext& frameContext, MUserData* oldData) override;
    void addUIDrawables(const MDagPath& objPath, MHWRender::MUIDrawManager& drawManager,
                        const MHWRender::MFrameContext& frameContext, const MUserData* data) override;

private:
    explicit ShapeControlDrawOverride(const MObject& obj);

    void gatherMesh(const MObject& meshData, unsigned long long serial, ShapeControlData& data) const;
    void prepareReadout(const MDagPath& objPath, const MDagPath& cameraPath,
                        const MHWRender::MFrameContext& frameContext, ShapeControlData& data) const;
    void drawReadout(MHWRender::MUIDrawManager& drawManager, const ShapeControlData& data) const;

    // The shape feeding "inGeometry" whose world matrix an "inverse" control draws with.
    mutable MObjectHandle fInverseSource;
    mutable MDagPath fInverseSourcePath;
};
