#pragma once
// The UV pin's side of the frame math: barycentric weights and tangents in UV space, the
// table of the mesh's triangles by UV and the resolution of a UV pin to one of them.

#include "pins/PinFrameMath.h"

#include <cstdint>
#include <vector>

namespace PinFrameMath {

// A UV pin as loaded from the node, before it is resolved to a triangle.
UVPinBinding loadedUVPinBinding(float u, float v, float du, float dv, int32_t preferredTriangle);

// One row of the UV pin's triangle table.
struct UVTriangle {
    int32_t vertexIds[3];
    int32_t normalIds[3];
    int32_t triangleIndex;  // global index in the mesh triangulation
    float cornerUVs[6];
    float uvBounds[4];  // minU, minV, maxU, maxV
};

struct UVTriangleTable {
    std::vector<UVTriangle> rows;
    std::vector<int32_t> triangleToRow;  // one entry per triangle, -1 where it has no row
};

// Weights of (u, v) in a triangle of corner UVs.
struct UVWeights {
    float w[3];
    bool degenerate;  // then w is left at (1, 0, 0)
};
UVWeights uvBarycentric(const float cornerUVs[6], float u, float v);

// (a, b) with a·(uv1 - uv0) + b·(uv2 - uv0) = (du, dv); (1, 0) on a degenerate triangle.
TangentCoefficients uvTangentCoefficients(const float cornerUVs[6], float du, float dv);

// The UV direction a·(uv1 - uv0) + b·(uv2 - uv0) normalised, (1, 0) when it has no length.
void bindTangentUV(const float cornerUVs[6], double a, double b, float& du, float& dv);

// Per-face reads the UV triangle table needs from a mesh. Each returns false
// when the read fails.
class UVMeshAccess {
public:
    virtual ~UVMeshAccess() = default;
    virtual bool faceVertices(int face, std::vector<int>& vertexIds) const = 0;
    virtual bool faceNormalIds(int face, std::vector<int>& normalIds) const = 0;
    virtual bool faceVertexUV(int face, int localPosition, float& u, float& v) const = 0;
};

// Builds the table from the mesh triangulation (per-face triangle counts and
// the flat list of triangle vertex ids). Triangles whose corners, normal ids
// or UVs cannot be read get no row.
void buildUVTriangleTable(int polygonCount,
                          const int* triangleCounts,
                          int64_t triangleCountsLength,
                          const int* triangleVertices,
                          int64_t triangleVertexCount,
                          const UVMeshAccess& mesh,
                          UVTriangleTable& table);

// Resolves a UV pin to a row of the table: its preferred triangle when that
// row holds the pin's UV, else the first row that holds it, else the row
// with the nearest UV centroid (weights unclamped). The pin's ids are reset
// to -1 first, so with an empty table it stays unresolved rather than
// keeping a stale triangle. Returns whether it resolved.
bool resolvePinUV(UVPinBinding& pin, const UVTriangleTable& table);

}  // namespace PinFrameMath
