#include "geometry/MeshGeometry.h"

#include "geometry/MeshBvh.h"
#include "geometry/Triangulate.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace host {

namespace {

uint64_t nextSerial()
{
    static std::atomic<uint64_t> counter{0};
    return ++counter;
}

int findRoot(std::vector<int>& parent, int i)
{
    while (parent[i] != i) {
        parent[i] = parent[parent[i]];
        i = parent[i];
    }
    return i;
}

void unite(std::vector<int>& parent, int a, int b)
{
    a = findRoot(parent, a);
    b = findRoot(parent, b);
    if (a != b)
        parent[a < b ? b : a] = a < b ? a : b;
}

} // namespace

MeshGeometry::MeshGeometry() : serial(nextSerial())
{
    offsets.push_back(0);
}

MeshGeometry::MeshGeometry(const MeshGeometry& other)
    : points(other.points), counts(other.counts), connects(other.connects), offsets(other.offsets),
      edgeVertices(other.edgeVertices), edgeSmooth(other.edgeSmooth), faceEdges(other.faceEdges),
      uvSets(other.uvSets), currentUVSet(other.currentUVSet), userNormals(other.userNormals), holes(other.holes),
      loopColors(other.loopColors),
      serial(nextSerial())
{
    // A copy is mostly made to change its points: keep the normal ids.
    std::lock_guard<std::mutex> guard(other.lock);
    if (other.normalIdsBuilt) {
        cachedNormalIds = other.cachedNormalIds;
        cachedNormalIdCount = other.cachedNormalIdCount;
        normalIdsBuilt = true;
    }
}

MeshGeometry::~MeshGeometry() = default;

bool MeshGeometry::setTopology(std::vector<float> newPoints, std::vector<int> newCounts,
                               std::vector<int> newConnects, MString* error)
{
    const int64_t vertexCount = int64_t(newPoints.size() / 3);
    int64_t total = 0;
    for (int c : newCounts) {
        if (c < 3) {
            if (error)
                *error = "a face has fewer than 3 vertices";
            return false;
        }
        total += c;
    }
    if (total != int64_t(newConnects.size())) {
        if (error)
            *error = "the face counts do not match the face vertex list";
        return false;
    }
    for (int v : newConnects)
        if (v < 0 || v >= vertexCount) {
            if (error)
                *error = "a face uses a vertex that does not exist";
            return false;
        }
    points = std::move(newPoints);
    counts = std::move(newCounts);
    connects = std::move(newConnects);
    offsets.assign(counts.size() + 1, 0);
    for (size_t f = 0; f < counts.size(); ++f)
        offsets[f + 1] = offsets[f] + counts[f];
    uvSets.clear();
    currentUVSet = 0;
    userNormals.clear();
    holes.clear();
    loopColors.clear();
    buildEdges();
    touch();
    return true;
}

bool MeshGeometry::setHoles(std::vector<MeshHole> newHoles, MString* error)
{
    auto fail = [error](const char* reason) {
        if (error)
            *error = reason;
        return false;
    };
    int previousFace = 0;
    for (const MeshHole& hole : newHoles) {
        if (hole.face < previousFace || hole.face >= numFaces())
            return fail("a hole belongs to a face that does not exist or comes out of order");
        previousFace = hole.face;
        if (hole.vertices.size() < 3)
            return fail("a hole has fewer than 3 vertices");
        for (int v : hole.vertices)
            if (v < 0 || v >= numVertices())
                return fail("a hole uses a vertex that does not exist");
    }
    holes = std::move(newHoles);
    buildEdges();
    touch();
    return true;
}

