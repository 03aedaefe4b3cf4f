#include "overlay/PatchPickData.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#include <xmmintrin.h>
#define PATCH_PICK_SSE2 1
#endif
// Where the compiler builds single functions for AVX, the pick also has a walk that tests
// eight boxes and four triangles at once, used when the processor has AVX.
#if PATCH_PICK_SSE2 && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define PATCH_PICK_AVX 1
#endif

namespace PatchPick {

void PickData::clear()
{
    *this = PickData();
}

namespace {

using OverlayDrawData::IntSpan;

constexpr double kParallelAxis = 1e-12;     // a ray component this small never leaves its slab
constexpr double kMinDeterminant = 1e-8;    // ray (nearly) in the triangle's plane
constexpr double kMinDistance = 1e-6;       // hits at the origin are ignored
constexpr double kMinNormalLength = 1e-8;   // degenerate triangle: default normal
constexpr double kMinScreenArea = 1e-8;     // doubled pixel area of a triangle seen edge-on
constexpr double kMinPlaneCosine = 1e-8;    // ray along the triangle's plane
constexpr uint32_t kLeafTriangles = 8;      // a leaf holds this many triangles
constexpr uint32_t kLargestLeaf = 16;       // or up to this many, rather than a node of two leaves
static_assert(3 * (3 * kLargestLeaf - 1) <= 0xFF, "a leaf's triangles find their corners' xyz in a byte each");
// Single-precision boxes are padded by this share of the span of all points, far beyond the
// rounding of the single-precision walk, so that culling never drops what the exact test
// would accept.
constexpr double kTreePadding = 1e-5;
constexpr int kStackSize = 256;             // trees are balanced: at most 7 waiting per level
constexpr uint32_t kNone = UINT32_MAX;
// Moving more than this share of the patch vertices places and refits everything at once.
constexpr size_t kMovedShareForAll = 8;

const double kNoHit = std::numeric_limits<double>::max();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

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

#if PATCH_PICK_SSE2
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

bool isEmpty(const Box& box)
{
    return !(box.min[0] <= box.max[0] && box.min[1] <= box.max[1] && box.min[2] <= box.max[2]);
}

bool sameBox(const Box& a, const Box& b)
{
    return std::memcmp(a.min, b.min, sizeof a.min) == 0 && std::memcmp(a.max, b.max, sizeof a.max) == 0;
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

// A raw driver point placed by the matrix (row vector), as double.
void placePoint(const float* raw, const double m[4][4], double out[3])
{
    const double x = raw[0], y = raw[1], z = raw[2];
    for (int a = 0; a < 3; ++a) {
        out[a] = x * m[0][a] + y * m[1][a] + z * m[2][a] + m[3][a];
    }
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

// ---- Single-precision boxes ----

// A double as the nearest float, beyond the float range its infinity (a double outside the
// range of float has no defined conversion).
float toFloat(double value)
{
    const double largest = std::numeric_limits<float>::max();
    if (value > largest) {
        return kInfinity;
    }
    if (value < -largest) {
        return -kInfinity;
    }
    return static_cast<float>(value); // NaN stays NaN
}

// The next float up or down, without a library call (infinities and NaN stay).
float stepFloat(float f, bool up)
{
    if (!(f == f) || f == (up ? kInfinity : -kInfinity)) {
        return f;
    }
    if (f == 0.0f) {
        return up ? std::numeric_limits<float>::denorm_min() : -std::numeric_limits<float>::denorm_min();
    }
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    bits = (f > 0.0f) == up ? bits + 1 : bits - 1;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

float roundDown(double value)
{
    const float f = toFloat(value);
    return double(f) > value ? stepFloat(f, false) : f;
}

float roundUp(double value)
{
    const float f = toFloat(value);
    return double(f) < value ? stepFloat(f, true) : f;
}

// A frame for boxes over `bounds` holding points spread over `all`: anchored at the centre of
// `bounds`, where rays start their single-precision walk.
BoxFrame frameFor(const Box& bounds, const Box& all)
{
    BoxFrame frame;
    double extent = 0.0;
    for (int a = 0; a < 3; ++a) {
        frame.anchor[a] = isEmpty(bounds) ? 0.0 : centre(bounds, a);
        extent = std::max(extent, all.max[a] - all.min[a]);
    }
    frame.reach = extent;
    frame.padding = kTreePadding * extent + 1e-30;
    return frame;
}

// Whether a finite point lies where the frame's boxes keep their precision.
bool withinFrame(const BoxFrame& frame, const double* point)
{
    for (int a = 0; a < 3; ++a) {
        if (!(std::fabs(point[a] - frame.anchor[a]) <= frame.reach)) {
            return false;
        }
    }
    return true;
}

void clearNode(WideNode& node)
{
    for (int s = 0; s < 8; ++s) {
        node.minX[s] = node.minY[s] = node.minZ[s] = kInfinity;
        node.maxX[s] = node.maxY[s] = node.maxZ[s] = -kInfinity;
        node.child[s] = 0;
        node.kind[s] = 0;
        node.vertexCount[s] = 0;
    }
    node.childCount = 0;
}

struct SlotBox
{
    float min[3];
    float max[3];
};

constexpr SlotBox kEmptySlot{{kInfinity, kInfinity, kInfinity}, {-kInfinity, -kInfinity, -kInfinity}};

SlotBox slotBox(const WideNode& node, int s)
{
    return {{node.minX[s], node.minY[s], node.minZ[s]}, {node.maxX[s], node.maxY[s], node.maxZ[s]}};
}

bool slotIsEmpty(const WideNode& node, int s)
{
    return !(node.minX[s] <= node.maxX[s]);
}

// Writes a slot's box; true when it changed.
bool setSlotBox(WideNode& node, int s, const SlotBox& box)
{
    const SlotBox before = slotBox(node, s);
    node.minX[s] = box.min[0];
    node.minY[s] = box.min[1];
    node.minZ[s] = box.min[2];
    node.maxX[s] = box.max[0];
    node.maxY[s] = box.max[1];
    node.maxZ[s] = box.max[2];
    return std::memcmp(&before, &box, sizeof box) != 0;
}

// A double box in the frame's single precision: rounded outwards and padded; empty stays empty.
SlotBox framedBox(const Box& box, const BoxFrame& frame)
{
    if (isEmpty(box)) {
        return kEmptySlot;
    }
    SlotBox out;
    for (int a = 0; a < 3; ++a) {
        out.min[a] = roundDown(box.min[a] - frame.anchor[a] - frame.padding);
        out.max[a] = roundUp(box.max[a] - frame.anchor[a] + frame.padding);
    }
    return out;
}

// The union of a node's boxes, as its parent's slot holds it. Rounding outwards commutes
// with the union, so this is the slot a build over the same children gives.
SlotBox nodeBox(const WideNode& node)
{
    SlotBox out = kEmptySlot;
    for (int s = 0; s < 8; ++s) {
        const SlotBox box = slotBox(node, s);
        for (int a = 0; a < 3; ++a) {
            out.min[a] = std::min(out.min[a], box.min[a]);
            out.max[a] = std::max(out.max[a], box.max[a]);
        }
    }
    return out;
}

// The box of a leaf block's finite vertices.
Box leafBlockBounds(const PickData& data, uint32_t block, uint32_t triangles, uint32_t vertices)
{
    Box box;
    const double* vertex = data.leafBlocks.data() + block + 1 + triangles;
    for (uint32_t v = 0; v < vertices; ++v, vertex += 3) {
        if (isFinite(vertex)) {
            expand(box, vertex);
        }
    }
    return box;
}

Box patchEntryBounds(const PatchEntry& entry)
{
    Box box;
    std::copy(entry.min, entry.min + 3, box.min);
    std::copy(entry.max, entry.max + 3, box.max);
    return box;
}

// The box a slot should hold now: a leaf's vertices, a patch's bounds or a node's boxes.
SlotBox currentSlotBox(const PickData& data, const WideNode& node, int s)
{
    const uint8_t kind = node.kind[s];
    if (kind == WideNode::kPatchChild) {
        return framedBox(patchEntryBounds(data.patchEntries[node.child[s]]), data.frame);
    }
    if (kind > 0) {
        return framedBox(leafBlockBounds(data, node.child[s], kind, node.vertexCount[s]), data.frame);
    }
    // An empty slot has child 0: node 0 is a patch's root, never a child.
    return node.child[s] != 0 && node.child[s] < data.nodes.size() ? nodeBox(data.nodes[node.child[s]]) : kEmptySlot;
}

// ---- Building ----

// What a node's children are built from: a run of items, split into at most eight groups by
// splitting the largest group while it holds more than `groupSize`. Packed splits fall at the
// median centre along the longest axis on multiples of `groupSize`, so that all groups but one
// are full and subtrees are packed. Leaf splits fall where a ray is least likely to enter both
// halves, and keep every group within kLargestLeaf.
struct Group
{
    uint32_t first, count;
};

enum class Split
{
    kPacked,
    kLeaves,
};

// Half the surface of a box, 0 when empty: how likely a ray crossing the node is to enter it.
double halfArea(const Box& box)
{
    if (isEmpty(box)) {
        return 0.0;
    }
    const double x = box.max[0] - box.min[0], y = box.max[1] - box.min[1], z = box.max[2] - box.min[2];
    return x * y + y * z + z * x;
}

constexpr int kBins = 8; // of centres per axis, where leaf splits may fall

// The bin of a centre among kBins from `low` on, `scale` bins a unit; out of range and NaN clamp.
int binOf(double value, double low, double scale)
{
    const double at = (value - low) * scale;
    return at >= double(kBins - 1) ? kBins - 1 : (at > 0.0 ? int(at) : 0);
}

// The leaves a group of `count` triangles needs at least.
uint32_t leavesFor(uint32_t count)
{
    return (count + kLargestLeaf - 1) / kLargestLeaf;
}

constexpr uint32_t kLeafNodeItems = 8 * kLargestLeaf; // the most a node of leaves only holds

// Splits `group` (of at most kLeafNodeItems) between bins of its centres, along the axis and
// at the bin where the halves' areas times their counts add up least, among the cuts `allowed`
// accepts (by the lower half's count): moves the lower half to the front and returns its
// count; 0 when no cut does.
template <typename Item, typename BoxOf, typename Allowed>
uint32_t cheapestSplit(std::vector<Item>& items, const Group& group, BoxOf&& boxOf, Allowed&& allowed)
{
    if (group.count > kLeafNodeItems) {
        return 0;
    }
    double centres[kLeafNodeItems][3];
    Box range;
    for (uint32_t k = 0; k < group.count; ++k) {
        const Box& box = boxOf(items[group.first + k]);
        for (int a = 0; a < 3; ++a) {
            centres[k][a] = centre(box, a);
        }
        expand(range, centres[k]);
    }
    double scale[3];
    for (int a = 0; a < 3; ++a) {
        const double extent = range.max[a] - range.min[a];
        scale[a] = extent > 0.0 ? double(kBins) / extent : 0.0; // 0: no cut along it
        scale[a] = std::isfinite(scale[a]) ? scale[a] : 0.0;
    }
    Box bins[3][kBins];
    uint32_t counts[3][kBins] = {};
    uint8_t binOfItem[kLeafNodeItems][3];
    for (uint32_t k = 0; k < group.count; ++k) {
        const Box box = boxOf(items[group.first + k]); // a copy, which writing the bins cannot change
        for (int a = 0; a < 3; ++a) {
            if (scale[a] > 0.0) {
                const int bin = binOf(centres[k][a], range.min[a], scale[a]);
                binOfItem[k][a] = static_cast<uint8_t>(bin);
                merge(bins[a][bin], box);
                ++counts[a][bin];
            }
        }
    }
    double bestCost = std::numeric_limits<double>::infinity();
    int bestAxis = -1, bestBin = 0;
    uint32_t bestCount = 0;
    for (int a = 0; a < 3; ++a) {
        if (!(scale[a] > 0.0)) {
            continue;
        }
        // The upper halves' costs from the top down, then each cut's going up.
        double upperCost[kBins];
        Box upper;
        uint32_t upperCount = 0;
        for (int b = kBins - 1; b > 0; --b) {
            merge(upper, bins[a][b]);
            upperCount += counts[a][b];
            upperCost[b] = halfArea(upper) * upperCount;
        }
        Box lower;
        uint32_t lowerCount = 0;
        for (int b = 0; b + 1 < kBins; ++b) {
            merge(lower, bins[a][b]);
            lowerCount += counts[a][b];
            const double cost = halfArea(lower) * lowerCount + upperCost[b + 1];
            if (lowerCount > 0 && lowerCount < group.count && cost < bestCost && allowed(lowerCount)) {
                bestCost = cost;
                bestAxis = a;
                bestBin = b;
                bestCount = lowerCount;
            }
        }
    }
    if (bestAxis < 0) {
        return 0;
    }
    // Lower items from the back swap with upper ones from the front.
    auto isLower = [&](uint32_t k) { return binOfItem[k][bestAxis] <= bestBin; };
    for (uint32_t front = 0, back = group.count;;) {
        while (front < back && isLower(front)) {
            ++front;
        }
        while (front < back && !isLower(back - 1)) {
            --back;
        }
        if (front >= back) {
            break;
        }
        --back;
        std::swap(items[group.first + front], items[group.first + back]);
        std::swap(binOfItem[front][bestAxis], binOfItem[back][bestAxis]);
        ++front;
    }
    return bestCount;
}

// Moves the `at` items of `group` with the lowest centres along its longest axis to its front.
template <typename Item, typename BoxOf>
void splitAtRank(std::vector<Item>& items, const Group& group, uint32_t at, BoxOf&& boxOf)
{
    Box bounds;
    for (uint32_t k = group.first; k < group.first + group.count; ++k) {
        merge(bounds, boxOf(items[k]));
    }
    const int axis = splitAxis(bounds);
    auto begin = items.begin() + group.first;
    std::nth_element(begin, begin + at, begin + group.count,
                     [&](const Item& a, const Item& b) { return centre(boxOf(a), axis) < centre(boxOf(b), axis); });
}

template <typename Item, typename BoxOf>
int groupItems(std::vector<Item>& items, uint32_t first, uint32_t count, uint32_t groupSize, Split split,
               BoxOf&& boxOf, Group groups[8])
{
    int groupCount = 1;
    groups[0] = {first, count};
    while (groupCount < 8) {
        int largest = 0;
        for (int g = 1; g < groupCount; ++g) {
            largest = groups[g].count > groups[largest].count ? g : largest;
        }
        const Group group = groups[largest];
        if (group.count <= groupSize) {
            break;
        }
        uint32_t at = 0;
        if (split == Split::kLeaves) {
            // A cut is allowed while the eight groups can still all become leaves.
            uint32_t leaves = 0;
            for (int g = 0; g < groupCount; ++g) {
                leaves += leavesFor(groups[g].count);
            }
            leaves -= leavesFor(group.count);
            at = cheapestSplit(items, group, boxOf, [&](uint32_t lower) {
                return leaves + leavesFor(lower) + leavesFor(group.count - lower) <= 8;
            });
            if (at == 0) {
                // Centres that no allowed cut separates: full leaves, else halves.
                at = group.count > kLargestLeaf
                         ? kLargestLeaf * std::max<uint32_t>(1, (group.count + kLargestLeaf) / (2 * kLargestLeaf))
                         : group.count / 2;
                splitAtRank(items, group, at, boxOf);
            }
        } else {
            at = groupSize * std::max<uint32_t>(1, (group.count + groupSize) / (2 * groupSize));
            splitAtRank(items, group, at, boxOf);
        }
        // The halves stay side by side, so that the children keep the items' order in space.
        for (int g = groupCount; g > largest + 1; --g) {
            groups[g] = groups[g - 1];
        }
        groups[largest] = {group.first, at};
        groups[largest + 1] = {group.first + at, group.count - at};
        ++groupCount;
    }
    return groupCount;
}

// The full size of each child of a packed node over `count` items, `unit` to a leaf.
uint32_t packedGroupSize(uint32_t count, uint32_t unit)
{
    uint64_t size = unit;
    while (size * 8 < count) {
        size *= 8;
    }
    return static_cast<uint32_t>(size);
}

uint32_t newNode(PickData& data, uint32_t parentSlot)
{
    data.nodes.emplace_back();
    clearNode(data.nodes.back());
    data.nodes.back().parentSlot = parentSlot;
    return static_cast<uint32_t>(data.nodes.size() - 1);
}

// A triangle while its patch's tree is built: its corners in PickData::points.
struct TreeItem
{
    uint32_t corner[3];
    uint32_t entry;
    Box box; // of its finite corners
};

// Per patch vertex while leaves are built: the last leaf block that copied it (its offset + 1)
// in the high bits and its number among that block's vertices in the low byte, so that a leaf
// finds its copy of a corner without searching its vertices.
using LeafCopies = std::vector<uint64_t>;

// Appends the leaf block of items[first, first + count) (see PickData::leafBlocks) and
// returns its vertex count; each vertex copy is recorded for refits.
uint8_t writeLeafBlock(PickData& data, uint32_t patchIndex, const TreeItem* items, uint32_t count, uint32_t slot,
                       LeafCopies& copies)
{
    uint32_t vertices[3 * kLargestLeaf];
    uint32_t vertexCount = 0;
    std::vector<double>& blocks = data.leafBlocks;
    const uint64_t stamp = uint64_t(blocks.size() + 1) << 8;
    uint64_t header = patchIndex;
    blocks.emplace_back();
    std::memcpy(&blocks.back(), &header, sizeof header);
    for (uint32_t k = 0; k < count; ++k) {
        const TreeItem& item = items[k];
        uint64_t word = uint64_t(item.entry) << 32;
        for (int i = 0; i < 3; ++i) {
            uint64_t& copy = copies[item.corner[i]];
            if ((copy & ~uint64_t(0xFF)) != stamp) {
                copy = stamp | vertexCount;
                vertices[vertexCount++] = item.corner[i];
            }
            word |= 3 * (copy & 0xFF) << (8 * i); // where the corner's xyz starts among the vertices
        }
        blocks.emplace_back();
        std::memcpy(&blocks.back(), &word, sizeof word);
    }
    PickData::Follow& follow = data.follow;
    for (uint32_t v = 0; v < vertexCount; ++v) {
        follow.writtenCopies.push_back({vertices[v], {static_cast<uint32_t>(blocks.size()), slot}});
        const double* point = &data.points[size_t(vertices[v]) * 3];
        blocks.insert(blocks.end(), point, point + 3);
    }
    return static_cast<uint8_t>(vertexCount);
}

// Builds the node over a patch's items[first, first + count) (at `index`, or a new one when
// none) and returns its index.
uint32_t buildTriangleNode(PickData& data, uint32_t patchIndex, std::vector<TreeItem>& items, uint32_t first,
                           uint32_t count, uint32_t parentSlot, LeafCopies& copies, uint32_t index = kNone)
{
    index = index == kNone ? newNode(data, parentSlot) : index;
    // A node over few enough triangles holds them all in leaves, cut where a ray crossing the
    // node is least likely to enter them; a larger one is packed with full subtrees.
    const bool small = count <= 8 * kLargestLeaf;
    Group groups[8];
    const int groupCount = groupItems(items, first, count, small ? kLeafTriangles : packedGroupSize(count, kLeafTriangles),
                                      small ? Split::kLeaves : Split::kPacked,
                                      [](const TreeItem& item) -> const Box& { return item.box; }, groups);
    for (int s = 0; s < groupCount; ++s) {
        const uint32_t slot = index * 8 + uint32_t(s);
        uint32_t child = 0;
        uint8_t kind = 0, vertexCount = 0;
        if (groups[s].count > kLargestLeaf) {
            child = buildTriangleNode(data, patchIndex, items, groups[s].first, groups[s].count, slot, copies);
        } else {
            child = static_cast<uint32_t>(data.leafBlocks.size());
            kind = static_cast<uint8_t>(groups[s].count);
            vertexCount = writeLeafBlock(data, patchIndex, &items[groups[s].first], groups[s].count, slot, copies);
        }
        WideNode& node = data.nodes[index]; // the recursion may have moved it
        node.child[s] = child;
        node.kind[s] = kind;
        node.vertexCount[s] = vertexCount;
        setSlotBox(node, s, currentSlotBox(data, node, s));
    }
    data.nodes[index].childCount = static_cast<uint8_t>(groupCount);
    return index;
}

// The testable triangles of one patch, with their corners in PickData::points.
void collectTriangles(const PickData& data, const PickPatch& patch, std::vector<TreeItem>& items)
{
    items.clear();
    forEachTriangle(data, patch, [&](uint32_t entry, uint32_t a, uint32_t b, uint32_t c) {
        TreeItem item;
        item.entry = entry;
        const uint32_t corners[3] = {patch.vertexBase + a, patch.vertexBase + b, patch.vertexBase + c};
        for (int i = 0; i < 3; ++i) {
            item.corner[i] = corners[i];
            const double* point = &data.points[size_t(corners[i]) * 3];
            // A corner that is not finite never passes the exact test; it adds nothing to boxes.
            if (isFinite(point)) {
                expand(item.box, point);
            }
        }
        items.push_back(item);
    });
}

// Builds the tree of entry `rank` over its patch's triangles, rooted at node `rank`. False
// when the layout outgrows 32-bit indices.
bool buildPatchTree(PickData& data, uint32_t rank, std::vector<TreeItem>& items, LeafCopies& copies)
{
    const uint32_t patchIndex = data.patchEntries[rank].patch;
    PickPatch& patch = data.patches[patchIndex];
    collectTriangles(data, patch, items);
    // A leaf block takes at most eleven slots and three vertex copies per triangle; node slots
    // are numbered node * 8 + slot.
    if (data.leafBlocks.size() + 11 * uint64_t(items.size()) > UINT32_MAX ||
        data.follow.writtenCopies.size() + 3 * uint64_t(items.size()) > UINT32_MAX ||
        data.nodes.size() + items.size() + data.patchEntries.size() > UINT32_MAX / 8) {
        return false;
    }
    const size_t before = data.nodes.size();
    patch.firstTreeNode = rank;
    buildTriangleNode(data, patchIndex, items, 0, static_cast<uint32_t>(items.size()), kNone, copies, rank);
    patch.treeNodeCount = static_cast<uint32_t>(data.nodes.size() - before + 1);
    return true;
}

// Builds the node over entries ranks[first, first + count) of the tree over the patches.
uint32_t buildPatchNode(PickData& data, std::vector<uint32_t>& ranks, uint32_t first, uint32_t count,
                        uint32_t parentSlot)
{
    const uint32_t index = newNode(data, parentSlot);
    Group groups[8];
    const int groupCount =
        groupItems(ranks, first, count, packedGroupSize(count, 1), Split::kPacked,
                   [&data](uint32_t rank) -> const Box& { return data.patches[data.patchEntries[rank].patch].bounds; },
                   groups);
    for (int s = 0; s < groupCount; ++s) {
        const uint32_t slot = index * 8 + uint32_t(s);
        uint32_t child = 0;
        uint8_t kind = 0;
        if (groups[s].count > 1) {
            child = buildPatchNode(data, ranks, groups[s].first, groups[s].count, slot);
        } else {
            child = ranks[groups[s].first];
            kind = WideNode::kPatchChild;
            data.patchEntries[child].slot = slot;
        }
        WideNode& node = data.nodes[index];
        node.child[s] = child;
        node.kind[s] = kind;
        setSlotBox(node, s, currentSlotBox(data, node, s));
    }
    data.nodes[index].childCount = static_cast<uint8_t>(groupCount);
    return index;
}

// Groups the copies the build wrote by patch vertex (of `pointCount`), in the order written.
void groupCopies(PickData::Follow& follow, size_t pointCount)
{
    std::vector<uint32_t>& start = follow.pointCopyStart;
    start.assign(pointCount + 1, 0);
    for (const PickData::Follow::WrittenCopy& written : follow.writtenCopies) {
        ++start[size_t(written.point) + 1];
    }
    for (size_t k = 0; k < pointCount; ++k) {
        start[k + 1] += start[k];
    }
    follow.pointCopies.resize(start[pointCount]);
    std::vector<uint32_t> next(start.begin(), start.end() - 1);
    for (const PickData::Follow::WrittenCopy& written : follow.writtenCopies) {
        follow.pointCopies[next[written.point]++] = written.copy;
    }
}

// The box of every finite patch vertex, unbound ones at the origin included: what the
// trees' boxes span.
Box finitePointsBox(const PickData& data)
{
    Box all;
    for (size_t k = 0; k < data.points.size(); k += 3) {
        if (isFinite(&data.points[k])) {
            expand(all, &data.points[k]);
        }
    }
    return all;
}

// ---- Walking ----

// Asks for the cache lines holding `bytes` bytes from `address` on, which will be read shortly.
void prefetchBytes(const void* address, size_t bytes)
{
#if PATCH_PICK_SSE2
    const uintptr_t first = reinterpret_cast<uintptr_t>(address) & ~uintptr_t(63);
    const uintptr_t last = reinterpret_cast<uintptr_t>(address) + bytes - 1;
    for (uintptr_t line = first; line <= last; line += 64) {
        _mm_prefetch(reinterpret_cast<const char*>(line), _MM_HINT_T0);
    }
#else
    (void)address;
    (void)bytes;
#endif
}

// The lowest set bit of a non-zero mask.
int lowestBit(int mask)
{
#if defined(__GNUC__)
    return __builtin_ctz(unsigned(mask));
#else
    int bit = 0;
    while ((mask & (1 << bit)) == 0) {
        ++bit;
    }
    return bit;
#endif
}

// The ray in single precision: started at the point `entry` where it enters the data's bounds,
// relative to the anchor, so that the rounding stays far below the padding.
// `nearOffset` and `farOffset` are where a node's boxes hold, per axis, the sides the ray meets
// first and last (bytes from the node's start), chosen once for the ray's signs.
struct FloatRay
{
    float origin[3];
    float inverse[3];
    uint32_t nearOffset[3];
    uint32_t farOffset[3];
    double start; // distance of the float ray's origin along the pick ray
};

static_assert(offsetof(WideNode, minY) == offsetof(WideNode, minX) + sizeof(WideNode::minX) &&
                  offsetof(WideNode, minZ) == offsetof(WideNode, minY) + sizeof(WideNode::minY) &&
                  offsetof(WideNode, maxY) == offsetof(WideNode, maxX) + sizeof(WideNode::maxX) &&
                  offsetof(WideNode, maxZ) == offsetof(WideNode, maxY) + sizeof(WideNode::maxY),
              "a node's box sides lie axis after axis");

// A node's eight box sides at `offset` bytes from its start.
const float* nodeSides(const WideNode& node, uint32_t offset)
{
    return reinterpret_cast<const float*>(reinterpret_cast<const char*>(&node) + offset);
}

FloatRay makeFloatRay(const Ray& ray, const double anchor[3], double entry)
{
    FloatRay floatRay;
    floatRay.start = entry;
    for (int a = 0; a < 3; ++a) {
        floatRay.origin[a] = toFloat(ray.origin[a] + entry * ray.direction[a] - anchor[a]);
        // A component along which the pick ray counts as parallel gets a huge finite inverse of
        // its sign, so no 0 * infinity arises.
        const bool negative = std::signbit(ray.direction[a]);
        floatRay.inverse[a] = ray.parallel[a] ? (negative ? -1e20f : 1e20f) : toFloat(ray.inverse[a]);
        const uint32_t axis = uint32_t(a) * uint32_t(sizeof(WideNode::minX));
        floatRay.nearOffset[a] = uint32_t(negative ? offsetof(WideNode, maxX) : offsetof(WideNode, minX)) + axis;
        floatRay.farOffset[a] = uint32_t(negative ? offsetof(WideNode, minX) : offsetof(WideNode, maxX)) + axis;
    }
    return floatRay;
}

// Which of a node's boxes the ray crosses within [lower, upper] (bit per slot), and where it
// enters them. An empty slot is never crossed.
int crossedSlots(const WideNode& node, const FloatRay& ray, float lower, float upper, float entries[8])
{
#if PATCH_PICK_SSE2
    const float* nears[3] = {nodeSides(node, ray.nearOffset[0]), nodeSides(node, ray.nearOffset[1]),
                             nodeSides(node, ray.nearOffset[2])};
    const float* fars[3] = {nodeSides(node, ray.farOffset[0]), nodeSides(node, ray.farOffset[1]),
                            nodeSides(node, ray.farOffset[2])};
    const __m128 ox = _mm_set1_ps(ray.origin[0]), oy = _mm_set1_ps(ray.origin[1]), oz = _mm_set1_ps(ray.origin[2]);
    const __m128 ix = _mm_set1_ps(ray.inverse[0]), iy = _mm_set1_ps(ray.inverse[1]), iz = _mm_set1_ps(ray.inverse[2]);
    int mask = 0;
    for (int at = 0; at < node.childCount; at += 4) {
        const __m128 enter = _mm_max_ps(
            _mm_max_ps(_mm_mul_ps(_mm_sub_ps(_mm_load_ps(nears[0] + at), ox), ix),
                       _mm_mul_ps(_mm_sub_ps(_mm_load_ps(nears[1] + at), oy), iy)),
            _mm_max_ps(_mm_mul_ps(_mm_sub_ps(_mm_load_ps(nears[2] + at), oz), iz), _mm_set1_ps(lower)));
        const __m128 leave = _mm_min_ps(
            _mm_min_ps(_mm_mul_ps(_mm_sub_ps(_mm_load_ps(fars[0] + at), ox), ix),
                       _mm_mul_ps(_mm_sub_ps(_mm_load_ps(fars[1] + at), oy), iy)),
            _mm_min_ps(_mm_mul_ps(_mm_sub_ps(_mm_load_ps(fars[2] + at), oz), iz), _mm_set1_ps(upper)));
        _mm_storeu_ps(entries + at, enter);
        mask |= _mm_movemask_ps(_mm_cmple_ps(enter, leave)) << at;
    }
    return mask;
#else
    const float* nears[3] = {nodeSides(node, ray.nearOffset[0]), nodeSides(node, ray.nearOffset[1]),
                             nodeSides(node, ray.nearOffset[2])};
    const float* fars[3] = {nodeSides(node, ray.farOffset[0]), nodeSides(node, ray.farOffset[1]),
                            nodeSides(node, ray.farOffset[2])};
    int mask = 0;
    for (int s = 0; s < node.childCount && s < 8; ++s) {
        float enter = lower, leave = upper;
        for (int a = 0; a < 3; ++a) {
            enter = std::max(enter, (nears[a][s] - ray.origin[a]) * ray.inverse[a]);
            leave = std::min(leave, (fars[a][s] - ray.origin[a]) * ray.inverse[a]);
        }
        entries[s] = enter;
        mask |= enter <= leave ? 1 << s : 0;
    }
    return mask;
#endif
}

// The nearest hit so far. Equal distances go to the lower patch, then to the triangle listed
// first, as a scan of every patch's triangles in order would keep them.
struct Nearest
{
    double distance = kNoHit;
    int32_t patch = -1;
    uint32_t entry = 0;
    const double* corners[3] = {nullptr, nullptr, nullptr}; // in a leaf block
};

uint64_t blockWord(const double* slot)
{
    uint64_t word;
    std::memcpy(&word, slot, sizeof word);
    return word;
}

void cornersOf(const double* vertices, uint64_t word, const double* out[3])
{
    for (int i = 0; i < 3; ++i) {
        out[i] = vertices + ((word >> (8 * i)) & 0xFF);
    }
}

// Keeps triangle `word` of a leaf block, crossed at t, when it comes before the best so far.
void offerHit(const double* vertices, uint64_t word, double t, int32_t patchIndex, Nearest& nearest)
{
    const uint32_t entry = static_cast<uint32_t>(word >> 32);
    if (t < nearest.distance ||
        (t == nearest.distance &&
         (patchIndex < nearest.patch || (patchIndex == nearest.patch && entry < nearest.entry)))) {
        nearest.distance = t;
        nearest.patch = patchIndex;
        nearest.entry = entry;
        cornersOf(vertices, word, nearest.corners);
    }
}

// Tests the triangles of a leaf block, one or two at a time.
void pickInTriangleLeaf(const double* block, uint32_t count, const Ray& ray, Nearest& nearest)
{
    uint32_t k = 0;
    const int32_t patchIndex = static_cast<int32_t>(blockWord(block));
    const double* words = block + 1;
    const double* vertices = words + count;
#if PATCH_PICK_SSE2
    for (; k + 1 < count; k += 2) {
        const uint64_t firstWord = blockWord(words + k), secondWord = blockWord(words + k + 1);
        const double* first[3];
        const double* second[3];
        cornersOf(vertices, firstWord, first);
        cornersOf(vertices, secondWord, second);
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
        const uint64_t word = blockWord(words + k);
        const double* points[3];
        cornersOf(vertices, word, points);
        double t;
        if (intersectTriangle(points[0], points[1], points[2], ray, t)) {
            offerHit(vertices, word, t, patchIndex, nearest);
        }
    }
}

// The plain walk's tests: four boxes and two triangles at once where SSE2 is there.
struct BaseLanes
{
    static int crossed(const WideNode& node, const FloatRay& ray, float lower, float upper, float entries[8])
    {
        return crossedSlots(node, ray, lower, upper, entries);
    }
    static void leaf(const double* block, uint32_t count, const Ray& ray, Nearest& nearest)
    {
        pickInTriangleLeaf(block, count, ray, nearest);
    }
};

#if PATCH_PICK_AVX
// Eight boxes and four triangles at once, with the operations of the plain tests in the same
// order, so that every lane gives the plain test's verdict and distance.
struct AvxLanes
{
    __attribute__((target("avx"))) static int crossed(const WideNode& node, const FloatRay& ray, float lower,
                                                      float upper, float entries[8])
    {
        const __m256 nearX = _mm256_load_ps(nodeSides(node, ray.nearOffset[0]));
        const __m256 farX = _mm256_load_ps(nodeSides(node, ray.farOffset[0]));
        const __m256 nearY = _mm256_load_ps(nodeSides(node, ray.nearOffset[1]));
        const __m256 farY = _mm256_load_ps(nodeSides(node, ray.farOffset[1]));
        const __m256 nearZ = _mm256_load_ps(nodeSides(node, ray.nearOffset[2]));
        const __m256 farZ = _mm256_load_ps(nodeSides(node, ray.farOffset[2]));
        const __m256 ox = _mm256_set1_ps(ray.origin[0]), oy = _mm256_set1_ps(ray.origin[1]),
                     oz = _mm256_set1_ps(ray.origin[2]);
        const __m256 ix = _mm256_set1_ps(ray.inverse[0]), iy = _mm256_set1_ps(ray.inverse[1]),
                     iz = _mm256_set1_ps(ray.inverse[2]);
        const __m256 enter = _mm256_max_ps(
            _mm256_max_ps(_mm256_mul_ps(_mm256_sub_ps(nearX, ox), ix), _mm256_mul_ps(_mm256_sub_ps(nearY, oy), iy)),
            _mm256_max_ps(_mm256_mul_ps(_mm256_sub_ps(nearZ, oz), iz), _mm256_set1_ps(lower)));
        const __m256 leave = _mm256_min_ps(
            _mm256_min_ps(_mm256_mul_ps(_mm256_sub_ps(farX, ox), ix), _mm256_mul_ps(_mm256_sub_ps(farY, oy), iy)),
            _mm256_min_ps(_mm256_mul_ps(_mm256_sub_ps(farZ, oz), iz), _mm256_set1_ps(upper)));
        _mm256_storeu_ps(entries, enter);
        return _mm256_movemask_ps(_mm256_cmp_ps(enter, leave, _CMP_LE_OQ));
    }

    struct Quad
    {
        __m256d x, y, z;
    };

    // Four corners' x, y and z: each corner's x and y read together, then interleaved.
    __attribute__((target("avx"))) static Quad load(const double* const corners[4])
    {
        const __m256d xy02 =
            _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(corners[0])), _mm_loadu_pd(corners[2]), 1);
        const __m256d xy13 =
            _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(corners[1])), _mm_loadu_pd(corners[3]), 1);
        const __m128d z01 = _mm_loadh_pd(_mm_load_sd(corners[0] + 2), corners[1] + 2);
        const __m128d z23 = _mm_loadh_pd(_mm_load_sd(corners[2] + 2), corners[3] + 2);
        return {_mm256_unpacklo_pd(xy02, xy13), _mm256_unpackhi_pd(xy02, xy13),
                _mm256_insertf128_pd(_mm256_castpd128_pd256(z01), z23, 1)};
    }
    __attribute__((target("avx"))) static Quad minus(const Quad& a, const Quad& b)
    {
        return {_mm256_sub_pd(a.x, b.x), _mm256_sub_pd(a.y, b.y), _mm256_sub_pd(a.z, b.z)};
    }
    __attribute__((target("avx"))) static Quad crossOf(const Quad& a, const Quad& b)
    {
        return {_mm256_sub_pd(_mm256_mul_pd(a.y, b.z), _mm256_mul_pd(a.z, b.y)),
                _mm256_sub_pd(_mm256_mul_pd(a.z, b.x), _mm256_mul_pd(a.x, b.z)),
                _mm256_sub_pd(_mm256_mul_pd(a.x, b.y), _mm256_mul_pd(a.y, b.x))};
    }
    __attribute__((target("avx"))) static __m256d dotOf(const Quad& a, const Quad& b)
    {
        return _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(a.x, b.x), _mm256_mul_pd(a.y, b.y)),
                             _mm256_mul_pd(a.z, b.z));
    }

    // Möller–Trumbore on four triangles: bit i set when triangle i is crossed at t[i].
    __attribute__((target("avx"))) static int intersect(const double* const p0[4], const double* const p1[4],
                                                        const double* const p2[4], const Ray& ray, double t[4])
    {
        const Quad corner = load(p0);
        const Quad edge1 = minus(load(p1), corner);
        const Quad edge2 = minus(load(p2), corner);
        const Quad direction = {_mm256_set1_pd(ray.direction[0]), _mm256_set1_pd(ray.direction[1]),
                                _mm256_set1_pd(ray.direction[2])};
        const Quad origin = {_mm256_set1_pd(ray.origin[0]), _mm256_set1_pd(ray.origin[1]),
                             _mm256_set1_pd(ray.origin[2])};
        const Quad pvec = crossOf(direction, edge2);
        const __m256d determinant = dotOf(edge1, pvec);
        const __m256d magnitude = _mm256_andnot_pd(_mm256_set1_pd(-0.0), determinant);
        __m256d pass = _mm256_cmp_pd(magnitude, _mm256_set1_pd(kMinDeterminant), _CMP_GE_OQ);
        const __m256d inverse = _mm256_div_pd(_mm256_set1_pd(1.0), determinant);
        const Quad tvec = minus(origin, corner);
        const __m256d u = _mm256_mul_pd(dotOf(tvec, pvec), inverse);
        pass = _mm256_and_pd(pass, _mm256_and_pd(_mm256_cmp_pd(u, _mm256_setzero_pd(), _CMP_GE_OQ),
                                                 _mm256_cmp_pd(u, _mm256_set1_pd(1.0), _CMP_LE_OQ)));
        const Quad qvec = crossOf(tvec, edge1);
        const __m256d v = _mm256_mul_pd(dotOf(direction, qvec), inverse);
        pass = _mm256_and_pd(pass,
                             _mm256_and_pd(_mm256_cmp_pd(v, _mm256_setzero_pd(), _CMP_GE_OQ),
                                           _mm256_cmp_pd(_mm256_add_pd(u, v), _mm256_set1_pd(1.0), _CMP_LE_OQ)));
        const __m256d distance = _mm256_mul_pd(dotOf(edge2, qvec), inverse);
        pass = _mm256_and_pd(pass, _mm256_cmp_pd(distance, _mm256_set1_pd(kMinDistance), _CMP_GT_OQ));
        _mm256_storeu_pd(t, distance);
        return _mm256_movemask_pd(pass);
    }

    __attribute__((target("avx"))) static void leaf(const double* block, uint32_t count, const Ray& ray,
                                                    Nearest& nearest)
    {
        const int32_t patchIndex = static_cast<int32_t>(blockWord(block));
        const double* words = block + 1;
        const double* vertices = words + count;
        // Four triangles at a time; a last group of fewer repeats its last triangle in the
        // lanes past it, whose verdicts are dropped.
        const auto testFour = [&](const uint32_t at[4], int lanes) __attribute__((always_inline)) {
            uint64_t word[4];
            const double* corners[3][4];
            for (int i = 0; i < 4; ++i) {
                word[i] = blockWord(words + at[i]);
                for (int c = 0; c < 3; ++c) {
                    corners[c][i] = vertices + ((word[i] >> (8 * c)) & 0xFF);
                }
            }
            double t[4];
            for (int crossed = intersect(corners[0], corners[1], corners[2], ray, t) & lanes; crossed != 0;
                 crossed &= crossed - 1) {
                const int i = lowestBit(crossed);
                offerHit(vertices, word[i], t[i], patchIndex, nearest);
            }
        };
        uint32_t k = 0;
        for (; k + 4 <= count; k += 4) {
            const uint32_t at[4] = {k, k + 1, k + 2, k + 3};
            testFour(at, 0xF);
        }
        if (k < count) {
            const uint32_t last = count - 1;
            const uint32_t at[4] = {k, std::min(k + 1, last), std::min(k + 2, last), last};
            testFour(at, (1 << (count - k)) - 1);
        }
    }
};

