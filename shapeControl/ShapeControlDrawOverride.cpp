#include "shapeControl/ShapeControlDrawOverride.h"

#include "plugin/PlugQueries.h"
#include "plugin/StatusCheck.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlDrawLayout.h"
#include "shapeControl/ShapeControlQueries.h"
#include "shapeControl/ShapeControlRedraw.h"
#include "shapeControl/ShapeControlRegistry.h"
#include "shapeControl/TransformReadout.h"

#include <maya/MFloatVector.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFrameContext.h>
#include <maya/MHWGeometry.h>
#include <maya/MHWGeometryUtilities.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MUIDrawManager.h>
#include <maya/MViewport2Renderer.h>

#include <algorithm>
#include <cmath>

namespace {

const char* const kStatusSource = "shapeControlDrawOverride";

// A readout's hold is over a little before the redraw that takes it away.
const std::int64_t kHoldMarginNanoseconds = 20000000;

using Layout = ShapeControlDrawLayout::Vec3;

Layout toLayout(const MPoint& p)
{
    return {p.x, p.y, p.z};
}

Layout toLayout(const MVector& v)
{
    return {v.x, v.y, v.z};
}

MPoint toPoint(const Layout& v)
{
    return MPoint(v.x, v.y, v.z);
}


MColor toColor(const float c[4])
{
    return MColor(c[0], c[1], c[2], c[3]);
}

bool readBool(const MObject& node, const MObject& attr, bool fallback)
{
    MStatus status;
    const MPlug plug(node, attr);
    const bool value = plug.asBool(&status);
    return status ? value : fallback;
}

int readInt(const MObject& node, const MObject& attr, int fallback)
{
    MStatus status;
    const MPlug plug(node, attr);
    const int value = plug.asInt(&status);
    return status ? value : fallback;
}

double readDouble(const MObject& node, const MObject& attr, double fallback)
{
    MStatus status;
    const MPlug plug(node, attr);
    const double value = plug.asDouble(&status);
    return status ? value : fallback;
}

MColor readColor(const MObject& node, const MObject& attr, float alpha)
{
    const MPlug plug(node, attr);
    return MColor(plug.child(0).asFloat(), plug.child(1).asFloat(), plug.child(2).asFloat(), alpha);
}

void readPlacement(const MObject& node, MPoint& position, MVector& scale)
{
    position = MPoint(readDouble(node, MPxLocatorNode::localPositionX, 0.0),
                      readDouble(node, MPxLocatorNode::localPositionY, 0.0),
                      readDouble(node, MPxLocatorNode::localPositionZ, 0.0));
    scale = MVector(readDouble(node, MPxLocatorNode::localScaleX, 1.0), readDouble(node, MPxLocatorNode::localScaleY, 1.0),
                    readDouble(node, MPxLocatorNode::localScaleZ, 1.0));
}

MPoint placed(const MPoint& q, const MPoint& position, const MVector& scale)
{
    return MPoint(position.x + scale.x * q.x, position.y + scale.y * q.y, position.z + scale.z * q.z);
}

MBoundingBox placedBox(const MPoint& a, const MPoint& b, const MPoint& position, const MVector& scale)
{
    MBoundingBox box(placed(a, position, scale), placed(b, position, scale));
    return box;
}

bool samePlacement(const MPoint& p0, const MVector& s0, const MPoint& p1, const MVector& s1)
{
    const double tolerance = 1e-5;
    return std::fabs(p0.x - p1.x) <= tolerance && std::fabs(p0.y - p1.y) <= tolerance &&
           std::fabs(p0.z - p1.z) <= tolerance && std::fabs(s0.x - s1.x) <= tolerance &&
           std::fabs(s0.y - s1.y) <= tolerance && std::fabs(s0.z - s1.z) <= tolerance;
}

const ShapeControl* controlOf(const MObject& node)
{
    MFnDependencyNode fn(node);
    return dynamic_cast<const ShapeControl*>(fn.userNode());
}

MObject storedGeometryOf(const MObject& node)
{
    const ShapeControl* control = controlOf(node);
    return control ? control->storedGeometry() : MObject();
}

unsigned long long geometrySerialOf(const MObject& node)
{
    const ShapeControl* control = controlOf(node);
    return control ? control->geometrySerial() : 0;
}

// The control's box before placement: its geometry joined with its explicit box, or the
// default square when it has neither. False in the last case.
bool localBoxOf(const MObject& node, MBoundingBox& box)
{
    const ShapeControl* control = controlOf(node);
    if (control && control->storedBox(box)) {
        return true;
    }
    box = MBoundingBox(MPoint(-1.0, 0.0, -1.0), MPoint(1.0, 0.0, 1.0));
    return false;
}

bool isTemplateStatus(MHWRender::DisplayStatus status)
{
    return status == MHWRender::kTemplate || status == MHWRender::kActiveTemplate;
}

// One pixel of the view along the camera's right and up directions at `anchor` (a point in the
// local space of the `drawn` frame), as vectors of that local space. False when the frame has
// no view to measure in, or the anchor lies behind the eye.
bool pixelAxes(const MHWRender::MFrameContext& context, const MMatrix& drawn, const MPoint& anchor, MVector& right,
               MVector& up)
{
    using Context = MHWRender::MFrameContext;
    MStatus projectionStatus, eyeStatus;
    const MMatrix viewProjection = context.getMatrix(Context::kViewProjMtx, &projectionStatus);
    const MMatrix eye = context.getMatrix(Context::kViewInverseMtx, &eyeStatus);
    int x = 0, y = 0, width = 0, height = 0;
    if (!projectionStatus || !eyeStatus || !context.getViewportDimensions(x, y, width, height) || width <= 0 ||
        height <= 0) {
        return false;
    }
    const MPoint world = anchor * drawn;
    const MVector axes[2] = {MVector(eye(0, 0), eye(0, 1), eye(0, 2)).normal(),
                             MVector(eye(1, 0), eye(1, 1), eye(1, 2)).normal()};
    const double pixels[2] = {0.5 * width, 0.5 * height};
    const MPoint clip = world * viewProjection;
    if (!(clip.w > 1e-12)) {
        return false;
    }
    MVector local[2];
    const MMatrix toLocal = drawn.inverse();
    for (int k = 0; k < 2; ++k) {
        // A step in the view plane keeps the depth, so the image moves in proportion to it.
        const MPoint stepped = (world + axes[k]) * viewProjection;
        const double moved = std::hypot(stepped.x / stepped.w - clip.x / clip.w, stepped.y / stepped.w - clip.y / clip.w) *
                             pixels[k];
        if (!(moved > 1e-9) || !std::isfinite(moved)) {
            return false;
        }
        local[k] = (axes[k] / moved) * toLocal;
    }
    right = local[0];
    up = local[1];
    return true;
}

bool isSelectedStatus(MHWRender::DisplayStatus status)
{
    return status == MHWRender::kActive || status == MHWRender::kActiveTemplate ||
           status == MHWRender::kActiveComponent || status == MHWRender::kLead;
}

// The shape or its parent transform is selected.
bool isSelectedPath(const MDagPath& objPath)
{
    MStatus status;
    if (isSelectedStatus(MHWRender::MGeometryUtilities::displayStatus(objPath, &status)) && status) {
        return true;
    }
    MDagPath parent(objPath);
    if (objPath.length() < 1 || !parent.pop()) {
        return false;
    }
    const MHWRender::DisplayStatus parentStatus = MHWRender::MGeometryUtilities::displayStatus(parent, &status);
    return status && isSelectedStatus(parentStatus);
}

void clearMesh(ShapeControlData& data)
{
    data.meshPoints.clear();
    data.meshNormals.clear();
    data.triangleCorners.clear();
    data.edgeCorners.clear();
    data.triangleVertices.clear();
    data.edgeVertices.clear();
    data.meshHandle = MObjectHandle();
    data.cachedVertexCount = -1;
    data.cachedPolygonCount = -1;
    data.cachedNormalCount = -1;
    data.cachedTriangleVertexCount = -1;
    data.cachedEdgeCount = -1;
    data.hasMeshDraw = false;
    data.meshTopologyValid = false;
    data.normalsGathered = false;
    data.meshSerial = 0;
}

MPointArray unitSquare()
{
    MPointArray square;
    square.append(-1.0, 0.0, -1.0);
    square.append(-1.0, 0.0, 1.0);
    square.append(1.0, 0.0, 1.0);
    square.append(1.0, 0.0, -1.0);
    square.append(-1.0, 0.0, -1.0);
    return square;
}

} // namespace

