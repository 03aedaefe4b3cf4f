#include "overlay/OverlayOcclusion.h"

#include "plugin/StatusCheck.h"

#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
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

} // namespace

void OverlayOcclusion::refreshIfDue()
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
        // A mesh whose box cannot be read is skipped; the others still occlude.
        MStatus boxStatus;
        MFnDagNode dagNode(path, &boxStatus);
        MBoundingBox box = dagNode.boundingBox(&boxStatus);
        if (!boxStatus) {
            continue;
        }
        box.transformUsing(path.inclusiveMatrix());
        occluders_.push_back({path, box});
    }
    refreshTime_ = now;
    valid_ = true;
}

OverlayOcclusion::Result OverlayOcclusion::test(const MPoint& origin, const MVector& direction, double distance,
                                                const MSelectionList* isolateMembers, const MObject& excludedMesh,
                                                unsigned excludedInstance)
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
        if (!excludedMesh.isNull() && occluder.path.node() == excludedMesh &&
            occluder.path.instanceNumber() == excludedInstance) {
            continue;
        }
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
        MFloatPoint hitPoint;
        float hitParameter = 0.0f;
        const float maxParameter = static_cast<float>(std::min(limit, 1e30));
        const bool hit = mesh.closestIntersection(source, ray, nullptr, nullptr, false, MSpace::kWorld, maxParameter,
                                                  false, nullptr, hitPoint, &hitParameter, nullptr, nullptr, nullptr,
                                                  nullptr, 1e-6f, &status);
        if (hit && status && std::isfinite(hitParameter) && hitParameter > 0.0f && hitParameter < limit) {
            limit = hitParameter;
            result.occluded = true;
        }
    }
    result.distance = limit;
    return result;
}
