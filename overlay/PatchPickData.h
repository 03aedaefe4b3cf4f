#pragma once
// Host-free part of overlay picking: the patches placed in world space by the driver's world
// matrix, a bounding-volume hierarchy over the patches, the nearest patch along a ray, and the
// screen-space test that keeps a hovered patch under a still cursor. The data follows the
// driver: when only its points or matrix change, the trees keep their shape and get new boxes.
// Plain arrays in, plain results out, so the mouse filter, the tests and the benchmarks share it.

#include "overlay/OverlayDrawData.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace PatchPick {

// An axis-aligned box; empty while min > max.
struct Box
{
    double min[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                     std::numeric_limits<double>::max()};
    double max[3] = {-std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                     -std::numeric_limits<double>::max()};
};

struct PickPatch
{
    uint32_t vertexBase = 0;
    uint32_t vertexCount = 0;
    uint32_t triOffset = 0;
    uint32_t triCount = 0;
    uint32_t edgeOffset = 0;
    uint32_t edgeCount = 0;
    Box bounds;
    bool hasBounds = false;
    // The root of the patch's triangle tree in PickData::nodes and its node count (no nodes:
    // nothing to test).
    uint32_t firstTreeNode = 0;
    uint32_t treeNodeCount = 0;
};

// A node of up to eight children whose boxes are tested at once. The boxes are single
// precision, relative to the pick data's anchor, rounded outwards and padded, so they only cull
// what the exact double-precision tests could not accept. A child is an inner node (`kind` 0,
// `child` its index), a leaf of `kind` triangles (`child` its block in PickData::leafBlocks),
// a patch (`kind` kPatchChild, `child` its entry), or empty (its box inverted).
struct alignas(64) WideNode
{
    static constexpr uint8_t kPatchChild = 255;
    float minX[8], minY[8], minZ[8];
    float maxX[8], maxY[8], maxZ[8];
    uint32_t child[8];
    uint8_t kind[8];
    uint8_t vertexCount[8]; // leaves: the vertices of the block
    uint8_t childCount;     // the children are slots 0 to childCount - 1
    uint32_t parentSlot;    // parent node * 8 + slot; none for roots (refits walk up by it)
};

// Where the boxes are measured from: coordinates within `reach` of the anchor keep the
// rounding of single precision far below `padding`.
struct BoxFrame
{
    double anchor[3] = {0.0, 0.0, 0.0};
    double reach = 0.0;
    double padding = 0.0;
};

// A patch in the tree over the patches: its exact bounds, which its slot holds padded.
struct alignas(64) PatchEntry
{
    double min[3] = {0.0, 0.0, 0.0};
    double max[3] = {0.0, 0.0, 0.0};
    uint32_t patch = 0;
    uint32_t slot = UINT32_MAX; // node * 8 + slot of the tree over the patches that holds it
};

struct PickData
{
    std::vector<double> points;       // xyz per patch vertex, patches back to back
    std::vector<PickPatch> patches;   // one per patch
    std::vector<int> triangleIndices; // as stored, local to their patch
    std::vector<int> edgeIndices;     // as stored, local to their patch

    // The walk's layout, built with the rest: a triangle tree for every patch with bounds and
    // triangles to test and, above them, a tree over those patches, split along the longest
    // axis. The pick gives exactly the answer of the plain walk that tests every triangle of a
    // crossed patch, ties going to the lower patch and then to the triangle listed first.
    // Entry i of patchEntries is such a patch, and node i the root of its tree.
    std::vector<WideNode> nodes;
    uint32_t root = UINT32_MAX;           // of the tree over the patches; none: nothing to hit
    Box bounds;                           // holds every patch's bounds
    BoxFrame frame;                       // of all boxes
    std::vector<PatchEntry> patchEntries;
    // The trees' leaves, each one block of 8-byte slots: the patch index, then a slot per
    // triangle holding the bits of a 64-bit word (in bytes 0 to 2, where each of its three
    // corners' xyz starts among the leaf's vertices, counted in doubles; its position in its
    // patch's list in the high 32 bits), then
    // the leaf's vertices, xyz each.
    std::vector<double> leafBlocks;

    // What moving the data to new driver points needs.
    struct Follow
    {
        std::vector<float> driverPoints; // the raw points the data was placed from
        double matrix[4][4] = {};
        std::vector<int32_t> pointDrivers;    // per patch vertex, -1 when unbound
        std::vector<uint8_t> everyPointBound; // per patch: no vertex unbound, so its tree's box holds its bounds
        std::vector<uint32_t> driverUseStart; // per driver vertex + 1: its run of driverUses
        std::vector<uint32_t> driverUses;     // patch vertices, grouped by driver vertex
        // A copy of a patch vertex in a leaf block: where it sits in leafBlocks and the leaf's
        // slot (node * 8 + slot), one record so that a moved vertex reaches both at once.
        struct VertexCopy
        {
            uint32_t offset;
            uint32_t slot;
        };
        std::vector<uint32_t> pointCopyStart; // per patch vertex + 1: its run of pointCopies
        std::vector<VertexCopy> pointCopies;  // grouped by patch vertex
        // The copies as the build writes them, with their patch vertex, before grouping.
        struct WrittenCopy
        {
            uint32_t point;
            VertexCopy copy;
        };
        std::vector<WrittenCopy> writtenCopies;
    } follow;

    void clear();
};

struct PickHit
{
    bool hit = false;
    int32_t patch = -1;
    int32_t triangle = -1; // its position in the patch's triangle list
    double distance = std::numeric_limits<double>::max();
    double point[3] = {0.0, 0.0, 0.0};
    double normal[3] = {0.0, 1.0, 0.0};
};

