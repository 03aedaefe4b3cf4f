#include "shapeControl/ShapeControlPicking.h"

#include "overlay/PatchPickData.h"
#include "overlay/ViewProjector.h"
#include "plugin/PlugQueries.h"
#include "plugin/StatusCheck.h"
#include "plugin/ViewMouseSupport.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlPickRanking.h"
#include "shapeControl/ShapeControlQueries.h"
#include "shapeControl/ShapeControlRegistry.h"

#include <maya/M3dView.h>
#include <maya/MCallbackIdArray.h>
#include <maya/MDGMessage.h>
#include <maya/MDagMessage.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnManip3D.h>
#include <maya/MFnMesh.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItDag.h>
#include <maya/MMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MMatrix.h>
#include <maya/MObjectArray.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MVector.h>

#include <QElapsedTimer>
#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

const char* const kStatusSource = "shapeControlPicking";

using ShapeControlPick::Point2;

// The closed unit square a control without geometry is drawn and picked as.
const MPoint kDefaultSquare[] = {MPoint(-1, 0, -1), MPoint(-1, 0, 1), MPoint(1, 0, 1), MPoint(1, 0, -1),
                                 MPoint(-1, 0, -1)};

double readDouble(const MObject& node, const MObject& attribute, double fallback)
{
    MStatus status;
    const double value = MPlug(node, attribute).asDouble(&status);
    return status ? value : fallback;
}

bool readBool(const MObject& node, const MObject& attribute, bool fallback)
{
    MStatus status;
    const bool value = MPlug(node, attribute).asBool(&status);
    return status ? value : fallback;
}

bool isShapeControlNode(const MObject& node)
{
    MStatus status;
    const MFnDependencyNode fn(node, &status);
    if (!status) {
        return false;
    }
    const MTypeId id = fn.typeId(&status);
    return status && id == ShapeControl::id;
}

// Logical widget pixels (y down) to the view's device pixels (y up) and back.
class ViewPixels
{
public:
    explicit ViewPixels(M3dView& view) : fView(view)
    {
        MStatus status;
        if (QWidget* widget = view.widget(&status); status && widget) {
            fRatio = widget->devicePixelRatioF();
        }
        if (!(fRatio > 0.0)) {
            fRatio = 1.0;
        }
        const int height = view.portHeight(&status);
        fPortHeight = status ? height : 0;
        // The camera is read once: a pick projects hundreds of points near the mouse.
        const int width = view.portWidth(&status);
        fPortWidth = status ? width : 0;
        fHasCamera = fPortWidth > 0 && fPortHeight > 0 && view.modelViewMatrix(fModelView) &&
                     view.projectionMatrix(fProjection);
        fCameraSerial = fHasCamera ? serialOfCamera() : 0;
    }

    // Counts the cameras (matrices, port and pixel ratio) picks have seen, one after another:
    // the same number, the same projection of every point. 0 when the view gives no camera.
    uint64_t cameraSerial() const { return fCameraSerial; }

    // False for a position no device pixel of the view's range can hold.
    bool toDevice(const QPointF& position, short& x, short& y) const
    {
        const double deviceX = position.x() * fRatio;
        const double deviceY = fPortHeight - position.y() * fRatio;
        const double limit = std::numeric_limits<short>::max();
        if (!(std::fabs(deviceX) <= limit) || !(std::fabs(deviceY) <= limit)) {
            return false;
        }
        x = static_cast<short>(std::lround(deviceX));
        y = static_cast<short>(std::lround(deviceY));
        return true;
    }

    // The ray through a logical position; false when the view gives none.
    bool ray(const QPointF& position, MPoint& origin, MVector& direction) const
    {
        short x = 0;
        short y = 0;
        if (!toDevice(position, x, y) || !fView.viewToWorld(x, y, origin, direction)) {
            return false;
        }
        if (!(direction.length() >= 1e-8)) {
            return false;
        }
        direction.normalize();
        return true;
    }

    // Where a world point lands, in logical pixels, at the whole port pixel the view's
    // worldToView gives; false when it is outside the view (clipped away).
    bool project(const MPoint& world, Point2& out) const
    {
        short x = 0;
        short y = 0;
        if (fHasCamera) {
            const MPoint clip = MPoint(world.x, world.y, world.z, 1.0) * fModelView * fProjection;
            if (!(clip.w > 0.0)) {
                return false;
            }
            const double nx = clip.x / clip.w;
            const double ny = clip.y / clip.w;
            const double nz = clip.z / clip.w;
            if (!(nx >= -1.0 && nx <= 1.0 && ny >= -1.0 && ny <= 1.0 && nz >= -1.0 && nz <= 1.0)) {
                return false;
            }
            x = portPixel((nx + 1.0) * 0.5 * fPortWidth);
            y = portPixel((ny + 1.0) * 0.5 * fPortHeight);
        } else {
            MStatus status;
            if (!fView.worldToView(world, x, y, &status) || !status) {
                return false;
            }
        }
        out.x = x / fRatio;
        out.y = (fPortHeight - y) / fRatio;
        return true;
    }

    ViewProjector projector() const { return ViewProjector(fView, fRatio, fPortHeight); }

private:
    uint64_t serialOfCamera() const
    {
        struct Camera
        {
            MMatrix modelView;
            MMatrix projection;
            int width = 0;
            int height = 0;
            double ratio = 0.0;
        };
        static Camera last;
        static uint64_t serial = 0;
        if (serial == 0 || !(last.modelView == fModelView) || !(last.projection == fProjection) ||
            last.width != fPortWidth || last.height != fPortHeight || last.ratio != fRatio) {
            last = Camera{fModelView, fProjection, fPortWidth, fPortHeight, fRatio};
            ++serial;
        }
        return serial;
    }

    // The nearest whole port pixel, held to the range of a short.
    static short portPixel(double value)
    {
        const double rounded = std::floor(value + 0.5);
        return static_cast<short>(std::clamp(rounded, double(std::numeric_limits<short>::min()),
                                             double(std::numeric_limits<short>::max())));
    }

    M3dView& fView;
    double fRatio = 1.0;
    int fPortHeight = 0;
    int fPortWidth = 0;
    bool fHasCamera = false;
    uint64_t fCameraSerial = 0;
    MMatrix fModelView;
    MMatrix fProjection;
};

// A mesh control's triangles placed in world space: a tree built when its geometry changes
// and refitted when only its placement does, and which edges of each triangle are the mesh's
// own (each mesh edge held by one triangle), so that a pick tests only what lies near the mouse.
struct MeshPickTree
{
    MObjectHandle node;
    unsigned instance = 0;
    MObject geometry;
    unsigned long long serial = 0;
    PatchPick::PickData tree;
    // Per triangle, in one place for the pick's walk: its corners, and bit i of `edges` for the
    // mesh edge from corner i to i + 1 when this triangle holds it.
    struct Triangle
    {
        int corners[3];
        uint32_t edges;
    };
    std::vector<Triangle> triangles;
    std::vector<int> looseEdges; // mesh edges no triangle holds, two vertex ids each
};