bool processorHasAvx()
{
    return __builtin_cpu_supports("avx");
}
#endif

// A child waiting on the walk's stack, and where the ray enters its box.
struct StackItem
{
    uint32_t child;
    uint8_t kind;
    uint8_t vertexCount;
    float entry;
};

// ---- Following the driver ----

// Refits a slot and the slots above it, up to the first that stays the same.
void refitSlot(PickData& data, uint32_t slot)
{
    for (uint32_t at = slot; at != kNone;) {
        WideNode& node = data.nodes[at / 8];
        if (!setSlotBox(node, int(at % 8), currentSlotBox(data, node, int(at % 8)))) {
            return;
        }
        at = node.parentSlot;
    }
}

// The bounds of a patch's bound, finite vertices.
Box patchBounds(const PickData& data, const PickPatch& patch)
{
    Box bounds;
    for (uint32_t k = patch.vertexBase; k < patch.vertexBase + patch.vertexCount; ++k) {
        const double* point = &data.points[size_t(k) * 3];
        if (data.follow.pointDrivers[k] >= 0 && isFinite(point)) {
            expand(bounds, point);
        }
    }
    return bounds;
}

// The world box of a patch's triangle tree: its root's boxes placed back from the frame and
// rounded outwards, so it holds every finite corner of the patch's triangles. Empty without a
// tree or without such a corner.
Box patchTreeBox(const PickData& data, const PickPatch& patch)
{
    Box box;
    if (patch.treeNodeCount == 0) {
        return box;
    }
    const SlotBox framed = nodeBox(data.nodes[patch.firstTreeNode]);
    for (int a = 0; a < 3; ++a) {
        if (!(framed.min[a] <= framed.max[a])) {
            return Box();
        }
        box.min[a] = std::nextafter(data.frame.anchor[a] + double(framed.min[a]), -kNoHit);
        box.max[a] = std::nextafter(data.frame.anchor[a] + double(framed.max[a]), kNoHit);
    }
    return box;
}

