#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MFnMesh.h>

#include "dg/FnSet.h"
#include "dg/Node.h"
#include "geometry/GeometryStatus.h"
#include "geometry/MeshBvh.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"
#include "geometry/Triangulate.h"
#include "testing/HostMeshFaultCommand.h"

#include <maya/MMatrix.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

using host::MeshData;
using host::MeshGeometry;
using host::MeshGeometryPtr;
using host::MeshShapeNode;

namespace {

// The geometry a function set reads: a mesh data object, or a shape's outMesh.
const MeshGeometry* readGeometry(const MObject& object, MObject& holder, MStatus* status)
{
    if (object.hasFn(MFn::kMeshData)) {
        holder = object;
    } else if (object.hasFn(MFn::kMesh)) {
        MStatus plugStatus;
        holder = MPlug(object, MeshShapeNode::outMesh).asMObject(&plugStatus);
        if (!plugStatus) {
            host::setStatus(status, plugStatus);
            return nullptr;
        }
    } else {
        host::setStatus(status, MS::kInvalidParameter);
        return nullptr;
    }
    const MeshData* data = host::meshDataOf(holder);
    host::setStatus(status, data ? MS::kSuccess : MS::kFailure);
    return data ? &data->read() : nullptr;
}

// World matrix of what the function set is attached to; fails without one.
MStatus worldMatrixOf(const MObject& object, const MDagPath& path, MMatrix& matrix)
{
    if (const MeshData* data = host::meshDataOf(object)) {
        matrix = data->matrix;
        return MS::kSuccess;
    }
    if (!path.isValid())
        return MS::kInvalidParameter;
    MStatus status;
    matrix = path.inclusiveMatrix(&status);
    return status;
}

MPoint pointOf(const MeshGeometry& g, int vertex)
{
    const float* p = &g.points[size_t(vertex) * 3];
    return MPoint(p[0], p[1], p[2]);
}

MVector normalToSpace(const MVector& n, const MMatrix* world)
{
    if (!world)
        return n;
    MVector out = n * world->inverse().transpose();
    return out.normal();
}

template <class PointArray>
std::vector<float> flatten(const PointArray& array, unsigned count)
{
    std::vector<float> flat(size_t(count) * 3);
    for (unsigned i = 0; i < count; ++i) {
        flat[size_t(i) * 3] = float(array[i].x);
        flat[size_t(i) * 3 + 1] = float(array[i].y);
        flat[size_t(i) * 3 + 2] = float(array[i].z);
    }
    return flat;
}

std::vector<int> toVector(const MIntArray& array)
{
    std::vector<int> v(array.length());
    for (unsigned i = 0; i < array.length(); ++i)
        v[i] = array[i];
    return v;
}

double cornerWeight(const MeshGeometry& g, int face, int corner)
{
    const int* fv = g.connects.data() + g.offsets[size_t(face)];
    const int n = g.counts[size_t(face)];
    return host::cornerAngle(g.points.data(), fv[(corner + n - 1) % n], fv[corner], fv[(corner + 1) % n]);
}

bool validFace(const MeshGeometry& g, int face)
{
    return face >= 0 && face < g.numFaces();
}

} // namespace

MFnMesh::MFnMesh() = default;
MFnMesh::MFnMesh(MObject& object, MStatus* ReturnStatus) { init(object, ReturnStatus); }
MFnMesh::MFnMesh(const MObject& object, MStatus* ReturnStatus) { init(object, ReturnStatus); }
MFnMesh::MFnMesh(const MDagPath& object, MStatus* ReturnStatus)
{
    host::setStatus(ReturnStatus, setObject(object));
}
MFnMesh::~MFnMesh() = default;

MFn::Type MFnMesh::type() const
{
    return MFn::kMesh;
}

MStatus MFnMesh::setObject(MObject& object)
{
    return setObject(static_cast<const MObject&>(object));
}

MStatus MFnMesh::setObject(const MObject& object)
{
    if (object.hasFn(MFn::kMeshData)) {
        fPath = MDagPath();
        mObject = object;
        return MS::kSuccess;
    }
    return MFnDagNode::setObject(object);
}

MStatus MFnMesh::setObject(const MDagPath& path)
{
    MStatus status;
    MObject node = path.node(&status);
    if (!status || !node.hasFn(MFn::kMesh)) {
        MFnDagNode::setObject(MObject::kNullObj);
        return MS::kInvalidParameter;
    }
    return MFnDagNode::setObject(path);
}

// ---------------------------------------------------------------------------
// Creation

