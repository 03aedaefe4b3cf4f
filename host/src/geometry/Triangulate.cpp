#include "geometry/Triangulate.h"

#include <cmath>

namespace host {

namespace {

struct P2
{
    double x, y;
};

double cross2(const P2& a, const P2& b, const P2& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

bool insideTriangle(const P2& p, const P2& a, const P2& b, const P2& c)
{
    return cross2(a, b, p) >= 0 && cross2(b, c, p) >= 0 && cross2(c, a, p) >= 0;
}

} // namespace

void newellNormal(const float* points, const int* vertices, int count, double normal[3])
{
    double n[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i) {
        const float* a = points + size_t(vertices[i]) * 3;
        const float* b = points + size_t(vertices[(i + 1) % count]) * 3;
        n[0] += (double(a[1]) - b[1]) * (double(a[2]) + b[2]);
        n[1] += (double(a[2]) - b[2]) * (double(a[0]) + b[0]);
        n[2] += (double(a[0]) - b[0]) * (double(a[1]) + b[1]);
    }
    double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int k = 0; k < 3; ++k)
        normal[k] = len > 0 ? n[k] / len : 0.0;
}

double cornerAngle(const float* points, int a, int b, int c)
{
    double u[3], v[3];
    for (int k = 0; k < 3; ++k) {
        u[k] = double(points[size_t(a) * 3 + k]) - points[size_t(b) * 3 + k];
        v[k] = double(points[size_t(c) * 3 + k]) - points[size_t(b) * 3 + k];
    }
    double dot = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    double cx = u[1] * v[2] - u[2] * v[1], cy = u[2] * v[0] - u[0] * v[2], cz = u[0] * v[1] - u[1] * v[0];
    return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), dot);
}

int triangulateFace(const float* points, const int* vertices, int count, std::vector<int>& corners,
                    std::vector<int>& scratch)
{
    if (count < 3)
        return 0;
    double n[3];
    newellNormal(points, vertices, count, n);
    // Project onto the plane most facing the normal, keeping the winding counter-clockwise.
    int axis = 2;
    if (std::fabs(n[0]) >= std::fabs(n[1]) && std::fabs(n[0]) >= std::fabs(n[2]))
        axis = 0;
    else if (std::fabs(n[1]) >= std::fabs(n[2]))
        axis = 1;
    const int ix = (axis + 1) % 3, iy = (axis + 2) % 3;
    const double flip = n[axis] < 0 ? -1.0 : 1.0;
    auto at = [&](int corner) {
        const float* p = points + size_t(vertices[corner]) * 3;
        return P2{p[ix], flip * p[iy]};
    };

    bool convex = true;
    for (int i = 0; i < count && convex; ++i)
        convex = cross2(at((i + count - 1) % count), at(i), at((i + 1) % count)) >= 0;
    if (convex) {
        for (int i = 1; i + 1 < count; ++i) {
            corners.push_back(0);
            corners.push_back(i);
            corners.push_back(i + 1);
        }
        return count - 2;
    }

    scratch.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        scratch[size_t(i)] = i;
    int remaining = count;
    while (remaining > 3) {
        int ear = -1;
        for (int i = 0; i < remaining && ear < 0; ++i) {
            const int pi = scratch[size_t((i + remaining - 1) % remaining)];
            const int ci = scratch[size_t(i)];
            const int ni = scratch[size_t((i + 1) % remaining)];
            const P2 a = at(pi), b = at(ci), c = at(ni);
            if (cross2(a, b, c) <= 0)
                continue;
            bool blocked = false;
            for (int j = 0; j < remaining && !blocked; ++j) {
                const int other = scratch[size_t(j)];
                if (other == pi || other == ci || other == ni)
                    continue;
                blocked = insideTriangle(at(other), a, b, c);
            }
            if (!blocked)
                ear = i;
        }
        if (ear < 0)
            ear = 0;  // degenerate polygon: cut anywhere rather than loop
        corners.push_back(scratch[size_t((ear + remaining - 1) % remaining)]);
        corners.push_back(scratch[size_t(ear)]);
        corners.push_back(scratch[size_t((ear + 1) % remaining)]);
        scratch.erase(scratch.begin() + ear);
        --remaining;
    }
    corners.push_back(scratch[0]);
    corners.push_back(scratch[1]);
    corners.push_back(scratch[2]);
    return count - 2;
}

} // namespace host