ShapeControlData::ShapeControlData() : MUserData(), defaultSquare(unitSquare()) {}

ShapeControlData::~ShapeControlData() = default;

MHWRender::MPxDrawOverride* ShapeControlDrawOverride::creator(const MObject& obj)
{
    return new ShapeControlDrawOverride(obj);
}

// No draw callback, and not always dirty: the node dirties its drawing when it changes, and a
// hovered or selected control dirties itself each frame while its readout may change.
ShapeControlDrawOverride::ShapeControlDrawOverride(const MObject& obj)
    : MHWRender::MPxDrawOverride(obj, nullptr, false)
{
}

ShapeControlDrawOverride::~ShapeControlDrawOverride() = default;

MHWRender::DrawAPI ShapeControlDrawOverride::supportedDrawAPIs() const
{
    return MHWRender::kAllDevices;
}

bool ShapeControlDrawOverride::isBounded(const MDagPath&, const MDagPath&) const
{
    return true;
}

bool ShapeControlDrawOverride::hasUIDrawables() const
{
    return true;
}

MMatrix ShapeControlDrawOverride::transform(const MDagPath& objPath, const MDagPath&) const
{
    const MObject node = objPath.node();
    // The source counts only while "inverse" is on and still feeds "inGeometry": a source
    // remembered from before must not keep steering the control.
    if (readBool(node, ShapeControl::inverse, false)) {
        const MObject source = sourceNodeOf(MPlug(node, ShapeControl::inGeometry));
        if (!source.isNull()) {
            const bool remembered = fInverseSource.isValid() && fInverseSource.isAlive() && fInverseSource == source;
            if (!remembered) {
                MDagPath path;
                if (MDagPath::getAPathTo(source, path)) {
                    fInverseSource = MObjectHandle(source);
                    fInverseSourcePath = path;
                } else {
                    fInverseSource = MObjectHandle();
                }
            }
            if (fInverseSource.isValid() && fInverseSource.isAlive() && fInverseSource == source) {
                return fInverseSourcePath.inclusiveMatrix();
            }
        }
    }
    return objPath.inclusiveMatrix();
}

