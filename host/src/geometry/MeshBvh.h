#pragma once
// Bounding-volume hierarchy over a mesh's triangles, for closest-point and
// ray queries in object space.

#include <vector>

namespace host {

struct MeshHit
{
    int face = -1;
    int triangle = -1;      // triangle index within the face
    double point[3] = {0, 0, 0};
    double bary1 = 0, bary2 = 0;  // weights of the triangle's first and second corner
    double distance = 0;    // closest point: distance; ray: ray parameter
};

class MeshBvh
{
public:
    // Triangles come from per-face offsets into face-relative corner triples.
    MeshBvh(const float* points, const int* connects, const int* faceOffsets, const std::vector<int>& triOffsets,
            const std::vector<int>& corners);

    bool empty() const { return tris.empty(); }
    // Closest point on the surface; false for a mesh without faces.
    bool closestPoint(const double query[3], MeshHit& hit) const;
    // Nearest hit along origin + t*direction with t in [tMin, tMax].
    bool intersect(const double origin[3], const double direction[3], double tMin, double tMax, MeshHit& hit,
                   double tolerance) const;

    // Ray against one triangle (Moller-Trumbore); fills point, distance and weights.
    static bool intersectTriangle(const float* a, const float* b, const float* c, const double origin[3],
                                  const double direction[3], double tMin, double tMax, double tolerance,
                                  MeshHit& hit);

private:
    struct Tri
    {
        float v[3][3];
        int face, index;
    };
    struct BvhNode
    {
        float lo[3], hi[3];
        int first, count;  // leaves: triangle range; inner: first = right child, count = 0
    };
    int build(int first, int count, std::vector<float>& centres);

    std::vector<Tri> tris;
    std::vector<BvhNode> nodes;
    std::vector<int> perm;  // triangle order while building
};

} // namespace host
