#pragma once
// Host-free part of overlay picking: the patches placed in world space by the driver's world
// matrix, a bounding-volume hierarchy over the patches, the nearest patch along a ray, and the
// screen-space test that keeps a hovered patch under a still cursor. Plain arrays in, plain
// results out, so the mouse filter, the tests and the benchmarks share it.

#include "overlay/OverlayDrawData.h"

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
    // The patch's triangle tree in PickData::triangleNodes (no nodes: nothing to test).
    uint32_t firstTreeNode = 0;
    uint32_t treeNodeCount = 0;
};

struct BvhNode
{
    Box bounds;
    uint32_t first = 0; // into PickData::bvhPatches
    uint32_t count = 0; // 0 for an inner node
    int32_t left = -1;
    int32_t right = -1;
};

// A node of a patch's triangle tree with up to sixteen children, whose boxes are tested four
// at a time. The boxes are single precision, relative to the centre of the patch's bounds,
// rounded outwards and padded, so they only cull triangles the exact double-precision test
// could not accept. A child is a leaf (`count` 1 to 8 triangles, `vertexCount` vertices, its
// block starting at slot `child` of PickData::leafBlocks), an inner node (`count` 0, `child`
// numbered from the patch's first node), or empty (its box inverted). Only the first
// `groupCount` groups of four are in use.
struct alignas(16) TriangleNode
{
    struct alignas(16) Boxes
    {
        float minX[4], minY[4], minZ[4];
        float maxX[4], maxY[4], maxZ[4];
    };

    uint32_t child[16];
    uint8_t count[16];
    uint8_t vertexCount[16];
    uint8_t groupCount;
    Boxes boxes[4];
};

// Two BVH nodes' boxes side by side (x of both, then y, then z), so that both are tested at once.
struct alignas(16) BoxPair
{
    double min[3][2];
    double max[3][2];
};

// An inner BVH node as the pick walks it: the boxes of its two children, then for each inner
// child the boxes of that child's children, so that one record serves two levels of the walk;
// and what each of them is: an inner node (`count` 0, `node` its index) or a leaf (`node` its
// first entry of bvhPatches, `count` its patches). Grandchild slots under a leaf child are unused.
struct alignas(16) BvhQuad
{
    BoxPair children;
    uint32_t childNode[2] = {0, 0};
    uint32_t childCount[2] = {0, 0};
    uint32_t grandNode[4] = {0, 0, 0, 0};
    uint32_t grandCount[4] = {0, 0, 0, 0};
    BoxPair grandchildren[2];
};

// Where the tree of the patch at an entry of bvhPatches lies, kept in BVH order so that a
// leaf's patches are read from one place.
struct LeafPatch
{
    uint32_t firstTreeNode = 0;
    uint32_t treeNodeCount = 0; // 0: nothing to test
};

struct PickData
{
    std::vector<double> points;       // xyz per patch vertex, patches back to back
    std::vector<PickPatch> patches;   // one per patch
    std::vector<int> triangleIndices; // as stored, local to their patch
    std::vector<int> edgeIndices;     // as stored, local to their patch
    std::vector<BvhNode> bvh;         // node 0 is the root; empty when no patch has bounds
    std::vector<uint32_t> bvhPatches; // patch indices the leaves refer to

    // The walk's own layout of the BVH and each patch's triangle tree, built with the rest.
    // The pick gives exactly the answer of the plain walk that tests every triangle of a
    // crossed patch in list order.
    std::vector<BvhQuad> bvhQuads;      // one per BVH node (unused for leaves)
    std::vector<LeafPatch> leafPatches; // one per entry of bvhPatches
    std::vector<BoxPair> leafBounds;    // their bounds, entries 2i and 2i + 1 in pair i
    std::vector<TriangleNode> triangleNodes;
    // The trees' leaves, each one block of 8-byte slots: a slot per triangle holding the bits
    // of a 64-bit word (its three corners as the leaf's vertex numbers in bytes 0 to 2, its
    // position in its patch's list in the high 32 bits, which breaks ties of equal distance as
    // a scan in list order would), then the leaf's vertices, xyz each.
    std::vector<double> leafBlocks;

    void clear();
};

struct PickHit
{
    bool hit = false;
    int32_t patch = -1;
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

// The nearest patch triangle along the ray from `origin` in unit `direction`: the BVH walked
// nearer child first, a patch tested when its own bounds reach the best distance so far, a
// triangle hit at 1e-6 < t < best (equal distances keep what was found first).
PickHit rayPick(const PickData& data, const double origin[3], const double direction[3]);

// Projects a world point to the view's logical pixels (y down); false skips the triangle.
class ScreenProjector
{
public:
    virtual ~ScreenProjector() = default;
    virtual bool project(const double world[3], double pixel[2]) const = 0;
};

// Whether the mouse (logical pixels) lies within `margin` pixels of one of `patch`'s projected
// triangles; the nearest such triangle's plane, crossed by the ray, gives the hit. A patch
// index outside the data never hits. The corners handed to the projector point into
// `data.points`, so a projector may remember each patch vertex's projection.
PickHit screenTestPatch(const PickData& data, int32_t patch, const ScreenProjector& projector, const double mouse[2],
                        double margin, const double origin[3], const double direction[3]);

} // namespace PatchPick