MBoundingBox ShapeControlDrawOverride::boundingBox(const MDagPath& objPath, const MDagPath&) const
{
    const MObject node = objPath.node();
    MPoint position;
    MVector scale;
    readPlacement(node, position, scale);
    MBoundingBox box;
    localBoxOf(node, box);
    return placedBox(box.min(), box.max(), position, scale);
}

void ShapeControlDrawOverride::gatherMesh(const MObject& meshData, unsigned long long serial,
                                          ShapeControlData& data) const
{
    MStatus status;
    MFnMesh mesh(meshData, &status);
    if (!status) {
        clearMesh(data);
        return;
    }
    const int vertexCount = mesh.numVertices();
    const int polygonCount = mesh.numPolygons();
    const int edgeCount = mesh.numEdges(&status);
    const int cachedEdges = status ? edgeCount : -1;

    // Counts alone do not tell two meshes apart: the topology must come from this very object.
    const bool reuse = data.meshTopologyValid && data.meshHandle.isValid() && data.meshHandle.isAlive() &&
                       data.meshHandle == meshData && vertexCount == data.cachedVertexCount &&
                       polygonCount == data.cachedPolygonCount && cachedEdges == data.cachedEdgeCount &&
                       data.cachedTriangleVertexCount == static_cast<int>(data.triangleVertices.length());
    if (!reuse) {
        MIntArray triangleCounts;
        MIntArray triangleVertices;
        if (!mesh.getTriangles(triangleCounts, triangleVertices)) {
            clearMesh(data);
            return;
        }
        data.triangleVertices = triangleVertices;
        // Corners naming no vertex are left out once, here, not on every frame.
        data.triangleCorners.clear();
        for (unsigned i = 0; i < triangleVertices.length(); ++i) {
            if (triangleVertices[i] >= 0 && triangleVertices[i] < vertexCount) {
                data.triangleCorners.append(static_cast<unsigned>(triangleVertices[i]));
            }
        }
        data.edgeVertices.clear();
        data.edgeCorners.clear();
        for (int edge = 0; edge < cachedEdges; ++edge) {
            int2 ends;
            if (!mesh.getEdgeVertices(edge, ends)) {
                continue;
            }
            if (ends[0] >= 0 && ends[0] < vertexCount && ends[1] >= 0 && ends[1] < vertexCount) {
                data.edgeVertices.append(ends[0]);
                data.edgeVertices.append(ends[1]);
                data.edgeCorners.append(static_cast<unsigned>(ends[0]));
                data.edgeCorners.append(static_cast<unsigned>(ends[1]));
            }
        }
        data.meshHandle = MObjectHandle(meshData);
        data.cachedVertexCount = vertexCount;
        data.cachedPolygonCount = polygonCount;
        data.cachedEdgeCount = cachedEdges;
        data.cachedNormalCount = mesh.numNormals();
        data.cachedTriangleVertexCount = static_cast<int>(triangleVertices.length());
        data.meshTopologyValid = true;
    }

    // Positions and normals are gathered again only when the geometry or its placement changed.
    const MPoint& p = data.localPosition;
    const MVector& s = data.localScale;
    const bool wantNormals = !data.wireframe && !data.templated;
    if (reuse && data.meshSerial == serial && samePlacement(p, s, data.cachedLocalPosition, data.cachedLocalScale) &&
        (data.normalsGathered || !wantNormals)) {
        data.hasMeshDraw = data.meshPoints.length() > 0 &&
                           (wantNormals ? data.triangleCorners.length() : data.edgeCorners.length()) > 0;
        return;
    }
    const unsigned count = static_cast<unsigned>(std::max(vertexCount, 0));
    data.meshPoints.setLength(count);
    const float* raw = mesh.getRawPoints(&status);
    if (status && raw) {
        for (unsigned v = 0; v < count; ++v) {
            data.meshPoints[v] = MPoint(p.x + s.x * raw[3 * v], p.y + s.y * raw[3 * v + 1], p.z + s.z * raw[3 * v + 2]);
        }
    } else {
        MPointArray points;
        if (mesh.getPoints(points, MSpace::kObject) && points.length() >= count) {
            for (unsigned v = 0; v < count; ++v) {
                data.meshPoints[v] = placed(points[v], p, s);
            }
        } else {
            data.meshPoints.clear();
        }
    }

    data.normalsGathered = wantNormals;
    if (!wantNormals) {
        data.meshNormals.clear();
    } else {
        data.meshNormals.setLength(data.meshPoints.length());
        const bool haveNormals = mesh.getVertexNormals(true, data.vertexNormals, MSpace::kObject) &&
                                 data.vertexNormals.length() >= count && data.vertexNormals.length() > 0;
        for (unsigned v = 0; v < data.meshPoints.length(); ++v) {
            if (haveNormals) {
                const MFloatVector& n = data.vertexNormals[v];
                data.meshNormals[v] = MVector(n.x, n.y, n.z);
            } else {
                MVector n;
                data.meshNormals[v] = mesh.getVertexNormal(static_cast<int>(v), true, n, MSpace::kObject)
                                          ? n.normal()
                                          : MVector(0.0, 0.0, 0.0);
            }
        }
    }

    data.cachedLocalPosition = p;
    data.cachedLocalScale = s;
    data.meshSerial = serial;
    data.hasMeshDraw =
        data.meshPoints.length() > 0 && (wantNormals ? data.triangleCorners.length() : data.edgeCorners.length()) > 0;
}