void setPatchBounds(PickData& data, uint32_t patchIndex, const Box& bounds)
{
    PickPatch& patch = data.patches[patchIndex];
    patch.bounds = bounds;
    if (patch.treeNodeCount > 0) {
        PatchEntry& entry = data.patchEntries[patch.firstTreeNode];
        std::copy(bounds.min, bounds.min + 3, entry.min);
        std::copy(bounds.max, bounds.max + 3, entry.max);
    }
}

// Places every patch vertex and refits every box in a new frame.
Refit placeAll(PickData& data, const float* rawPoints, const double matrix[4][4])
{
    PickData::Follow& follow = data.follow;
    std::memcpy(follow.matrix, matrix, sizeof follow.matrix);
    std::copy(rawPoints, rawPoints + follow.driverPoints.size(), follow.driverPoints.begin());
    for (size_t k = 0; k < follow.pointDrivers.size(); ++k) {
        if (follow.pointDrivers[k] >= 0) {
            placePoint(rawPoints + size_t(follow.pointDrivers[k]) * 3, follow.matrix, &data.points[k * 3]);
        }
    }
    data.bounds = Box();
    for (uint32_t i = 0; i < data.patches.size(); ++i) {
        const Box bounds = patchBounds(data, data.patches[i]);
        if (isEmpty(bounds) == data.patches[i].hasBounds) {
            return Refit::kNeedsRebuild;
        }
        setPatchBounds(data, i, bounds);
        merge(data.bounds, bounds);
    }
    data.frame = frameFor(data.bounds, finitePointsBox(data));
    for (size_t k = 0; k + 1 < follow.pointCopyStart.size(); ++k) {
        for (uint32_t r = follow.pointCopyStart[k]; r < follow.pointCopyStart[k + 1]; ++r) {
            std::memcpy(&data.leafBlocks[follow.pointCopies[r].offset], &data.points[k * 3], 3 * sizeof(double));
        }
    }
    for (size_t n = data.nodes.size(); n-- > 0;) { // children come after their parents
        WideNode& node = data.nodes[n];
        for (int s = 0; s < 8; ++s) {
            setSlotBox(node, s, currentSlotBox(data, node, s));
        }
    }
    return Refit::kRefitted;
}

