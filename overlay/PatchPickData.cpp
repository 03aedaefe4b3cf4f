#include "overlay/PatchPickData.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

namespace PatchPick {

void PickData::clear()
{
    points.clear();
    patches.clear();
    triangleIndices.clear();
    edgeIndices.clear();
    bvh.clear();
    bvhPatches.clear();
    bvhQuads.clear();
    leafPatches.clear();
    leafBounds.clear();
    triangleNodes.clear();
    leafBlocks.clear();
}

namespace {

using OverlayDrawData::IntSpan;

constexpr double kParallelAxis = 1e-12;     // a ray component this small never leaves its slab
constexpr double kMinDeterminant = 1e-8;    // ray (nearly) in the triangle's plane
constexpr double kMinDistance = 1e-6;       // hits at the origin are ignored
constexpr double kMinNormalLength = 1e-8;   // degenerate triangle: default normal
constexpr double kMinScreenArea = 1e-8;     // doubled pixel area of a triangle seen edge-on
constexpr double kMinPlaneCosine = 1e-8;    // ray along the triangle's plane
constexpr uint32_t kLeafPatches = 5;        // a BVH node with fewer patches is a leaf
constexpr uint32_t kLeafTriangles = 8;      // the same inside a patch's triangle tree
// Triangle-tree boxes are padded by this share of the patch's size, far beyond the rounding
// of the exact test, so that culling never drops a triangle the exact test would accept.
constexpr double kTreePadding = 1e-5;
constexpr int kStackSize = 64;              // the BVH is balanced: depth <= log2(count) + 1
constexpr int kTreeStackSize = 128;         // a triangle tree: 15 per level, at most 8 levels

const double kNoHit = std::numeric_limits<double>::max();

int64_t notNegative(int value)
{
    return value > 0 ? value : 0;
}

// A span as usable: one whose data is missing reads as empty.
int64_t usableLength(const IntSpan& span)
{
    return span.data != nullptr && span.length > 0 ? span.length : 0;
}

struct Ray
{
    double origin[3];
    double direction[3];
    double inverse[3];
    bool parallel[3];
    bool anyParallel;
#if defined(__SSE2__) || defined(_M_X64)
    __m128d originLanes[3]; // each component in both lanes
    __m128d inverseLanes[3];
#endif
};

Ray makeRay(const double origin[3], const double direction[3])
{
    Ray ray;
    ray.anyParallel = false;
    for (int a = 0; a < 3; ++a) {
        ray.origin[a] = origin[a];
        ray.direction[a] = direction[a];
        ray.parallel[a] = std::fabs(direction[a]) < kParallelAxis;
        ray.anyParallel = ray.anyParallel || ray.parallel[a];
        ray.inverse[a] = ray.parallel[a] ? 0.0 : 1.0 / direction[a];
#if defined(__SSE2__) || defined(_M_X64)
        ray.originLanes[a] = _mm_set1_pd(ray.origin[a]);
        ray.inverseLanes[a] = _mm_set1_pd(ray.inverse[a]);
#endif
    }
    return ray;
}

// Where the ray enters the box within [0, limit]; false when it misses it there.
bool slabTest(const double boxMin[3], const double boxMax[3], const Ray& ray, double limit, double& entry)
{
    double nearest = 0.0;
    double farthest = limit;
    for (int a = 0; a < 3; ++a) {
        if (ray.parallel[a]) {
            if (!(ray.origin[a] >= boxMin[a] && ray.origin[a] <= boxMax[a])) {
                return false;
            }
            continue;
        }
        double enter = (boxMin[a] - ray.origin[a]) * ray.inverse[a];
        double leave = (boxMax[a] - ray.origin[a]) * ray.inverse[a];
        if (enter > leave) {
            std::swap(enter, leave);
        }
        nearest = enter > nearest ? enter : nearest;
        farthest = leave < farthest ? leave : farthest;
        if (!(nearest <= farthest)) {
            return false;
        }
    }
    entry = nearest;
    return true;
}

void sub(const double* a, const double* b, double out[3])
{
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}

void cross(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

double dot(const double a[3], const double b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Möller–Trumbore: the distance to the triangle when the ray crosses it beyond kMinDistance.
// Every test is written as the condition to pass, so NaN never passes.
bool intersectTriangle(const double p0[3], const double p1[3], const double p2[3], const Ray& ray, double& t)
{
    double edge1[3], edge2[3], pvec[3], tvec[3], qvec[3];
    sub(p1, p0, edge1);
    sub(p2, p0, edge2);
    cross(ray.direction, edge2, pvec);
    const double determinant = dot(edge1, pvec);
    if (!(std::fabs(determinant) >= kMinDeterminant)) {
        return false;
    }
    const double inverse = 1.0 / determinant;
    sub(ray.origin, p0, tvec);
    const double u = dot(tvec, pvec) * inverse;
    if (!(u >= 0.0 && u <= 1.0)) {
        return false;
    }
    cross(tvec, edge1, qvec);
    const double v = dot(ray.direction, qvec) * inverse;
    if (!(v >= 0.0 && u + v <= 1.0)) {
        return false;
    }
    t = dot(edge2, qvec) * inverse;
    return t > kMinDistance;
}

#if defined(__SSE2__) || defined(_M_X64)
// Two triangles at once, one per lane, with the operations of intersectTriangle in the same
// order, so each lane's distance and verdict are those intersectTriangle gives: bit i set when
// triangle i is crossed at t[i].
struct Lanes
{
    __m128d x, y, z;
};

Lanes loadLanes(const double* first, const double* second)
{
    return {_mm_loadh_pd(_mm_load_sd(first), second), _mm_loadh_pd(_mm_load_sd(first + 1), second + 1),
            _mm_loadh_pd(_mm_load_sd(first + 2), second + 2)};
}

Lanes subLanes(const Lanes& a, const Lanes& b)
{
    return {_mm_sub_pd(a.x, b.x), _mm_sub_pd(a.y, b.y), _mm_sub_pd(a.z, b.z)};
}

Lanes crossLanes(const Lanes& a, const Lanes& b)
{
    return {_mm_sub_pd(_mm_mul_pd(a.y, b.z), _mm_mul_pd(a.z, b.y)),
            _mm_sub_pd(_mm_mul_pd(a.z, b.x), _mm_mul_pd(a.x, b.z)),
            _mm_sub_pd(_mm_mul_pd(a.x, b.y), _mm_mul_pd(a.y, b.x))};
}

__m128d dotLanes(const Lanes& a, const Lanes& b)
{
    return _mm_add_pd(_mm_add_pd(_mm_mul_pd(a.x, b.x), _mm_mul_pd(a.y, b.y)), _mm_mul_pd(a.z, b.z));
}

int intersectTrianglePair(const double* const first[3], const double* const second[3], const Ray& ray, double t[2])
{
    const Lanes p0 = loadLanes(first[0], second[0]);
    const Lanes edge1 = subLanes(loadLanes(first[1], second[1]), p0);
    const Lanes edge2 = subLanes(loadLanes(first[2], second[2]), p0);
    const Lanes direction = {_mm_set1_pd(ray.direction[0]), _mm_set1_pd(ray.direction[1]),
                             _mm_set1_pd(ray.direction[2])};
    const Lanes origin = {_mm_set1_pd(ray.origin[0]), _mm_set1_pd(ray.origin[1]), _mm_set1_pd(ray.origin[2])};
    const Lanes pvec = crossLanes(direction, edge2);
    const __m128d determinant = dotLanes(edge1, pvec);
    const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), determinant);
    __m128d pass = _mm_cmpge_pd(magnitude, _mm_set1_pd(kMinDeterminant));
    const __m128d inverse = _mm_div_pd(_mm_set1_pd(1.0), determinant);
    const Lanes tvec = subLanes(origin, p0);
    const __m128d u = _mm_mul_pd(dotLanes(tvec, pvec), inverse);
    pass = _mm_and_pd(pass, _mm_and_pd(_mm_cmpge_pd(u, _mm_setzero_pd()), _mm_cmple_pd(u, _mm_set1_pd(1.0))));
    const Lanes qvec = crossLanes(tvec, edge1);
    const __m128d v = _mm_mul_pd(dotLanes(direction, qvec), inverse);
    pass = _mm_and_pd(pass, _mm_and_pd(_mm_cmpge_pd(v, _mm_setzero_pd()),
                                       _mm_cmple_pd(_mm_add_pd(u, v), _mm_set1_pd(1.0))));
    const __m128d distance = _mm_mul_pd(dotLanes(edge2, qvec), inverse);
    pass = _mm_and_pd(pass, _mm_cmpgt_pd(distance, _mm_set1_pd(kMinDistance)));
    _mm_storeu_pd(t, distance);
    return _mm_movemask_pd(pass);
}
#endif

// The unit normal from two edges, (0, 1, 0) when the triangle is degenerate.
void unitNormal(const double edge1[3], const double edge2[3], double normal[3])
{
    double n[3];
    cross(edge1, edge2, n);
    const double length = std::sqrt(dot(n, n));
    if (!(length > kMinNormalLength)) {
        normal[0] = 0.0;
        normal[1] = 1.0;
        normal[2] = 0.0;
        return;
    }
    for (int a = 0; a < 3; ++a) {
        normal[a] = n[a] / length;
    }
}

void expand(Box& box, const double* point)
{
    for (int a = 0; a < 3; ++a) {
        box.min[a] = std::min(box.min[a], point[a]);
        box.max[a] = std::max(box.max[a], point[a]);
    }
}

void merge(Box& box, const Box& other)
{
    for (int a = 0; a < 3; ++a) {
        box.min[a] = std::min(box.min[a], other.min[a]);
        box.max[a] = std::max(box.max[a], other.max[a]);
    }
}

// The split axis: z when the depth exceeds both width and height, else y when the height
// exceeds the width, else x.
int splitAxis(const Box& box)
{
    const double width = box.max[0] - box.min[0];
    const double height = box.max[1] - box.min[1];
    const double depth = box.max[2] - box.min[2];
    if (depth > width && depth > height) {
        return 2;
    }
    return height > width ? 1 : 0;
}

// Half-sums keep the centre finite for boxes near the largest doubles.
double centre(const Box& box, int axis)
{
    return 0.5 * box.min[axis] + 0.5 * box.max[axis];
}

bool isFinite(const double* point)
{
    return std::isfinite(point[0]) && std::isfinite(point[1]) && std::isfinite(point[2]);
}

// Calls visit(entry, a, b, c) for each triangle of `patch` the pick tests: whole triples of
// its slice that lie inside the index list, with all three local indices among its vertices.
template <typename Visit>
void forEachTriangle(const PickData& data, const PickPatch& patch, Visit&& visit)
{
    const int64_t available = static_cast<int64_t>(data.triangleIndices.size());
    const int64_t start = patch.triOffset;
    const int64_t vertexCount = patch.vertexCount;
    for (int64_t k = 0; k + 2 < int64_t(patch.triCount); k += 3) {
        const int64_t at = start + k;
        if (at + 2 >= available) {
            break;
        }
        const int a = data.triangleIndices[size_t(at)];
        const int b = data.triangleIndices[size_t(at + 1)];
        const int c = data.triangleIndices[size_t(at + 2)];
        if (a < 0 || b < 0 || c < 0 || a >= vertexCount || b >= vertexCount || c >= vertexCount) {
            continue;
        }
        visit(uint32_t(k / 3), uint32_t(a), uint32_t(b), uint32_t(c));
    }
}

// Builds the patch BVH over bvhPatches[first, first + count) in pre-order, node 0 the root.
void buildPatchBvh(PickData& data, uint32_t first, uint32_t count)
{
    const uint32_t index = static_cast<uint32_t>(data.bvh.size());
    data.bvh.emplace_back();
    Box bounds;
    for (uint32_t k = first; k < first + count; ++k) {
        merge(bounds, data.patches[data.bvhPatches[k]].bounds);
    }
    data.bvh[index].bounds = bounds;
    if (count < kLeafPatches) {
        data.bvh[index].first = first;
        data.bvh[index].count = count;
        return;
    }
    const int axis = splitAxis(bounds);
    const uint32_t half = count / 2;
    auto begin = data.bvhPatches.begin() + first;
    std::nth_element(begin, begin + half, begin + count, [&](uint32_t a, uint32_t b) {
        return centre(data.patches[a].bounds, axis) < centre(data.patches[b].bounds, axis);
    });
    const int32_t left = static_cast<int32_t>(data.bvh.size());
    buildPatchBvh(data, first, half);
    const int32_t right = static_cast<int32_t>(data.bvh.size());
    buildPatchBvh(data, first + half, count - half);
    data.bvh[index].left = left;
    data.bvh[index].right = right;
}

// A triangle while its patch's tree is built: its corners in PickData::points.
struct TreeItem
{
    uint32_t corner[3];
    uint32_t entry;
    Box box;
};

// A double as the nearest float, beyond the float range its infinity (a double outside the
// range of float has no defined conversion).
float toFloat(double value)
{
    const double largest = std::numeric_limits<float>::max();
    if (value > largest) {
        return std::numeric_limits<float>::infinity();
    }
    if (value < -largest) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value); // NaN stays NaN
}

float roundDown(double value)
{
    float f = toFloat(value);
    if (double(f) > value) {
        f = std::nextafter(f, -std::numeric_limits<float>::infinity());
    }
    return f;
}

float roundUp(double value)
{
    float f = toFloat(value);
    if (double(f) < value) {
        f = std::nextafter(f, std::numeric_limits<float>::infinity());
    }
    return f;
}

void boxCentre(const Box& box, double centreOut[3])
{
    for (int a = 0; a < 3; ++a) {
        centreOut[a] = centre(box, a);
    }
}

struct TreeBuild
{
    std::vector<TreeItem>& items;
    double anchor[3];
    double padding;
    size_t root;
    PickData& data;
};

// Splits items[first, first + count) at the median centre along the longest axis of their box.
uint32_t splitItems(std::vector<TreeItem>& items, uint32_t first, uint32_t count)
{
    Box bounds;
    for (uint32_t k = first; k < first + count; ++k) {
        merge(bounds, items[k].box);
    }
    const int axis = splitAxis(bounds);
    const uint32_t half = count / 2;
    auto begin = items.begin() + first;
    std::nth_element(begin, begin + half, begin + count, [axis](const TreeItem& a, const TreeItem& b) {
        return centre(a.box, axis) < centre(b.box, axis);
    });
    return half;
}

// Appends the leaf block of items[first, first + count) (see PickData::leafBlocks) and returns
// its vertex count.
uint8_t writeLeafBlock(TreeBuild& build, uint32_t first, uint32_t count)
{
    uint32_t vertices[3 * kLeafTriangles];
    uint32_t vertexCount = 0;
    std::vector<double>& blocks = build.data.leafBlocks;
    for (uint32_t k = first; k < first + count; ++k) {
        const TreeItem& item = build.items[k];
        uint64_t word = uint64_t(item.entry) << 32;
        for (int i = 0; i < 3; ++i) {
            uint32_t local = 0;
            while (local < vertexCount && vertices[local] != item.corner[i]) {
                ++local;
            }
            if (local == vertexCount) {
                vertices[vertexCount++] = item.corner[i];
            }
            word |= uint64_t(local) << (8 * i);
        }
        blocks.emplace_back();
        std::memcpy(&blocks.back(), &word, sizeof word);
    }
    for (uint32_t v = 0; v < vertexCount; ++v) {
        const double* point = &build.data.points[size_t(vertices[v]) * 3];
        blocks.insert(blocks.end(), point, point + 3);
    }
    return static_cast<uint8_t>(vertexCount);
}

// Builds the node over items[first, first + count): up to four levels of median splits give
// up to sixteen children, each a leaf of at most kLeafTriangles triangles or an inner node.
// Returns the node's number from the patch's first node.
uint32_t buildTriangleTree(TreeBuild& build, uint32_t first, uint32_t count)
{
    struct Group {
        uint32_t first, count;
    };
    Group groups[16];
    int groupCount = 0;
    auto collect = [&](auto& self, uint32_t from, uint32_t size, int level) -> void {
        if (size <= kLeafTriangles || level == 4) {
            groups[groupCount++] = {from, size};
            return;
        }
        const uint32_t half = splitItems(build.items, from, size);
        self(self, from, half, level + 1);
        self(self, from + half, size - half, level + 1);
    };
    collect(collect, first, count, 0);

    const size_t index = build.data.triangleNodes.size();
    build.data.triangleNodes.emplace_back();
    {
        TriangleNode& node = build.data.triangleNodes[index];
        const float inf = std::numeric_limits<float>::infinity();
        for (TriangleNode::Boxes& boxes : node.boxes) {
            for (int c = 0; c < 4; ++c) {
                boxes.minX[c] = boxes.minY[c] = boxes.minZ[c] = inf;
                boxes.maxX[c] = boxes.maxY[c] = boxes.maxZ[c] = -inf;
            }
        }
        for (int c = 0; c < 16; ++c) {
            node.child[c] = 0;
            node.count[c] = 0;
            node.vertexCount[c] = 0;
        }
        node.groupCount = static_cast<uint8_t>((groupCount + 3) / 4);
    }
    for (int g = 0; g < groupCount; ++g) {
        Box bounds;
        for (uint32_t k = groups[g].first; k < groups[g].first + groups[g].count; ++k) {
            merge(bounds, build.items[k].box);
        }
        uint32_t child = 0;
        uint8_t leafCount = 0, vertexCount = 0;
        if (groups[g].count > kLeafTriangles) {
            child = buildTriangleTree(build, groups[g].first, groups[g].count);
        } else {
            child = static_cast<uint32_t>(build.data.leafBlocks.size());
            leafCount = static_cast<uint8_t>(groups[g].count);
            vertexCount = writeLeafBlock(build, groups[g].first, groups[g].count);
        }
        TriangleNode& node = build.data.triangleNodes[index]; // the recursion may have moved it
        TriangleNode::Boxes& boxes = node.boxes[g / 4];
        float* mins[3] = {boxes.minX, boxes.minY, boxes.minZ};
        float* maxs[3] = {boxes.maxX, boxes.maxY, boxes.maxZ};
        for (int a = 0; a < 3; ++a) {
            mins[a][g % 4] = roundDown(bounds.min[a] - build.anchor[a] - build.padding);
            maxs[a][g % 4] = roundUp(bounds.max[a] - build.anchor[a] + build.padding);
        }
        node.child[g] = child;
        node.count[g] = leafCount;
        node.vertexCount[g] = vertexCount;
    }
    return static_cast<uint32_t>(index - build.root);
}

// Prepares the testable triangles of one patch and the tree over them. False when the
// layout outgrows 32-bit indices.
bool buildPatchTree(PickData& data, PickPatch& patch, std::vector<TreeItem>& items)
{
    items.clear();
    Box all = patch.bounds;
    forEachTriangle(data, patch, [&](uint32_t entry, uint32_t a, uint32_t b, uint32_t c) {
        const uint32_t corners[3] = {patch.vertexBase + a, patch.vertexBase + b, patch.vertexBase + c};
        TreeItem item;
        for (int i = 0; i < 3; ++i) {
            const double* point = &data.points[size_t(corners[i]) * 3];
            // A corner that is not finite never passes the exact test; it stays out of the tree.
            if (!isFinite(point)) {
                return;
            }
            expand(item.box, point);
            item.corner[i] = corners[i];
        }
        item.entry = entry;
        merge(all, item.box);
        items.push_back(item);
    });
    if (items.empty()) {
        return true;
    }
    // A leaf block takes at most ten words per triangle.
    if (data.leafBlocks.size() + 10 * uint64_t(items.size()) > UINT32_MAX ||
        data.triangleNodes.size() + items.size() > UINT32_MAX) {
        return false;
    }
    // Boxes are stored relative to the centre of the patch's bounds, where the pick starts
    // testing the tree, and padded by a share of everything the tree and bounds span.
    double extent = 0.0;
    for (int a = 0; a < 3; ++a) {
        extent = std::max(extent, all.max[a] - all.min[a]);
    }
    TreeBuild build{items, {}, kTreePadding * extent + 1e-30, data.triangleNodes.size(), data};
    boxCentre(patch.bounds, build.anchor);
    patch.firstTreeNode = static_cast<uint32_t>(data.triangleNodes.size());
    buildTriangleTree(build, 0, static_cast<uint32_t>(items.size()));
    patch.treeNodeCount = static_cast<uint32_t>(data.triangleNodes.size() - patch.firstTreeNode);
    return true;
}

// The slab test of both boxes of a pair at once, computed exactly as slabTest computes each:
// bit 0 for the first box, bit 1 for the second.
inline int crossedPair(const BoxPair& pair, const Ray& ray, double limit, double entries[2])
{
#if defined(__SSE2__) || defined(_M_X64)
    if (!ray.anyParallel) {
        __m128d enter = _mm_setzero_pd();
        __m128d leave = _mm_set1_pd(limit);
        for (int a = 0; a < 3; ++a) {
            const bool negative = ray.inverse[a] < 0.0;
            const __m128d nearPlane = _mm_load_pd(negative ? pair.max[a] : pair.min[a]);
            const __m128d farPlane = _mm_load_pd(negative ? pair.min[a] : pair.max[a]);
            enter = _mm_max_pd(enter, _mm_mul_pd(_mm_sub_pd(nearPlane, ray.originLanes[a]), ray.inverseLanes[a]));
            leave = _mm_min_pd(leave, _mm_mul_pd(_mm_sub_pd(farPlane, ray.originLanes[a]), ray.inverseLanes[a]));
        }
        _mm_storeu_pd(entries, enter);
        return _mm_movemask_pd(_mm_cmple_pd(enter, leave));
    }
    __m128d enter = _mm_setzero_pd();
    __m128d leave = _mm_set1_pd(limit);
    __m128d inside = _mm_castsi128_pd(_mm_set1_epi32(-1));
    for (int a = 0; a < 3; ++a) {
        const __m128d lower = _mm_load_pd(pair.min[a]);
        const __m128d upper = _mm_load_pd(pair.max[a]);
        const __m128d origin = _mm_set1_pd(ray.origin[a]);
        if (ray.parallel[a]) {
            inside = _mm_and_pd(inside, _mm_and_pd(_mm_cmpge_pd(origin, lower), _mm_cmple_pd(origin, upper)));
            continue;
        }
        const __m128d inverse = _mm_set1_pd(ray.inverse[a]);
        const __m128d toLower = _mm_mul_pd(_mm_sub_pd(lower, origin), inverse);
        const __m128d toUpper = _mm_mul_pd(_mm_sub_pd(upper, origin), inverse);
        const bool negative = ray.inverse[a] < 0.0;
        enter = _mm_max_pd(enter, negative ? toUpper : toLower);
        leave = _mm_min_pd(leave, negative ? toLower : toUpper);
    }
    _mm_storeu_pd(entries, enter);
    return _mm_movemask_pd(_mm_and_pd(inside, _mm_cmple_pd(enter, leave)));
#else
    int mask = 0;
    for (int c = 0; c < 2; ++c) {
        const double lower[3] = {pair.min[0][c], pair.min[1][c], pair.min[2][c]};
        const double upper[3] = {pair.max[0][c], pair.max[1][c], pair.max[2][c]};
        mask |= slabTest(lower, upper, ray, limit, entries[c]) ? 1 << c : 0;
    }
    return mask;
#endif
}

// Asks for the cache lines of a block that will be read shortly.
void prefetch(const void* address, size_t bytes)
{
#if defined(__SSE2__) || defined(_M_X64)
    const char* bytesAt = static_cast<const char*>(address);
    for (size_t at = 0; at < bytes; at += 64) {
        _mm_prefetch(bytesAt + at, _MM_HINT_T0);
    }
#else
    (void)address;
    (void)bytes;
#endif
}

// The nearest hit so far. Equal distances within one patch go to the triangle listed first,
// as a scan of the patch's triangles in list order would keep it; across patches the patch
// reached first keeps it.
struct Nearest
{
    double distance = kNoHit;
    int32_t patch = -1;
    uint32_t entry = 0;
    const double* corners[3] = {nullptr, nullptr, nullptr}; // in a leaf block
};

uint64_t triangleWord(const double* slot)
{
    uint64_t word;
    std::memcpy(&word, slot, sizeof word);
    return word;
}

// Keeps triangle `word` of a leaf block, crossed at t, when it is nearer than the best so far.
void offerHit(const double* vertices, uint64_t word, double t, int32_t patchIndex, Nearest& nearest)
{
    const uint32_t entry = static_cast<uint32_t>(word >> 32);
    if (t < nearest.distance || (t == nearest.distance && nearest.patch == patchIndex && entry < nearest.entry)) {
        nearest.distance = t;
        nearest.patch = patchIndex;
        nearest.entry = entry;
        for (int i = 0; i < 3; ++i) {
            nearest.corners[i] = vertices + 3 * ((word >> (8 * i)) & 0xFF);
        }
    }
}

// Tests the triangles of a leaf block in order (two at a time where SSE2 is there).
void pickInTriangleLeaf(const double* block, uint32_t count, int32_t patchIndex, const Ray& ray, Nearest& nearest)
{
    const double* vertices = block + count;
    auto corners = [vertices](uint64_t word, const double* out[3]) {
        for (int i = 0; i < 3; ++i) {
            out[i] = vertices + 3 * ((word >> (8 * i)) & 0xFF);
        }
    };
    uint32_t k = 0;
#if defined(__SSE2__) || defined(_M_X64)
    for (; k + 1 < count; k += 2) {
        const uint64_t firstWord = triangleWord(block + k), secondWord = triangleWord(block + k + 1);
        const double* first[3];
        const double* second[3];
        corners(firstWord, first);
        corners(secondWord, second);
        double t[2];
        const int crossed = intersectTrianglePair(first, second, ray, t);
        if (crossed & 1) {
            offerHit(vertices, firstWord, t[0], patchIndex, nearest);
        }
        if (crossed & 2) {
            offerHit(vertices, secondWord, t[1], patchIndex, nearest);
        }
    }
#endif
    for (; k < count; ++k) {
        const uint64_t word = triangleWord(block + k);
        const double* points[3];
        corners(word, points);
        double t;
        if (intersectTriangle(points[0], points[1], points[2], ray, t)) {
            offerHit(vertices, word, t, patchIndex, nearest);
        }
    }
}

// The ray in single precision for a patch's tree: started at the point where it enters the
// patch's bounds, relative to their centre, so that the rounding stays far below the padding.
struct TreeRay
{
    float origin[3];
    float inverse[3];
    bool negative[3];
    double start; // distance of the tree ray's origin along the pick ray
};

TreeRay makeTreeRay(const Ray& ray, const double anchor[3], double entry)
{
    TreeRay treeRay;
    treeRay.start = entry;
    for (int a = 0; a < 3; ++a) {
        treeRay.origin[a] = toFloat(ray.origin[a] + entry * ray.direction[a] - anchor[a]);
        // A component along which the pick ray counts as parallel gets a huge finite inverse of
        // its sign, so no 0 * infinity arises.
        const bool negative = std::signbit(ray.direction[a]);
        treeRay.inverse[a] = ray.parallel[a] ? (negative ? -1e20f : 1e20f) : toFloat(ray.inverse[a]);
        treeRay.negative[a] = negative;
    }
    return treeRay;
}

// Which of a node's four boxes the tree ray crosses within [lower, upper], and where it enters them.
int crossedChildren(const TriangleNode& node, const TreeRay& ray, float lower, float upper, float entries[16])
{
    int mask = 0;
    const int groups = std::min<int>(node.groupCount, 4);
#if defined(__SSE2__) || defined(_M_X64)
    const __m128 ox = _mm_set1_ps(ray.origin[0]), oy = _mm_set1_ps(ray.origin[1]), oz = _mm_set1_ps(ray.origin[2]);
    const __m128 ix = _mm_set1_ps(ray.inverse[0]), iy = _mm_set1_ps(ray.inverse[1]), iz = _mm_set1_ps(ray.inverse[2]);
    const __m128 lowest = _mm_set1_ps(lower), highest = _mm_set1_ps(upper);
    for (int g = 0; g < groups; ++g) {
        const TriangleNode::Boxes& boxes = node.boxes[g];
        const __m128 nearX = _mm_load_ps(ray.negative[0] ? boxes.maxX : boxes.minX);
        const __m128 farX = _mm_load_ps(ray.negative[0] ? boxes.minX : boxes.maxX);
        const __m128 nearY = _mm_load_ps(ray.negative[1] ? boxes.maxY : boxes.minY);
        const __m128 farY = _mm_load_ps(ray.negative[1] ? boxes.minY : boxes.maxY);
        const __m128 nearZ = _mm_load_ps(ray.negative[2] ? boxes.maxZ : boxes.minZ);
        const __m128 farZ = _mm_load_ps(ray.negative[2] ? boxes.minZ : boxes.maxZ);
        const __m128 enter = _mm_max_ps(
            _mm_max_ps(_mm_mul_ps(_mm_sub_ps(nearX, ox), ix), _mm_mul_ps(_mm_sub_ps(nearY, oy), iy)),
            _mm_max_ps(_mm_mul_ps(_mm_sub_ps(nearZ, oz), iz), lowest));
        const __m128 leave = _mm_min_ps(
            _mm_min_ps(_mm_mul_ps(_mm_sub_ps(farX, ox), ix), _mm_mul_ps(_mm_sub_ps(farY, oy), iy)),
            _mm_min_ps(_mm_mul_ps(_mm_sub_ps(farZ, oz), iz), highest));
        _mm_storeu_ps(entries + 4 * g, enter);
        mask |= _mm_movemask_ps(_mm_cmple_ps(enter, leave)) << (4 * g);
    }
#else
    for (int g = 0; g < groups; ++g) {
        const TriangleNode::Boxes& boxes = node.boxes[g];
        const float* nears[3] = {ray.negative[0] ? boxes.maxX : boxes.minX, ray.negative[1] ? boxes.maxY : boxes.minY,
                                 ray.negative[2] ? boxes.maxZ : boxes.minZ};
        const float* fars[3] = {ray.negative[0] ? boxes.minX : boxes.maxX, ray.negative[1] ? boxes.minY : boxes.maxY,
                                ray.negative[2] ? boxes.minZ : boxes.maxZ};
        for (int c = 0; c < 4; ++c) {
            float enter = lower, leave = upper;
            for (int a = 0; a < 3; ++a) {
                enter = std::max(enter, (nears[a][c] - ray.origin[a]) * ray.inverse[a]);
                leave = std::min(leave, (fars[a][c] - ray.origin[a]) * ray.inverse[a]);
            }
            entries[4 * g + c] = enter;
            mask |= enter <= leave ? 1 << (4 * g + c) : 0;
        }
    }
#endif
    return mask;
}

void pickInPatch(const PickData& data, const LeafPatch& patch, const double anchor[3], int32_t patchIndex,
                 const Ray& ray, double patchEntry, Nearest& nearest)
{
    const TriangleNode* nodes = data.triangleNodes.data() + patch.firstTreeNode;
    const uint32_t nodeCount = patch.treeNodeCount;
    const TreeRay treeRay = makeTreeRay(ray, anchor, patchEntry);
    // The tree ray's parameter range [0, best] of the pick ray, rounded outwards.
    const float lower = roundDown(-treeRay.start);
    uint32_t stack[kTreeStackSize];
    float entries[kTreeStackSize];
    int depth = 0;
    stack[depth] = 0;
    entries[depth++] = lower;
    while (depth > 0) {
        --depth;
        const float upper = roundUp(nearest.distance - treeRay.start);
        if (entries[depth] > upper) {
            continue;
        }
        const TriangleNode& node = nodes[stack[depth]];
        float childEntries[16];
        const int crossed = crossedChildren(node, treeRay, lower, upper, childEntries);
        for (int c = 0; c < 16; ++c) {
            if ((crossed & (1 << c)) != 0 && node.count[c] != 0) {
                prefetch(data.leafBlocks.data() + node.child[c], (node.count[c] + 3 * node.vertexCount[c]) * 8);
            }
        }
        // Inner children are pushed farthest first so the nearest is taken next; leaves are
        // tested at once.
        uint32_t innerNodes[16];
        float innerEntries[16];
        int innerCount = 0;
        for (int c = 0; c < 16; ++c) {
            if ((crossed & (1 << c)) == 0) {
                continue;
            }
            if (node.count[c] == 0) {
                innerNodes[innerCount] = node.child[c];
                innerEntries[innerCount++] = childEntries[c];
                continue;
            }
            pickInTriangleLeaf(data.leafBlocks.data() + node.child[c], node.count[c], patchIndex, ray, nearest);
        }
        for (int i = 1; i < innerCount; ++i) { // farthest first
            for (int j = i; j > 0 && innerEntries[j - 1] < innerEntries[j]; --j) {
                std::swap(innerEntries[j - 1], innerEntries[j]);
                std::swap(innerNodes[j - 1], innerNodes[j]);
            }
        }
        for (int i = 0; i < innerCount; ++i) {
            if (innerNodes[i] < nodeCount && depth < kTreeStackSize) {
                stack[depth] = innerNodes[i];
                entries[depth++] = innerEntries[i];
            }
        }
    }
}

// Tests the patches of a BVH leaf in order. Their bounds are tested first so that the trees
// of those crossed load together; each is then taken only if the best hit found meanwhile
// still lies beyond its entry, which is what testing it then would give.
void pickInLeaf(const PickData& data, uint32_t first, uint32_t count, const Ray& ray, Nearest& nearest)
{
    const uint64_t end = std::min<uint64_t>(uint64_t(first) + count, data.leafPatches.size());
    uint32_t crossed[kLeafPatches];
    double crossedEntries[kLeafPatches];
    int crossedCount = 0;
    for (uint64_t pairStart = first & ~uint64_t(1); pairStart < end; pairStart += 2) {
        double entries[2];
        const int hits = crossedPair(data.leafBounds[size_t(pairStart / 2)], ray, nearest.distance, entries);
        for (int lane = 0; lane < 2; ++lane) {
            const uint64_t k = pairStart + uint64_t(lane);
            if ((hits & (1 << lane)) == 0 || k < first || k >= end || crossedCount == int(kLeafPatches)) {
                continue;
            }
            // Only patches with bounds and at least one testable triangle have a tree.
            const LeafPatch& patch = data.leafPatches[size_t(k)];
            if (patch.treeNodeCount == 0 ||
                uint64_t(patch.firstTreeNode) + patch.treeNodeCount > data.triangleNodes.size()) {
                continue;
            }
            prefetch(data.triangleNodes.data() + patch.firstTreeNode, sizeof(TriangleNode));
            crossed[crossedCount] = uint32_t(k);
            crossedEntries[crossedCount++] = entries[lane];
        }
    }
    for (int i = 0; i < crossedCount; ++i) {
        if (crossedEntries[i] <= nearest.distance) {
            const uint32_t k = crossed[i];
            const BoxPair& pair = data.leafBounds[k / 2];
            const double anchor[3] = {0.5 * pair.min[0][k % 2] + 0.5 * pair.max[0][k % 2],
                                      0.5 * pair.min[1][k % 2] + 0.5 * pair.max[1][k % 2],
                                      0.5 * pair.min[2][k % 2] + 0.5 * pair.max[2][k % 2]};
            pickInPatch(data, data.leafPatches[k], anchor, static_cast<int32_t>(data.bvhPatches[k]), ray,
                        crossedEntries[i], nearest);
        }
    }
}

} // namespace

