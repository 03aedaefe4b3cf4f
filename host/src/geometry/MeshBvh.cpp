#include "geometry/MeshBvh.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace host {

namespace {

const int kLeafSize = 4;

double boxDistance2(const float lo[3], const float hi[3], const double p[3])
{
    double d2 = 0;
    for (int k = 0; k < 3; ++k) {
        double d = p[k] < lo[k] ? lo[k] - p[k] : (p[k] > hi[k] ? p[k] - hi[k] : 0.0);
        d2 += d * d;
    }
    return d2;
}

// Closest point on triangle abc to p, with the weights of a and b.
void closestOnTriangle(const double p[3], const float* a, const float* b, const float* c, double out[3],
                       double& wa, double& wb)
{
    double ab[3], ac[3], ap[3];
    for (int k = 0; k < 3; ++k) {
        ab[k] = double(b[k]) - a[k];
        ac[k] = double(c[k]) - a[k];
        ap[k] = p[k] - a[k];
    }
    auto dot = [](const double* u, const double* v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; };
    double v = 0, w = 0;
    const double d1 = dot(ab, ap), d2 = dot(ac, ap);
    double bp[3], cp[3];
    for (int k = 0; k < 3; ++k) {
        bp[k] = p[k] - b[k];
        cp[k] = p[k] - c[k];
    }
    const double d3 = dot(ab, bp), d4 = dot(ac, bp), d5 = dot(ab, cp), d6 = dot(ac, cp);
    const double vc = d1 * d4 - d3 * d2, vb = d5 * d2 - d1 * d6, va = d3 * d6 - d5 * d4;
    if (d1 <= 0 && d2 <= 0) {
        v = w = 0;
    } else if (d3 >= 0 && d4 <= d3) {
        v = 1, w = 0;
    } else if (vc <= 0 && d1 >= 0 && d3 <= 0) {
        v = d1 / (d1 - d3), w = 0;
    } else if (d6 >= 0 && d5 <= d6) {
        v = 0, w = 1;
    } else if (vb <= 0 && d2 >= 0 && d6 <= 0) {
        v = 0, w = d2 / (d2 - d6);
    } else if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        w = (d4 - d3) / ((d4 - d3) + (d5 - d6)), v = 1 - w;
    } else {
        const double denom = va + vb + vc;
        v = denom != 0 ? vb / denom : 0;
        w = denom != 0 ? vc / denom : 0;
    }
    for (int k = 0; k < 3; ++k)
        out[k] = a[k] + ab[k] * v + ac[k] * w;
    wa = 1 - v - w;
    wb = v;
}

bool rayBox(const float lo[3], const float hi[3], const double o[3], const double inv[3], double tMin, double tMax)
{
    for (int k = 0; k < 3; ++k) {
        double t0 = (lo[k] - o[k]) * inv[k], t1 = (hi[k] - o[k]) * inv[k];
        if (t0 > t1)
            std::swap(t0, t1);
        // NaN from 0*inf leaves the interval as it was.
        if (t0 > tMin)
            tMin = t0;
        if (t1 < tMax)
            tMax = t1;
        if (tMin > tMax)
            return false;
    }
    return true;
}

} // namespace