MUserData* ShapeControlDrawOverride::prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                                                    const MHWRender::MFrameContext& frameContext, MUserData* oldData)
{
    ShapeControlData* data = dynamic_cast<ShapeControlData*>(oldData);
    if (!data) {
        data = new ShapeControlData();
    }
    const MObject node = objPath.node();

    readPlacement(node, data->localPosition, data->localScale);
    data->primitive = readInt(node, ShapeControl::primitive, 4);

    MStatus status;
    const MHWRender::DisplayStatus displayStatus = MHWRender::MGeometryUtilities::displayStatus(objPath, &status);
    data->templated = status && isTemplateStatus(displayStatus);
    data->hovered = isShapeControlInteractive(objPath) && activeShapeControl.isValid() &&
                    activeShapeControl.isAlive() && activeShapeControl == node;
    data->selected = isSelectedPath(objPath);

    if (data->templated) {
        // Drawn as the host draws templates: in its template colour, never hovered or picked.
        data->color = MHWRender::MGeometryUtilities::wireframeColor(objPath);
        data->color.a = 1.0f - static_cast<float>(readDouble(node, ShapeControl::transparency, 0.5));
    } else if (data->selected) {
        data->color = readColor(node, ShapeControl::selectedColor,
                                1.0f - static_cast<float>(readDouble(node, ShapeControl::selectedTransparency, 0.5)));
    } else if (data->hovered) {
        data->color = readColor(node, ShapeControl::hoverColor,
                                1.0f - static_cast<float>(readDouble(node, ShapeControl::hoverTransparency, 0.5)));
    } else {
        data->color = readColor(node, ShapeControl::color,
                                1.0f - static_cast<float>(readDouble(node, ShapeControl::transparency, 0.5)));
    }
    data->lineWidth = static_cast<float>(readDouble(node, ShapeControl::lineWidth, 2.0)) + (data->hovered ? 1.5f : 0.0f);
    data->lineStyle = readInt(node, ShapeControl::lineStyle, 0);
    data->paintStyle = readInt(node, ShapeControl::paintStyle, 0);
    data->drawInXray = readBool(node, ShapeControl::drawInXray, false);
    data->wireframe = readBool(node, ShapeControl::wireframe, false);

    data->showReadout = false;
    data->showSlider = false;
    data->showRangeLabels = false;
    data->sliderKind = 0;
    if ((data->hovered || data->selected) && !data->templated) {
        prepareReadout(objPath, cameraPath, frameContext, *data);
    }

    const MObject geometry = storedGeometryOf(node);
    const bool isMesh = !geometry.isNull() && geometry.hasFn(MFn::kMeshData);
    if (!isMesh && !geometry.isNull() && isShapeControlCurve(geometry)) {
        bool closed = false;
        unsigned long long serial = 0;
        if (sampleShapeControlCurve(node, geometry, data->curveSerial, data->curveSamples, closed, serial)) {
            data->hasCurve = data->curveSamples.length() > 0;
            data->curveClosed = closed;
            data->curveSerial = serial;
        } else {
            data->curveSamples.clear();
            data->hasCurve = false;
            data->curveClosed = false;
            data->curveSerial = 0;
        }
    } else {
        data->curveSamples.clear();
        data->hasCurve = false;
        data->curveClosed = false;
        data->curveSerial = 0;
    }

    if (isMesh) {
        gatherMesh(geometry, geometrySerialOf(node), *data);
    } else {
        clearMesh(*data);
    }

    const MPointArray& source = data->hasCurve ? data->curveSamples : data->defaultSquare;
    const unsigned count = source.length();
    data->polylinePoints.setLength(count);
    for (unsigned i = 0; i < count; ++i) {
        data->polylinePoints[i] = placed(source[i], data->localPosition, data->localScale);
    }
    if (data->hasCurve && data->curveClosed && count >= 2 &&
        ShapeControlDrawLayout::needsClosingPoint(toLayout(data->polylinePoints[0]),
                                                  toLayout(data->polylinePoints[count - 1]))) {
        data->polylinePoints.append(data->polylinePoints[0]);
    }
    return data;
}

