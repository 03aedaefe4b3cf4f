#include "overlay/OverlayOcclusion.h"

#include "overlay/PatchPickCache.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/StatusCheck.h"

#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MItDag.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MVector.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace {

const char* const kStatusSource = "overlayOcclusion";

constexpr int64_t kRescanNanoseconds = 100'000'000;

int64_t steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Whether the ray meets the box at a parameter in [0, limit] (slab test).
bool rayReachesBox(const MPoint& origin, const MVector& direction, const MBoundingBox& box, double limit)
{
    const MPoint low = box.min();
    const MPoint high = box.max();
    double enter = 0.0;
    double leave = limit;
    for (int axis = 0; axis < 3; ++axis) {
        const double o = origin[axis];
        const double d = direction[axis];
        if (std::abs(d) < 1e-12) {
            if (o < low[axis] || o > high[axis]) {
                return false;
            }
            continue;
        }
        double t0 = (low[axis] - o) / d;
        double t1 = (high[axis] - o) / d;
        if (t0 > t1) {
            std::swap(t0, t1);
        }
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave) {
            return false;
        }
    }
    return true;
}

bool isUnderMembers(const MDagPath& meshPath, const std::vector<MDagPath>& members)
{
    MDagPath path(meshPath);
    while (path.isValid() && path.length() > 0) {
        for (const MDagPath& member : members) {
            if (member == path) {
                return true;
            }
        }
        if (!path.pop()) {
            break;
        }
    }
    return false;
}

bool isOccluderCandidate(const MDagPath& path)
{
    MStatus status;
    if (!path.isValid() || !path.isVisible(&status) || !status || path.isTemplated(&status) || !status) {
        return false;
    }
    MFnDagNode dagNode(path, &status);
    if (!status || dagNode.isIntermediateObject(&status) || !status) {
        return false;
    }
    MFnMesh mesh(path, &status);
    return status && mesh.numPolygons(&status) > 0 && status;
}