struct Moved
{
    uint32_t point;
    double before[3];
};

// Whether a point on the box's surface, so that moving it away may shrink the box.
bool onBoundary(const Box& box, const double* point)
{
    for (int a = 0; a < 3; ++a) {
        if (point[a] == box.min[a] || point[a] == box.max[a]) {
            return true;
        }
    }
    return false;
}

// The patch holding patch vertex `point`.
uint32_t patchOfPoint(const PickData& data, uint32_t point)
{
    const auto after = std::upper_bound(data.patches.begin(), data.patches.end(), point,
                                        [](uint32_t value, const PickPatch& patch) { return value < patch.vertexBase; });
    auto at = after - 1;
    while (at->vertexCount == 0 || point >= at->vertexBase + at->vertexCount) {
        --at; // empty patches share their base with the next one
    }
    return static_cast<uint32_t>(at - data.patches.begin());
}

// Refits what moved points of one patch touch: its bounds, the leaves holding them and the
// boxes above both.
Refit refitPatch(PickData& data, uint32_t patchIndex, const Moved* moved, size_t movedCount,
                 std::vector<uint32_t>& slots)
{
    PickData::Follow& follow = data.follow;
    const PickPatch& patch = data.patches[patchIndex];
    slots.clear();
    for (size_t m = 0; m < movedCount; ++m) {
        const uint32_t point = moved[m].point;
        for (uint32_t r = follow.pointCopyStart[point]; r < follow.pointCopyStart[point + 1]; ++r) {
            const PickData::Follow::VertexCopy copy = follow.pointCopies[r];
            std::memcpy(&data.leafBlocks[copy.offset], &data.points[size_t(point) * 3], 3 * sizeof(double));
            slots.push_back(copy.slot);
        }
    }
    std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    for (const uint32_t slot : slots) {
        refitSlot(data, slot);
    }

    // The bounds only cull: with every vertex bound, the refitted tree's box holds all that can
    // be hit (measured over the points only when no triangle corner is left to hold). Otherwise
    // they follow the moved points, and are measured again when one left the box's surface.
    Box bounds;
    if (follow.everyPointBound[patchIndex]) {
        bounds = patchTreeBox(data, patch);
        if (isEmpty(bounds)) {
            bounds = patchBounds(data, patch);
        }
    } else {
        bool shrinks = false;
        for (size_t m = 0; m < movedCount; ++m) {
            shrinks = shrinks || (isFinite(moved[m].before) && onBoundary(patch.bounds, moved[m].before));
        }
        bounds = patch.bounds;
        if (shrinks) {
            bounds = patchBounds(data, patch);
        } else {
            for (size_t m = 0; m < movedCount; ++m) {
                const double* point = &data.points[size_t(moved[m].point) * 3];
                if (isFinite(point)) {
                    expand(bounds, point);
                }
            }
        }
    }
    if (isEmpty(bounds) == patch.hasBounds) {
        return Refit::kNeedsRebuild;
    }
    const bool boundsChanged = !sameBox(bounds, patch.bounds);
    setPatchBounds(data, patchIndex, bounds);
    merge(data.bounds, bounds); // may stay larger than needed; it only has to hold every patch
    if (boundsChanged && patch.treeNodeCount > 0) {
        refitSlot(data, data.patchEntries[patch.firstTreeNode].slot);
    }
    return Refit::kRefitted;
}