bool buildPickData(const OverlayDrawData::PatchArrays& arrays, const float* rawPoints, int64_t driverVertexCount,
                   const double matrix[4][4], PickData& data)
{
    data.clear();
    const int64_t patchCount = usableLength(arrays.vertexCounts);
    if (patchCount == 0 || rawPoints == nullptr || driverVertexCount < 0 || matrix == nullptr) {
        return false;
    }
    if (usableLength(arrays.triangleOffsets) < patchCount || usableLength(arrays.triangleCounts) < patchCount ||
        usableLength(arrays.edgeOffsets) < patchCount || usableLength(arrays.edgeCounts) < patchCount) {
        return false;
    }
    // Vertex bases are summed in 64 bits: 32-bit sums of huge stored counts would wrap and
    // let a short driver index list pass.
    int64_t totalVertices = 0;
    for (int64_t i = 0; i < patchCount; ++i) {
        const int count = arrays.vertexCounts.data[i];
        if (count < 0) {
            return false;
        }
        totalVertices += count;
    }
    if (totalVertices > int64_t(UINT32_MAX) || usableLength(arrays.driverVertexIndices) < totalVertices) {
        return false;
    }

    const int64_t triangleEntries = usableLength(arrays.triangleIndices);
    const int64_t edgeEntries = usableLength(arrays.edgeIndices);
    data.triangleIndices.assign(arrays.triangleIndices.data, arrays.triangleIndices.data + triangleEntries);
    data.edgeIndices.assign(arrays.edgeIndices.data, arrays.edgeIndices.data + edgeEntries);
    data.points.resize(size_t(totalVertices) * 3);
    data.patches.resize(size_t(patchCount));

    const double(*m)[4] = matrix;
    const int* drivers = arrays.driverVertexIndices.data;
    int64_t base = 0;
    for (int64_t i = 0; i < patchCount; ++i) {
        PickPatch& patch = data.patches[size_t(i)];
        patch.vertexBase = static_cast<uint32_t>(base);
        patch.vertexCount = static_cast<uint32_t>(arrays.vertexCounts.data[i]);
        patch.triOffset = static_cast<uint32_t>(notNegative(arrays.triangleOffsets.data[i]));
        patch.triCount = static_cast<uint32_t>(notNegative(arrays.triangleCounts.data[i]));
        patch.edgeOffset = static_cast<uint32_t>(notNegative(arrays.edgeOffsets.data[i]));
        patch.edgeCount = static_cast<uint32_t>(notNegative(arrays.edgeCounts.data[i]));
        for (int64_t k = 0; k < int64_t(patch.vertexCount); ++k) {
            double* out = &data.points[size_t(base + k) * 3];
            const int driver = drivers[base + k];
            if (driver < 0 || driver >= driverVertexCount) {
                out[0] = out[1] = out[2] = 0.0;
                continue;
            }
            const float* raw = rawPoints + int64_t(driver) * 3;
            const double x = raw[0], y = raw[1], z = raw[2];
            for (int a = 0; a < 3; ++a) {
                out[a] = x * m[0][a] + y * m[1][a] + z * m[2][a] + m[3][a];
            }
            // A point that is not finite cannot be hit; kept out of the bounds, it cannot
            // poison the BVH's ordering either.
            if (isFinite(out)) {
                expand(patch.bounds, out);
                patch.hasBounds = true;
            }
        }
        base += patch.vertexCount;
    }

    std::vector<TreeItem> items;
    for (int64_t i = 0; i < patchCount; ++i) {
        PickPatch& patch = data.patches[size_t(i)];
        if (patch.hasBounds) {
            data.bvhPatches.push_back(static_cast<uint32_t>(i));
            if (patch.triCount >= 3 && !buildPatchTree(data, patch, items)) {
                data.clear();
                return false;
            }
        }
    }
    if (!data.bvhPatches.empty()) {
        data.bvh.reserve(data.bvhPatches.size() / 2 + 1);
        buildPatchBvh(data, 0, static_cast<uint32_t>(data.bvhPatches.size()));
    }
    // The walk's view of the BVH: each inner node with its children's and grandchildren's boxes.
    data.bvhQuads.resize(data.bvh.size());
    auto describe = [&](int32_t index, uint32_t& node, uint32_t& count) {
        const BvhNode& described = data.bvh[size_t(index)];
        node = described.count > 0 ? described.first : uint32_t(index);
        count = described.count;
    };
    for (size_t n = 0; n < data.bvh.size(); ++n) {
        const BvhNode& node = data.bvh[n];
        BvhQuad& quad = data.bvhQuads[n];
        if (node.count > 0) {
            continue;
        }
        const int32_t children[2] = {node.left, node.right};
        for (int c = 0; c < 2; ++c) {
            const BvhNode& child = data.bvh[size_t(children[c])];
            describe(children[c], quad.childNode[c], quad.childCount[c]);
            for (int a = 0; a < 3; ++a) {
                quad.children.min[a][c] = child.bounds.min[a];
                quad.children.max[a][c] = child.bounds.max[a];
            }
            if (child.count > 0) {
                continue;
            }
            const int32_t grandchildren[2] = {child.left, child.right};
            for (int g = 0; g < 2; ++g) {
                const Box& bounds = data.bvh[size_t(grandchildren[g])].bounds;
                describe(grandchildren[g], quad.grandNode[2 * c + g], quad.grandCount[2 * c + g]);
                for (int a = 0; a < 3; ++a) {
                    quad.grandchildren[c].min[a][g] = bounds.min[a];
                    quad.grandchildren[c].max[a][g] = bounds.max[a];
                }
            }
        }
    }
    data.leafPatches.reserve(data.bvhPatches.size());
    data.leafBounds.resize((data.bvhPatches.size() + 1) / 2);
    for (size_t k = 0; k < data.bvhPatches.size(); ++k) {
        const PickPatch& patch = data.patches[data.bvhPatches[k]];
        data.leafPatches.push_back({patch.firstTreeNode, patch.treeNodeCount});
        BoxPair& pair = data.leafBounds[k / 2];
        for (int a = 0; a < 3; ++a) {
            pair.min[a][k % 2] = patch.bounds.min[a];
            pair.max[a][k % 2] = patch.bounds.max[a];
        }
    }
    if (data.bvhPatches.size() % 2 == 1) { // an empty box fills the last pair
        for (int a = 0; a < 3; ++a) {
            data.leafBounds.back().min[a][1] = std::numeric_limits<double>::max();
            data.leafBounds.back().max[a][1] = -std::numeric_limits<double>::max();
        }
    }
    return true;
}