// Builds the pick data from the eight stored arrays and the driver's raw points (xyz floats),
// placed by `matrix` (row-major, points as row vectors). A patch vertex bound to a driver id
// outside the driver sits at the origin; it and any point that is not finite do not count for
// the patch's bounds. Negative stored offsets and counts read as 0. False, with `data`
// cleared, when the arrays cannot describe the patches (no patches, a per-patch array shorter
// than the patch count, a negative vertex count, fewer driver ids than vertices, no driver
// points) or their layout does not fit 32-bit offsets (vertex counts are summed in 64 bits).
bool buildPickData(const OverlayDrawData::PatchArrays& arrays, const float* rawPoints, int64_t driverVertexCount,
                   const double matrix[4][4], PickData& data);

// Builds pick data of a single patch over a whole mesh: every vertex of `rawPoints` and the
// triangles listed in `triangleCorners` (three vertex ids each), so that a hit's `triangle` is
// the position of its triple there.
bool buildMeshPickData(const float* rawPoints, int vertexCount, const std::vector<int>& triangleCorners,
                       const double matrix[4][4], PickData& data);

enum class Refit
{
    kUnchanged,    // the points and matrix are those the data was placed from
    kRefitted,     // the moved points placed and the boxes around them refitted
    kNeedsRebuild, // the data cannot follow (driver vertex count, or a patch gaining or losing
                   // its bounds): build it again; until then it is unusable
};

// Places built pick data at the driver's new raw points and matrix, keeping its trees: only
// the points that moved are placed again, and only the boxes holding them are refitted (all
// of them when the matrix changed). Picks then answer exactly as freshly built data would.
// `changedOut`, when given, learns the driver vertices whose raw points differed from those the
// data was placed from (`known` false when the refit had to place every point or rebuild). Data
// placed from the same points as another's can follow with that list as `changedIn`, then
// comparing only those vertices.
struct ChangedVertices
{
    bool known = false;
    std::vector<uint32_t> vertices;
};
// Driver vertices [first, end): with no list to follow, the only ones a refit compares, when the
// caller knows the others kept the points the data was placed from.
struct VertexRange
{
    int64_t first = 0;
    int64_t end = 0;
};
Refit refitPickData(PickData& data, const float* rawPoints, int64_t driverVertexCount, const double matrix[4][4],
                    const ChangedVertices* changedIn = nullptr, ChangedVertices* changedOut = nullptr,
                    const VertexRange* within = nullptr);

// The nearest patch triangle along the ray from `origin` in unit `direction`: the BVH walked
// nearer child first, a patch tested when its padded bounds reach the best distance so far, a
// triangle hit at 1e-6 < t < best (equal distances keep the lower patch, then the triangle
// listed first).
PickHit rayPick(const PickData& data, const double origin[3], const double direction[3]);

// The part of world space that projects within a square around a point of the view: inside
// every side plane (n . x + w >= 0), and wholly in front of the view when also in front of
// `front`. A box in front and outside one side projects outside the square.
struct ScreenWindow
{
    double sides[4][4];
    double front[4];
    // Points where this plane is negative lie too deep to count (by default none do).
    double beyond[4] = {0.0, 0.0, 0.0, 1.0};
};

// Whether a world box lies wholly in front of the view and outside one side of the window, so
// that nothing in it projects within the window's square.
bool boxOutsideWindow(const ScreenWindow& window, const Box& box);

// Projects a world point to the view's logical pixels (y down); false skips the triangle.
class ScreenProjector
{
public:
    virtual ~ScreenProjector() = default;
    virtual bool project(const double world[3], double pixel[2]) const = 0;
    // The world region whose points project within `radius` logical pixels of `pixel`, as
    // `project` rounds them; false when the projector cannot tell, and nothing is culled.
    virtual bool window(const double pixel[2], double radius, ScreenWindow& window) const
    {
        (void)pixel;
        (void)radius;
        (void)window;
        return false;
    }
};

// Whether the mouse (logical pixels) lies within `margin` pixels of one of `patch`'s projected
// triangles: within `margin` outside each edge's line and of the triangle's screen box. The
// nearest such triangle's plane, crossed by the ray, gives the hit. The patch's tree skips the
// triangles outside the projector's window. A patch index outside the data never hits.
PickHit screenTestPatch(const PickData& data, int32_t patch, const ScreenProjector& projector, const double mouse[2],
                        double margin, const double origin[3], const double direction[3]);

// The triangles of `patch` (their positions in its list) in the leaves of its tree whose boxes
// may reach into `window` (all of them when null): every triangle with a point inside the
// window is among them.
void trianglesInWindow(const PickData& data, int32_t patch, const ScreenWindow* window, std::vector<uint32_t>& out);

// Counting sort of `keys` into runs: start[key] .. start[key + 1] of `values` hold the
// indices whose key it is. Keys outside [0, keyCount) are left out.
template <typename Key>
void groupByKey(const std::vector<Key>& keys, size_t keyCount, std::vector<uint32_t>& start,
                std::vector<uint32_t>& values)
{
    start.assign(keyCount + 1, 0);
    for (const Key key : keys) {
        if (int64_t(key) >= 0 && uint64_t(key) < keyCount) {
            ++start[size_t(key) + 1];
        }
    }
    for (size_t k = 0; k < keyCount; ++k) {
        start[k + 1] += start[k];
    }
    values.resize(start[keyCount]);
    std::vector<uint32_t> next(start.begin(), start.end() - 1);
    for (size_t i = 0; i < keys.size(); ++i) {
        const Key key = keys[i];
        if (int64_t(key) >= 0 && uint64_t(key) < keyCount) {
            values[next[size_t(key)]++] = static_cast<uint32_t>(i);
        }
    }
}

} // namespace PatchPick