uint64_t edgeKey(int a, int b)
{
    return (uint64_t(uint32_t(std::min(a, b))) << 32) | uint32_t(std::max(a, b));
}

bool buildMeshPickTree(const MObject& geometry, const double matrix[4][4], MeshPickTree& mesh)
{
    mesh.tree.clear();
    mesh.triangles.clear();
    mesh.looseEdges.clear();
    MStatus status;
    MFnMesh fn(geometry, &status);
    const int vertexCount = status ? fn.numVertices(&status) : 0;
    const float* points = status && vertexCount > 0 ? fn.getRawPoints(&status) : nullptr;
    MIntArray counts;
    MIntArray corners;
    if (!status || points == nullptr || !fn.getTriangles(counts, corners)) {
        return false;
    }
    std::vector<int> cornerIds(corners.length());
    for (unsigned i = 0; i < corners.length(); ++i) {
        cornerIds[i] = corners[i];
    }
    if (!PatchPick::buildMeshPickData(points, vertexCount, cornerIds, matrix, mesh.tree)) {
        return false;
    }
    std::unordered_map<uint64_t, uint32_t> triangleEdges; // first triangle * 3 + corner with the edge
    triangleEdges.reserve(cornerIds.size());
    for (size_t k = 0; k + 2 < cornerIds.size(); k += 3) {
        for (size_t i = 0; i < 3; ++i) {
            triangleEdges.emplace(edgeKey(cornerIds[k + i], cornerIds[k + (i + 1) % 3]), uint32_t(k + i));
        }
    }
    mesh.triangles.resize(cornerIds.size() / 3);
    for (size_t t = 0; t < mesh.triangles.size(); ++t) {
        mesh.triangles[t] = {{cornerIds[3 * t], cornerIds[3 * t + 1], cornerIds[3 * t + 2]}, 0u};
    }
    const int edgeCount = fn.numEdges(&status);
    for (int edge = 0; status && edge < edgeCount; ++edge) {
        int2 ends = {0, 0};
        if (!fn.getEdgeVertices(edge, ends) || ends[0] < 0 || ends[1] < 0 || ends[0] >= vertexCount ||
            ends[1] >= vertexCount) {
            continue;
        }
        const auto found = triangleEdges.find(edgeKey(ends[0], ends[1]));
        if (found == triangleEdges.end()) {
            mesh.looseEdges.insert(mesh.looseEdges.end(), {ends[0], ends[1]});
        } else {
            mesh.triangles[found->second / 3].edges |= 1u << (found->second % 3);
        }
    }
    return true;
}

// The pick tree of a mesh control's instance, brought up to date with its geometry and
// placement; null when the mesh cannot be read.
const MeshPickTree* meshPickTreeFor(const MObject& node, unsigned instance, const MObject& geometry,
                                    unsigned long long serial, const double matrix[4][4])
{
    static std::unordered_map<uint64_t, std::unique_ptr<MeshPickTree>> trees;
    const uint64_t key = (uint64_t(MObjectHandle(node).hashCode()) << 32) | instance;
    std::unique_ptr<MeshPickTree>& slot = trees[key];
    if (!slot || !(slot->node.isAlive() && slot->node.object() == node && slot->instance == instance)) {
        // A new entry: the trees of deleted controls go first (erasing others keeps `slot`).
        for (auto it = trees.begin(); it != trees.end();) {
            it = it->second && !it->second->node.isAlive() ? trees.erase(it) : std::next(it);
        }
        slot = std::make_unique<MeshPickTree>();
        slot->node = MObjectHandle(node);
        slot->instance = instance;
    }
    MeshPickTree& mesh = *slot;
    if (mesh.geometry != geometry || mesh.serial != serial) {
        mesh.geometry = geometry;
        mesh.serial = serial;
        if (!buildMeshPickTree(geometry, matrix, mesh)) {
            mesh.tree.clear();
        }
    } else if (!mesh.tree.patches.empty() &&
               std::memcmp(mesh.tree.follow.matrix, matrix, sizeof mesh.tree.follow.matrix) != 0) {
        MFnMesh fn(geometry);
        const float* points = fn.getRawPoints(nullptr);
        if (points == nullptr ||
            PatchPick::refitPickData(mesh.tree, points, fn.numVertices(), matrix) == PatchPick::Refit::kNeedsRebuild) {
            mesh.geometry = MObject::kNullObj; // built again on the next pick
            mesh.tree.clear();
        }
    }
    return mesh.tree.patches.empty() ? nullptr : &mesh;
}

// Where a world point lies against the window around the mouse: bit c when outside side c,
// kInFront when beyond the near plane.
constexpr uint32_t kInFront = 1u << 4;

uint32_t outsideWindowSides(const PatchPick::ScreenWindow& window, const double p[3])
{
    auto value = [p](const double plane[4]) { return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3]; };
    uint32_t bits = value(window.front) > 0.0 ? kInFront : 0u;
    for (uint32_t c = 0; c < 4; ++c) {
        if (value(window.sides[c]) < 0.0) {
            bits |= 1u << c;
        }
    }
    return bits;
}

// Where a control's points go: its local position and scale, then its world matrix.
struct Placement
{
    MPoint position;
    MVector scale;
    MMatrix world;
    MPoint toWorld(const MPoint& q) const
    {
        return MPoint(position.x + scale.x * q.x, position.y + scale.y * q.y, position.z + scale.z * q.z) * world;
    }
    // toWorld as one matrix (row vectors).
    MMatrix matrix() const
    {
        const double local[4][4] = {{scale.x, 0.0, 0.0, 0.0},
                                    {0.0, scale.y, 0.0, 0.0},
                                    {0.0, 0.0, scale.z, 0.0},
                                    {position.x, position.y, position.z, 1.0}};
        return MMatrix(local) * world;
    }
};

// Where a control's box lands on screen: the rectangle of its projected corners, or anywhere
// (`known` false) when a corner is off the view or the box is not worth projecting.
struct ScreenRect
{
    bool known = false;
    Point2 low;
    Point2 high;
};

// What a pick reads of one control path from its plugs and the DAG, kept from move to move
// while the watches on the control say nothing changed: a plug of the control went dirty
// (its shape attributes, its world matrix) or its path's world matrix changed.
struct ControlMemo
{
    bool watched = false; // both watches in place: without them nothing is kept
    bool known = false;
    Placement placement;
    MMatrix matrix;       // placement.matrix()
    bool inverse = false; // placed by the shape feeding its geometry, read again on every pick
    double tolerance = 2.0;
    const ShapeControl* control = nullptr;
    // Its box on screen under camera `rectCamera` (0: none kept), for that geometry.
    ScreenRect rect;
    uint64_t rectCamera = 0;
    MObject rectGeometry;
    unsigned long long rectSerial = 0;
    MCallbackId watches[2] = {0, 0};
};

