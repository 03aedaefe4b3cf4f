#pragma once
// Whether other scene meshes hide a point along the mouse ray: the overlay never hovers a
// patch (or a tracked shape control) that the user cannot see.

#include <maya/MApiNamespace.h>
#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>

#include <cstdint>
#include <vector>

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

    // Rescans the visible meshes when the list is invalid or 100 ms old.
    void refreshIfDue();

    // Whether a mesh hits the ray (unit `direction`) before `distance`, with a small allowance
    // past it. `isolateMembers`, when given, limits the occluders to meshes under those
    // members; `excludedMesh` (with its instance) is never an occluder.
    Result test(const MPoint& origin, const MVector& direction, double distance, const MSelectionList* isolateMembers,
                const MObject& excludedMesh, unsigned excludedInstance);

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