void ShapeControlDrawOverride::prepareReadout(const MDagPath& objPath, const MDagPath& cameraPath,
                                              const MHWRender::MFrameContext& frameContext,
                                              ShapeControlData& data) const
{
    const MObject node = objPath.node();
    const bool showTransformChannels = readBool(node, ShapeControl::showTransformReadout, true);
    const bool useTextColor = readBool(node, ShapeControl::useReadoutTextColor, true);
    data.readoutTextSize = std::max(readInt(node, ShapeControl::readoutTextSize, 15), 6);

    const MColor handle = readColor(node, ShapeControl::sliderHandleColor, 0.98f);
    data.sliderHandleColor[0] = handle.r;
    data.sliderHandleColor[1] = handle.g;
    data.sliderHandleColor[2] = handle.b;
    data.sliderHandleColor[3] = handle.a;

    // Changes count only while a drag in a view manipulates the control; the first frame of a
    // drag only records where it starts.
    const std::uint64_t drag = currentViewDrag();
    const bool manipulated = drag != 0 && data.readoutDrag == drag;
    data.readoutDrag = drag;

    TransformReadout readout;
    bool hasText = false;
    MDagPath parent(objPath);
    if (objPath.isValid() && objPath.length() > 0 && parent.pop() && parent.node().hasFn(MFn::kTransform)) {
        hasText = buildTransformReadout(parent, node, true, showTransformChannels, "shape:", readout, manipulated);
    }
    if (!hasText || !readout.hasText) {
        return;
    }
    // Nothing else may redraw the view when the hold ends.
    redrawNodeAfter(node, static_cast<std::int64_t>(readout.holdSeconds * 1e9) + kHoldMarginNanoseconds, true);

    data.showReadout = readout.text.length() > 0;
    data.showSlider = readout.showSlider;
    data.showRangeLabels = readout.showRangeLabels;
    data.sliderKind = readout.sliderKind;
    data.sliderValue = readout.sliderValue;
    data.sliderReference = readout.sliderReference;
    data.readoutText = readout.text;
    data.minLabel = readout.minLabel;
    data.maxLabel = readout.maxLabel;
    MBoundingBox box;
    const bool hasBox = localBoxOf(node, box);
    data.readoutAnchor = toPoint(ShapeControlDrawLayout::readoutAnchor(
        toLayout(data.localPosition), toLayout(data.localScale), hasBox, toLayout(box.min()), toLayout(box.max())));
    if (useTextColor) {
        const MColor text = readColor(node, ShapeControl::readoutTextColor, 0.95f);
        data.readoutColor[0] = text.r;
        data.readoutColor[1] = text.g;
        data.readoutColor[2] = text.b;
        data.readoutColor[3] = text.a;
    } else {
        std::copy(readout.color, readout.color + 4, data.readoutColor);
    }

    // The slider is sized in pixels of this view, along the camera's axes as they appear in the
    // frame the control is drawn in (the source's, for an "inverse" control).
    data.unitSize = ShapeControlDrawLayout::kSliderUnitPixels;
    data.sliderLength = ShapeControlDrawLayout::kSliderLengthPixels;
    const MMatrix drawn = transform(objPath, cameraPath);
    if (!pixelAxes(frameContext, drawn, data.readoutAnchor, data.cameraRight, data.cameraUp)) {
        data.showSlider = false;
        data.showRangeLabels = false;
    }
}