// One pick: the mouse ray, the selection, and the best candidate so far.
class ShapePick
{
public:
    ShapePick(M3dView& view, const QPointF& mouse) : fPixels(view), fMouse(mouse)
    {
        fMousePoint = Point2{mouse.x(), mouse.y()};
        fHasRay = fPixels.ray(mouse, fOrigin, fDirection);
        PELLIX_REPORT(MGlobal::getActiveSelectionList(fSelection));
    }

    bool hasRay() const { return fHasRay; }
    const ShapeControlPick::Ranking& ranking() const { return fRanking; }
    const MObject& control(std::size_t index) const { return fControls[index]; }

    // Picks one control path; `memo`, when given, holds what earlier picks read of it.
    void pickPath(const MDagPath& path, ControlMemo* memo = nullptr);

private:
    // The path being picked: what its candidates share.
    struct PathPick
    {
        double tolerance = 10.0;
        const MDagPath* path = nullptr;
        bool hasPathName = false;
        ShapeControlPick::Candidate candidate;  // reused for each of the path's candidates
    };

    MMatrix worldMatrixOf(const MDagPath& path, const MObject& node, bool inverse) const;
    // Reads the control's placement, outline tolerance and user node into `memo`.
    void readControl(const MDagPath& path, const MObject& node, ControlMemo& memo) const;
    bool isSelected(const MDagPath& path) const;
    // The control's outline placed in world space, into fWorld.
    bool outlineToWorld(const MObject& node, const MObject& geometry, const Placement& placement);
    // Tests the surface of a mesh and its edges near the mouse.
    void pickMesh(PathPick& pick, const MeshPickTree& mesh);
    // Where on screen an edge within reach nearer than the surface hit (or, with no hit, any
    // edge within reach) is likeliest: where the hit's plane comes nearer the eye, or towards the
    // middle of the mesh's box. False when no side is likelier.
    bool probeDirection(const PathPick& pick, const MeshPickTree& mesh, const PatchPick::PickHit& hit,
                        Point2& direction);
    // Casts a ray just within reach of the mouse along `direction` and hands the triangle it
    // hits to `testTriangle`.
    template <typename TestTriangle>
    void probe(const PathPick& pick, const MeshPickTree& mesh, const Point2& direction, TestTriangle&& testTriangle);
    void pickPolyline(PathPick& pick, const std::vector<MPoint>& points);
    // Tests segment (i, j) of `world`, whose points are projected into fScreen on first use.
    void testSegment(PathPick& pick, const std::vector<MPoint>& world, unsigned i, unsigned j);
    // Tests the segment from `a` to `b`, projected to `screenA` and `screenB`.
    void testProjectedSegment(PathPick& pick, const MPoint& a, const MPoint& b, const Point2& screenA,
                              const Point2& screenB);
    // False when no point of `world` can lie within `tolerance` pixels of the mouse (nor be
    // crossed by its ray): their box lies wholly in the view and projects away from the mouse.
    // `rect` learns where the box lands.
    bool mayBeUnderMouse(const std::vector<MPoint>& world, double tolerance, ScreenRect& rect) const;
    // The same test for a world box: its projected corners first, cheaper than the window,
    // which a box far from the mouse then never needs.
    bool boxMayBeUnderMouse(const PatchPick::Box& box, double tolerance, ScreenRect& rect);
    // The world region that projects within `tolerance` pixels of the mouse; null when the
    // view cannot tell.
    const PatchPick::ScreenWindow* windowFor(double tolerance);
    ScreenRect screenRectOf(const MPoint* corners, int count) const;
    bool rectMayBeUnderMouse(const ScreenRect& rect, double tolerance) const;
    double pixelWorldSize(const MPoint& world);
    // Offers a candidate to the ranking; one near the outline at `outlinePoint` gets a world
    // radius of the pixels around it, a surface hit none.
    void offer(PathPick& pick, bool surfaceHit, double pixelDistance, double depth, const MPoint* outlinePoint);

    ViewPixels fPixels;
    QPointF fMouse;
    Point2 fMousePoint;
    MPoint fOrigin;
    MVector fDirection;
    bool fHasRay = false;
    MSelectionList fSelection;

    // Rays one pixel right of and below the mouse, cast once a segment is near.
    bool fNeighbourRaysCast = false;
    bool fNeighbourValid[2] = {false, false};
    MPoint fNeighbourOrigin[2];
    MVector fNeighbourDirection[2];

    std::vector<MObject> fControls;
    ShapeControlPick::Ranking fRanking;

    // What a mesh pick knows of one vertex: its depth along the mouse ray and, once an edge
    // near the mouse needs it, where it projects. Valid for the pick whose stamp it carries.
    struct MeshVertex
    {
        enum State : uint32_t { kDepthKnown, kProjected, kOutside };
        uint32_t stamp = 0;
        State state = kDepthKnown;
        double depth = 0.0;
        Point2 screen;
        uint32_t outside = 0; // outsideWindowSides
    };
    // Scratch buffers reused from path to path and from pick to pick (a mesh control's would
    // otherwise be allocated again on every move): an outline's world points, their projections
    // and whether each projected (0 no, 1 yes, 2 not tried yet); the triangles near the mouse
    // and the order they are walked in; a mesh's vertex records.
    struct Scratch
    {
        std::vector<MPoint> world;
        std::vector<Point2> screen;
        std::vector<char> projected;
        std::vector<uint32_t> triangles;
        std::vector<std::pair<double, uint32_t>> triangleDepths; // nearest corner's depth, triangle
        std::vector<uint32_t> triangleOrder;                     // the triangles, nearest slice first
        std::vector<MeshVertex> meshVertices;
        uint32_t meshStamp = 0;
    };
    static Scratch& scratch()
    {
        static Scratch buffers;
        return buffers;
    }
    std::vector<MPoint>& fWorld = scratch().world;
    std::vector<Point2>& fScreen = scratch().screen;
    std::vector<char>& fProjected = scratch().projected;
    std::vector<MeshVertex>& fMeshVertices = scratch().meshVertices;
    uint32_t& fMeshStamp = scratch().meshStamp;
    std::vector<uint32_t>& fTriangles = scratch().triangles;
    std::vector<std::pair<double, uint32_t>>& fTriangleDepths = scratch().triangleDepths;
    std::vector<uint32_t>& fTriangleOrder = scratch().triangleOrder;
    // The window of the last tolerance asked for.
    PatchPick::ScreenWindow fWindow;
    double fWindowTolerance = -1.0;
    bool fWindowValid = false;
};