// ---- Screen test ----

// Whether a box measured from `anchor` lies wholly in front of the view and outside one side
// of the window, so that nothing in it projects within the window's square.
bool outsideWindowFrom(const ScreenWindow& window, const double anchor[3], const Box& box)
{
    // The plane's value at the corner that lies farthest along (high) or against (low) its normal.
    auto value = [&](const double plane[4], bool high) {
        double sum = plane[3] + plane[0] * anchor[0] + plane[1] * anchor[1] + plane[2] * anchor[2];
        for (int a = 0; a < 3; ++a) {
            sum += plane[a] * ((plane[a] >= 0.0) == high ? box.max[a] : box.min[a]);
        }
        return sum;
    };
    if (!(value(window.front, false) > 0.0)) {
        return false;
    }
    if (value(window.beyond, true) < 0.0) {
        return true;
    }
    for (const auto& side : window.sides) {
        if (value(side, true) < 0.0) {
            return true;
        }
    }
    return false;
}

// The same for a slot's box.
bool outsideWindow(const ScreenWindow& window, const double anchor[3], const SlotBox& box)
{
    if (!(box.min[0] <= box.max[0] && box.min[1] <= box.max[1] && box.min[2] <= box.max[2])) {
        return true; // empty
    }
    Box placed;
    for (int a = 0; a < 3; ++a) {
        placed.min[a] = double(box.min[a]);
        placed.max[a] = double(box.max[a]);
    }
    return outsideWindowFrom(window, anchor, placed);
}