// Whether every corner of `face` is one of `vertices` (sorted).
bool faceLiesOn(const MFnMesh& mesh, int face, const std::vector<int>& vertices)
{
    MIntArray corners;
    if (face < 0 || !mesh.getPolygonVertices(face, corners) || corners.length() == 0) {
        return false;
    }
    for (unsigned i = 0; i < corners.length(); ++i) {
        if (!std::binary_search(vertices.begin(), vertices.end(), corners[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

void OverlayOcclusion::refreshIfDue(const KnownWorldBox& knownWorldBox)
{
    const int64_t now = steadyNanoseconds();
    if (valid_ && now - refreshTime_ < kRescanNanoseconds) {
        return;
    }
    occluders_.clear();
    MStatus status;
    MItDag it(MItDag::kDepthFirst, MFn::kMesh, &status);
    PELLIX_REPORT(status);
    for (; status && !it.isDone(); it.next()) {
        MDagPath path;
        if (!it.getPath(path) || !isOccluderCandidate(path)) {
            continue;
        }
        MBoundingBox box;
        if (!knownWorldBox || !knownWorldBox(path, box)) {
            // A mesh whose box cannot be read is skipped; the others still occlude.
            MStatus boxStatus;
            MFnDagNode dagNode(path, &boxStatus);
            box = dagNode.boundingBox(&boxStatus);
            if (!boxStatus) {
                continue;
            }
            box.transformUsing(path.inclusiveMatrix());
        }
        occluders_.push_back({path, box});
    }
    refreshTime_ = now;
    valid_ = true;
}

OverlayOcclusion::Result OverlayOcclusion::test(const MPoint& origin, const MVector& direction, double distance,
                                                const MSelectionList* isolateMembers, const MObject& ownDriver,
                                                unsigned ownInstance, const std::vector<int>* ownSurface,
                                                const DriverTriangles* ownTriangles)
{
    Result result;
    result.distance = distance;
    if (!std::isfinite(distance) || distance <= 0.0 || occluders_.empty()) {
        return result;
    }

    std::vector<MDagPath> members;
    if (isolateMembers != nullptr) {
        for (unsigned i = 0; i < isolateMembers->length(); ++i) {
            MDagPath member;
            if (isolateMembers->getDagPath(i, member) && member.isValid()) {
                members.push_back(member);
            }
        }
    }

    double limit = distance + std::max(distance, 1.0) * 0.001;
    const MFloatPoint source(static_cast<float>(origin.x), static_cast<float>(origin.y), static_cast<float>(origin.z));
    const MFloatVector ray(static_cast<float>(direction.x), static_cast<float>(direction.y),
                           static_cast<float>(direction.z));
    for (const Occluder& occluder : occluders_) {
        if (!occluder.path.isValid()) {
            continue;
        }
        const bool isOwnDriver = !ownDriver.isNull() && occluder.path.node() == ownDriver &&
                                 occluder.path.instanceNumber() == ownInstance;
        if (isolateMembers != nullptr && !isUnderMembers(occluder.path, members)) {
            continue;
        }
        if (!rayReachesBox(origin, direction, occluder.worldBox, limit)) {
            continue;
        }
        MStatus status;
        MFnMesh mesh(occluder.path, &status);
        if (!status) {
            continue;
        }
        double hitParameter = 0.0;
        int hitFace = -1;
        if (isOwnDriver && ownTriangles != nullptr) {
            // The driver's own tree follows its points without being built again.
            const double from[3] = {origin.x, origin.y, origin.z};
            const double along[3] = {direction.x, direction.y, direction.z};
            const PatchPick::PickHit hit = PatchPick::rayPick(ownTriangles->tree, from, along);
            if (!hit.hit || hit.triangle < 0 || size_t(hit.triangle) >= ownTriangles->faces.size()) {
                continue;
            }
            hitParameter = hit.distance;
            hitFace = ownTriangles->faces[size_t(hit.triangle)];
        } else {
            MFloatPoint hitPoint;
            float parameter = 0.0f;
            const float maxParameter = static_cast<float>(std::min(limit, 1e30));
            // Maya keeps the grid with the mesh and reuses it while the mesh is unchanged.
            MMeshIsectAccelParams accelerator = MFnMesh::autoUniformGridParams();
            if (!mesh.closestIntersection(source, ray, nullptr, nullptr, false, MSpace::kWorld, maxParameter, false,
                                          &accelerator, hitPoint, &parameter, &hitFace, nullptr, nullptr, nullptr,
                                          1e-6f, &status) ||
                !status) {
                continue;
            }
            hitParameter = parameter;
        }
        if (!std::isfinite(hitParameter) || !(hitParameter > 0.0) || !(hitParameter < limit)) {
            continue;
        }
        // The driver's nearest face under the point is the point's own surface: nothing of the
        // driver lies in front of it, however close or far the camera is.
        if (isOwnDriver && ownSurface != nullptr && faceLiesOn(mesh, hitFace, *ownSurface)) {
            continue;
        }
        limit = hitParameter;
        result.occluded = true;
    }
    result.distance = limit;
    return result;
}

const std::vector<int>* PatchDriverVertices::of(const MObject& node, int patch)
{
    const PellixDataOverlay* overlay = PellixDataOverlay::fromObject(node);
    if (overlay == nullptr || patch < 0) {
        return nullptr;
    }
    const uint64_t topology = overlay->topologyCounter();
    if (!(node_.isValid() && node_.isAlive() && node_.object() == node) || topology != topologyCounter_) {
        node_ = MObjectHandle(node);
        topologyCounter_ = topology;
        counts_.clear();
        starts_.clear();
        driverIds_.clear();
        sorted_.clear();
        sortedDone_.clear();
        MIntArray counts;
        MIntArray driverIds;
        if (PellixDataOverlay::readIntArray(node, PellixDataOverlay::patchVertexCounts, counts) &&
            PellixDataOverlay::readIntArray(node, PellixDataOverlay::patchDriverVertexIndices, driverIds)) {
            int64_t start = 0;
            for (unsigned p = 0; p < counts.length(); ++p) {
                counts_.push_back(std::max(counts[p], 0));
                starts_.push_back(start);
                start += counts_.back();
            }
            for (unsigned i = 0; i < driverIds.length(); ++i) {
                driverIds_.push_back(driverIds[i]);
            }
            sorted_.resize(counts_.size());
            sortedDone_.assign(counts_.size(), 0);
        }
    }
    const size_t index = static_cast<size_t>(patch);
    if (index >= counts_.size() || starts_[index] + counts_[index] > static_cast<int64_t>(driverIds_.size())) {
        return nullptr;
    }
    if (!sortedDone_[index]) {
        std::vector<int>& ids = sorted_[index];
        ids.assign(driverIds_.begin() + starts_[index], driverIds_.begin() + starts_[index] + counts_[index]);
        std::sort(ids.begin(), ids.end());
        sortedDone_[index] = 1;
    }
    return &sorted_[index];
}