namespace {

// Puts geometry into a mesh data object, into a new shape under a transform,
// or (null owner) into a new transform and shape. Returns what Maya returns:
// the data, the new shape, or the new transform.
MObject storeNewGeometry(MeshGeometryPtr geometry, const MObject& owner, MObject& attachTo, MStatus& status)
{
    if (MeshData* data = host::meshDataOf(owner)) {
        data->replace(std::move(geometry));
        attachTo = owner;
        status = MS::kSuccess;
        return owner;
    }
    if (!owner.isNull() && !owner.hasFn(MFn::kTransform)) {
        status = MS::kInvalidParameter;
        return MObject();
    }
    MFnDagNode dag;
    MObject created = dag.create("mesh", owner, &status);
    if (!status)
        return MObject();
    MObject shape = created;
    if (owner.isNull()) {
        shape = dag.child(0, &status);
        if (!status)
            return MObject();
    }
    MObject data = MeshData::make(std::move(geometry));
    status = MPlug(shape, MeshShapeNode::cachedInMesh).setMObject(data);
    if (!status)
        return MObject();
    attachTo = shape;
    return created;
}

} // namespace

MObject MFnMesh::create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects, MObject parentOrOwner,
                        MStatus* ReturnStatus)
{
    MFloatArray none;
    return create(numVertices, numPolygons, vertexArray, polygonCounts, polygonConnects, none, none, parentOrOwner,
                  ReturnStatus);
}

MObject MFnMesh::create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects, MObject parentOrOwner,
                        MStatus* ReturnStatus)
{
    MFloatArray none;
    return create(numVertices, numPolygons, vertexArray, polygonCounts, polygonConnects, none, none, parentOrOwner,
                  ReturnStatus);
}

MObject MFnMesh::create(int numVertices, int numPolygons, const MPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects, const MFloatArray& uArray,
                        const MFloatArray& vArray, MObject parentOrOwner, MStatus* ReturnStatus)
{
    MFloatPointArray points;
    points.setLength(vertexArray.length());
    for (unsigned i = 0; i < vertexArray.length(); ++i)
        points[i] = MFloatPoint(vertexArray[i]);
    return create(numVertices, numPolygons, points, polygonCounts, polygonConnects, uArray, vArray, parentOrOwner,
                  ReturnStatus);
}