// Edges numbered in order of first use, walking the faces' corners, then
// the corners of their holes.
void MeshGeometry::buildEdges()
{
    const int nv = numVertices();
    edgeVertices.clear();
    faceEdges.assign(connects.size(), -1);
    // Per-vertex chains of the edges starting at their lower vertex.
    std::vector<int> head(size_t(nv), -1), next;
    std::vector<int> useCount;
    auto edgeOf = [&](int a, int b) {
        int lo = a < b ? a : b, hi = a < b ? b : a;
        int edge = -1;
        for (int e = head[lo]; e >= 0; e = next[e])
            if (edgeVertices[2 * e + 1] == hi || (edgeVertices[2 * e] == hi && edgeVertices[2 * e + 1] == lo)) {
                edge = e;
                break;
            }
        if (edge < 0) {
            edge = int(next.size());
            edgeVertices.push_back(a);
            edgeVertices.push_back(b);
            next.push_back(head[lo]);
            head[lo] = edge;
            useCount.push_back(0);
        }
        ++useCount[edge];
        return edge;
    };
    for (int f = 0; f < numFaces(); ++f) {
        const int begin = offsets[f], n = counts[f];
        for (int i = 0; i < n; ++i)
            faceEdges[begin + i] = edgeOf(connects[begin + i], connects[begin + (i + 1) % n]);
    }
    for (MeshHole& hole : holes) {
        const size_t n = hole.vertices.size();
        hole.edges.resize(n);
        for (size_t i = 0; i < n; ++i)
            hole.edges[i] = edgeOf(hole.vertices[i], hole.vertices[(i + 1) % n]);
    }
    edgeSmooth.resize(useCount.size());
    for (size_t e = 0; e < useCount.size(); ++e)
        edgeSmooth[e] = useCount[e] > 1;  // border edges are hard
}

void MeshGeometry::setPoints(std::vector<float> newPoints)
{
    points = std::move(newPoints);
    touchPoints();
}

void MeshGeometry::setAllEdgesHard(bool hard)
{
    edgeSmooth.assign(edgeSmooth.size(), hard ? 0 : 1);
    touch();
}

void MeshGeometry::setEdgeHard(int edge, bool hard)
{
    if (edge >= 0 && edge < numEdges()) {
        edgeSmooth[edge] = hard ? 0 : 1;
        touch();
    }
}

void MeshGeometry::setSmoothingByVertexPairs(const std::vector<int>& pairs, const std::vector<char>& smooth)
{
    std::unordered_map<int64_t, char> byPair;
    const int64_t nv = numVertices();
    auto key = [nv](int64_t a, int64_t b) { return std::min(a, b) * nv + std::max(a, b); };
    for (size_t e = 0; e < smooth.size() && 2 * e + 1 < pairs.size(); ++e)
        byPair[key(pairs[2 * e], pairs[2 * e + 1])] = smooth[e];
    for (int e = 0; e < numEdges(); ++e) {
        auto it = byPair.find(key(edgeVertices[size_t(e) * 2], edgeVertices[size_t(e) * 2 + 1]));
        if (it != byPair.end())
            edgeSmooth[size_t(e)] = it->second;
    }
    touch();
}

bool MeshGeometry::setUVSet(const MString& name, std::vector<float> u, std::vector<float> v, std::vector<int> ids)
{
    if (u.size() != v.size() || ids.size() != connects.size())
        return false;
    for (int id : ids)
        if (id < -1 || id >= int(u.size()))
            return false;
    int index = uvSetIndex(name);
    if (index < 0) {
        uvSets.emplace_back();
        index = int(uvSets.size()) - 1;
    }
    MeshUVSet& set = uvSets[size_t(index)];
    set.name = name;
    set.u = std::move(u);
    set.v = std::move(v);
    set.ids = std::move(ids);
    touch();
    return true;
}

int MeshGeometry::uvSetIndex(const MString& name) const
{
    for (size_t i = 0; i < uvSets.size(); ++i)
        if (uvSets[i].name == name)
            return int(i);
    return -1;
}

bool MeshGeometry::hasUserNormal(int faceVertex) const
{
    const size_t at = size_t(faceVertex) * 3;
    if (faceVertex < 0 || userNormals.size() != connects.size() * 3 || at + 2 >= userNormals.size())
        return false;
    const float* n = &userNormals[at];
    const float kUnset = 1e19f;
    bool nonZero = false;
    for (int k = 0; k < 3; ++k) {
        if (!(std::fabs(n[k]) < kUnset))  // also refuses NaN
            return false;
        nonZero = nonZero || n[k] != 0.0f;
    }
    return nonZero;
}