MMatrix ShapePick::worldMatrixOf(const MDagPath& path, const MObject& node, bool inverse) const
{
    MStatus status;
    // An inverse control is placed by the shape that feeds its geometry.
    if (inverse) {
        const MObject source = sourceNodeOf(MPlug(node, ShapeControl::inGeometry));
        if (!source.isNull()) {
            MDagPath sourcePath;
            if (MDagPath::getAPathTo(source, sourcePath)) {
                const MMatrix matrix = sourcePath.inclusiveMatrix(&status);
                if (status) {
                    return matrix;
                }
            }
        }
    }
    const MMatrix matrix = path.inclusiveMatrix(&status);
    return status ? matrix : MMatrix();
}

bool ShapePick::isSelected(const MDagPath& path) const
{
    MStatus status;
    if (fSelection.hasItem(path, MObject::kNullObj, &status) && status) {
        return true;
    }
    MDagPath parent(path);
    if (parent.length() > 1 && parent.pop()) {
        return fSelection.hasItem(parent, MObject::kNullObj, &status) && status;
    }
    return false;
}

void ShapePick::readControl(const MDagPath& path, const MObject& node, ControlMemo& memo) const
{
    memo.placement.position = MPoint(readDouble(node, MPxLocatorNode::localPositionX, 0.0),
                                     readDouble(node, MPxLocatorNode::localPositionY, 0.0),
                                     readDouble(node, MPxLocatorNode::localPositionZ, 0.0));
    memo.placement.scale = MVector(readDouble(node, MPxLocatorNode::localScaleX, 1.0),
                                   readDouble(node, MPxLocatorNode::localScaleY, 1.0),
                                   readDouble(node, MPxLocatorNode::localScaleZ, 1.0));
    memo.inverse = readBool(node, ShapeControl::inverse, false);
    memo.placement.world = worldMatrixOf(path, node, memo.inverse);
    memo.matrix = memo.placement.matrix();
    memo.tolerance = ShapeControlPick::outlineTolerance(readDouble(node, ShapeControl::lineWidth, 2.0));
    memo.control = nullptr;
    MStatus status;
    const MFnDependencyNode fn(node, &status);
    if (status) {
        if (const ShapeControl* control = dynamic_cast<const ShapeControl*>(fn.userNode(&status)); status && control) {
            memo.control = control;
        }
    }
    memo.rectCamera = 0;
    memo.rectGeometry = MObject::kNullObj;
    memo.known = memo.watched;
}

void ShapePick::pickPath(const MDagPath& path, ControlMemo* memo)
{
    MStatus status;
    const MObject node = path.node(&status);
    if (!status || node.isNull()) {
        return;
    }

    ControlMemo unwatched;
    ControlMemo& known = memo != nullptr ? *memo : unwatched;
    if (!known.known) {
        readControl(path, node, known);
    } else if (known.inverse) {
        // The shape feeding an inverse control is not watched: its matrix is read every time.
        known.placement.world = worldMatrixOf(path, node, true);
        known.matrix = known.placement.matrix();
    }
    const Placement& placement = known.placement;

    MObject geometry;
    unsigned long long geometrySerial = 0;
    if (known.control != nullptr) {
        geometry = known.control->storedGeometry();
        geometrySerial = known.control->geometrySerial();
    }

    // The outline (or mesh) in world space first: a control that cannot be under the mouse
    // is left before its visibility and selection are asked for, which changes no answer.
    PathPick pick;
    pick.tolerance = known.tolerance;
    pick.path = &path;
    // Under the camera of an earlier pick, with the same placement and geometry, the box lands
    // where it did then: a control far from the mouse is left without its outline or tree. (An
    // inverse control's placement is read again on every pick, so its box is not kept.)
    const uint64_t camera = known.known && !known.inverse ? fPixels.cameraSerial() : 0;
    if (camera != 0 && known.rectCamera == camera && known.rectGeometry == geometry &&
        known.rectSerial == geometrySerial && !rectMayBeUnderMouse(known.rect, pick.tolerance)) {
        return;
    }
    ScreenRect rect;
    const bool isMesh = !geometry.isNull() && geometry.hasFn(MFn::kMeshData);
    const MeshPickTree* mesh = nullptr;
    bool mayBeUnder = false;
    if (isMesh) {
        // The mesh's tree follows its geometry and placement; its world box comes first.
        mesh = meshPickTreeFor(node, path.instanceNumber(), geometry, geometrySerial, known.matrix.matrix);
        if (mesh == nullptr || !mesh->tree.patches[0].hasBounds) {
            return;
        }
        mayBeUnder = boxMayBeUnderMouse(mesh->tree.patches[0].bounds, pick.tolerance, rect);
    } else if (outlineToWorld(node, geometry, placement)) {
        mayBeUnder = mayBeUnderMouse(fWorld, pick.tolerance, rect);
    } else {
        return;
    }
    if (camera != 0) {
        known.rect = rect;
        known.rectCamera = camera;
        known.rectGeometry = geometry;
        known.rectSerial = geometrySerial;
    }
    if (!mayBeUnder) {
        return;
    }

    if (!isShapeControlInteractive(path)) {
        return;
    }
    pick.candidate.control = fControls.size();
    fControls.push_back(node);
    pick.candidate.selected = isSelected(path);

    if (mesh != nullptr) {
        pickMesh(pick, *mesh);
    } else {
        pickPolyline(pick, fWorld);
    }
}

bool ShapePick::outlineToWorld(const MObject& node, const MObject& geometry, const Placement& placement)
{
    fWorld.clear();
    if (!geometry.isNull() && isShapeControlCurve(geometry)) {
        MPointArray samples;
        bool closed = false;
        unsigned long long serial = 0;
        if (sampleShapeControlCurve(node, geometry, 0, samples, closed, serial)) {
            fWorld.reserve(samples.length() + 1);
            for (unsigned i = 0; i < samples.length(); ++i) {
                fWorld.push_back(placement.toWorld(samples[i]));
            }
            if (closed && fWorld.size() > 1) {
                fWorld.push_back(fWorld.front());
            }
            return true;
        }
    }
    for (const MPoint& corner : kDefaultSquare) {
        fWorld.push_back(placement.toWorld(corner));
    }
    return true;
}

