#pragma once
// Whether other scene meshes hide a point along the mouse ray: the overlay never hovers a
// patch (or a tracked shape control) that the user cannot see.

#include <maya/MApiNamespace.h>
#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>

#include <cstdint>
#include <functional>
#include <vector>

struct DriverTriangles;

class OverlayOcclusion
{
public:
    struct Result
    {
        bool occluded = false;
        double distance = 0.0; // the nearest occluding hit, else the search limit
    };

    // Rescans the scene's meshes on the next test (the mouse entered a view).
    void invalidate() { valid_ = false; }

    // Rescans the visible meshes when the list is invalid or 100 ms old. `knownWorldBox`, when
    // given, may answer a mesh's world box from what the caller keeps up to date already
    // (false: measure it).
    using KnownWorldBox = std::function<bool(const MDagPath& mesh, MBoundingBox& worldBox)>;
    void refreshIfDue(const KnownWorldBox& knownWorldBox = nullptr);

    // Whether a mesh hits the ray (unit `direction`) before `distance`, with a small allowance
    // past it. `isolateMembers`, when given, limits the occluders to meshes under those
    // members. `ownDriver` (with its instance) is the driver the tested point lies on: it hides
    // the point like any mesh, except where its nearest hit is a face whose corners are all
    // among `ownSurface` (sorted driver vertex ids), the very surface the point lies on.
    // `ownTriangles`, when given, are the driver's world triangles the ray is tested against
    // in its place.
    Result test(const MPoint& origin, const MVector& direction, double distance, const MSelectionList* isolateMembers,
                const MObject& ownDriver, unsigned ownInstance, const std::vector<int>* ownSurface = nullptr,
                const DriverTriangles* ownTriangles = nullptr);

    size_t occluderCount() const { return occluders_.size(); }

private:
    struct Occluder
    {
        MDagPath path;
        MBoundingBox worldBox;
    };

    std::vector<Occluder> occluders_;
    int64_t refreshTime_ = 0;
    bool valid_ = false;
};

// The driver vertices each patch of an overlay lies on, read again only when its patches change.
class PatchDriverVertices
{
public:
    // Sorted driver vertex ids of `patch` of overlay `node`; null when its arrays cannot be read
    // or name no such patch.
    const std::vector<int>* of(const MObject& node, int patch);

private:
    MObjectHandle node_;
    uint64_t topologyCounter_ = 0;
    std::vector<int> counts_;
    std::vector<int64_t> starts_;
    std::vector<int> driverIds_;
    std::vector<std::vector<int>> sorted_; // per patch, filled on first use
    std::vector<char> sortedDone_;
};