const MeshUVSet* MeshGeometry::uvSet(const MString* name) const
{
    if (!name || name->length() == 0)
        return currentUVSet >= 0 && currentUVSet < int(uvSets.size()) ? &uvSets[size_t(currentUVSet)] : nullptr;
    int index = uvSetIndex(*name);
    return index < 0 ? nullptr : &uvSets[size_t(index)];
}

void MeshGeometry::touch()
{
    touchPoints();
    std::lock_guard<std::mutex> guard(lock);
    normalIdsBuilt = false;
}

void MeshGeometry::touchPoints()
{
    std::lock_guard<std::mutex> guard(lock);
    serial = nextSerial();
    normalsBuilt = trianglesBuilt = false;
    cachedBvh.reset();
}

const std::vector<int>& MeshGeometry::normalIds() const
{
    std::lock_guard<std::mutex> guard(lock);
    buildNormalIds();
    return cachedNormalIds;
}

const std::vector<float>& MeshGeometry::normals() const
{
    buildNormals();
    return cachedNormals;
}

const std::vector<float>& MeshGeometry::faceNormals() const
{
    buildNormals();
    return cachedFaceNormals;
}

// Face-vertices around a vertex share a normal id when a smooth edge joins
// their faces. Called with the lock held.
void MeshGeometry::buildNormalIds() const
{
    if (normalIdsBuilt)
        return;
    const int nf = numFaces(), nfv = numFaceVertices(), nv = numVertices();
    // Join the corners of faces meeting at a smooth edge.
    std::vector<int> parent(static_cast<size_t>(nfv));
    std::iota(parent.begin(), parent.end(), 0);
    std::vector<int> firstCorner(edgeSmooth.size(), -1);
    for (int f = 0; f < nf; ++f) {
        const int begin = offsets[f], n = counts[f];
        for (int i = 0; i < n; ++i) {
            const int corner = begin + i, nextCorner = begin + (i + 1) % n;
            const int edge = faceEdges[size_t(corner)];
            if (!edgeSmooth[size_t(edge)])
                continue;
            int& first = firstCorner[size_t(edge)];
            if (first < 0) {
                first = corner;
                continue;
            }
            // `first` is the corner where the other face starts this edge.
            const int otherFace = int(std::upper_bound(offsets.begin(), offsets.end(), first) - offsets.begin()) - 1;
            const int otherBegin = offsets[otherFace], otherN = counts[otherFace];
            const int otherNext = otherBegin + (first - otherBegin + 1) % otherN;
            // A face-vertex with a user normal keeps a normal of its own.
            for (int a : {corner, nextCorner})
                for (int b : {first, otherNext})
                    if (connects[size_t(a)] == connects[size_t(b)] && !hasUserNormal(a) && !hasUserNormal(b))
                        unite(parent, a, b);
        }
    }

    // Normal ids: a vertex's first group takes the vertex id.
    cachedNormalIds.assign(size_t(nfv), -1);
    std::vector<int> rootId(size_t(nfv), -1);
    std::vector<char> vertexTaken(size_t(nv), 0);
    int nextId = nv;
    for (int c = 0; c < nfv; ++c) {
        int root = findRoot(parent, c);
        if (rootId[size_t(root)] < 0) {
            int v = connects[size_t(c)];
            rootId[size_t(root)] = vertexTaken[size_t(v)] ? nextId++ : v;
            vertexTaken[size_t(v)] = 1;
        }
        cachedNormalIds[size_t(c)] = rootId[size_t(root)];
    }
    cachedNormalIdCount = nextId;
    normalIdsBuilt = true;
}