void ShapePick::pickMesh(PathPick& pick, const MeshPickTree& mesh)
{
    const PatchPick::PickData& tree = mesh.tree;
    // An edge wholly behind the surface hit never ranks above it.
    double edgeDepthLimit = std::numeric_limits<double>::infinity();
    PatchPick::PickHit hit;
    if (fHasRay) {
        const double origin[3] = {fOrigin.x, fOrigin.y, fOrigin.z};
        const double direction[3] = {fDirection.x, fDirection.y, fDirection.z};
        hit = PatchPick::rayPick(tree, origin, direction);
        if (hit.hit) {
            offer(pick, true, 0.0, hit.distance, nullptr);
            edgeDepthLimit = hit.distance * (1.0 + 1e-4);
        }
    }
    // Only the edges of triangles whose boxes reach near the mouse can lie within reach, and
    // only those not wholly outside one side of the window are projected.
    const PatchPick::ScreenWindow* window = windowFor(pick.tolerance);
    const size_t vertexCount = tree.points.size() / 3;
    // A vertex's depth along the ray and its projection are worked out once, however many of
    // the edges near the mouse share it; records of earlier picks carry an older stamp.
    if (++fMeshStamp == 0) {
        fMeshVertices.clear();
        fMeshStamp = 1;
    }
    if (fMeshVertices.size() < vertexCount) {
        fMeshVertices.resize(vertexCount);
    }
    const uint32_t stamp = fMeshStamp;
    auto vertexAt = [&](size_t vertex) -> MeshVertex& {
        MeshVertex& record = fMeshVertices[vertex];
        if (record.stamp != stamp) {
            const double* p = &tree.points[vertex * 3];
            record.stamp = stamp;
            record.state = MeshVertex::kDepthKnown;
            record.depth =
                (p[0] - fOrigin.x) * fDirection.x + (p[1] - fOrigin.y) * fDirection.y + (p[2] - fOrigin.z) * fDirection.z;
            record.outside = window != nullptr ? outsideWindowSides(*window, p) : 0u;
        }
        return record;
    };
    auto projected = [this](MeshVertex& record, const MPoint& world) {
        if (record.state == MeshVertex::kDepthKnown) {
            record.state = fPixels.project(world, record.screen) ? MeshVertex::kProjected : MeshVertex::kOutside;
        }
        return record.state == MeshVertex::kProjected;
    };
    auto testEdge = [&](int a, int b) {
        if (a < 0 || b < 0 || size_t(a) >= vertexCount || size_t(b) >= vertexCount) {
            return;
        }
        MeshVertex& first = vertexAt(size_t(a));
        MeshVertex& second = vertexAt(size_t(b));
        const double nearest = std::min(first.depth, second.depth);
        if (nearest > edgeDepthLimit || fRanking.beyondReach(nearest)) {
            return;
        }
        // Both ends in front of the eye and outside one side of the window: the whole edge
        // projects beyond that side, farther from the mouse than the pick reaches.
        const uint32_t outsideBoth = first.outside & second.outside;
        if ((outsideBoth & kInFront) && (outsideBoth & ~kInFront)) {
            return;
        }
        const double* p = &tree.points[size_t(a) * 3];
        const double* q = &tree.points[size_t(b) * 3];
        const MPoint from(p[0], p[1], p[2]), to(q[0], q[1], q[2]);
        if (projected(first, from) && projected(second, to)) {
            testProjectedSegment(pick, from, to, first.screen, second.screen);
        }
    };
    // An edge within reach nearer than the surface hit usually lies where the surface rises
    // towards the eye (with no hit, towards the mesh): one ray cast there finds it, and then the
    // window leaves out every triangle wholly behind the best candidate so far.
    Point2 likeliest;
    if (fHasRay && window != nullptr && probeDirection(pick, mesh, hit, likeliest)) {
        probe(pick, mesh, likeliest, [&](const MeshPickTree::Triangle& corners) {
            for (int i = 0; i < 3; ++i) {
                testEdge(corners.corners[i], corners.corners[(i + 1) % 3]);
            }
        });
    }
    if (window != nullptr && fRanking.hasBest()) {
        // Anything deeper is beyond the ranking's reach (1e-5 relative, or absolute under 1).
        const double best = fRanking.best().depth;
        edgeDepthLimit = std::min(edgeDepthLimit, best + 2e-5 * std::max(best, 1.0));
    }
    PatchPick::ScreenWindow nearerWindow;
    if (window != nullptr && edgeDepthLimit < std::numeric_limits<double>::infinity()) {
        // Nor can a triangle wholly behind it: the far side of a closed mesh is never walked.
        nearerWindow = *window;
        nearerWindow.beyond[0] = -fDirection.x;
        nearerWindow.beyond[1] = -fDirection.y;
        nearerWindow.beyond[2] = -fDirection.z;
        nearerWindow.beyond[3] = edgeDepthLimit + fDirection * MVector(fOrigin);
        window = &nearerWindow;
    }
    PatchPick::trianglesInWindow(tree, 0, window, fTriangles);
    // The triangles nearest the eye first (by their nearest corner, in 64 slices of depth):
    // once the best candidate lies nearer than a slice beyond the ranking's depth tolerance, no
    // edge of it nor of any slice after it can win, and the walk stops. Most edges near the
    // mouse are never projected.
    constexpr int kSlices = 64;
    fTriangleDepths.clear();
    double nearestOfAll = std::numeric_limits<double>::infinity();
    double farthestOfAll = -std::numeric_limits<double>::infinity();
    for (const uint32_t triangle : fTriangles) {
        if (triangle >= mesh.triangles.size() || mesh.triangles[triangle].edges == 0) {
            continue;
        }
        double nearest = std::numeric_limits<double>::infinity();
        for (const int corner : mesh.triangles[triangle].corners) {
            if (corner >= 0 && size_t(corner) < vertexCount) {
                const double* p = &tree.points[size_t(corner) * 3];
                nearest = std::min(nearest, (p[0] - fOrigin.x) * fDirection.x + (p[1] - fOrigin.y) * fDirection.y +
                                                (p[2] - fOrigin.z) * fDirection.z);
            }
        }
        if (nearest <= edgeDepthLimit) { // also false for a triangle without a vertex
            fTriangleDepths.emplace_back(nearest, triangle);
            nearestOfAll = std::min(nearestOfAll, nearest);
            farthestOfAll = std::max(farthestOfAll, nearest);
        }
    }
    const double sliceScale = farthestOfAll > nearestOfAll ? kSlices / (farthestOfAll - nearestOfAll) : 0.0;
    auto sliceOf = [&](double depth) { return std::min(kSlices - 1, int((depth - nearestOfAll) * sliceScale)); };
    uint32_t sliceStart[kSlices + 1] = {};
    for (const auto& [depth, triangle] : fTriangleDepths) {
        ++sliceStart[sliceOf(depth) + 1];
    }
    for (int slice = 0; slice < kSlices; ++slice) {
        sliceStart[slice + 1] += sliceStart[slice];
    }
    fTriangleOrder.resize(fTriangleDepths.size());
    uint32_t sliceFill[kSlices];
    std::copy(sliceStart, sliceStart + kSlices, sliceFill);
    for (const auto& [depth, triangle] : fTriangleDepths) {
        fTriangleOrder[sliceFill[sliceOf(depth)]++] = triangle;
    }
    for (int slice = 0; slice < kSlices; ++slice) {
        if (sliceStart[slice] == sliceStart[slice + 1]) {
            continue;
        }
        // The slice before's start: no rounding puts a triangle of this slice nearer.
        if (slice > 0 && fRanking.beyondReach(nearestOfAll + (slice - 1) / sliceScale)) {
            break;
        }
        for (uint32_t k = sliceStart[slice]; k < sliceStart[slice + 1]; ++k) {
            const MeshPickTree::Triangle& corners = mesh.triangles[fTriangleOrder[k]];
            for (int i = 0; i < 3; ++i) {
                if (corners.edges & (1u << i)) {
                    testEdge(corners.corners[i], corners.corners[(i + 1) % 3]);
                }
            }
        }
    }
    for (size_t e = 0; e + 1 < mesh.looseEdges.size(); e += 2) {
        testEdge(mesh.looseEdges[e], mesh.looseEdges[e + 1]);
    }
}

