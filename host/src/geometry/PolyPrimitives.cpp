#include "geometry/PolyPrimitives.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

const double kPi = 3.14159265358979323846;

// The angle of vertex i of a ring around Y, as Maya places them: the first one step past +X.
double ringAngle(int i, int subdivisions)
{
    return 2 * kPi * (i + 1) / subdivisions;
}

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
    void face(const std::vector<int>& vertices, const std::vector<int>& uvs)
    {
        counts.push_back(int(vertices.size()));
        connects.insert(connects.end(), vertices.begin(), vertices.end());
        uvIds.insert(uvIds.end(), uvs.begin(), uvs.end());
    }
    // A point on a ring around Y ("+ 0.0" keeps -0 out of the points).
    int ringPoint(double radius, double y, int i, int subdivisions)
    {
        const double a = ringAngle(i, subdivisions);
        return point(radius * std::cos(a) + 0.0, y, -radius * std::sin(a) + 0.0);
    }
    // Edges between consecutive vertices of a ring, to be made hard.
    std::vector<int> hardPairs;
    void hardRing(int first, int subdivisions)
    {
        for (int i = 0; i < subdivisions; ++i)
            hardPairs.insert(hardPairs.end(), {first + i, first + (i + 1) % subdivisions});
    }
    MeshGeometryPtr finish()
    {
        auto g = std::make_shared<MeshGeometry>();
        g->setTopology(std::move(points), std::move(counts), std::move(connects));
        g->setUVSet("map1", std::move(u), std::move(v), std::move(uvIds));
        if (!hardPairs.empty())
            g->setSmoothingByVertexPairs(hardPairs, std::vector<char>(hardPairs.size() / 2, 0));
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
    for (int j = 0; j < sh - 1; ++j) {
        const double phi = -kPi / 2 + kPi * (j + 1) / sh;
        for (int i = 0; i < sa; ++i)
            b.ringPoint(radius * std::cos(phi), radius * std::sin(phi) + 0.0, i, sa);
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

namespace {

// Maya's cap layout for cylinders and cones: a disc of UVs around a centre, ring vertex i at uv i.
void capUVs(Builder& b, int sa, double centreU, double centreV, double radius)
{
    for (int i = 0; i < sa; ++i) {
        const double a = ringAngle(i, sa);
        b.uv(centreU + radius * std::cos(a), centreV - radius * std::sin(a));
    }
}

// The rim and the inner rings (outer first) of a cap with `sc` subdivisions, as vertex and UV
// ids per ring; `inner` holds the inner rings' first vertex and UV ids in order.
struct CapRings
{
    std::vector<int> vertex, uv;  // first id of each ring, rim first
};

// Faces of a cap from its rim inwards: quads between rings, a fan to the centre last. `up`
// caps face +Y. Without subdivisions the cap is one face.
void capFaces(Builder& b, const CapRings& rings, int sa, int centre, int centreUV, bool up,
              const std::vector<int>& rimUV)
{
    auto vertexAt = [&](size_t ring, int i) { return rings.vertex[ring] + (i % sa); };
    auto uvAt = [&](size_t ring, int i) { return ring == 0 ? rimUV[size_t(i % sa)] : rings.uv[ring] + (i % sa); };
    if (centre < 0) {
        std::vector<int> vertices, uvs;
        for (int k = 0; k < sa; ++k) {
            const int i = up ? k : (sa - k) % sa;
            vertices.push_back(vertexAt(0, i));
            uvs.push_back(uvAt(0, i));
        }
        b.face(vertices, uvs);
        return;
    }
    for (size_t ring = 0; ring + 1 < rings.vertex.size(); ++ring)
        for (int i = 0; i < sa; ++i) {
            if (up)
                b.face({vertexAt(ring, i), vertexAt(ring, i + 1), vertexAt(ring + 1, i + 1), vertexAt(ring + 1, i)},
                       {uvAt(ring, i), uvAt(ring, i + 1), uvAt(ring + 1, i + 1), uvAt(ring + 1, i)});
            else
                b.face({vertexAt(ring, i + 1), vertexAt(ring, i), vertexAt(ring + 1, i), vertexAt(ring + 1, i + 1)},
                       {uvAt(ring, i + 1), uvAt(ring, i), uvAt(ring + 1, i), uvAt(ring + 1, i + 1)});
        }
    const size_t last = rings.vertex.size() - 1;
    for (int i = 0; i < sa; ++i) {
        if (up)
            b.face({vertexAt(last, i), vertexAt(last, i + 1), centre}, {uvAt(last, i), uvAt(last, i + 1), centreUV});
        else
            b.face({vertexAt(last, i + 1), vertexAt(last, i), centre}, {uvAt(last, i + 1), uvAt(last, i), centreUV});
    }
}

} // namespace

MeshGeometryPtr buildCylinder(double radius, double height, int sa, int sh, int sc, int createUVs)
{
    Builder b;
    const double bottom = -height / 2, top = height / 2;
    for (int k = 0; k <= sh; ++k)
        for (int i = 0; i < sa; ++i)
            b.ringPoint(radius, bottom + height * k / sh, i, sa);
    CapRings bottomRings, topRings;
    bottomRings.vertex.push_back(0);
    topRings.vertex.push_back(sh * sa);
    for (CapRings* rings : {&bottomRings, &topRings})
        for (int m = 1; m < sc; ++m) {
            rings->vertex.push_back(int(b.points.size() / 3));
            for (int i = 0; i < sa; ++i)
                b.ringPoint(radius * (sc - m) / sc, rings == &bottomRings ? bottom : top, i, sa);
        }
    const int bottomCentre = sc > 0 ? b.point(0, bottom, 0) : -1;
    const int topCentre = sc > 0 ? b.point(0, top, 0) : -1;

    // UVs: the bottom cap, the side rows, the top cap, the inner cap rings, the centres.
    // Maya's "normalize and preserve aspect ratio" makes the side a little taller (50/133 of the
    // map) and sets the cap centres 1/160 below the caps' middles.
    const bool aspect = createUVs == 3;
    const double capRadius = 0.15625, bottomV = 0.15625, topV = 0.84375;
    const double sideHeight = aspect ? 50.0 / 133.0 : 0.375, centreShift = aspect ? 0.00625 : 0.0;
    capUVs(b, sa, 0.5, bottomV, capRadius);
    const int side = int(b.u.size());
    for (int k = 0; k <= sh; ++k)
        for (int i = 0; i <= sa; ++i)
            b.uv(0.375 + 0.25 * i / sa, 0.3125 + sideHeight * k / sh);
    const int topCap = int(b.u.size());
    capUVs(b, sa, 0.5, topV, capRadius);
    bottomRings.uv.push_back(0);
    topRings.uv.push_back(topCap);
    for (CapRings* rings : {&bottomRings, &topRings})
        for (int m = 1; m < sc; ++m) {
            rings->uv.push_back(int(b.u.size()));
            capUVs(b, sa, 0.5, rings == &bottomRings ? bottomV : topV, capRadius * (sc - m) / sc);
        }
    const int bottomCentreUV = sc > 0 ? b.uv(0.5, bottomV - centreShift) : -1;
    const int topCentreUV = sc > 0 ? b.uv(0.5, topV - centreShift) : -1;

    auto ring = [&](int k, int i) { return k * sa + i % sa; };
    auto sideUV = [&](int k, int i) { return side + k * (sa + 1) + i; };
    for (int k = 0; k < sh; ++k)
        for (int i = 0; i < sa; ++i)
            b.face({ring(k, i), ring(k, i + 1), ring(k + 1, i + 1), ring(k + 1, i)},
                   {sideUV(k, i), sideUV(k, i + 1), sideUV(k + 1, i + 1), sideUV(k + 1, i)});
    // The top cap's UVs run the other way round: seen from above it is the bottom's mirror.
    std::vector<int> bottomRim(static_cast<size_t>(sa)), topRim(static_cast<size_t>(sa));
    for (int i = 0; i < sa; ++i) {
        bottomRim[size_t(i)] = i;
        topRim[size_t(i)] = topCap + (2 * sa - 2 - i) % sa;
    }
    capFaces(b, bottomRings, sa, bottomCentre, bottomCentreUV, false, bottomRim);
    capFaces(b, topRings, sa, topCentre, topCentreUV, true, topRim);
    b.hardRing(0, sa);
    b.hardRing(sh * sa, sa);
    return b.finish();
}

MeshGeometryPtr buildCone(double radius, double height, int sa, int sh, int sc)
{
    Builder b;
    const double base = -height / 2;
    for (int k = 0; k < sh; ++k)
        for (int i = 0; i < sa; ++i)
            b.ringPoint(radius * (sh - k) / sh, base + height * k / sh, i, sa);
    CapRings cap;
    cap.vertex.push_back(0);
    for (int m = 1; m < sc; ++m) {
        cap.vertex.push_back(int(b.points.size() / 3));
        for (int i = 0; i < sa; ++i)
            b.ringPoint(radius * (sc - m) / sc, base, i, sa);
    }
    const int centre = sc > 0 ? b.point(0, base, 0) : -1;
    const int apex = b.point(0, height / 2, 0);

    // UVs: the base cap, the side rows narrowing towards the apex, the inner cap rings, the
    // base centre, the apex.
    capUVs(b, sa, 0.5, 0.25, 0.25);
    const int side = int(b.u.size());
    for (int k = 0; k < sh; ++k)
        for (int i = 0; i <= sa; ++i)
            b.uv(0.5 + (0.5 * i / sa - 0.25) * (sh - k) / sh, 0.5 + 0.5 * k / sh);
    cap.uv.push_back(0);
    for (int m = 1; m < sc; ++m) {
        cap.uv.push_back(int(b.u.size()));
        capUVs(b, sa, 0.5, 0.25, 0.25 * (sc - m) / sc);
    }
    const int centreUV = sc > 0 ? b.uv(0.5, 0.25) : -1;
    const int apexUV = b.uv(0.5, 1.0);

    std::vector<int> rim(static_cast<size_t>(sa));
    for (int i = 0; i < sa; ++i)
        rim[size_t(i)] = i;
    capFaces(b, cap, sa, centre, centreUV, false, rim);
    auto ring = [&](int k, int i) { return k * sa + i % sa; };
    auto sideUV = [&](int k, int i) { return side + k * (sa + 1) + i; };
    for (int k = 0; k + 1 < sh; ++k)
        for (int i = 0; i < sa; ++i)
            b.face({ring(k, i), ring(k, i + 1), ring(k + 1, i + 1), ring(k + 1, i)},
                   {sideUV(k, i), sideUV(k, i + 1), sideUV(k + 1, i + 1), sideUV(k + 1, i)});
    for (int i = 0; i < sa; ++i)
        b.face({ring(sh - 1, i), ring(sh - 1, i + 1), apex}, {sideUV(sh - 1, i), sideUV(sh - 1, i + 1), apexUV});
    b.hardRing(0, sa);
    return b.finish();
}

MeshGeometryPtr buildTorus(double radius, double sectionRadius, double twist, int sa, int sh)
{
    Builder b;
    for (int j = 0; j < sh; ++j) {
        const double phi = 2 * kPi * j / sh + twist;
        for (int i = 0; i < sa; ++i)
            b.ringPoint(radius - sectionRadius * std::cos(phi), sectionRadius * std::sin(phi) + 0.0, i, sa);
    }
    for (int j = 0; j <= sh; ++j)
        for (int i = 0; i <= sa; ++i)
            b.uv(double(i) / sa, 1.0 - double(j) / sh);
    auto vertex = [&](int j, int i) { return (j % sh) * sa + i % sa; };
    auto uvOf = [&](int j, int i) { return j * (sa + 1) + i; };
    for (int j = 0; j < sh; ++j)
        for (int i = 0; i < sa; ++i)
            b.face({vertex(j, i + 1), vertex(j, i), vertex(j + 1, i), vertex(j + 1, i + 1)},
                   {uvOf(j, i + 1), uvOf(j, i), uvOf(j + 1, i), uvOf(j + 1, i + 1)});
    return b.finish();
}

MeshGeometryPtr alongAxis(const MeshGeometryPtr& geometry, const double axis[3])
{
    const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    if (!(length > 0))
        return geometry;
    const double x = axis[0] / length, y = axis[1] / length, z = axis[2] / length;
    if (y > 1 - 1e-12)
        return geometry;
    // Rotation taking +Y to (x, y, z): about Y x axis (= (z, 0, -x)), by acos(y).
    double kx = z, kz = -x;
    const double s = std::sqrt(kx * kx + kz * kz);
    const double angle = std::acos(std::max(-1.0, std::min(1.0, y)));
    if (s < 1e-12) {
        kx = 1, kz = 0;  // straight down: half a turn about X
    } else {
        kx /= s, kz /= s;
    }
    const double c = std::cos(angle), sn = std::sin(angle), t = 1 - c;
    // Rodrigues' rotation about (kx, 0, kz).
    const double m[3][3] = {{t * kx * kx + c, -sn * kz, t * kx * kz},
                            {sn * kz, c, -sn * kx},
                            {t * kx * kz, sn * kx, t * kz * kz + c}};
    auto turned = std::make_shared<MeshGeometry>(*geometry);
    std::vector<float> points = geometry->points;
    for (size_t p = 0; p + 2 < points.size(); p += 3) {
        const double v[3] = {points[p], points[p + 1], points[p + 2]};
        for (int r = 0; r < 3; ++r)
            points[p + size_t(r)] = float(m[r][0] * v[0] + m[r][1] * v[1] + m[r][2] * v[2] + 0.0);
    }
    turned->setPoints(std::move(points));
    return turned;
}

MeshGeometryPtr withoutUVs(const MeshGeometryPtr& geometry)
{
    // The mesh keeps its (empty) default UV set, as Maya's meshes do.
    auto bare = std::make_shared<MeshGeometry>(*geometry);
    bare->uvSets.clear();
    bare->currentUVSet = 0;
    bare->setUVSet("map1", {}, {}, std::vector<int>(size_t(bare->numFaceVertices()), -1));
    return bare;
}

} // namespace host