PickHit rayPick(const PickData& data, const double origin[3], const double direction[3])
{
    PickHit hit;
    if (data.bvh.empty() || data.bvhQuads.size() != data.bvh.size()) {
        return hit;
    }
    const Ray ray = makeRay(origin, direction);
    const size_t nodeCount = data.bvhQuads.size();
    Nearest nearest;
    // The walk visits nodes nearer child first, as a binary walk would. A node's record tests
    // its children and grandchildren together; a grandchild waits on the stack where the
    // binary walk would have pushed it, and is dropped on popping when its entry lies beyond
    // the best hit then, which is exactly when the binary walk would have culled it or its
    // parent. Stack items are inner nodes (count 0) or leaves (their patch range).
    struct Item {
        uint32_t node;
        uint32_t count;
        double entry;
    };
    Item stack[kStackSize];
    int depth = 0;
    auto push = [&](uint32_t node, uint32_t count, double entry) {
        if (depth < kStackSize && (count > 0 || node < nodeCount)) {
            if (count == 0) {
                prefetch(&data.bvhQuads[node], offsetof(BvhQuad, grandchildren));
            } else if (node < data.leafPatches.size()) {
                const size_t patches = std::min<size_t>({count, kLeafPatches, data.leafPatches.size() - node});
                prefetch(&data.leafPatches[node], patches * sizeof(LeafPatch));
                prefetch(&data.leafBounds[node / 2], (patches / 2 + 1) * sizeof(BoxPair));
            }
            stack[depth++] = {node, count, entry};
        }
    };
    double rootEntry = 0.0;
    if (slabTest(data.bvh[0].bounds.min, data.bvh[0].bounds.max, ray, nearest.distance, rootEntry)) {
        push(data.bvh[0].count > 0 ? data.bvh[0].first : 0, data.bvh[0].count, rootEntry);
    }
    while (depth > 0) {
        const Item item = stack[--depth];
        if (item.entry > nearest.distance) {
            continue;
        }
        if (item.count > 0) {
            pickInLeaf(data, item.node, item.count, ray, nearest);
            continue;
        }
        const BvhQuad& node = data.bvhQuads[item.node];
        double childEntries[2];
        const int children = crossedPair(node.children, ray, nearest.distance, childEntries);
        // What the binary walk pushes for child c once it pops it: a leaf child itself, or
        // the crossed grandchildren, farther first.
        auto pushChild = [&](int c) {
            if (node.childCount[c] > 0) {
                push(node.childNode[c], node.childCount[c], childEntries[c]);
                return;
            }
            double pairEntries[2];
            const int crossed = crossedPair(node.grandchildren[c], ray, nearest.distance, pairEntries);
            if (crossed == 3) {
                const int nearer = pairEntries[0] <= pairEntries[1] ? 0 : 1;
                push(node.grandNode[2 * c + 1 - nearer], node.grandCount[2 * c + 1 - nearer], pairEntries[1 - nearer]);
                push(node.grandNode[2 * c + nearer], node.grandCount[2 * c + nearer], pairEntries[nearer]);
            } else if (crossed != 0) {
                const int g = crossed == 1 ? 0 : 1;
                push(node.grandNode[2 * c + g], node.grandCount[2 * c + g], pairEntries[g]);
            }
        };
        if (children == 3) {
            const int nearer = childEntries[0] <= childEntries[1] ? 0 : 1;
            pushChild(1 - nearer);
            pushChild(nearer);
        } else if (children != 0) {
            pushChild(children == 1 ? 0 : 1);
        }
    }
    if (nearest.patch < 0) {
        return hit;
    }
    hit.hit = true;
    hit.patch = nearest.patch;
    hit.distance = nearest.distance;
    for (int a = 0; a < 3; ++a) {
        hit.point[a] = origin[a] + nearest.distance * direction[a];
    }
    double edge1[3], edge2[3];
    sub(nearest.corners[1], nearest.corners[0], edge1);
    sub(nearest.corners[2], nearest.corners[0], edge2);
    unitNormal(edge1, edge2, hit.normal);
    return hit;
}