bool ShapePick::probeDirection(const PathPick& pick, const MeshPickTree& mesh, const PatchPick::PickHit& hit,
                               Point2& direction)
{
    Point2 from;
    Point2 to;
    if (hit.hit) {
        // Along the surface towards the eye: the ray's reverse less its part along the normal.
        const MVector normal(hit.normal[0], hit.normal[1], hit.normal[2]);
        const MVector rising = -fDirection + (fDirection * normal) * normal;
        const MPoint at = fOrigin + fDirection * hit.distance;
        const double step = pick.tolerance * pixelWorldSize(at);
        if (!(rising.length() > 1e-6) || !(step > 0.0) || !fPixels.project(at, from) ||
            !fPixels.project(at + rising.normal() * step, to)) {
            return false; // the surface faces the eye: no side comes nearer
        }
    } else {
        // Off the mesh: towards the middle of its box.
        const PatchPick::Box& box = mesh.tree.patches[0].bounds;
        const MPoint middle((box.min[0] + box.max[0]) / 2, (box.min[1] + box.max[1]) / 2,
                            (box.min[2] + box.max[2]) / 2);
        from = fMousePoint;
        if (!fPixels.project(middle, to)) {
            return false;
        }
    }
    direction = Point2{to.x - from.x, to.y - from.y};
    return std::sqrt(direction.x * direction.x + direction.y * direction.y) >= 1.0;
}

template <typename TestTriangle>
void ShapePick::probe(const PathPick& pick, const MeshPickTree& mesh, const Point2& direction,
                      TestTriangle&& testTriangle)
{
    const double reach = std::max(pick.tolerance - 1.5, 0.0) / std::sqrt(direction.x * direction.x + direction.y * direction.y);
    MPoint origin;
    MVector ray;
    if (!fPixels.ray(fMouse + QPointF(direction.x * reach, direction.y * reach), origin, ray)) {
        return;
    }
    const double o[3] = {origin.x, origin.y, origin.z};
    const double d[3] = {ray.x, ray.y, ray.z};
    const PatchPick::PickHit hit = PatchPick::rayPick(mesh.tree, o, d);
    if (hit.hit && hit.triangle >= 0 && size_t(hit.triangle) < mesh.triangles.size()) {
        testTriangle(mesh.triangles[size_t(hit.triangle)]);
    }
}

void ShapePick::pickPolyline(PathPick& pick, const std::vector<MPoint>& points)
{
    fScreen.assign(points.size(), Point2());
    fProjected.assign(points.size(), 2);
    for (unsigned i = 0; i + 1 < points.size(); ++i) {
        testSegment(pick, points, i, i + 1);
    }
}

void ShapePick::testSegment(PathPick& pick, const std::vector<MPoint>& world, unsigned i, unsigned j)
{
    // A point shared by several segments is projected once.
    for (unsigned index : {i, j}) {
        if (fProjected[index] == 2) {
            fProjected[index] = fPixels.project(world[index], fScreen[index]) ? 1 : 0;
        }
    }
    if (fProjected[i] && fProjected[j]) {
        testProjectedSegment(pick, world[i], world[j], fScreen[i], fScreen[j]);
    }
}

void ShapePick::testProjectedSegment(PathPick& pick, const MPoint& a, const MPoint& b, const Point2& screenA,
                                     const Point2& screenB)
{
    const ShapeControlPick::SegmentProximity near = ShapeControlPick::closestOnSegment(fMousePoint, screenA, screenB);
    if (!(near.distance <= pick.tolerance) || !fHasRay) {
        return;
    }
    const MPoint onSegment = a + (b - a) * near.parameter;
    const double depth = (onSegment - fOrigin) * fDirection;
    offer(pick, false, near.distance, depth, &onSegment);
}

bool ShapePick::mayBeUnderMouse(const std::vector<MPoint>& world, double tolerance, ScreenRect& rect) const
{
    // Projecting the box's corners only pays for itself with more points than corners.
    if (world.size() <= 8) {
        rect = ScreenRect();
        return true;
    }
    MPoint low = world.front();
    MPoint high = world.front();
    for (const MPoint& p : world) {
        low.x = std::min(low.x, p.x), low.y = std::min(low.y, p.y), low.z = std::min(low.z, p.z);
        high.x = std::max(high.x, p.x), high.y = std::max(high.y, p.y), high.z = std::max(high.z, p.z);
    }
    // The box's points project inside its corners' screen rectangle (each rounded by up to half a
    // pixel, and the mouse ray cast through a rounded pixel). A flat box (a planar curve) has
    // only four distinct corners.
    const int repeated = (high.x == low.x ? 1 : 0) | (high.y == low.y ? 2 : 0) | (high.z == low.z ? 4 : 0);
    MPoint corners[8];
    int count = 0;
    for (int corner = 0; corner < 8; ++corner) {
        if (!(corner & repeated)) {
            corners[count++] =
                MPoint((corner & 1) ? high.x : low.x, (corner & 2) ? high.y : low.y, (corner & 4) ? high.z : low.z);
        }
    }
    rect = screenRectOf(corners, count);
    return rectMayBeUnderMouse(rect, tolerance);
}

const PatchPick::ScreenWindow* ShapePick::windowFor(double tolerance)
{
    if (tolerance != fWindowTolerance) {
        fWindowTolerance = tolerance;
        const double mouse[2] = {fMousePoint.x, fMousePoint.y};
        fWindowValid = fPixels.projector().window(mouse, tolerance, fWindow);
    }
    return fWindowValid ? &fWindow : nullptr;
}

bool ShapePick::boxMayBeUnderMouse(const PatchPick::Box& box, double tolerance, ScreenRect& rect)
{
    MPoint corners[8];
    for (int corner = 0; corner < 8; ++corner) {
        corners[corner] = MPoint((corner & 1) ? box.max[0] : box.min[0], (corner & 2) ? box.max[1] : box.min[1],
                                 (corner & 4) ? box.max[2] : box.min[2]);
    }
    rect = screenRectOf(corners, 8);
    if (!rectMayBeUnderMouse(rect, tolerance)) {
        return false;
    }
    const PatchPick::ScreenWindow* window = windowFor(tolerance);
    return window == nullptr || !PatchPick::boxOutsideWindow(*window, box);
}