// The nearest triangle the screen test accepted so far; equal distances keep the one listed first.
struct ScreenBest
{
    double distance = kNoHit;
    uint32_t entry = 0;
    const double* corners[3] = {nullptr, nullptr, nullptr};
};

void screenTestTriangle(const double* const corners[3], uint32_t entry, const ScreenProjector& projector,
                        const double mouse[2], double margin, const double origin[3], const double direction[3],
                        ScreenBest& best)
{
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
    // The mouse may lie up to `margin` pixels outside each edge, and of the triangle's screen
    // box: without the box, a sliver seen edge-on would reach across the screen.
    for (int a = 0; a < 2; ++a) {
        const double low = std::min({pixels[0][a], pixels[1][a], pixels[2][a]});
        const double high = std::max({pixels[0][a], pixels[1][a], pixels[2][a]});
        if (!(mouse[a] >= low - margin && mouse[a] <= high + margin)) {
            return;
        }
    }
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
    if (t > kMinDistance && (t < best.distance || (t == best.distance && entry < best.entry))) {
        best.distance = t;
        best.entry = entry;
        std::copy(corners, corners + 3, best.corners);
    }
}

void fillHit(PickHit& hit, int32_t patch, uint32_t entry, double distance, const double* const corners[3],
             const double origin[3], const double direction[3])
{
    hit.hit = true;
    hit.patch = patch;
    hit.triangle = static_cast<int32_t>(entry);
    hit.distance = distance;
    for (int a = 0; a < 3; ++a) {
        hit.point[a] = origin[a] + distance * direction[a];
    }
    double edge1[3], edge2[3];
    sub(corners[1], corners[0], edge1);
    sub(corners[2], corners[0], edge2);
    unitNormal(edge1, edge2, hit.normal);
}

} // namespace