PickHit screenTestPatch(const PickData& data, int32_t patch, const ScreenProjector& projector, const double mouse[2],
                        double margin, const double origin[3], const double direction[3])
{
    PickHit hit;
    if (patch < 0 || size_t(patch) >= data.patches.size()) {
        return hit;
    }
    const PickPatch& pickPatch = data.patches[size_t(patch)];
    if (pickPatch.triCount < 3 || uint64_t(pickPatch.vertexBase) + pickPatch.vertexCount > data.points.size() / 3) {
        return hit;
    }
    const double* base = data.points.data() + size_t(pickPatch.vertexBase) * 3;
    double best = kNoHit;
    const double* bestCorners[3] = {nullptr, nullptr, nullptr};
    forEachTriangle(data, pickPatch, [&](uint32_t, uint32_t a, uint32_t b, uint32_t c) {
        const double* corners[3] = {base + size_t(a) * 3, base + size_t(b) * 3, base + size_t(c) * 3};
        double pixels[3][2];
        for (int i = 0; i < 3; ++i) {
            if (!projector.project(corners[i], pixels[i])) {
                return;
            }
        }
        const double area = (pixels[1][0] - pixels[0][0]) * (pixels[2][1] - pixels[0][1]) -
                            (pixels[2][0] - pixels[0][0]) * (pixels[1][1] - pixels[0][1]);
        if (!(std::fabs(area) > kMinScreenArea)) {
            return;
        }
        // The mouse may lie up to `margin` pixels outside each edge.
        for (int i = 0; i < 3; ++i) {
            const double* p = pixels[i];
            const double* q = pixels[(i + 1) % 3];
            const double side = (mouse[1] - p[1]) * (q[0] - p[0]) - (mouse[0] - p[0]) * (q[1] - p[1]);
            const double tolerance = margin * std::hypot(q[0] - p[0], q[1] - p[1]);
            const bool inside = area > 0.0 ? side >= -tolerance : side <= tolerance;
            if (!inside) {
                return;
            }
        }
        double edge1[3], edge2[3], normal[3], toCorner[3];
        sub(corners[1], corners[0], edge1);
        sub(corners[2], corners[0], edge2);
        cross(edge1, edge2, normal);
        const double cosine = dot(normal, direction);
        if (!(std::fabs(cosine) > kMinPlaneCosine)) {
            return;
        }
        sub(corners[0], origin, toCorner);
        const double t = dot(normal, toCorner) / cosine;
        if (t > kMinDistance && t < best) {
            best = t;
            std::copy(corners, corners + 3, bestCorners);
        }
    });
    if (bestCorners[0] == nullptr) {
        return hit;
    }
    hit.hit = true;
    hit.patch = patch;
    hit.distance = best;
    for (int a = 0; a < 3; ++a) {
        hit.point[a] = origin[a] + best * direction[a];
    }
    double edge1[3], edge2[3];
    sub(bestCorners[1], bestCorners[0], edge1);
    sub(bestCorners[2], bestCorners[0], edge2);
    unitNormal(edge1, edge2, hit.normal);
    return hit;
}

} // namespace PatchPick