bool MeshBvh::intersectTriangle(const float* a, const float* b, const float* c, const double origin[3],
                                const double direction[3], double tMin, double tMax, double tolerance, MeshHit& hit)
{
    double e1[3], e2[3], s[3];
    for (int k = 0; k < 3; ++k) {
        e1[k] = double(b[k]) - a[k];
        e2[k] = double(c[k]) - a[k];
        s[k] = origin[k] - a[k];
    }
    const double p[3] = {direction[1] * e2[2] - direction[2] * e2[1], direction[2] * e2[0] - direction[0] * e2[2],
                         direction[0] * e2[1] - direction[1] * e2[0]};
    const double det = e1[0] * p[0] + e1[1] * p[1] + e1[2] * p[2];
    if (det == 0)
        return false;
    const double invDet = 1.0 / det;
    const double u = (s[0] * p[0] + s[1] * p[1] + s[2] * p[2]) * invDet;
    if (u < -tolerance || u > 1 + tolerance)
        return false;
    const double q[3] = {s[1] * e1[2] - s[2] * e1[1], s[2] * e1[0] - s[0] * e1[2], s[0] * e1[1] - s[1] * e1[0]};
    const double v = (direction[0] * q[0] + direction[1] * q[1] + direction[2] * q[2]) * invDet;
    if (v < -tolerance || u + v > 1 + tolerance)
        return false;
    const double t = (e2[0] * q[0] + e2[1] * q[1] + e2[2] * q[2]) * invDet;
    if (t < tMin || t > tMax)
        return false;
    hit.distance = t;
    hit.bary1 = 1 - u - v;
    hit.bary2 = u;
    for (int k = 0; k < 3; ++k)
        hit.point[k] = origin[k] + t * direction[k];
    return true;
}

MeshBvh::MeshBvh(const float* points, const int* connects, const int* faceOffsets,
                 const std::vector<int>& triOffsets, const std::vector<int>& corners)
{
    const int faces = int(triOffsets.size()) - 1;
    tris.reserve(corners.size() / 3);
    for (int f = 0; f < faces; ++f)
        for (int t = triOffsets[size_t(f)]; t < triOffsets[size_t(f) + 1]; ++t) {
            Tri tri;
            for (int c = 0; c < 3; ++c) {
                const float* p = points + size_t(connects[faceOffsets[f] + corners[size_t(t) * 3 + c]]) * 3;
                for (int k = 0; k < 3; ++k)
                    tri.v[c][k] = p[k];
            }
            tri.face = f;
            tri.index = t - triOffsets[size_t(f)];
            tris.push_back(tri);
        }
    if (tris.empty())
        return;
    std::vector<float> centres(tris.size() * 3);
    for (size_t i = 0; i < tris.size(); ++i)
        for (int k = 0; k < 3; ++k)
            centres[i * 3 + k] = (tris[i].v[0][k] + tris[i].v[1][k] + tris[i].v[2][k]) / 3.0f;
    nodes.reserve(2 * tris.size() / kLeafSize + 2);
    perm.resize(tris.size());
    std::iota(perm.begin(), perm.end(), 0);
    build(0, int(tris.size()), centres);
    // Leaves index the permuted order: lay the triangles out that way.
    std::vector<Tri> ordered(tris.size());
    for (size_t i = 0; i < perm.size(); ++i)
        ordered[i] = tris[size_t(perm[i])];
    tris.swap(ordered);
    perm = std::vector<int>();
}

