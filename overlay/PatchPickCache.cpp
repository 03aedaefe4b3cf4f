#include "overlay/PatchPickCache.h"

#include "overlay/PellixDataOverlay.h"

#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MBoundingBox.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>

#include <algorithm>

namespace {

bool isGone(const std::unique_ptr<PickCacheEntry>& entry)
{
    const MObjectHandle& handle = entry->node;
    return !handle.isValid() || !handle.isAlive() || handle.object().isNull();
}

// Every triangle of the driver as one patch over all its vertices, and each triangle's polygon.
bool buildDriverTriangles(const PellixDataOverlay::EvaluatedPoints& driver, const MMatrix& matrix,
                          DriverTriangles& triangles)
{
    triangles.tree.clear();
    triangles.faces.clear();
    triangles.vertexCornerStart.clear();
    triangles.vertexCorners.clear();
    MStatus status;
    MFnMesh mesh(driver.mesh, &status);
    MIntArray counts;
    MIntArray corners;
    if (!status || !mesh.getTriangles(counts, corners)) {
        return false;
    }
    for (unsigned face = 0; face < counts.length(); ++face) {
        triangles.faces.insert(triangles.faces.end(), size_t(std::max(counts[face], 0)), int(face));
    }
    std::vector<int> cornerIds(corners.length());
    for (unsigned i = 0; i < corners.length(); ++i) {
        cornerIds[i] = corners[i];
    }
    if (triangles.faces.size() * 3 != cornerIds.size() ||
        !PatchPick::buildMeshPickData(driver.points, driver.count, cornerIds, matrix.matrix, triangles.tree)) {
        return false;
    }
    // A corner naming no driver vertex is left out of the runs, and fails the build.
    PatchPick::groupByKey(cornerIds, size_t(driver.count), triangles.vertexCornerStart, triangles.vertexCorners);
    return triangles.vertexCorners.size() == cornerIds.size();
}

// Whether the mesh still splits its polygons into the triangles the tree holds. The split
// follows the points (a corner moved inside a polygon turns its diagonal), so with the moved
// vertices known only the polygons at them are asked; otherwise every triangle is compared.
bool keepsTriangulation(const MFnMesh& mesh, DriverTriangles& triangles, const std::vector<uint32_t>* moved)
{
    const std::vector<int>& corners = triangles.tree.triangleIndices;
    if (moved == nullptr) {
        MIntArray counts;
        MIntArray vertices;
        if (!mesh.getTriangles(counts, vertices) || vertices.length() != corners.size()) {
            return false;
        }
        for (unsigned i = 0; i < vertices.length(); ++i) {
            if (vertices[i] != corners[i]) {
                return false;
            }
        }
        return true;
    }
    if (moved->empty()) {
        return true;
    }
    const std::vector<uint32_t>& start = triangles.vertexCornerStart;
    if (start.empty()) {
        return false;
    }
    const size_t vertexCount = start.size() - 1;
    std::vector<int> polygons;
    for (const uint32_t v : *moved) {
        for (uint32_t at = v < vertexCount ? start[v] : 0; v < vertexCount && at < start[v + 1]; ++at) {
            polygons.push_back(triangles.faces[triangles.vertexCorners[at] / 3]);
        }
    }
    std::sort(polygons.begin(), polygons.end());
    polygons.erase(std::unique(polygons.begin(), polygons.end()), polygons.end());
    for (const int polygon : polygons) {
        const auto first = std::lower_bound(triangles.faces.begin(), triangles.faces.end(), polygon);
        for (auto t = first; t != triangles.faces.end() && *t == polygon; ++t) {
            int now[3];
            const size_t at = size_t(t - triangles.faces.begin()) * 3;
            if (!mesh.getPolygonTriangleVertices(polygon, int(t - first), now) || now[0] != corners[at] ||
                now[1] != corners[at + 1] || now[2] != corners[at + 2]) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool buildNodePickData(const MObject& node, PatchPick::PickData& data)
{
    data.clear();
    const PellixDataOverlay* overlay = PellixDataOverlay::fromObject(node);
    if (overlay == nullptr) {
        return false;
    }
    // Copied under the node's mutex; nothing below holds it.
    const MMatrix driverMatrix = overlay->driverMatrix();

    // Unreadable arrays or mesh fail the build silently: the node is just not pickable now.
    PellixDataOverlay::StoredPatchArrays arrays;
    PellixDataOverlay::EvaluatedPoints driver;
    if (!PellixDataOverlay::readPatchArrays(node, arrays) || !PellixDataOverlay::readEvaluatedPoints(node, driver)) {
        return false;
    }
    return PatchPick::buildPickData(arrays.spans(), driver.points, driver.count, driverMatrix.matrix, data);
}

const PickCacheEntry* PatchPickCache::entryFor(const MObject& node)
{
    const PellixDataOverlay* overlay = PellixDataOverlay::fromObject(node);
    if (overlay == nullptr) {
        return nullptr;
    }
    auto found = std::find_if(entries_.begin(), entries_.end(), [&node](const std::unique_ptr<PickCacheEntry>& entry) {
        return entry->node.isAlive() && entry->node.object() == node;
    });
    if (found == entries_.end()) {
        entries_.push_back(std::make_unique<PickCacheEntry>());
        entries_.back()->node = MObjectHandle(node);
        found = entries_.end() - 1;
    }
    PickCacheEntry& entry = **found;

    const uint64_t topology = overlay->topologyCounter();
    const uint64_t geometry = overlay->geometryCounter();
    if (entry.built && entry.valid && entry.topologyCounter == topology) {
        if (entry.geometryCounter == geometry) {
            return &entry;
        }
        // The same patches on a driver that may have moved: only moved points are placed again.
        const MMatrix driverMatrix = overlay->driverMatrix();
        PellixDataOverlay::EvaluatedPoints driver;
        if (PellixDataOverlay::readEvaluatedPoints(node, driver)) {
            // The overlay's evaluations say where the points can have moved since the data's.
            const uint64_t evaluation = overlay->evaluationOf(driver.points);
            PatchPick::VertexRange moved;
            const bool movedKnown = evaluation != 0 && overlay->movedSince(entry.evaluation, moved.first, moved.end);
            if (PatchPick::refitPickData(entry.data, driver.points, driver.count, driverMatrix.matrix, nullptr,
                                         &entry.changed, movedKnown ? &moved : nullptr) !=
                PatchPick::Refit::kNeedsRebuild) {
                entry.evaluation = evaluation;
                entry.changedFrom = entry.geometryCounter;
                entry.geometryCounter = geometry;
                return &entry;
            }
        }
    }
    entry.changed.known = false;
    entry.valid = buildNodePickData(node, entry.data);
    PellixDataOverlay::EvaluatedPoints placed;
    entry.evaluation = entry.valid && PellixDataOverlay::readEvaluatedPoints(node, placed)
                           ? overlay->evaluationOf(placed.points)
                           : 0;
    entry.built = true;
    entry.topologyCounter = topology;
    entry.geometryCounter = geometry;
    return entry.valid ? &entry : nullptr;
}

const DriverTriangles* PatchPickCache::driverTrianglesFor(const MObject& node, const MObject& driver)
{
    const PellixDataOverlay* overlay = PellixDataOverlay::fromObject(node);
    auto found = std::find_if(entries_.begin(), entries_.end(), [&node](const std::unique_ptr<PickCacheEntry>& entry) {
        return entry->node.isAlive() && entry->node.object() == node;
    });
    if (overlay == nullptr || found == entries_.end()) {
        return nullptr;
    }
    PickCacheEntry& entry = **found;
    const uint64_t geometry = overlay->geometryCounter();
    const bool sameDriver = entry.driverNode.isAlive() && entry.driverNode.object() == driver;
    if (entry.driverValid && sameDriver && entry.driverGeometryCounter == geometry) {
        return &entry.driver;
    }
    // Placed from the points the pick data was last placed from: only the vertices its refit
    // found moved can differ.
    const bool changedKnown = entry.driverValid && sameDriver && entry.changed.known && entry.valid &&
                              entry.geometryCounter == geometry &&
                              entry.changedFrom == entry.driverGeometryCounter;
    entry.driverValid = false;
    entry.driverNode = MObjectHandle(driver);
    entry.driverGeometryCounter = geometry;
    const MMatrix matrix = overlay->driverMatrix();
    PellixDataOverlay::EvaluatedPoints points;
    if (!PellixDataOverlay::readEvaluatedPoints(node, points)) {
        return nullptr;
    }
    MStatus status;
    MFnMesh mesh(points.mesh, &status);
    const int polygons = status ? mesh.numPolygons() : -1;
    const int faceVertices = status ? mesh.numFaceVertices() : -1;
    // Points that moved on the same driver and faces keep the tree while its polygons keep their
    // triangles; anything else builds it again.
    PatchPick::ChangedVertices moved;
    if (sameDriver && polygons == entry.driverPolygons && faceVertices == entry.driverFaceVertices &&
        !entry.driver.tree.patches.empty() &&
        PatchPick::refitPickData(entry.driver.tree, points.points, points.count, matrix.matrix,
                                 changedKnown ? &entry.changed : nullptr, &moved) != PatchPick::Refit::kNeedsRebuild &&
        keepsTriangulation(mesh, entry.driver,
                           changedKnown ? &entry.changed.vertices : moved.known ? &moved.vertices : nullptr)) {
        entry.driverValid = true;
        return &entry.driver;
    }
    entry.driverPolygons = polygons;
    entry.driverFaceVertices = faceVertices;
    entry.driverValid = polygons >= 0 && buildDriverTriangles(points, matrix, entry.driver);
    return entry.driverValid ? &entry.driver : nullptr;
}

bool PatchPickCache::driverBox(const MObject& node, const MObject& driver, MBoundingBox& worldBox)
{
    const bool hasPickData = std::any_of(entries_.begin(), entries_.end(), [&node](const auto& entry) {
        return entry->node.isAlive() && entry->node.object() == node && entry->built && entry->valid;
    });
    if (!hasPickData || entryFor(node) == nullptr) {
        return false;
    }
    const DriverTriangles* triangles = driverTrianglesFor(node, driver);
    if (triangles == nullptr) {
        return false;
    }
    const PatchPick::Box& box = triangles->tree.bounds;
    if (!(box.min[0] <= box.max[0])) {
        return false;
    }
    worldBox = MBoundingBox(MPoint(box.min[0], box.min[1], box.min[2]), MPoint(box.max[0], box.max[1], box.max[2]));
    return true;
}

void PatchPickCache::followFewMovedVertices(int64_t vertexSpan)
{
    for (const std::unique_ptr<PickCacheEntry>& held : entries_) {
        PickCacheEntry& entry = *held;
        const MObject node = entry.node.isAlive() ? entry.node.object() : MObject::kNullObj;
        const PellixDataOverlay* overlay = node.isNull() ? nullptr : PellixDataOverlay::fromObject(node);
        // Only refits: new patches are built when a move needs them.
        int64_t first = 0, end = 0;
        if (overlay == nullptr || !entry.built || !entry.valid || entry.topologyCounter != overlay->topologyCounter() ||
            entry.geometryCounter == overlay->geometryCounter() || !overlay->movedSince(entry.evaluation, first, end) ||
            end - first > vertexSpan) {
            continue;
        }
        const bool followsDriver = entry.driverValid && entry.driverNode.isAlive();
        const MObject driver = followsDriver ? entry.driverNode.object() : MObject::kNullObj;
        if (entryFor(node) != nullptr && followsDriver) {
            driverTrianglesFor(node, driver);
        }
    }
}

void PatchPickCache::dropDeadEntries()
{
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), isGone), entries_.end());
}