namespace {

// Empties `data` for a new build but keeps the storage of its arrays, so that building the
// same overlay again writes into memory it already holds instead of fresh pages.
void emptyKeepingStorage(PickData& data)
{
    PickData old = std::move(data);
    data = PickData();
    auto reuse = [](auto& from, auto& to) {
        from.clear();
        to.swap(from);
    };
    reuse(old.points, data.points);
    reuse(old.patches, data.patches);
    reuse(old.triangleIndices, data.triangleIndices);
    reuse(old.edgeIndices, data.edgeIndices);
    reuse(old.nodes, data.nodes);
    reuse(old.patchEntries, data.patchEntries);
    reuse(old.leafBlocks, data.leafBlocks);
    PickData::Follow& from = old.follow;
    PickData::Follow& to = data.follow;
    reuse(from.driverPoints, to.driverPoints);
    reuse(from.pointDrivers, to.pointDrivers);
    reuse(from.driverUseStart, to.driverUseStart);
    reuse(from.driverUses, to.driverUses);
    reuse(from.pointCopyStart, to.pointCopyStart);
    reuse(from.pointCopies, to.pointCopies);
    reuse(from.writtenCopies, to.writtenCopies);
}

} // namespace

bool buildPickData(const OverlayDrawData::PatchArrays& arrays, const float* rawPoints, int64_t driverVertexCount,
                   const double matrix[4][4], PickData& data)
{
    emptyKeepingStorage(data);
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
    if (totalVertices >= int64_t(UINT32_MAX) || usableLength(arrays.driverVertexIndices) < totalVertices) {
        return false;
    }

    PickData::Follow& follow = data.follow;
    std::memcpy(follow.matrix, matrix, sizeof follow.matrix);
    follow.driverPoints.assign(rawPoints, rawPoints + driverVertexCount * 3);
    const int64_t triangleEntries = usableLength(arrays.triangleIndices);
    const int64_t edgeEntries = usableLength(arrays.edgeIndices);
    data.triangleIndices.assign(arrays.triangleIndices.data, arrays.triangleIndices.data + triangleEntries);
    data.edgeIndices.assign(arrays.edgeIndices.data, arrays.edgeIndices.data + edgeEntries);
    data.points.resize(size_t(totalVertices) * 3);
    data.patches.resize(size_t(patchCount));
    follow.pointDrivers.resize(size_t(totalVertices));
    follow.everyPointBound.assign(size_t(patchCount), 1);

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
            const bool bound = driver >= 0 && driver < driverVertexCount;
            follow.pointDrivers[size_t(base + k)] = bound ? driver : -1;
            if (!bound) {
                follow.everyPointBound[size_t(i)] = 0;
                out[0] = out[1] = out[2] = 0.0;
                continue;
            }
            placePoint(rawPoints + int64_t(driver) * 3, matrix, out);
            // A point that is not finite cannot be hit; kept out of the bounds, it cannot
            // poison the tree's ordering either.
            if (isFinite(out)) {
                expand(patch.bounds, out);
                patch.hasBounds = true;
            }
        }
        merge(data.bounds, patch.bounds);
        base += patch.vertexCount;
    }
    groupByKey(follow.pointDrivers, size_t(driverVertexCount), follow.driverUseStart, follow.driverUses);
    data.frame = frameFor(data.bounds, finitePointsBox(data));

    // Every patch with bounds and something to hit gets an entry and a tree rooted at the
    // node of the same index, so that the walk finds both without reading another; then the
    // tree over them.
    std::vector<TreeItem> items;
    LeafCopies copies(data.points.size() / 3, ~uint64_t(0));
    for (uint32_t i = 0; i < uint32_t(patchCount); ++i) {
        PickPatch& patch = data.patches[i];
        bool testable = false;
        forEachTriangle(data, patch, [&testable](uint32_t, uint32_t, uint32_t, uint32_t) { testable = true; });
        if (patch.hasBounds && patch.triCount >= 3 && testable) {
            data.patchEntries.emplace_back();
            data.patchEntries.back().patch = i;
            std::copy(patch.bounds.min, patch.bounds.min + 3, data.patchEntries.back().min);
            std::copy(patch.bounds.max, patch.bounds.max + 3, data.patchEntries.back().max);
            newNode(data, kNone);
        }
    }
    for (uint32_t rank = 0; rank < data.patchEntries.size(); ++rank) {
        if (!buildPatchTree(data, rank, items, copies)) {
            data.clear();
            return false;
        }
    }
    groupCopies(follow, data.points.size() / 3);
    if (!data.patchEntries.empty()) {
        std::vector<uint32_t> ranks(data.patchEntries.size());
        for (uint32_t rank = 0; rank < ranks.size(); ++rank) {
            ranks[rank] = rank;
        }
        data.root = buildPatchNode(data, ranks, 0, static_cast<uint32_t>(ranks.size()), kNone);
    }
    return true;
}

bool buildMeshPickData(const float* rawPoints, int vertexCount, const std::vector<int>& triangleCorners,
                       const double matrix[4][4], PickData& data)
{
    if (vertexCount < 0 || triangleCorners.size() >= size_t(std::numeric_limits<int>::max())) {
        data.clear();
        return false;
    }
    std::vector<int> vertexIds(static_cast<size_t>(vertexCount));
    for (int v = 0; v < vertexCount; ++v) {
        vertexIds[size_t(v)] = v;
    }
    const int cornerCount = int(triangleCorners.size());
    const int zero = 0;
    OverlayDrawData::PatchArrays arrays;
    arrays.vertexCounts = {&vertexCount, 1};
    arrays.driverVertexIndices = {vertexIds.data(), int64_t(vertexIds.size())};
    arrays.triangleOffsets = {&zero, 1};
    arrays.triangleCounts = {&cornerCount, 1};
    arrays.triangleIndices = {triangleCorners.data(), int64_t(triangleCorners.size())};
    arrays.edgeOffsets = {&zero, 1};
    arrays.edgeCounts = {&zero, 1};
    return buildPickData(arrays, rawPoints, vertexCount, matrix, data);
}

Refit refitPickData(PickData& data, const float* rawPoints, int64_t driverVertexCount, const double matrix[4][4],
                    const ChangedVertices* changedIn, ChangedVertices* changedOut, const VertexRange* within)
{
    PickData::Follow& follow = data.follow;
    if (changedOut != nullptr) {
        changedOut->known = false;
        changedOut->vertices.clear();
    }
    if (data.patches.empty() || rawPoints == nullptr || matrix == nullptr || driverVertexCount < 0 ||
        uint64_t(driverVertexCount) * 3 != follow.driverPoints.size()) {
        return Refit::kNeedsRebuild;
    }
    if (std::memcmp(matrix, follow.matrix, sizeof follow.matrix) != 0) {
        return placeAll(data, rawPoints, matrix);
    }

    std::vector<Moved> moved;
    const size_t movedForAll = data.points.size() / 3 / kMovedShareForAll + 1;
    float* snapshot = follow.driverPoints.data();
    // Places the patch points of driver vertex `v` again when its raw point differs; true when
    // every point must be placed again instead.
    auto follows = [&](int64_t v) {
        const float* raw = rawPoints + v * 3;
        if (std::memcmp(raw, snapshot + v * 3, 3 * sizeof(float)) == 0) {
            return false;
        }
        std::memcpy(snapshot + v * 3, raw, 3 * sizeof(float));
        if (changedOut != nullptr) {
            changedOut->vertices.push_back(uint32_t(v));
        }
        for (uint32_t u = follow.driverUseStart[size_t(v)]; u < follow.driverUseStart[size_t(v) + 1]; ++u) {
            const uint32_t point = follow.driverUses[u];
            double* at = &data.points[size_t(point) * 3];
            Moved entry{point, {at[0], at[1], at[2]}};
            placePoint(raw, follow.matrix, at);
            if (std::memcmp(at, entry.before, sizeof entry.before) != 0) {
                moved.push_back(entry);
            }
            // A point leaving the frame needs new boxes everywhere.
            if (isFinite(at) && !withinFrame(data.frame, at)) {
                return true;
            }
        }
        return moved.size() > movedForAll;
    };
    if (changedIn != nullptr && changedIn->known) {
        // Only the vertices the caller saw change can differ from the snapshot.
        for (const uint32_t v : changedIn->vertices) {
            if (int64_t(v) < driverVertexCount && follows(int64_t(v))) {
                return placeAll(data, rawPoints, matrix);
            }
        }
    } else {
        // The driver vertices whose raw points differ, found a block at a time.
        constexpr int64_t kBlock = 256;
        const int64_t from = within != nullptr ? std::max<int64_t>(within->first, 0) : 0;
        const int64_t to = within != nullptr ? std::min(within->end, driverVertexCount) : driverVertexCount;
        for (int64_t first = from; first < to; first += kBlock) {
            const int64_t count = std::min(kBlock, to - first);
            if (std::memcmp(rawPoints + first * 3, snapshot + first * 3, size_t(count) * 3 * sizeof(float)) == 0) {
                continue;
            }
            for (int64_t v = first; v < first + count; ++v) {
                if (follows(v)) {
                    if (changedOut != nullptr) {
                        changedOut->vertices.clear();
                    }
                    return placeAll(data, rawPoints, matrix);
                }
            }
        }
        if (changedOut != nullptr) {
            changedOut->known = true;
        }
    }
    if (moved.empty()) {
        return Refit::kUnchanged;
    }
    std::sort(moved.begin(), moved.end(), [](const Moved& a, const Moved& b) { return a.point < b.point; });
    std::vector<uint32_t> slots;
    for (size_t m = 0; m < moved.size();) {
        const uint32_t patch = patchOfPoint(data, moved[m].point);
        const uint32_t end = data.patches[patch].vertexBase + data.patches[patch].vertexCount;
        size_t last = m;
        while (last < moved.size() && moved[last].point < end) {
            ++last;
        }
        if (refitPatch(data, patch, moved.data() + m, last - m, slots) == Refit::kNeedsRebuild) {
            return Refit::kNeedsRebuild;
        }
        m = last;
    }
    return Refit::kRefitted;
}