// Each normal id gets the angle-weighted mean of its faces' normals.
void MeshGeometry::buildNormals() const
{
    std::lock_guard<std::mutex> guard(lock);
    if (normalsBuilt)
        return;
    buildNormalIds();
    const int nf = numFaces();
    cachedFaceNormals.assign(size_t(nf) * 3, 0.0f);
    for (int f = 0; f < nf; ++f) {
        double n[3];
        newellNormal(points.data(), connects.data() + offsets[f], counts[f], n);
        for (int k = 0; k < 3; ++k)
            cachedFaceNormals[size_t(f) * 3 + k] = float(n[k]);
    }

    std::vector<double> sums(size_t(cachedNormalIdCount) * 3, 0.0);
    for (int f = 0; f < nf; ++f) {
        const int begin = offsets[f], n = counts[f];
        for (int i = 0; i < n; ++i) {
            double angle = cornerAngle(points.data(), connects[size_t(begin + (i + n - 1) % n)],
                                       connects[size_t(begin + i)], connects[size_t(begin + (i + 1) % n)]);
            double* s = &sums[size_t(cachedNormalIds[size_t(begin + i)]) * 3];
            for (int k = 0; k < 3; ++k)
                s[k] += angle * cachedFaceNormals[size_t(f) * 3 + k];
        }
    }
    cachedNormals.assign(sums.size(), 0.0f);
    for (size_t id = 0; id < size_t(cachedNormalIdCount); ++id) {
        double* s = &sums[id * 3];
        double len = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
        for (int k = 0; k < 3; ++k)
            cachedNormals[id * 3 + k] = len > 0 ? float(s[k] / len) : 0.0f;
    }
    for (int c = 0; c < numFaceVertices() && size_t(c) * 3 < userNormals.size(); ++c) {
        if (!hasUserNormal(c))
            continue;
        const float* user = &userNormals[size_t(c) * 3];
        const double len = std::sqrt(double(user[0]) * user[0] + double(user[1]) * user[1] + double(user[2]) * user[2]);
        for (int k = 0; k < 3; ++k)
            cachedNormals[size_t(cachedNormalIds[size_t(c)]) * 3 + k] = float(user[k] / len);
    }
    normalsBuilt = true;
}

const std::vector<int>& MeshGeometry::triangleCounts() const
{
    buildTriangles();
    return cachedTriCounts;
}

const std::vector<int>& MeshGeometry::triangleCorners() const
{
    buildTriangles();
    return cachedTriCorners;
}

const std::vector<int>& MeshGeometry::triangleOffsets() const
{
    buildTriangles();
    return cachedTriOffsets;
}

void MeshGeometry::buildTriangles() const
{
    std::lock_guard<std::mutex> guard(lock);
    if (trianglesBuilt)
        return;
    const int nf = numFaces();
    cachedTriCounts.assign(size_t(nf), 0);
    cachedTriOffsets.assign(size_t(nf) + 1, 0);
    cachedTriCorners.clear();
    cachedTriCorners.reserve(size_t(numFaceVertices()) * 3);
    std::vector<int> scratch;
    std::vector<char> holed(size_t(nf), 0);
    for (const MeshHole& hole : holes)
        holed[size_t(hole.face)] = 1;
    for (int f = 0; f < nf; ++f) {
        if (holed[size_t(f)]) {
            cachedTriOffsets[size_t(f) + 1] = cachedTriOffsets[size_t(f)];
            continue;
        }
        int made = triangulateFace(points.data(), connects.data() + offsets[f], counts[f], cachedTriCorners, scratch);
        cachedTriCounts[size_t(f)] = made;
        cachedTriOffsets[size_t(f) + 1] = cachedTriOffsets[size_t(f)] + made;
    }
    trianglesBuilt = true;
}

const MeshBvh& MeshGeometry::bvh() const
{
    const std::vector<int>& triOffsets = triangleOffsets();
    const std::vector<int>& corners = triangleCorners();
    std::lock_guard<std::mutex> guard(lock);
    if (!cachedBvh)
        cachedBvh.reset(new MeshBvh(points.data(), connects.data(), offsets.data(), triOffsets, corners));
    return *cachedBvh;
}

} // namespace host
