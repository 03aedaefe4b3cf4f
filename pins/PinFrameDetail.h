#pragma once
// The frame steps the pin kernels share: vector arithmetic, the frame of one pin and the
// matrices that follow it. The single-pin path, the four-pin path and the bind-time frame
// all build on these, so each gives the same result bit for bit.

#include "pins/PinFrameTypes.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#define PELLIX_HAVE_RSQRT 1
#endif

namespace PinFrameMath {
namespace detail {

template <class T>
Vec3<T> operator+(const Vec3<T>& a, const Vec3<T>& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

template <class T>
Vec3<T> operator-(const Vec3<T>& a, const Vec3<T>& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

template <class T>
Vec3<T> operator*(T s, const Vec3<T>& v)
{
    return {s * v.x, s * v.y, s * v.z};
}

template <class T>
T dot(const Vec3<T>& a, const Vec3<T>& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

template <class T>
Vec3<T> cross(const Vec3<T>& a, const Vec3<T>& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Reciprocal length for normalising: exact in double (bind time); in single
// precision the hardware estimate refined by one Newton step (evaluation).
inline double reciprocalLength(double lengthSquared)
{
    return 1.0 / std::sqrt(lengthSquared);
}

inline float reciprocalLength(float lengthSquared)
{
#ifdef PELLIX_HAVE_RSQRT
    const float r = _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(lengthSquared)));
#else
    const float r = 1.0f / std::sqrt(lengthSquared);
#endif
    return r * (1.5f - 0.5f * lengthSquared * r * r);
}

template <class T>
bool hasLength(const Vec3<T>& v)
{
    return dot(v, v) > static_cast<T>(kPinEpsilon);
}

template <class T>
Vec3<T> normalised(const Vec3<T>& v)
{
    return reciprocalLength(dot(v, v)) * v;
}

template <class T>
Vec3<T> projectedOnPlane(const Vec3<T>& v, const Vec3<T>& n)
{
    return v - dot(v, n) * n;
}

template <class T>
Vec3<T> frameNormalT(const Vec3<T>& n, const Vec3<T>& e1, const Vec3<T>& e2)
{
    if (hasLength(n))
        return normalised(n);
    const Vec3<T> g = cross(e1, e2);
    if (hasLength(g))
        return normalised(g);
    return {T(0), T(0), T(1)};
}

template <class T>
Vec3<T> fallbackTangentT(const Vec3<T>& n)
{
    const Vec3<T> first{-n.y, n.x, T(0)};
    if (hasLength(first))
        return normalised(first);
    const Vec3<T> second{T(0), -n.z, n.y};
    if (hasLength(second))
        return normalised(second);
    return {T(1), T(0), T(0)};
}

inline Vec3d toDouble(const Vec3f& v)
{
    return {v.x, v.y, v.z};
}

inline Vec3d toDouble(const Vec3d& v)
{
    return v;
}

inline void setDirectionRow(Matrix4& out, int row, const Vec3d& v, const GeometryBlock& g)
{
    for (int c = 0; c < 3; ++c)
        out.m[row][c] = g.k[c][0] * v.x + g.k[c][1] * v.y + g.k[c][2] * v.z;
    out.m[row][3] = 0.0;
}

inline void setPointRow(Matrix4& out, const Vec3d& p, const GeometryBlock& g)
{
    for (int c = 0; c < 3; ++c)
        out.m[3][c] = g.k[c][0] * p.x + g.k[c][1] * p.y + g.k[c][2] * p.z + g.k[c][3];
    out.m[3][3] = 1.0;
}

template <class T>
Vec3<T> weightedSum(const Vec3<T> corners[3], const T weights[3])
{
    return weights[0] * corners[0] + weights[1] * corners[1] + weights[2] * corners[2];
}

// Shared by bind time (double) and evaluation (float): the axes are built in
// T, the transform by G is done in double.
template <class T>
Matrix4 surfaceFrameT(const Vec3<T> corners[3], const T weights[3], const Vec3<T>& normal, T a, T b,
                      const GeometryBlock& g)
{
    const Vec3<T> pos = weightedSum(corners, weights);
    const Vec3<T> e1 = corners[1] - corners[0];
    const Vec3<T> e2 = corners[2] - corners[0];
    const Vec3<T> n = frameNormalT(normal, e1, e2);

    Vec3<T> t = projectedOnPlane(a * e1 + b * e2, n);
    if (hasLength(t)) {
        t = normalised(t);
    } else {
        t = projectedOnPlane(e2, n);
        t = hasLength(t) ? normalised(t) : fallbackTangentT(n);
    }
    const Vec3<T> bn = cross(n, t);

    Matrix4 out;
    setDirectionRow(out, 0, toDouble(t), g);
    setDirectionRow(out, 1, toDouble(bn), g);
    setDirectionRow(out, 2, toDouble(n), g);
    setPointRow(out, toDouble(pos), g);
    return out;
}

inline Vec3f pointAt(const float* xyz, int32_t id)
{
    const float* p = xyz + 3 * static_cast<int64_t>(id);
    return {p[0], p[1], p[2]};
}

// Interpolated normal at evaluation: zero unless normals exist and all three ids are >= 0.
inline Vec3f evaluationNormalT(const float* normals, const int32_t normalIds[3], const float weights[3])
{
    if (!normals || normalIds[0] < 0 || normalIds[1] < 0 || normalIds[2] < 0)
        return {0.0f, 0.0f, 0.0f};
    const Vec3f corner[3] = {pointAt(normals, normalIds[0]), pointAt(normals, normalIds[1]),
                             pointAt(normals, normalIds[2])};
    return weightedSum(corner, weights);
}

template <class Binding>
Matrix4 pinFrameT(const float* points, const float* normals, const Binding& pin, const GeometryBlock& g)
{
    const Vec3f corners[3] = {pointAt(points, pin.vertexIds[0]), pointAt(points, pin.vertexIds[1]),
                              pointAt(points, pin.vertexIds[2])};
    const Vec3f normal = evaluationNormalT(normals, pin.normalIds, pin.weights);
    return surfaceFrameT(corners, pin.weights, normal, pin.tangentCoeffs[0], pin.tangentCoeffs[1], g);
}

// The bind, local and parent inverse steps that follow the frame of pin i.
inline void applyPinMatrices(const FrameInputs& eval, int i, Matrix4& out)
{
    if (eval.maintainOffset && eval.bindDataPresent && eval.bindDataPresent[i])
        out = affineProduct(eval.bindControl[i], affineProduct(eval.bindSurfaceInverse[i], out));
    if (eval.localInverse.has(i))
        out = affineProduct(eval.localInverse.matrices[i], out);
    if (eval.parentInverse.has(i))
        out = affineProduct(out, eval.parentInverse.matrices[i]);
}

template <class Binding>
void translateOnlyOutput(const FrameInputs& eval, const Binding& pin, const Vec3f corners[3], int i, Matrix4& out)
{
    out = Matrix4::identity();
    setPointRow(out, toDouble(weightedSum(corners, pin.weights)), eval.geometry);
    if (eval.parentInverse.has(i)) {
        const Matrix4& p = eval.parentInverse.matrices[i];
        const double x = out.m[3][0], y = out.m[3][1], z = out.m[3][2];
        for (int c = 0; c < 3; ++c)
            out.m[3][c] = x * p.m[0][c] + y * p.m[1][c] + z * p.m[2][c] + p.m[3][c];
    }
}

template <class Binding>
Matrix4 composePinOutputT(const FrameInputs& eval, const Binding& pin, int i)
{
    Matrix4 out;
    if (eval.translateOnly) {
        // Translate-only reads no normals.
        const Vec3f corners[3] = {pointAt(eval.points, pin.vertexIds[0]), pointAt(eval.points, pin.vertexIds[1]),
                                  pointAt(eval.points, pin.vertexIds[2])};
        translateOnlyOutput(eval, pin, corners, i, out);
        return out;
    }
    out = pinFrameT(eval.points, eval.normals, pin, eval.geometry);
    applyPinMatrices(eval, i, out);
    return out;
}

// Position of a vertex in the face's vertex list, -1 when it is not there.
inline int localPosition(const FaceCorners& face, int vertexId)
{
    for (int i = 0; i < face.count; ++i) {
        if (face.vertexIds[i] == vertexId)
            return i;
    }
    return -1;
}

}  // namespace detail
}  // namespace PinFrameMath