ScreenRect ShapePick::screenRectOf(const MPoint* corners, int count) const
{
    // With every corner inside the view, what they enclose lies in front of the eye and
    // projects inside the corners' screen rectangle.
    ScreenRect rect;
    rect.low = Point2{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    rect.high = Point2{-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
    for (int i = 0; i < count; ++i) {
        Point2 projected;
        if (!fPixels.project(corners[i], projected)) {
            return ScreenRect();
        }
        rect.low.x = std::min(rect.low.x, projected.x), rect.low.y = std::min(rect.low.y, projected.y);
        rect.high.x = std::max(rect.high.x, projected.x), rect.high.y = std::max(rect.high.y, projected.y);
    }
    rect.known = true;
    return rect;
}

bool ShapePick::rectMayBeUnderMouse(const ScreenRect& rect, double tolerance) const
{
    const double margin = tolerance + 2.0;
    return !rect.known || (fMousePoint.x >= rect.low.x - margin && fMousePoint.x <= rect.high.x + margin &&
                           fMousePoint.y >= rect.low.y - margin && fMousePoint.y <= rect.high.y + margin);
}

double ShapePick::pixelWorldSize(const MPoint& world)
{
    if (!fNeighbourRaysCast) {
        fNeighbourRaysCast = true;
        const QPointF neighbours[2] = {fMouse + QPointF(1.0, 0.0), fMouse + QPointF(0.0, 1.0)};
        for (int k = 0; k < 2; ++k) {
            fNeighbourValid[k] = fPixels.ray(neighbours[k], fNeighbourOrigin[k], fNeighbourDirection[k]);
        }
    }
    double size = 0.0;
    for (int k = 0; k < 2; ++k) {
        if (fNeighbourValid[k]) {
            size = std::max(size, ((world - fNeighbourOrigin[k]) ^ fNeighbourDirection[k]).length());
        }
    }
    return size;
}

void ShapePick::offer(PathPick& pick, bool surfaceHit, double pixelDistance, double depth, const MPoint* outlinePoint)
{
    if (!pick.hasPathName) {
        MStatus status;
        const MString name = pick.path->fullPathName(&status);
        pick.candidate.pathName = status ? name.asChar() : "";
        pick.hasPathName = true;
    }
    pick.candidate.surfaceHit = surfaceHit;
    pick.candidate.pixelDistance = pixelDistance;
    pick.candidate.depth = depth;
    // The ranking never looks at the radius: it is measured only for a candidate taken.
    if (!fRanking.takes(pick.candidate)) {
        return;
    }
    pick.candidate.worldRadius =
        outlinePoint != nullptr ? std::max(0.2 * pick.tolerance, 1.5) * pixelWorldSize(*outlinePoint) : 0.0;
    fRanking.offer(pick.candidate);
}

} // namespace

namespace {

// Every shape control's DAG paths, walked again only when the DAG may have changed: a control
// made or deleted, or any node gaining or losing a parent (reparenting and instancing). Each
// path has its memo, watched for changes of the control's plugs and of the path's world matrix.
struct ControlPaths
{
    std::vector<MDagPath> paths;
    std::vector<std::unique_ptr<ControlMemo>> memos;
    int controlCount = -1;
    bool valid = false;
    MCallbackIdArray watches;
};

ControlPaths& controlPaths()
{
    static ControlPaths paths;
    return paths;
}

void forgetMemo(void* clientData)
{
    static_cast<ControlMemo*>(clientData)->known = false;
}

void controlPlugDirty(MObject&, MPlug&, void* clientData)
{
    forgetMemo(clientData);
}

void controlMatrixChanged(MObject&, MDagMessage::MatrixModifiedFlags&, void* clientData)
{
    forgetMemo(clientData);
}

// A memo for `path`, kept only while both its watches are in place.
std::unique_ptr<ControlMemo> watchedMemo(MDagPath& path)
{
    auto memo = std::make_unique<ControlMemo>();
    MStatus status[2];
    MObject node = path.node(&status[0]);
    if (!status[0]) {
        return memo;
    }
    memo->watches[0] = MDagMessage::addWorldMatrixModifiedCallback(path, controlMatrixChanged, memo.get(), &status[0]);
    memo->watches[1] = MNodeMessage::addNodeDirtyPlugCallback(node, controlPlugDirty, memo.get(), &status[1]);
    memo->watched = status[0] && status[1];
    return memo;
}

// Drops the paths at once: a path holds its nodes, and a deleted control must be free to go
// (with the plug-in's code) when nothing else needs it.
void dropControlPaths()
{
    ControlPaths& cached = controlPaths();
    for (const std::unique_ptr<ControlMemo>& memo : cached.memos) {
        for (const MCallbackId id : memo->watches) {
            if (id != 0) {
                PELLIX_REPORT(MMessage::removeCallback(id));
            }
        }
    }
    cached.memos.clear();
    cached.paths.clear();
    cached.valid = false;
}

void controlsChanged(MObject&, void*)
{
    dropControlPaths();
}

void parentsChanged(MDagPath&, MDagPath&, void*)
{
    dropControlPaths();
}

// Whether the DAG changes that move controls are watched, watching them on first use.
bool watchingControlChanges(ControlPaths& cached)
{
    if (cached.watches.length() == 4) {
        return true;
    }
    if (cached.watches.length() > 0) {
        PELLIX_REPORT(MMessage::removeCallbacks(cached.watches));
        cached.watches.clear();
    }
    MStatus status[4];
    const MCallbackId ids[4] = {
        MDGMessage::addNodeAddedCallback(controlsChanged, ShapeControl::typeName, nullptr, &status[0]),
        MDGMessage::addNodeRemovedCallback(controlsChanged, ShapeControl::typeName, nullptr, &status[1]),
        MDagMessage::addParentAddedCallback(parentsChanged, nullptr, &status[2]),
        MDagMessage::addParentRemovedCallback(parentsChanged, nullptr, &status[3])};
    for (int i = 0; i < 4; ++i) {
        if (status[i]) {
            cached.watches.append(ids[i]);
        }
    }
    return cached.watches.length() == 4;
}

const ControlPaths& allControlPaths()
{
    ControlPaths& cached = controlPaths();
    const int controlCount = liveShapeControlCount();
    if (cached.valid && cached.controlCount == controlCount && watchingControlChanges(cached)) {
        return cached;
    }
    dropControlPaths();
    MStatus status;
    MItDag it(MItDag::kDepthFirst, MFn::kPluginLocatorNode, &status);
    PELLIX_REPORT(status);
    for (; status && !it.isDone(); it.next()) {
        MDagPath path;
        if (it.getPath(path) && isShapeControlNode(path.node())) {
            cached.paths.push_back(path);
            cached.memos.push_back(watchedMemo(path));
        }
    }
    cached.controlCount = controlCount;
    cached.valid = status && watchingControlChanges(cached);
    return cached;
}

} // namespace

void forgetShapeControlPaths()
{
    ControlPaths& cached = controlPaths();
    if (cached.watches.length() > 0) {
        PELLIX_REPORT(MMessage::removeCallbacks(cached.watches));
        cached.watches.clear();
    }
    dropControlPaths();
}

bool pickShapeControl(M3dView& view, const QPointF& mousePosition, MObject& outNode, double& outDepth,
                      double& outWorldRadius, const MObjectArray* candidates)
{
    outDepth = std::numeric_limits<double>::max();
    outWorldRadius = 0.0;
    ShapePick pick(view, mousePosition);
    if (!pick.hasRay()) {
        return false;
    }

    MStatus status;
    if (candidates) {
        for (unsigned i = 0; i < candidates->length(); ++i) {
            const MObject& node = (*candidates)[i];
            if (node.isNull() || !isShapeControlNode(node)) {
                continue;
            }
            MDagPathArray paths;
            if (!MDagPath::getAllPathsTo(node, paths)) {
                continue;
            }
            for (unsigned p = 0; p < paths.length(); ++p) {
                pick.pickPath(paths[p]);
            }
        }
    } else {
        const ControlPaths& controls = allControlPaths();
        for (size_t i = 0; i < controls.paths.size(); ++i) {
            pick.pickPath(controls.paths[i], controls.memos[i].get());
        }
    }

    if (!pick.ranking().hasBest()) {
        return false;
    }
    const ShapeControlPick::Candidate& best = pick.ranking().best();
    outNode = pick.control(best.control);
    outDepth = best.depth;
    outWorldRadius = best.worldRadius;
    return true;
}

namespace {

const double kReusePixels = 2.0;
const qint64 kReuseMilliseconds = 8;

// The answer is kept without its node (an object of a deleted node must not be held): the
// node is kept as a handle and put back while it is alive.
struct LastUnderMouse
{
    ShapeControlUnderMouse answer;
    MObjectHandle node;
    QPointer<const QWidget> widget;
    QPointF position;
    MMatrix modelView;
    MMatrix projection;
    qint64 time = 0;
    bool hover = false;
    bool valid = false;
};

LastUnderMouse& lastUnderMouse()
{
    static LastUnderMouse last;
    return last;
}

qint64 nowMilliseconds()
{
    static QElapsedTimer timer;
    if (!timer.isValid()) {
        timer.start();
    }
    return timer.elapsed();
}

} // namespace

ShapeControlUnderMouse shapeControlUnderMouse(M3dView& view, const QWidget* widget, const QPointF& position,
                                              bool hover)
{
    LastUnderMouse& last = lastUnderMouse();
    const qint64 now = nowMilliseconds();
    MMatrix modelView;
    MMatrix projection;
    const bool camera = view.modelViewMatrix(modelView) && view.projectionMatrix(projection);
    if (last.valid && camera && last.widget == widget && now - last.time < kReuseMilliseconds &&
        modelView == last.modelView && projection == last.projection) {
        const QPointF travel = position - last.position;
        // A press is never answered from a move: it reuses only the press asked about just now.
        if ((position == last.position && hover == last.hover) ||
            (hover && last.hover && std::fabs(travel.x()) + std::fabs(travel.y()) < kReusePixels)) {
            ShapeControlUnderMouse answer = last.answer;
            answer.hit = answer.hit && last.node.isValid() && last.node.isAlive();
            answer.node = answer.hit ? last.node.object() : MObject::kNullObj;
            return answer;
        }
    }
    ShapeControlUnderMouse answer;
    answer.hit = pickShapeControl(view, position, answer.node, answer.depth, answer.worldRadius, nullptr) &&
                 !answer.node.isNull();
    last.answer = answer;
    last.answer.node = MObject::kNullObj;
    last.node = answer.hit ? MObjectHandle(answer.node) : MObjectHandle();
    last.widget = widget;
    last.position = position;
    last.modelView = modelView;
    last.projection = projection;
    last.time = now;
    last.hover = hover;
    last.valid = camera;
    return answer;
}

void notePatchInFrontOfShapeControl(const QWidget* widget, const QPointF& position)
{
    LastUnderMouse& last = lastUnderMouse();
    if (last.valid && last.widget == widget && last.position == position) {
        last.answer.patchInFront = true;
    }
}

void forgetShapeControlUnderMouse()
{
    lastUnderMouse().valid = false;
}

bool isNearActiveManipulator(M3dView& view, const QPointF& mousePosition)
{
    const CurrentToolContext& context = currentToolContext();
    if (!context.known) {
        return false;
    }
    // A tool is what its class says (a script's "manipMoveContext myMove" is a move tool), and
    // failing that what its name says.
    ShapeControlPick::TransformTool tool = ShapeControlPick::TransformTool::kNone;
    if (context.className.length() > 0) {
        tool = ShapeControlPick::transformToolOfClass(context.className.asChar());
    }
    if (tool == ShapeControlPick::TransformTool::kNone) {
        tool = ShapeControlPick::transformToolNamed(context.name.asChar());
    }
    if (tool == ShapeControlPick::TransformTool::kNone) {
        return false;
    }
    MSelectionList selection;
    if (!MGlobal::getActiveSelectionList(selection) || selection.isEmpty()) {
        return false;
    }
    const double globalSize = MFnManip3D::globalSize();
    const ViewPixels pixels(view);
    const Point2 mouse{mousePosition.x(), mousePosition.y()};
    static const MVector kAxes[3] = {MVector(1, 0, 0), MVector(0, 1, 0), MVector(0, 0, 1)};

    for (unsigned i = 0; i < selection.length(); ++i) {
        MDagPath path;
        if (!selection.getDagPath(i, path)) {
            continue;
        }
        while (path.length() > 0 && !path.hasFn(MFn::kTransform)) {
            path.pop();
        }
        if (path.length() == 0) {
            continue;
        }
        MStatus status;
        const MFnTransform transform(path, &status);
        if (!status) {
            continue;
        }
        const MPoint pivot = transform.rotatePivot(MSpace::kWorld, &status);
        Point2 centre;
        if (!status || !pixels.project(pivot, centre)) {
            continue;
        }
        Point2 tips[3];
        bool tipValid[3] = {false, false, false};
        if (tool != ShapeControlPick::TransformTool::kRotate) {
            for (int axis = 0; axis < 3; ++axis) {
                tipValid[axis] = pixels.project(pivot + kAxes[axis], tips[axis]);
            }
        }
        if (ShapeControlPick::isNearManipulator(tool, mouse, centre, tips, tipValid, globalSize)) {
            return true;
        }
    }
    return false;
}