// Leaves take their triangles' bounds; inner nodes the union of their
// children's, so each triangle is visited for bounds once.
int MeshBvh::build(int first, int count, std::vector<float>& centres)
{
    const int index = int(nodes.size());
    nodes.emplace_back();
    BvhNode node;
    for (int k = 0; k < 3; ++k) {
        node.lo[k] = std::numeric_limits<float>::max();
        node.hi[k] = -std::numeric_limits<float>::max();
    }
    if (count <= kLeafSize) {
        for (int i = first; i < first + count; ++i)
            for (int c = 0; c < 3; ++c)
                for (int k = 0; k < 3; ++k) {
                    node.lo[k] = std::min(node.lo[k], tris[size_t(perm[size_t(i)])].v[c][k]);
                    node.hi[k] = std::max(node.hi[k], tris[size_t(perm[size_t(i)])].v[c][k]);
                }
        node.first = first;
        node.count = count;
        nodes[size_t(index)] = node;
        return index;
    }
    // Split the longest extent of the centres at their median.
    float clo[3] = {node.lo[0], node.lo[1], node.lo[2]}, chi[3] = {node.hi[0], node.hi[1], node.hi[2]};
    for (int i = first; i < first + count; ++i) {
        const float* centre = &centres[size_t(perm[size_t(i)]) * 3];
        for (int k = 0; k < 3; ++k) {
            clo[k] = std::min(clo[k], centre[k]);
            chi[k] = std::max(chi[k], centre[k]);
        }
    }
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (chi[k] - clo[k] > chi[axis] - clo[axis])
            axis = k;
    const int half = count / 2;
    std::nth_element(perm.begin() + first, perm.begin() + first + half, perm.begin() + first + count,
                     [&](int a, int b) { return centres[size_t(a) * 3 + axis] < centres[size_t(b) * 3 + axis]; });
    const int left = build(first, half, centres);
    const int right = build(first + half, count - half, centres);
    for (int k = 0; k < 3; ++k) {
        node.lo[k] = std::min(nodes[size_t(left)].lo[k], nodes[size_t(right)].lo[k]);
        node.hi[k] = std::max(nodes[size_t(left)].hi[k], nodes[size_t(right)].hi[k]);
    }
    node.first = right;
    node.count = 0;
    nodes[size_t(index)] = node;
    return index;
}

bool MeshBvh::closestPoint(const double query[3], MeshHit& hit) const
{
    if (tris.empty())
        return false;
    double best = std::numeric_limits<double>::infinity();
    int stack[128];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const BvhNode& node = nodes[size_t(stack[--top])];
        if (boxDistance2(node.lo, node.hi, query) >= best)
            continue;
        if (node.count > 0) {
            for (int i = node.first; i < node.first + node.count; ++i) {
                const Tri& t = tris[size_t(i)];
                double p[3], wa, wb;
                closestOnTriangle(query, t.v[0], t.v[1], t.v[2], p, wa, wb);
                double d2 = 0;
                for (int k = 0; k < 3; ++k)
                    d2 += (p[k] - query[k]) * (p[k] - query[k]);
                if (d2 < best) {
                    best = d2;
                    hit.face = t.face;
                    hit.triangle = t.index;
                    hit.bary1 = wa;
                    hit.bary2 = wb;
                    for (int k = 0; k < 3; ++k)
                        hit.point[k] = p[k];
                }
            }
            continue;
        }
        // Visit the nearer child first.
        const int left = int(&node - nodes.data()) + 1, right = node.first;
        double dl = boxDistance2(nodes[size_t(left)].lo, nodes[size_t(left)].hi, query);
        double dr = boxDistance2(nodes[size_t(right)].lo, nodes[size_t(right)].hi, query);
        if (dl < dr) {
            stack[top++] = right;
            stack[top++] = left;
        } else {
            stack[top++] = left;
            stack[top++] = right;
        }
    }
    hit.distance = std::sqrt(best);
    return true;
}

bool MeshBvh::intersect(const double origin[3], const double direction[3], double tMin, double tMax, MeshHit& hit,
                        double tolerance) const
{
    if (tris.empty())
        return false;
    double inv[3];
    for (int k = 0; k < 3; ++k)
        inv[k] = 1.0 / direction[k];
    bool found = false;
    int stack[128];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const int index = stack[--top];
        const BvhNode& node = nodes[size_t(index)];
        if (!rayBox(node.lo, node.hi, origin, inv, tMin, tMax))
            continue;
        if (node.count == 0) {
            stack[top++] = node.first;
            stack[top++] = index + 1;
            continue;
        }
        for (int i = node.first; i < node.first + node.count; ++i) {
            const Tri& tri = tris[size_t(i)];
            if (intersectTriangle(tri.v[0], tri.v[1], tri.v[2], origin, direction, tMin, tMax, tolerance, hit)) {
                tMax = hit.distance;
                found = true;
                hit.face = tri.face;
                hit.triangle = tri.index;
            }
        }
    }
    return found;
}

} // namespace host