namespace {

// The pick's walk with one set of lane tests.
template <typename Lanes>
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline PickHit walkRay(const PickData& data, const double origin[3], const double direction[3])
{
    PickHit hit;
    if (data.root >= data.nodes.size()) {
        return hit;
    }
    const Ray ray = makeRay(origin, direction);
    Nearest nearest;
    double rootEntry = 0.0;
    if (!slabTest(data.bounds.min, data.bounds.max, ray, nearest.distance, rootEntry)) {
        return hit;
    }
    // One walk over both trees, nearer children first, skipping every box the ray enters
    // beyond the best hit so far. A patch is entered when the ray crosses its slot's box, its
    // bounds padded, before the best hit: a second, exact test of its bounds would only cost
    // another cache line, since any triangle the ray crosses lies within them.
    const FloatRay floatRay = makeFloatRay(ray, data.frame.anchor, rootEntry);
    const float lower = roundDown(-floatRay.start);
    double seenDistance = nearest.distance;
    float upper = roundUp(seenDistance - floatRay.start);
    const size_t nodeCount = data.nodes.size();
    const size_t blockCount = data.leafBlocks.size();
    const size_t patchCount = data.patchEntries.size();
    StackItem stack[kStackSize];
    int depth = 0;
    // The child being entered: the nearest the last node's test found, or one from the stack.
    StackItem item{data.root, 0, 0, lower};
    // Takes the next waiting child the ray enters before the best hit so far; false when none is.
    const auto takeWaiting = [&]() {
        while (depth > 0) {
            item = stack[--depth];
            if (nearest.distance != seenDistance) {
                seenDistance = nearest.distance;
                upper = roundUp(seenDistance - floatRay.start);
            }
            if (!(item.entry > upper)) {
                return true;
            }
        }
        return false;
    };
    for (;;) {
        if (item.kind == WideNode::kPatchChild) {
            item.kind = item.child < patchCount ? 0 : WideNode::kPatchChild; // the patch's tree
        }
        if (item.kind == 0 && item.child < nodeCount) {
            const WideNode& node = data.nodes[item.child];
            float entries[8];
            int crossed = Lanes::crossed(node, floatRay, lower, upper, entries);
            // The nearest crossed child is entered next, the others wait farther first; each is
            // asked for from memory now.
            const auto fetch = [&](int s) {
                const StackItem child{node.child[s], node.kind[s], node.vertexCount[s], entries[s]};
                if (child.kind == 0 || child.kind == WideNode::kPatchChild) {
                    if (child.child < nodeCount) {
                        prefetchBytes(&data.nodes[child.child], sizeof(WideNode));
                    }
                } else if (child.child < blockCount) {
                    prefetchBytes(data.leafBlocks.data() + child.child,
                                  sizeof(double) * (1 + child.kind + 3 * size_t(child.vertexCount)));
                }
                return child;
            };
            if (crossed != 0 && (crossed & (crossed - 1)) == 0) {
                item = fetch(lowestBit(crossed));
                continue;
            }
            int order[8];
            int count = 0;
            for (; crossed != 0; crossed &= crossed - 1) {
                const int s = lowestBit(crossed);
                int at = count++;
                while (at > 0 && entries[order[at - 1]] < entries[s]) {
                    order[at] = order[at - 1];
                    --at;
                }
                order[at] = s;
            }
            if (count > 0 && depth + count - 1 <= kStackSize) { // deeper than any tree built here
                for (int i = 0; i + 1 < count; ++i) {
                    stack[depth++] = fetch(order[i]);
                }
                item = fetch(order[count - 1]);
                continue;
            }
        } else if (item.kind != 0 && item.kind != WideNode::kPatchChild) {
            if (item.child + 1 + uint64_t(item.kind) + 3 * uint64_t(item.vertexCount) <= blockCount) {
                Lanes::leaf(data.leafBlocks.data() + item.child, item.kind, ray, nearest);
            }
        }
        if (!takeWaiting()) {
            break;
        }
    }
    if (nearest.patch >= 0) {
        fillHit(hit, nearest.patch, nearest.entry, nearest.distance, nearest.corners, origin, direction);
    }
    return hit;
}

PickHit walkRayBase(const PickData& data, const double origin[3], const double direction[3])
{
    return walkRay<BaseLanes>(data, origin, direction);
}

#if PATCH_PICK_AVX
__attribute__((target("avx"))) PickHit walkRayAvx(const PickData& data, const double origin[3],
                                                  const double direction[3])
{
    return walkRay<AvxLanes>(data, origin, direction);
}
#endif

} // namespace

PickHit rayPick(const PickData& data, const double origin[3], const double direction[3])
{
#if PATCH_PICK_AVX
    static const bool avx = processorHasAvx();
    if (avx) {
        return walkRayAvx(data, origin, direction);
    }
#endif
    return walkRayBase(data, origin, direction);
}

namespace {

// Calls visit(words, vertices, count) for each leaf of `patch`'s tree whose box may reach into
// the window (every leaf when there is none). False when the patch has no tree to walk.
template <typename Visit>
bool forEachLeafInWindow(const PickData& data, int32_t patch, const ScreenWindow* window, Visit&& visit)
{
    if (patch < 0 || size_t(patch) >= data.patches.size()) {
        return false;
    }
    const PickPatch& pickPatch = data.patches[size_t(patch)];
    if (pickPatch.triCount < 3 || pickPatch.treeNodeCount == 0 || pickPatch.firstTreeNode >= data.nodes.size()) {
        return false;
    }
    uint32_t stack[kStackSize];
    int depth = 0;
    stack[depth++] = pickPatch.firstTreeNode;
    while (depth > 0) {
        const WideNode& node = data.nodes[stack[--depth]];
        for (int s = 0; s < 8; ++s) {
            if (slotIsEmpty(node, s) || (window != nullptr && outsideWindow(*window, data.frame.anchor, slotBox(node, s)))) {
                continue;
            }
            const uint8_t kind = node.kind[s];
            if (kind == 0) {
                if (node.child[s] < data.nodes.size() && depth < kStackSize) {
                    stack[depth++] = node.child[s];
                }
                continue;
            }
            if (kind == WideNode::kPatchChild ||
                node.child[s] + 1 + uint64_t(kind) + 3 * uint64_t(node.vertexCount[s]) > data.leafBlocks.size()) {
                continue;
            }
            const double* words = data.leafBlocks.data() + node.child[s] + 1;
            visit(words, words + kind, uint32_t(kind));
        }
    }
    return true;
}

} // namespace

PickHit screenTestPatch(const PickData& data, int32_t patch, const ScreenProjector& projector, const double mouse[2],
                        double margin, const double origin[3], const double direction[3])
{
    PickHit hit;
    ScreenWindow window;
    const bool culling = projector.window(mouse, margin, window);
    ScreenBest best;
    forEachLeafInWindow(data, patch, culling ? &window : nullptr,
                        [&](const double* words, const double* vertices, uint32_t count) {
                            for (uint32_t k = 0; k < count; ++k) {
                                const uint64_t word = blockWord(words + k);
                                const double* corners[3];
                                cornersOf(vertices, word, corners);
                                screenTestTriangle(corners, uint32_t(word >> 32), projector, mouse, margin, origin,
                                                   direction, best);
                            }
                        });
    if (best.corners[0] != nullptr) {
        fillHit(hit, patch, best.entry, best.distance, best.corners, origin, direction);
    }
    return hit;
}

bool boxOutsideWindow(const ScreenWindow& window, const Box& box)
{
    const double origin[3] = {0.0, 0.0, 0.0};
    return isEmpty(box) || outsideWindowFrom(window, origin, box);
}

void trianglesInWindow(const PickData& data, int32_t patch, const ScreenWindow* window, std::vector<uint32_t>& out)
{
    out.clear();
    forEachLeafInWindow(data, patch, window, [&out](const double* words, const double*, uint32_t count) {
        for (uint32_t k = 0; k < count; ++k) {
            out.push_back(uint32_t(blockWord(words + k) >> 32));
        }
    });
}

} // namespace PatchPick
