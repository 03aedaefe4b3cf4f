#include "geometry/PolyPrimitives.h"

#include <cmath>

namespace host {

namespace {

struct Builder
{
    std::vector<float> points;
    std::vector<int> counts, connects;
    std::vector<float> u, v;
    std::vector<int> uvIds;

    int point(double x, double y, double z)
    {
        points.push_back(float(x));
        points.push_back(float(y));
        points.push_back(float(z));
        return int(points.size() / 3) - 1;
    }
    int uv(double uu, double vv)
    {
        u.push_back(float(uu));
        v.push_back(float(vv));
        return int(u.size()) - 1;
    }
    void face(std::initializer_list<int> vertices, std::initializer_list<int> uvs)
    {
        counts.push_back(int(vertices.size()));
        connects.insert(connects.end(), vertices);
        uvIds.insert(uvIds.end(), uvs);
    }
    MeshGeometryPtr finish()
    {
        auto g = std::make_shared<MeshGeometry>();
        g->setTopology(std::move(points), std::move(counts), std::move(connects));
        g->setUVSet("map1", std::move(u), std::move(v), std::move(uvIds));
        return g;
    }
};

} // namespace

MeshGeometryPtr buildPlane(double width, double height, int sx, int sy)
{
    Builder b;
    for (int j = 0; j <= sy; ++j)
        for (int i = 0; i <= sx; ++i) {
            b.point(-width / 2 + width * i / sx, 0.0, height / 2 - height * j / sy);
            b.uv(double(i) / sx, double(j) / sy);
        }
    for (int j = 0; j < sy; ++j)
        for (int i = 0; i < sx; ++i) {
            const int a = j * (sx + 1) + i, c = (j + 1) * (sx + 1) + i;
            b.face({a, a + 1, c + 1, c}, {a, a + 1, c + 1, c});
        }
    return b.finish();
}

MeshGeometryPtr buildCube(double width, double height, double depth, int sx, int sy, int sz)
{
    Builder b;
    const int ring = 2 * sy + 2 * sz;
    // Position and v of ring row k, walking front (up), top (back), back (down), bottom (forward).
    auto rowAt = [&](int k, double& y, double& z, double& vv) {
        if (k <= sy) {
            y = -height / 2 + height * k / sy, z = depth / 2, vv = 0.25 * k / sy;
        } else if (k <= sy + sz) {
            y = height / 2, z = depth / 2 - depth * (k - sy) / sz, vv = 0.25 + 0.25 * (k - sy) / sz;
        } else if (k <= 2 * sy + sz) {
            y = height / 2 - height * (k - sy - sz) / sy, z = -depth / 2, vv = 0.5 + 0.25 * (k - sy - sz) / sy;
        } else {
            y = -height / 2, z = -depth / 2 + depth * (k - 2 * sy - sz) / sz, vv = 0.75 + 0.25 * (k - 2 * sy - sz) / sz;
        }
    };
    for (int k = 0; k < ring; ++k)
        for (int i = 0; i <= sx; ++i) {
            double y, z, vv;
            rowAt(k, y, z, vv);
            b.point(-width / 2 + width * i / sx, y, z);
        }
    // Ring UVs have one more row: the bottom strip ends at v = 1.
    for (int k = 0; k <= ring; ++k)
        for (int i = 0; i <= sx; ++i) {
            double y, z, vv;
            rowAt(k, y, z, vv);
            b.uv(0.375 + 0.25 * i / sx, k == ring ? 1.0 : vv);
        }
    auto ringVertex = [&](int k, int i) { return (k % ring) * (sx + 1) + i; };
    auto ringUV = [&](int k, int i) { return k * (sx + 1) + i; };
    for (int k = 0; k < ring; ++k)
        for (int i = 0; i < sx; ++i)
            b.face({ringVertex(k, i), ringVertex(k, i + 1), ringVertex(k + 1, i + 1), ringVertex(k + 1, i)},
                   {ringUV(k, i), ringUV(k, i + 1), ringUV(k + 1, i + 1), ringUV(k + 1, i)});

    // Caps: a grid over (a along -Z, b along +Y); the border comes from the ring.
    for (int side = 0; side < 2; ++side) {
        const bool right = side == 0;
        const int column = right ? sx : 0;
        const double x = right ? width / 2 : -width / 2;
        std::vector<int> vertexAt(size_t((sz + 1) * (sy + 1))), uvAt(vertexAt.size());
        auto cell = [&](int a, int bb) { return size_t(a * (sy + 1) + bb); };
        for (int a = 0; a <= sz; ++a)
            for (int bb = 0; bb <= sy; ++bb) {
                int k = -1;
                if (a == 0)
                    k = bb;
                else if (bb == sy)
                    k = sy + a;
                else if (a == sz)
                    k = sy + sz + (sy - bb);
                else if (bb == 0)
                    k = 2 * sy + sz + (sz - a);
                vertexAt[cell(a, bb)] = k >= 0 ? ringVertex(k, column)
                                               : b.point(x, -height / 2 + height * bb / sy, depth / 2 - depth * a / sz);
            }
        for (int a = 0; a <= sz; ++a)
            for (int bb = 0; bb <= sy; ++bb) {
                const double uu = right ? 0.625 + 0.25 * a / sz : 0.375 - 0.25 * a / sz;
                uvAt[cell(a, bb)] = a == 0 ? ringUV(bb, column) : b.uv(uu, 0.25 * bb / sy);
            }
        for (int a = 0; a < sz; ++a)
            for (int bb = 0; bb < sy; ++bb) {
                const size_t c00 = cell(a, bb), c10 = cell(a + 1, bb), c11 = cell(a + 1, bb + 1), c01 = cell(a, bb + 1);
                if (right)
                    b.face({vertexAt[c00], vertexAt[c10], vertexAt[c11], vertexAt[c01]},
                           {uvAt[c00], uvAt[c10], uvAt[c11], uvAt[c01]});
                else
                    b.face({vertexAt[c10], vertexAt[c00], vertexAt[c01], vertexAt[c11]},
                           {uvAt[c10], uvAt[c00], uvAt[c01], uvAt[c11]});
            }
    }
    MeshGeometryPtr g = b.finish();
    g->setAllEdgesHard(true);
    return g;
}

MeshGeometryPtr buildSphere(double radius, int sa, int sh)
{
    Builder b;
    const double pi = 3.14159265358979323846;
    for (int j = 0; j < sh - 1; ++j) {
        const double phi = -pi / 2 + pi * (j + 1) / sh;
        for (int i = 0; i < sa; ++i) {
            const double theta = 2 * pi * i / sa;
            // "+ 0.0" keeps -0 out of the points.
            b.point(radius * std::cos(phi) * std::cos(theta) + 0.0, radius * std::sin(phi) + 0.0,
                    -radius * std::cos(phi) * std::sin(theta) + 0.0);
        }
    }
    const int south = b.point(0, -radius, 0);
    const int north = b.point(0, radius, 0);
    for (int j = 0; j < sh - 1; ++j)
        for (int i = 0; i <= sa; ++i)
            b.uv(double(i) / sa, double(j + 1) / sh);
    const int southUV = int(b.u.size());
    for (int i = 0; i < sa; ++i)
        b.uv((i + 0.5) / sa, 0.0);
    const int northUV = int(b.u.size());
    for (int i = 0; i < sa; ++i)
        b.uv((i + 0.5) / sa, 1.0);
    auto vertex = [&](int j, int i) { return j * sa + i % sa; };
    auto uvOf = [&](int j, int i) { return j * (sa + 1) + i; };
    for (int j = 0; j < sh - 2; ++j)
        for (int i = 0; i < sa; ++i)
            b.face({vertex(j, i), vertex(j, i + 1), vertex(j + 1, i + 1), vertex(j + 1, i)},
                   {uvOf(j, i), uvOf(j, i + 1), uvOf(j + 1, i + 1), uvOf(j + 1, i)});
    for (int i = 0; i < sa; ++i)
        b.face({vertex(0, i + 1), vertex(0, i), south}, {uvOf(0, i + 1), uvOf(0, i), southUV + i});
    const int top = sh - 2;
    for (int i = 0; i < sa; ++i)
        b.face({vertex(top, i), vertex(top, i + 1), north}, {uvOf(top, i), uvOf(top, i + 1), northUV + i});
    return b.finish();
}

} // namespace host
