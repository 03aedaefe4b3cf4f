#pragma once

// The plain data the pin frame math works on: vectors, 4x4 row-major matrices used with row
// vectors (p' = p·M; rows 0..2 are the axes, row 3 the translation), the evaluation records
// of both pin kinds and what one evaluation shares across pins. The single-pin path, the
// four-pin path and the bind-time frame all build on these.

#include <cstdint>

namespace PinFrameMath {

constexpr double kPinEpsilon = 1e-12;       // degenerate squared lengths and 2x2 determinants
constexpr double kInsideTolerance = -0.01;  // bind-time weight still counted inside a triangle
constexpr float kUVTolerance = 1e-5f;       // pad of the UV bounds test, inside tolerance of UV resolution

// The per-pin loop runs serially below this many pins, else in parallel in
// blocks of kParallelGrain pins.
constexpr int kParallelThreshold = 128;
constexpr int kParallelGrain = 32;

template <class T>
struct Vec3 {
    T x;
    T y;
    T z;
};
using Vec3f = Vec3<float>;
using Vec3d = Vec3<double>;

struct Matrix4 {
    double m[4][4];
    static Matrix4 identity();
};

// A·B on the 3x3 parts and the translation row; the last column of the
// result is (0, 0, 0, 1) whatever the inputs hold.
Matrix4 affineProduct(const Matrix4& a, const Matrix4& b);

// The mesh's world matrix G in column-vector form, k[r][c] = G[c][r], so that
// a point maps to k[r][0]·x + k[r][1]·y + k[r][2]·z + k[r][3].
struct GeometryBlock {
    double k[3][4];
};
GeometryBlock geometryBlock(const Matrix4& g);
GeometryBlock identityBlock();

// Evaluation record of a surface pin.
struct PinBinding {
    int32_t vertexIds[3];
    int32_t normalIds[3];
    float weights[3];
    float tangentCoeffs[2];  // bind tangent = a·e1 + b·e2
};

// Evaluation record of a surface UV pin.
struct UVPinBinding {
    int32_t vertexIds[3];
    int32_t normalIds[3];
    int32_t preferredTriangle;
    float weights[3];
    float pinUV[2];
    float cornerUVs[6];  // U0, V0, U1, V1, U2, V2 of the resolved triangle
    float tangentUV[2];  // bind tangent as a UV direction (du, dv)
    float tangentCoeffs[2];
};

// A polygon face: its vertex ids in face order and their world positions.
struct FaceCorners {
    const int* vertexIds;
    const Vec3d* positions;
    int count;
};

// Per-pin matrices read from an array input: all pins have one, or those
// whose flag is 1, or none (matrices null).
struct InverseMatrices {
    const Matrix4* matrices = nullptr;
    const uint8_t* present = nullptr;
    bool allPresent = false;

    bool has(int i) const { return matrices && (allPresent || (present && present[i])); }
};

// Everything one evaluation shares across pins.
struct FrameInputs {
    const float* points = nullptr;   // raw points, xyz per vertex id
    const float* normals = nullptr;  // raw normals, xyz per normal id; may be null
    GeometryBlock geometry = identityBlock();
    bool translateOnly = false;
    bool maintainOffset = false;
    const Matrix4* bindSurfaceInverse = nullptr;  // per pin, with maintainOffset
    const Matrix4* bindControl = nullptr;
    const uint8_t* bindDataPresent = nullptr;
    InverseMatrices localInverse;
    InverseMatrices parentInverse;
};

}  // namespace PinFrameMath