void ShapeControlDrawOverride::addUIDrawables(const MDagPath&, MHWRender::MUIDrawManager& drawManager,
                                              const MHWRender::MFrameContext&, const MUserData* userData)
{
    const ShapeControlData* data = dynamic_cast<const ShapeControlData*>(userData);
    if (!data) {
        return;
    }
    using DrawManager = MHWRender::MUIDrawManager;

    // A template is shown, not picked: a click passes through it as through a templated mesh.
    drawManager.beginDrawable(data->templated ? DrawManager::kNonSelectable : DrawManager::kSelectable, 1);
    if (data->drawInXray) {
        drawManager.beginDrawInXray();
    } else {
        drawManager.setDepthPriority(MHWRender::MRenderItem::sSelectionDepthPriority);
    }
    drawManager.setColor(data->color);
    drawManager.setLineWidth(data->lineWidth);
    drawManager.setLineStyle(static_cast<DrawManager::LineStyle>(data->lineStyle));
    // Points are as large as lines are wide.
    drawManager.setPointSize(data->lineWidth);

    if (data->hasMeshDraw) {
        drawManager.setPaintStyle(static_cast<DrawManager::PaintStyle>(data->paintStyle));
        if (data->wireframe || data->templated) {
            drawManager.mesh(DrawManager::kLines, data->meshPoints, nullptr, nullptr, &data->edgeCorners);
        } else if (data->primitive >= DrawManager::kPoints && data->primitive <= DrawManager::kTriStrip) {
            drawManager.mesh(static_cast<DrawManager::Primitive>(data->primitive), data->meshPoints,
                             &data->meshNormals, nullptr, &data->triangleCorners);
        }
    } else {
        switch (data->primitive) {
        case DrawManager::kPoints:
            drawManager.points(data->polylinePoints, false);
            break;
        case DrawManager::kLines:
            drawManager.lineList(data->polylinePoints, false);
            break;
        case DrawManager::kClosedLine:
            if (data->polylinePoints.length() > 1) {
                // Joined back to the first point, unless the points already end where they start.
                MPointArray closed(data->polylinePoints);
                const unsigned last = closed.length() - 1;
                if (ShapeControlDrawLayout::needsClosingPoint(toLayout(closed[0]), toLayout(closed[last]))) {
                    closed.append(closed[0]);
                }
                drawManager.lineStrip(closed, false);
            } else {
                drawManager.lineStrip(data->polylinePoints, false);
            }
            break;
        default:
            drawManager.lineStrip(data->polylinePoints, false);
            break;
        }
    }

    if (data->drawInXray) {
        drawManager.endDrawInXray();
    }
    if (data->showReadout) {
        drawReadout(drawManager, *data);
    }
    drawManager.endDrawable();
}