MObject MFnMesh::create(int numVertices, int numPolygons, const MFloatPointArray& vertexArray,
                        const MIntArray& polygonCounts, const MIntArray& polygonConnects, const MFloatArray& uArray,
                        const MFloatArray& vArray, MObject parentOrOwner, MStatus* ReturnStatus)
{
    if (numVertices < 0 || numPolygons < 0 || unsigned(numVertices) > vertexArray.length() ||
        unsigned(numPolygons) != polygonCounts.length()) {
        host::setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    auto geometry = std::make_shared<MeshGeometry>();
    if (!geometry->setTopology(flatten(vertexArray, unsigned(numVertices)), toVector(polygonCounts),
                               toVector(polygonConnects))) {
        host::setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    // The UVs fill the default set's list; faces take them only through assignUVs.
    if (uArray.length() != vArray.length()) {
        host::setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    if (uArray.length() > 0) {
        std::vector<float> u(uArray.length()), v(vArray.length());
        for (unsigned i = 0; i < uArray.length(); ++i) {
            u[i] = uArray[i];
            v[i] = vArray[i];
        }
        geometry->setUVSet("map1", std::move(u), std::move(v), std::vector<int>(polygonConnects.length(), -1));
    }
    MStatus status;
    MObject attach;
    MObject result = storeNewGeometry(geometry, parentOrOwner, attach, status);
    if (status)
        status = setObject(attach);
    host::setStatus(ReturnStatus, status);
    return status ? result : MObject();
}

MObject MFnMesh::copy(const MObject& source, MObject parentOrOwner, MStatus* ReturnStatus)
{
    MObject holder;
    MStatus status;
    const MeshGeometry* g = readGeometry(source, holder, &status);
    if (!g) {
        host::setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    MObject attach;
    MObject result = storeNewGeometry(std::make_shared<MeshGeometry>(*g), parentOrOwner, attach, status);
    if (status)
        status = setObject(attach);
    host::setStatus(ReturnStatus, status);
    return status ? result : MObject();
}

// ---------------------------------------------------------------------------
// Counts

#define MESH_READ(fail)                                       \
    MObject holder_;                                          \
    MStatus readStatus_;                                      \
    const MeshGeometry* g = readGeometry(mObject, holder_, &readStatus_); \
    if (!g)                                                   \
        return fail

#define MESH_COUNT(expr)                                      \
    MObject holder_;                                          \
    const MeshGeometry* g = readGeometry(mObject, holder_, ReturnStatus); \
    return g ? int(expr) : 0

int MFnMesh::numVertices(MStatus* ReturnStatus) const { MESH_COUNT(g->numVertices()); }
int MFnMesh::numEdges(MStatus* ReturnStatus) const { MESH_COUNT(g->numEdges()); }
int MFnMesh::numPolygons(MStatus* ReturnStatus) const { MESH_COUNT(g->numFaces()); }
int MFnMesh::numFaceVertices(MStatus* ReturnStatus) const { MESH_COUNT(g->numFaceVertices()); }
int MFnMesh::numNormals(MStatus* ReturnStatus) const { MESH_COUNT(g->normals().size() / 3); }
int MFnMesh::numUVs(MStatus* ReturnStatus) const { MESH_COUNT(g->uvSet(nullptr) ? g->uvSet(nullptr)->u.size() : 0); }

int MFnMesh::numUVs(const MString& uvSet, MStatus* ReturnStatus) const
{
    MObject holder;
    const MeshGeometry* g = readGeometry(mObject, holder, ReturnStatus);
    const host::MeshUVSet* set = g ? g->uvSet(&uvSet) : nullptr;
    if (g && !set)
        host::setStatus(ReturnStatus, MS::kInvalidParameter);
    return set ? int(set->u.size()) : 0;
}

// ---------------------------------------------------------------------------
// Points

MStatus MFnMesh::getPoints(MPointArray& vertexArray, MSpace::Space space) const
{
    MESH_READ(readStatus_);
    MMatrix world;
    const bool inWorld = space == MSpace::kWorld;
    if (inWorld)
        GEO_CHECK(worldMatrixOf(mObject, fPath, world));
    const unsigned n = unsigned(g->numVertices());
    vertexArray.setLength(n);
    for (unsigned i = 0; i < n; ++i)
        vertexArray[i] = inWorld ? pointOf(*g, int(i)) * world : pointOf(*g, int(i));
    return MS::kSuccess;
}

MStatus MFnMesh::getPoints(MFloatPointArray& vertexArray, MSpace::Space space) const
{
    MPointArray points;
    GEO_CHECK(getPoints(points, space));
    vertexArray.setLength(points.length());
    for (unsigned i = 0; i < points.length(); ++i)
        vertexArray[i] = MFloatPoint(points[i]);
    return MS::kSuccess;
}

MStatus MFnMesh::getPoint(int vertexId, MPoint& pos, MSpace::Space space) const
{
    MESH_READ(readStatus_);
    if (vertexId < 0 || vertexId >= g->numVertices())
        return MS::kInvalidParameter;
    pos = pointOf(*g, vertexId);
    if (space == MSpace::kWorld) {
        MMatrix world;
        GEO_CHECK(worldMatrixOf(mObject, fPath, world));
        pos = pos * world;
    }
    return MS::kSuccess;
}

MStatus MFnMesh::setPoints(MFloatPointArray& vertexArray, MSpace::Space space)
{
    // Object-space points on mesh data (a deformer writing its output) go straight into the
    // mesh's own single-precision points, in one pass and without a double-precision copy.
    MeshData* data = space == MSpace::kWorld ? nullptr : host::meshDataOf(mObject);
    if (data) {
        const size_t n = vertexArray.length();
        if (int64_t(n) != data->read().numVertices())
            return MS::kInvalidParameter;
        MeshGeometry& g = data->edit();
        float* out = g.points.overwrite(n * 3);
        const float* in = n > 0 ? &vertexArray[0].x : nullptr;
        // x, y, z, w stored as one block: the next point overwrites the w, so only the last point
        // is stored coordinate by coordinate.
        for (size_t i = 0; i + 1 < n; ++i, out += 3, in += 4)
            std::memcpy(out, in, 4 * sizeof(float));
        if (n > 0)
            std::memcpy(out, in, 3 * sizeof(float));
        g.touchPoints();
        return MS::kSuccess;
    }
    MPointArray points;
    points.setLength(vertexArray.length());
    for (unsigned i = 0; i < vertexArray.length(); ++i)
        points[i] = MPoint(vertexArray[i]);
    return setPoints(points, space);
}

// On a shape the points replace its own geometry's and its tweaks are cleared
// (with an inMesh connection the tweaks take the difference instead).
MStatus MFnMesh::setPoints(MPointArray& vertexArray, MSpace::Space space)
{
    MESH_READ(readStatus_);
    if (int(vertexArray.length()) != g->numVertices())
        return MS::kInvalidParameter;
    MMatrix toObject;
    if (space == MSpace::kWorld) {
        GEO_CHECK(worldMatrixOf(mObject, fPath, toObject));
        toObject = toObject.inverse();
    }
    std::vector<float> flat(size_t(vertexArray.length()) * 3);
    for (unsigned i = 0; i < vertexArray.length(); ++i) {
        MPoint p = space == MSpace::kWorld ? vertexArray[i] * toObject : vertexArray[i];
        flat[size_t(i) * 3] = float(p.x);
        flat[size_t(i) * 3 + 1] = float(p.y);
        flat[size_t(i) * 3 + 2] = float(p.z);
    }
    if (MeshData* data = host::meshDataOf(mObject)) {
        data->edit().setPoints(std::move(flat));
        return MS::kSuccess;
    }
    MStatus status;
    MPlug tweaks(mObject, MeshShapeNode::pnts);
    const bool connected = MPlug(mObject, MeshShapeNode::inMesh).isConnected(&status);
    GEO_CHECK(status);
    if (connected) {
        // Tweak = wanted - input.
        MObject input = MPlug(mObject, MeshShapeNode::inMesh).asMObject(&status);
        GEO_CHECK(status);
        const MeshData* in = host::meshDataOf(input);
        if (!in || in->read().numVertices() != g->numVertices())
            return MS::kFailure;
        for (int v = 0; v < g->numVertices(); ++v) {
            MPlug element = tweaks.elementByLogicalIndex(unsigned(v), &status);
            GEO_CHECK(status);
            for (unsigned k = 0; k < 3; ++k)
                GEO_CHECK(element.child(k).setFloat(flat[size_t(v) * 3 + k] - in->read().points[size_t(v) * 3 + k]));
        }
        return MS::kSuccess;
    }
    const unsigned existing = tweaks.numElements(&status);
    GEO_CHECK(status);
    for (unsigned i = 0; i < existing; ++i) {
        MPlug element = tweaks.elementByPhysicalIndex(i, &status);
        GEO_CHECK(status);
        for (unsigned k = 0; k < 3; ++k)
            GEO_CHECK(element.child(k).setFloat(0.0f));
    }
    MPlug cached(mObject, MeshShapeNode::cachedInMesh);
    MObject current = cached.asMObject(&status);
    GEO_CHECK(status);
    const MeshData* own = host::meshDataOf(current);
    auto geometry = std::make_shared<MeshGeometry>(own ? own->read() : *g);
    if (geometry->numVertices() != g->numVertices())
        return MS::kFailure;
    geometry->setPoints(std::move(flat));
    return cached.setMObject(MeshData::make(geometry));
}

const float* MFnMesh::getRawPoints(MStatus* ReturnStatus)
{
    if (host::rawPointsRefused()) {  // hostMeshFault -refuseRawPoints
        host::setStatus(ReturnStatus, MS::kFailure);
        return nullptr;
    }
    const MeshGeometry* g = readGeometry(mObject, fHolder, ReturnStatus);
    return g ? g->points.data() : nullptr;
}

const float* MFnMesh::getRawNormals(MStatus* ReturnStatus) const
{
    const MeshGeometry* g = readGeometry(mObject, fHolder, ReturnStatus);
    return g ? g->normals().data() : nullptr;
}

// ---------------------------------------------------------------------------
// Normals

MStatus MFnMesh::getNormals(MFloatVectorArray& normals, MSpace::Space space) const
{
    MESH_READ(readStatus_);
    MMatrix world;
    if (space == MSpace::kWorld)
        GEO_CHECK(worldMatrixOf(mObject, fPath, world));
    const std::vector<float>& raw = g->normals();
    const unsigned n = unsigned(raw.size() / 3);
    normals.setLength(n);
    for (unsigned i = 0; i < n; ++i) {
        MVector v(raw[size_t(i) * 3], raw[size_t(i) * 3 + 1], raw[size_t(i) * 3 + 2]);
        normals[i] = MFloatVector(normalToSpace(v, space == MSpace::kWorld ? &world : nullptr));
    }
    return MS::kSuccess;
}

MStatus MFnMesh::getVertexNormals(bool angleWeighted, MFloatVectorArray& normals, MSpace::Space space) const
{
    MESH_READ(readStatus_);
    MMatrix world;
    if (space == MSpace::kWorld)
        GEO_CHECK(worldMatrixOf(mObject, fPath, world));
    std::vector<double> sums(size_t(g->numVertices()) * 3, 0.0);
    const std::vector<float>& faceNormals = g->faceNormals();
    for (int f = 0; f < g->numFaces(); ++f) {
        const int begin = g->offsets[size_t(f)], n = g->counts[size_t(f)];
        for (int i = 0; i < n; ++i) {
            const int v = g->connects[size_t(begin + i)];
            double w = angleWeighted ? cornerWeight(*g, f, i) : 1.0;
            for (int k = 0; k < 3; ++k)
                sums[size_t(v) * 3 + k] += w * faceNormals[size_t(f) * 3 + k];
        }
    }
    normals.setLength(unsigned(g->numVertices()));
    for (unsigned v = 0; v < normals.length(); ++v) {
        MVector n(sums[size_t(v) * 3], sums[size_t(v) * 3 + 1], sums[size_t(v) * 3 + 2]);
        if (n.length() > 0)
            n.normalize();
        normals[v] = MFloatVector(normalToSpace(n, space == MSpace::kWorld ? &world : nullptr));
    }
    return MS::kSuccess;
}

MStatus MFnMesh::getVertexNormal(int vertexId, bool angleWeighted, MVector& normal, MSpace::Space space) const
{
    MESH_READ(readStatus_);
    if (vertexId < 0 || vertexId >= g->numVertices())
        return MS::kInvalidParameter;
    MMatrix world;
    if (space == MSpace::kWorld)
        GEO_CHECK(worldMatrixOf(mObject, fPath, world));
    const std::vector<float>& faceNormals = g->faceNormals();
    MVector sum(0, 0, 0);
    for (int f = 0; f < g->numFaces(); ++f) {
        const int begin = g->offsets[size_t(f)], n = g->counts[size_t(f)];
        for (int i = 0; i < n; ++i)
            if (g->connects[size_t(begin + i)] == vertexId) {
                double w = angleWeighted ? cornerWeight(*g, f, i) : 1.0;
                sum += w * MVector(faceNormals[size_t(f) * 3], faceNormals[size_t(f) * 3 + 1],
                                   faceNormals[size_t(f) * 3 + 2]);
            }
    }
    if (sum.length() > 0)
        sum.normalize();
    normal = normalToSpace(sum, space == MSpace::kWorld ? &world : nullptr);
    return MS::kSuccess;
}

MStatus MFnMesh::getFaceNormalIds(int faceIndex, MIntArray& normals) const
{
    MESH_READ(readStatus_);
    if (!validFace(*g, faceIndex))
        return MS::kInvalidParameter;
    const std::vector<int>& ids = g->normalIds();
    const int begin = g->offsets[size_t(faceIndex)], n = g->counts[size_t(faceIndex)];
    // hostMeshFault -invalidNormalIds: ids past the last normal, as a damaged mesh gives.
    const int shift = host::meshHasInvalidNormalIds(mObject) ? int(g->normals().size() / 3) : 0;
    normals.setLength(unsigned(n));
    for (int i = 0; i < n; ++i)
        normals[unsigned(i)] = ids[size_t(begin + i)] + shift;
    return MS::kSuccess;
}

MStatus MFnMesh::getPolygonNormal(int polygonId, MVector& normal, MSpace::Space space) const
{
    MESH_READ(readStatus_);
    if (!validFace(*g, polygonId))
        return MS::kInvalidParameter;
    MMatrix world;
    if (space == MSpace::kWorld)
        GEO_CHECK(worldMatrixOf(mObject, fPath, world));
    const float* n = &g->faceNormals()[size_t(polygonId) * 3];
    normal = normalToSpace(MVector(n[0], n[1], n[2]), space == MSpace::kWorld ? &world : nullptr);
    return MS::kSuccess;
}

// ---------------------------------------------------------------------------
// Topology

MStatus MFnMesh::getTriangles(MIntArray& triangleCounts, MIntArray& triangleVertices) const
{
    MESH_READ(readStatus_);
    const std::vector<int>& counts = g->triangleCounts();
    const std::vector<int>& corners = g->triangleCorners();
    const std::vector<int>& triOffsets = g->triangleOffsets();
    triangleCounts.setLength(unsigned(counts.size()));
    triangleVertices.setLength(unsigned(corners.size()));
    for (size_t f = 0; f < counts.size(); ++f) {
        triangleCounts[unsigned(f)] = counts[f];
        for (int c = triOffsets[f] * 3; c < triOffsets[f + 1] * 3; ++c)
            triangleVertices[unsigned(c)] = g->connects[size_t(g->offsets[f] + corners[size_t(c)])];
    }
    return MS::kSuccess;
}

MStatus MFnMesh::getTriangleOffsets(MIntArray& triangleCounts, MIntArray& triangleIndices) const
{
    MESH_READ(readStatus_);
    const std::vector<int>& counts = g->triangleCounts();
    const std::vector<int>& corners = g->triangleCorners();
    triangleCounts.setLength(unsigned(counts.size()));
    for (size_t f = 0; f < counts.size(); ++f)
        triangleCounts[unsigned(f)] = counts[f];
    triangleIndices.setLength(unsigned(corners.size()));
    for (size_t c = 0; c < corners.size(); ++c)
        triangleIndices[unsigned(c)] = corners[c];
    return MS::kSuccess;
}

// One polygon's triangles as getTriangles would list them, worked out for that polygon alone so
// that asking after a points change costs the polygon, not the mesh.
MStatus MFnMesh::getPolygonTriangleVertices(int polygonId, int triangleId, int triangleVertices[3]) const
{
    MESH_READ(readStatus_);
    if (!validFace(*g, polygonId) || triangleId < 0)
        return MS::kInvalidParameter;
    const host::MeshHole* holes = g->holes.data();
    if (std::any_of(holes, holes + g->holes.size(), [polygonId](const host::MeshHole& h) { return h.face == polygonId; }))
        return MS::kInvalidParameter;
    const int* face = g->connects.data() + g->offsets[size_t(polygonId)];
    std::vector<int> corners, scratch;
    if (triangleId >= host::triangulateFace(g->points.data(), face, g->counts[size_t(polygonId)], corners, scratch))
        return MS::kInvalidParameter;
    for (int k = 0; k < 3; ++k)
        triangleVertices[k] = face[corners[size_t(triangleId) * 3 + size_t(k)]];
    return MS::kSuccess;
}

MStatus MFnMesh::getEdgeVertices(int edgeId, int2& vertexList) const
{
    MESH_READ(readStatus_);
    if (edgeId < 0 || edgeId >= g->numEdges())
        return MS::kInvalidParameter;
    vertexList[0] = g->edgeVertices[size_t(edgeId) * 2];
    vertexList[1] = g->edgeVertices[size_t(edgeId) * 2 + 1];
    return MS::kSuccess;
}

bool MFnMesh::isEdgeSmooth(int edgeId, MStatus* ReturnStatus) const
{
    MObject holder;
    const MeshGeometry* g = readGeometry(mObject, holder, ReturnStatus);
    if (!g)
        return false;
    if (edgeId < 0 || edgeId >= g->numEdges()) {
        host::setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    return g->edgeSmooth[size_t(edgeId)] != 0;
}

MStatus MFnMesh::getPolygonVertices(int polygonId, MIntArray& vertexList) const
{
    MESH_READ(readStatus_);
    if (!validFace(*g, polygonId))
        return MS::kInvalidParameter;
    const int begin = g->offsets[size_t(polygonId)], n = g->counts[size_t(polygonId)];
    vertexList.setLength(unsigned(n));
    for (int i = 0; i < n; ++i)
        vertexList[unsigned(i)] = g->connects[size_t(begin + i)];
    return MS::kSuccess;
}

MStatus MFnMesh::getVertices(MIntArray& vertexCount, MIntArray& vertexList) const
{
    MESH_READ(readStatus_);
    vertexCount.setLength(unsigned(g->counts.size()));
    for (size_t i = 0; i < g->counts.size(); ++i)
        vertexCount[unsigned(i)] = g->counts[i];
    vertexList.setLength(unsigned(g->connects.size()));
    for (size_t i = 0; i < g->connects.size(); ++i)
        vertexList[unsigned(i)] = g->connects[i];
    return MS::kSuccess;
}

// ---------------------------------------------------------------------------
// UVs

MStatus MFnMesh::getPolygonUVid(int polygonId, int vertexIndex, int& uvId, const MString* uvSet) const
{
    MESH_READ(readStatus_);
    const host::MeshUVSet* set = g->uvSet(uvSet);
    if (!set || !validFace(*g, polygonId) || vertexIndex < 0 || vertexIndex >= g->counts[size_t(polygonId)])
        return MS::kInvalidParameter;
    const int id = set->ids[size_t(g->offsets[size_t(polygonId)] + vertexIndex)];
    if (id < 0)
        return MS::kFailure;  // this face has no UVs in the set
    uvId = id;
    return MS::kSuccess;
}

MStatus MFnMesh::getPolygonUV(int polygonId, int vertexIndex, float& u, float& v, const MString* uvSet) const
{
    int id = -1;
    GEO_CHECK(getPolygonUVid(polygonId, vertexIndex, id, uvSet));
    MESH_READ(readStatus_);
    const host::MeshUVSet* set = g->uvSet(uvSet);
    u = set->u[size_t(id)];
    v = set->v[size_t(id)];
    return MS::kSuccess;
}

// Gives each face the UVs of its corners (uvCounts[f] is 0 for a face without UVs, else its
// corner count), in a data object or in a shape's own geometry.
MStatus MFnMesh::assignUVs(const MIntArray& uvCounts, const MIntArray& uvIds, const MString* uvSet)
{
    MESH_READ(readStatus_);
    const host::MeshUVSet* set = g->uvSet(uvSet);
    if (!set || int(uvCounts.length()) != g->numFaces())
        return MS::kInvalidParameter;
    std::vector<int> ids(size_t(g->numFaceVertices()), -1);
    unsigned next = 0;
    size_t corner = 0;
    for (int f = 0; f < g->numFaces(); ++f) {
        const int count = g->counts[size_t(f)];
        if (uvCounts[unsigned(f)] != 0 && uvCounts[unsigned(f)] != count)
            return MS::kInvalidParameter;
        for (int k = 0; k < uvCounts[unsigned(f)]; ++k, ++next) {
            if (next >= uvIds.length() || uvIds[next] < 0 || size_t(uvIds[next]) >= set->u.size())
                return MS::kInvalidParameter;
            ids[corner + size_t(k)] = uvIds[next];
        }
        corner += size_t(count);
    }
    if (next != uvIds.length())
        return MS::kInvalidParameter;
    const MString name = set->name;
    std::vector<float> u(set->u.begin(), set->u.end());
    std::vector<float> v(set->v.begin(), set->v.end());
    if (MeshData* data = host::meshDataOf(mObject))
        return data->edit().setUVSet(name, std::move(u), std::move(v), std::move(ids)) ? MS::kSuccess
                                                                                     : MS::kFailure;
    // A shape's own geometry; one fed through inMesh keeps what its input gives.
    MStatus status;
    if (MPlug(mObject, MeshShapeNode::inMesh).isConnected(&status) || !status)
        return MS::kFailure;
    MPlug cached(mObject, MeshShapeNode::cachedInMesh);
    const MObject current = cached.asMObject(&status);
    GEO_CHECK(status);
    const MeshData* own = host::meshDataOf(current);
    if (!own)
        return MS::kFailure;
    auto geometry = std::make_shared<MeshGeometry>(own->read());
    if (!geometry->setUVSet(name, std::move(u), std::move(v), std::move(ids)))
        return MS::kFailure;
    return cached.setMObject(MeshData::make(geometry));
}

MStatus MFnMesh::getUVs(MFloatArray& uArray, MFloatArray& vArray, const MString* uvSet) const
{
    MESH_READ(readStatus_);
    const host::MeshUVSet* set = g->uvSet(uvSet);
    if (!set) {
        if (uvSet && uvSet->length() > 0)
            return MS::kInvalidParameter;
        uArray.clear();
        vArray.clear();
        return MS::kSuccess;
    }
    uArray.setLength(unsigned(set->u.size()));
    vArray.setLength(unsigned(set->v.size()));
    for (size_t i = 0; i < set->u.size(); ++i) {
        uArray[unsigned(i)] = set->u[i];
        vArray[unsigned(i)] = set->v[i];
    }
    return MS::kSuccess;
}

MStatus MFnMesh::getCurrentUVSetName(MString& setName, int instance) const
{
    MESH_READ(readStatus_);
    const host::MeshUVSet* set = g->uvSet(nullptr);
    setName = set ? set->name : MString();
    return MS::kSuccess;
}

MString MFnMesh::currentUVSetName(MStatus* ReturnStatus, int instance) const
{
    MString name;
    host::setStatus(ReturnStatus, getCurrentUVSetName(name, instance));
    return name;
}

// ---------------------------------------------------------------------------
// Closest point and intersection

namespace {

// Closest point in the asked space; the hit keeps object-space details.
MStatus closestHit(const MeshGeometry& g, const MObject& object, const MDagPath& path, const MPoint& query,
                   MSpace::Space space, MMatrix& world, host::MeshHit& hit, MPoint& closest)
{
    const bool inWorld = space == MSpace::kWorld;
    if (inWorld)
        GEO_CHECK(worldMatrixOf(object, path, world));
    const MPoint local = inWorld ? query * world.inverse() : query;
    const double at[3] = {local.x, local.y, local.z};
    if (!g.bvh().closestPoint(at, hit))
        return MS::kFailure;
    closest = MPoint(hit.point[0], hit.point[1], hit.point[2]);
    if (inWorld)
        closest = closest * world;
    return MS::kSuccess;
}

} // namespace

MStatus MFnMesh::getClosestPointAndNormal(const MPoint& toThisPoint, MPoint& theClosestPoint, MVector& theNormal,
                                          MSpace::Space space, int* closestPolygon) const
{
    MESH_READ(readStatus_);
    MMatrix world;
    host::MeshHit hit;
    GEO_CHECK(closestHit(*g, mObject, fPath, toThisPoint, space, world, hit, theClosestPoint));
    // Shading normal: the hit triangle's corner normals blended by the weights.
    const std::vector<int>& ids = g->normalIds();
    const std::vector<float>& normals = g->normals();
    const int* corners = &g->triangleCorners()[size_t(g->triangleOffsets()[size_t(hit.face)] + hit.triangle) * 3];
    const double weights[3] = {hit.bary1, hit.bary2, 1 - hit.bary1 - hit.bary2};
    MVector n(0, 0, 0);
    for (int c = 0; c < 3; ++c) {
        const float* cn = &normals[size_t(ids[size_t(g->offsets[size_t(hit.face)] + corners[c])]) * 3];
        n += weights[c] * MVector(cn[0], cn[1], cn[2]);
    }
    if (n.length() > 0)
        n.normalize();
    theNormal = normalToSpace(n, space == MSpace::kWorld ? &world : nullptr);
    if (closestPolygon)
        *closestPolygon = hit.face;
    return MS::kSuccess;
}

MStatus MFnMesh::getClosestPoint(const MPoint& toThisPoint, MPoint& theClosestPoint, MSpace::Space space,
                                 int* closestPolygon) const
{
    MESH_READ(readStatus_);
    MMatrix world;
    host::MeshHit hit;
    GEO_CHECK(closestHit(*g, mObject, fPath, toThisPoint, space, world, hit, theClosestPoint));
    if (closestPolygon)
        *closestPolygon = hit.face;
    return MS::kSuccess;
}

namespace {

// Intersection restricted to some faces (and triangles): checked one by one.
bool intersectListed(const MeshGeometry& g, const double o[3], const double d[3], double tMin, double tMax,
                     const MIntArray& faceIds, const MIntArray* triIds, host::MeshHit& best, double tolerance)
{
    bool found = false;
    const std::vector<int>& corners = g.triangleCorners();
    const std::vector<int>& triOffsets = g.triangleOffsets();
    for (unsigned i = 0; i < faceIds.length(); ++i) {
        const int f = faceIds[i];
        if (!validFace(g, f))
            continue;
        const int first = triOffsets[size_t(f)], count = triOffsets[size_t(f) + 1] - first;
        for (int t = 0; t < count; ++t) {
            if (triIds && (i >= triIds->length() || (*triIds)[i] != t))
                continue;
            const int* tc = &corners[size_t(first + t) * 3];
            const int* fv = g.connects.data() + g.offsets[size_t(f)];
            host::MeshHit hit;
            if (host::MeshBvh::intersectTriangle(&g.points[size_t(fv[tc[0]]) * 3], &g.points[size_t(fv[tc[1]]) * 3],
                                                 &g.points[size_t(fv[tc[2]]) * 3], o, d, tMin, tMax, tolerance,
                                                 hit)) {
                hit.face = f;
                hit.triangle = t;
                best = hit;
                tMax = hit.distance;
                found = true;
            }
        }
    }
    return found;
}

} // namespace

bool MFnMesh::closestIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                                  const MIntArray* faceIds, const MIntArray* triIds, bool idsSorted,
                                  MSpace::Space space, float maxParam, bool testBothDirections,
                                  MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint, float* hitRayParam,
                                  int* hitFace, int* hitTriangle, float* hitBary1, float* hitBary2, float tolerance,
                                  MStatus* ReturnStatus)
{
    MObject holder;
    const MeshGeometry* g = readGeometry(mObject, holder, ReturnStatus);
    if (!g)
        return false;
    MMatrix world;
    const bool inWorld = space == MSpace::kWorld;
    if (inWorld) {
        MStatus status = worldMatrixOf(mObject, fPath, world);
        if (!status) {
            host::setStatus(ReturnStatus, status);
            return false;
        }
    }
    // The ray parameter is unchanged by an affine map of origin and direction.
    MPoint origin(raySource.x, raySource.y, raySource.z);
    MVector direction(rayDirection.x, rayDirection.y, rayDirection.z);
    if (inWorld) {
        MMatrix inverse = world.inverse();
        origin = origin * inverse;
        direction = direction * inverse;
    }
    const double o[3] = {origin.x, origin.y, origin.z};
    const double d[3] = {direction.x, direction.y, direction.z};
    const double back[3] = {-d[0], -d[1], -d[2]};
    auto query = [&](const double* dir, host::MeshHit& hit) {
        return faceIds ? intersectListed(*g, o, dir, 0.0, maxParam, *faceIds, triIds, hit, tolerance)
                       : g->bvh().intersect(o, dir, 0.0, maxParam, hit, tolerance);
    };
    host::MeshHit hit, backHit;
    bool found = query(d, hit);
    if (testBothDirections && query(back, backHit) && (!found || backHit.distance < hit.distance)) {
        hit = backHit;
        hit.distance = -backHit.distance;
        found = true;
    }
    host::setStatus(ReturnStatus, MS::kSuccess);
    if (!found)
        return false;
    MPoint p(hit.point[0], hit.point[1], hit.point[2]);
    if (inWorld)
        p = p * world;
    hitPoint = MFloatPoint(float(p.x), float(p.y), float(p.z));
    if (hitRayParam)
        *hitRayParam = float(hit.distance);
    if (hitFace)
        *hitFace = hit.face;
    if (hitTriangle)
        *hitTriangle = hit.triangle;
    if (hitBary1)
        *hitBary1 = float(hit.bary1);
    if (hitBary2)
        *hitBary2 = float(hit.bary2);
    return true;
}

MMeshIsectAccelParams MFnMesh::autoUniformGridParams()
{
    return MMeshIsectAccelParams();
}

MMeshIsectAccelParams MFnMesh::uniformGridParams(int xDiv, int yDiv, int zDiv)
{
    MMeshIsectAccelParams params;
    params.fDivisions[0] = xDiv;
    params.fDivisions[1] = yDiv;
    params.fDivisions[2] = zDiv;
    return params;
}

MStatus MFnMesh::updateSurface()
{
    return mObject.isNull() ? MStatus(MS::kInvalidParameter) : MStatus(MS::kSuccess);
}