void ShapeControlDrawOverride::drawReadout(MHWRender::MUIDrawManager& drawManager, const ShapeControlData& data) const
{
    using DrawManager = MHWRender::MUIDrawManager;
    drawManager.beginDrawInXray();
    drawReadoutText(drawManager, data.readoutAnchor, data.readoutText, toColor(data.readoutColor),
                    static_cast<unsigned>(data.readoutTextSize), DrawManager::kLeft);

    if (data.showSlider) {
        const ShapeControlDrawLayout::SliderLayout slider = ShapeControlDrawLayout::sliderLayout(
            toLayout(data.readoutAnchor), toLayout(data.cameraRight), toLayout(data.cameraUp), data.unitSize,
            data.sliderLength, data.sliderValue, data.sliderReference, data.readoutColor, data.readoutTextSize);
        const MVector up = data.cameraUp;
        auto tick = [&](const Layout& at, double halfHeight) {
            const MPoint centre = toPoint(at);
            drawManager.line(centre - up * halfHeight, centre + up * halfHeight);
        };
        drawManager.setLineWidth(2.0f);
        drawManager.setColor(toColor(slider.trackColor));
        drawManager.line(toPoint(slider.start), toPoint(slider.end));
        drawManager.setColor(toColor(slider.tickColor));
        if (data.sliderKind == 1) {
            tick(slider.start, slider.tickHalfHeight);
            tick(slider.end, slider.tickHalfHeight);
        }
        tick(slider.referencePoint, slider.tickHalfHeight);
        drawManager.setColor(toColor(slider.fillColor));
        drawManager.line(toPoint(slider.referencePoint), toPoint(slider.valuePoint));
        drawManager.setColor(toColor(data.sliderHandleColor));
        tick(slider.valuePoint, slider.handleHalfHeight);

        if (data.showRangeLabels) {
            drawManager.setColor(toColor(slider.labelColor));
            drawManager.setFontSize(slider.labelFontSize);
            drawManager.text(toPoint(slider.minLabelPosition), data.minLabel, DrawManager::kRight);
            drawManager.text(toPoint(slider.maxLabelPosition), data.maxLabel, DrawManager::kLeft);
            drawManager.setFontSize(static_cast<unsigned>(data.readoutTextSize));
        }
    }
    drawManager.endDrawInXray();
}
