#include "pins/PinFrameMath.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <tbb/task_group.h>

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#define PELLIX_HAVE_RSQRT 1
#endif

namespace PinFrameMath {

namespace {

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
double reciprocalLength(double lengthSquared)
{
    return 1.0 / std::sqrt(lengthSquared);
}

float reciprocalLength(float lengthSquared)
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

Vec3d toDouble(const Vec3f& v)
{
    return {v.x, v.y, v.z};
}

Vec3d toDouble(const Vec3d& v)
{
    return v;
}

void setDirectionRow(Matrix4& out, int row, const Vec3d& v, const GeometryBlock& g)
{
    for (int c = 0; c < 3; ++c)
        out.m[row][c] = g.k[c][0] * v.x + g.k[c][1] * v.y + g.k[c][2] * v.z;
    out.m[row][3] = 0.0;
}

void setPointRow(Matrix4& out, const Vec3d& p, const GeometryBlock& g)
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

Vec3f pointAt(const float* xyz, int32_t id)
{
    const float* p = xyz + 3 * static_cast<int64_t>(id);
    return {p[0], p[1], p[2]};
}

template <class Binding>
Matrix4 pinFrameT(const float* points, const float* normals, const Binding& pin, const GeometryBlock& g)
{
    const Vec3f corners[3] = {pointAt(points, pin.vertexIds[0]), pointAt(points, pin.vertexIds[1]),
                              pointAt(points, pin.vertexIds[2])};
    const Vec3f normal = evaluationNormal(normals, pin.normalIds, pin.weights);
    return surfaceFrameT(corners, pin.weights, normal, pin.tangentCoeffs[0], pin.tangentCoeffs[1], g);
}

// The bind, local and parent inverse steps that follow the frame of pin i.
void applyPinMatrices(const FrameInputs& eval, int i, Matrix4& out)
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

// Pins sit on scattered triangles, so nearly every corner read misses the
// cache. The loop reads the corners of a block of pins in one tight pass,
// which lets those misses overlap, and asks for the next block's corners
// while it builds this block's frames.
constexpr int kGatherBlock = 32;

template <class Binding>
void composeTranslateOnlyOutputs(const FrameInputs& eval, const Binding* pins, int begin, int end,
                                 Matrix4* outputs)
{
    Vec3f corners[kGatherBlock][3];
    for (int first = begin; first < end; first += kGatherBlock) {
        const int count = std::min(end - first, kGatherBlock);
        for (int k = 0; k < count; ++k) {
            const Binding& pin = pins[first + k];
            for (int c = 0; c < 3; ++c)
                corners[k][c] = pointAt(eval.points, pin.vertexIds[c]);
        }
        for (int k = 0; k < count; ++k)
            translateOnlyOutput(eval, pins[first + k], corners[k], first + k, outputs[first + k]);
    }
}

#ifdef PELLIX_HAVE_RSQRT

// The frame loop runs on four pins at a time. While it works on pin i it asks
// for the corners of pin i + kPrefetchDistance, so that their cache misses
// overlap the arithmetic instead of stalling it.
constexpr int kPrefetchDistance = 32;

template <class Binding>
void prefetchPin(const FrameInputs& eval, const Binding& pin)
{
    for (int c = 0; c < 3; ++c) {
        _mm_prefetch(reinterpret_cast<const char*>(eval.points + 3 * static_cast<int64_t>(pin.vertexIds[c])),
                     _MM_HINT_T0);
        if (eval.normals && pin.normalIds[c] >= 0)
            _mm_prefetch(reinterpret_cast<const char*>(eval.normals + 3 * static_cast<int64_t>(pin.normalIds[c])),
                         _MM_HINT_T0);
    }
}

struct Vec3x4 {
    __m128 x;
    __m128 y;
    __m128 z;
};

// One xyz triple per lane, transposed into one register per axis.
Vec3x4 load3(const float* const lanes[4])
{
    return {_mm_setr_ps(lanes[0][0], lanes[1][0], lanes[2][0], lanes[3][0]),
            _mm_setr_ps(lanes[0][1], lanes[1][1], lanes[2][1], lanes[3][1]),
            _mm_setr_ps(lanes[0][2], lanes[1][2], lanes[2][2], lanes[3][2])};
}

Vec3x4 add3(const Vec3x4& a, const Vec3x4& b)
{
    return {_mm_add_ps(a.x, b.x), _mm_add_ps(a.y, b.y), _mm_add_ps(a.z, b.z)};
}

Vec3x4 sub3(const Vec3x4& a, const Vec3x4& b)
{
    return {_mm_sub_ps(a.x, b.x), _mm_sub_ps(a.y, b.y), _mm_sub_ps(a.z, b.z)};
}

Vec3x4 scale3(__m128 s, const Vec3x4& v)
{
    return {_mm_mul_ps(s, v.x), _mm_mul_ps(s, v.y), _mm_mul_ps(s, v.z)};
}

__m128 dot3(const Vec3x4& a, const Vec3x4& b)
{
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(a.x, b.x), _mm_mul_ps(a.y, b.y)), _mm_mul_ps(a.z, b.z));
}

Vec3x4 cross3(const Vec3x4& a, const Vec3x4& b)
{
    return {_mm_sub_ps(_mm_mul_ps(a.y, b.z), _mm_mul_ps(a.z, b.y)),
            _mm_sub_ps(_mm_mul_ps(a.z, b.x), _mm_mul_ps(a.x, b.z)),
            _mm_sub_ps(_mm_mul_ps(a.x, b.y), _mm_mul_ps(a.y, b.x))};
}

// w0·c0 + w1·c1 + w2·c2, summed in that order.
Vec3x4 weightedSum3(const Vec3x4 c[3], const __m128 w[3])
{
    return add3(add3(scale3(w[0], c[0]), scale3(w[1], c[1])), scale3(w[2], c[2]));
}

// The scalar reciprocalLength, lane by lane.
__m128 reciprocalLength4(__m128 lengthSquared)
{
    const __m128 r = _mm_rsqrt_ps(lengthSquared);
    const __m128 rr = _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(_mm_set1_ps(0.5f), lengthSquared), r), r);
    return _mm_mul_ps(r, _mm_sub_ps(_mm_set1_ps(1.5f), rr));
}

// Tangent, binormal, normal and position of four pins.
struct Frame4 {
    Vec3x4 row[4];
};

// Frames of four pins, in the operations and order of surfaceFrameT, so each
// lane gives the single-pin result bit for bit. The returned mask has a bit
// for each lane whose normal and tangent both had a length; the others need a
// fallback and are left to the single-pin path.
template <class Binding>
int frames4(const FrameInputs& eval, const Binding* const lanes[4], Frame4& f)
{
    static const float kNoNormal[3] = {0.0f, 0.0f, 0.0f};
    const float* corner[3][4];
    const float* cornerNormal[3][4];
    __m128 w[3];
    for (int lane = 0; lane < 4; ++lane) {
        const Binding& pin = *lanes[lane];
        const bool withNormals =
            eval.normals && pin.normalIds[0] >= 0 && pin.normalIds[1] >= 0 && pin.normalIds[2] >= 0;
        for (int c = 0; c < 3; ++c) {
            corner[c][lane] = eval.points + 3 * static_cast<int64_t>(pin.vertexIds[c]);
            cornerNormal[c][lane] =
                withNormals ? eval.normals + 3 * static_cast<int64_t>(pin.normalIds[c]) : kNoNormal;
        }
    }
    for (int c = 0; c < 3; ++c)
        w[c] = _mm_setr_ps(lanes[0]->weights[c], lanes[1]->weights[c], lanes[2]->weights[c], lanes[3]->weights[c]);
    const Vec3x4 p[3] = {load3(corner[0]), load3(corner[1]), load3(corner[2])};
    const Vec3x4 cornerNormals[3] = {load3(cornerNormal[0]), load3(cornerNormal[1]), load3(cornerNormal[2])};
    const __m128 a = _mm_setr_ps(lanes[0]->tangentCoeffs[0], lanes[1]->tangentCoeffs[0], lanes[2]->tangentCoeffs[0],
                                 lanes[3]->tangentCoeffs[0]);
    const __m128 b = _mm_setr_ps(lanes[0]->tangentCoeffs[1], lanes[1]->tangentCoeffs[1], lanes[2]->tangentCoeffs[1],
                                 lanes[3]->tangentCoeffs[1]);
    const __m128 epsilon = _mm_set1_ps(static_cast<float>(kPinEpsilon));

    const Vec3x4 e1 = sub3(p[1], p[0]);
    const Vec3x4 e2 = sub3(p[2], p[0]);
    Vec3x4 n = weightedSum3(cornerNormals, w);
    const __m128 nn = dot3(n, n);
    n = scale3(reciprocalLength4(nn), n);

    const Vec3x4 bindTangent = add3(scale3(a, e1), scale3(b, e2));
    Vec3x4 t = sub3(bindTangent, scale3(dot3(bindTangent, n), n));
    const __m128 tt = dot3(t, t);
    t = scale3(reciprocalLength4(tt), t);

    f.row[0] = t;
    f.row[1] = cross3(n, t);
    f.row[2] = n;
    f.row[3] = weightedSum3(p, w);
    return _mm_movemask_ps(_mm_and_ps(_mm_cmpgt_ps(nn, epsilon), _mm_cmpgt_ps(tt, epsilon)));
}

// G's coefficients, each in both lanes, for transforming two pins at once.
struct GeometryPairs {
    __m128d k[3][4];
    explicit GeometryPairs(const GeometryBlock& g)
    {
        for (int c = 0; c < 3; ++c) {
            for (int j = 0; j < 4; ++j)
                k[c][j] = _mm_set1_pd(g.k[c][j]);
        }
    }
};

// The frames of lanes 2h and 2h + 1 taken through G into out[0] and out[1],
// in the order of setDirectionRow and setPointRow.
void writeFramePair(const Frame4& f, int h, const GeometryPairs& g, Matrix4* out[2])
{
    const __m128d zero = _mm_setzero_pd();
    const __m128d one = _mm_set1_pd(1.0);
    for (int r = 0; r < 4; ++r) {
        const Vec3x4& v = f.row[r];
        const __m128d x = _mm_cvtps_pd(h ? _mm_movehl_ps(v.x, v.x) : v.x);
        const __m128d y = _mm_cvtps_pd(h ? _mm_movehl_ps(v.y, v.y) : v.y);
        const __m128d z = _mm_cvtps_pd(h ? _mm_movehl_ps(v.z, v.z) : v.z);
        __m128d column[3];
        for (int c = 0; c < 3; ++c) {
            column[c] = _mm_add_pd(_mm_add_pd(_mm_mul_pd(g.k[c][0], x), _mm_mul_pd(g.k[c][1], y)),
                                   _mm_mul_pd(g.k[c][2], z));
            if (r == 3)
                column[c] = _mm_add_pd(column[c], g.k[c][3]);
        }
        const __m128d last = r == 3 ? one : zero;
        _mm_storeu_pd(&out[0]->m[r][0], _mm_unpacklo_pd(column[0], column[1]));
        _mm_storeu_pd(&out[0]->m[r][2], _mm_unpacklo_pd(column[2], last));
        _mm_storeu_pd(&out[1]->m[r][0], _mm_unpackhi_pd(column[0], column[1]));
        _mm_storeu_pd(&out[1]->m[r][2], _mm_unpackhi_pd(column[2], last));
    }
}

template <class Binding>
void composeFrameOutputs(const FrameInputs& eval, const Binding* pins, int begin, int end, Matrix4* outputs)
{
    const GeometryPairs g(eval.geometry);
    const bool pinMatrices = eval.maintainOffset || eval.localInverse.matrices || eval.parentInverse.matrices;
    Frame4 f;
    Matrix4 spare[4];
    for (int i = begin; i < end; i += 4) {
        const int count = std::min(end - i, 4);
        for (int k = i + kPrefetchDistance; k < std::min(i + kPrefetchDistance + 4, end); ++k)
            prefetchPin(eval, pins[k]);
        // A short group repeats its last pin in the lanes it does not fill.
        const Binding* lanes[4];
        for (int lane = 0; lane < 4; ++lane)
            lanes[lane] = &pins[i + std::min(lane, count - 1)];
        const int lit = frames4(eval, lanes, f);
        const bool direct = count == 4 && lit == 0xF;
        Matrix4* out[4];
        for (int lane = 0; lane < 4; ++lane)
            out[lane] = direct ? &outputs[i + lane] : &spare[lane];
        writeFramePair(f, 0, g, out);
        writeFramePair(f, 1, g, out + 2);
        for (int lane = 0; lane < count; ++lane) {
            if (!direct) {
                outputs[i + lane] =
                    lit & (1 << lane) ? spare[lane] : composePinOutputT(eval, pins[i + lane], i + lane);
            }
            if (pinMatrices && (lit & (1 << lane)))
                applyPinMatrices(eval, i + lane, outputs[i + lane]);
        }
    }
}

#else

template <class Binding>
void composeFrameOutputs(const FrameInputs& eval, const Binding* pins, int begin, int end, Matrix4* outputs)
{
    for (int i = begin; i < end; ++i)
        outputs[i] = composePinOutputT(eval, pins[i], i);
}

#endif

template <class Binding>
void composePinOutputsT(const FrameInputs& eval, const Binding* pins, int begin, int end, Matrix4* outputs)
{
    if (eval.translateOnly)
        composeTranslateOnlyOutputs(eval, pins, begin, end, outputs);
    else
        composeFrameOutputs(eval, pins, begin, end, outputs);
}

template <class Binding>
void evaluatePinsT(const FrameInputs& eval, const Binding* pins, int count, Matrix4* outputs)
{
    if (count < kParallelThreshold) {
        composePinOutputsT(eval, pins, 0, count, outputs);
        return;
    }
    // An isolated context: a bound one would inherit a cancellation of the caller's task
    // group and stop part-way, leaving outputs unwritten that the node then marks clean.
    tbb::task_group_context context(tbb::task_group_context::isolated);
    tbb::parallel_for(
        tbb::blocked_range<int>(0, count, kParallelGrain),
        [&](const tbb::blocked_range<int>& range) {
            composePinOutputsT(eval, pins, range.begin(), range.end(), outputs);
        },
        tbb::auto_partitioner(), context);
}

int localPosition(const FaceCorners& face, int vertexId)
{
    for (int i = 0; i < face.count; ++i) {
        if (face.vertexIds[i] == vertexId)
            return i;
    }
    return -1;
}

bool insideTriangle(const double w[3])
{
    return w[0] >= kInsideTolerance && w[1] >= kInsideTolerance && w[2] >= kInsideTolerance;
}

TriangleChoice fanChoice(const FaceCorners& face, int i, const double weights[3])
{
    TriangleChoice choice;
    const int local[3] = {0, i, i + 1};
    for (int k = 0; k < 3; ++k) {
        choice.localPositions[k] = local[k];
        choice.vertexIds[k] = face.vertexIds[local[k]];
        choice.weights[k] = weights[k];
    }
    choice.triangleIndex = -1;
    return choice;
}

Vec3d matrixRow(const Matrix4& m, int row)
{
    return {m.m[row][0], m.m[row][1], m.m[row][2]};
}

Vec3d directionTimes(const Vec3d& v, const Matrix4& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

// Whether a UV row holds the pin's UV; the weights found are left in w.
bool uvInside(const UVTriangle& row, float u, float v, UVWeights& w)
{
    w = uvBarycentric(row.cornerUVs, u, v);
    return !w.degenerate && w.w[0] >= -kUVTolerance && w.w[1] >= -kUVTolerance && w.w[2] >= -kUVTolerance;
}

void takeRow(UVPinBinding& pin, const UVTriangle& row, const float weights[3])
{
    for (int k = 0; k < 3; ++k) {
        pin.vertexIds[k] = row.vertexIds[k];
        pin.normalIds[k] = row.normalIds[k];
        pin.weights[k] = weights[k];
    }
    for (int k = 0; k < 6; ++k)
        pin.cornerUVs[k] = row.cornerUVs[k];
    const TangentCoefficients c = uvTangentCoefficients(row.cornerUVs, pin.tangentUV[0], pin.tangentUV[1]);
    pin.tangentCoeffs[0] = static_cast<float>(c.a);
    pin.tangentCoeffs[1] = static_cast<float>(c.b);
}

}  // namespace

Matrix4 Matrix4::identity()
{
    return Matrix4{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

Matrix4 affineProduct(const Matrix4& a, const Matrix4& b)
{
    Matrix4 out;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c)
            out.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c];
        out.m[r][3] = 0.0;
    }
    for (int c = 0; c < 3; ++c)
        out.m[3][c] += b.m[3][c];
    out.m[3][3] = 1.0;
    return out;
}

GeometryBlock geometryBlock(const Matrix4& g)
{
    GeometryBlock block;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c)
            block.k[r][c] = g.m[c][r];
    }
    return block;
}

GeometryBlock identityBlock()
{
    return GeometryBlock{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
}

UVPinBinding loadedUVPinBinding(float u, float v, float du, float dv, int32_t preferredTriangle)
{
    UVPinBinding pin{};
    for (int k = 0; k < 3; ++k) {
        pin.vertexIds[k] = -1;
        pin.normalIds[k] = -1;
    }
    pin.preferredTriangle = preferredTriangle;
    pin.weights[0] = 1.0f;
    pin.pinUV[0] = u;
    pin.pinUV[1] = v;
    pin.tangentUV[0] = du;
    pin.tangentUV[1] = dv;
    pin.tangentCoeffs[0] = 1.0f;
    return pin;
}

Barycentric barycentricOnTriangle(const Vec3d& a, const Vec3d& b, const Vec3d& c, const Vec3d& p)
{
    const Vec3d ab = b - a;
    const Vec3d ac = c - a;
    const Vec3d ap = p - a;
    const double d00 = dot(ab, ab);
    const double d01 = dot(ab, ac);
    const double d11 = dot(ac, ac);
    const double d20 = dot(ap, ab);
    const double d21 = dot(ap, ac);
    const double den = d00 * d11 - d01 * d01;
    if (std::fabs(den) < kPinEpsilon)
        return Barycentric{{1.0, 0.0, 0.0}, true};
    const double wb = (d11 * d20 - d01 * d21) / den;
    const double wc = (d00 * d21 - d01 * d20) / den;
    return Barycentric{{1.0 - wb - wc, wb, wc}, false};
}

TriangleChoice fanTriangleSearch(const FaceCorners& face, const Vec3d& p)
{
    static const double kCornerWeights[3] = {1.0, 0.0, 0.0};
    if (face.count < 3) {
        TriangleChoice choice;
        const int id = face.count > 0 ? face.vertexIds[0] : -1;
        for (int k = 0; k < 3; ++k) {
            choice.vertexIds[k] = id;
            choice.localPositions[k] = 0;
            choice.weights[k] = kCornerWeights[k];
        }
        choice.triangleIndex = -1;
        return choice;
    }

    // A degenerate fan triangle (collinear corners) says nothing about where p
    // is, so it is passed over rather than snapping p to the first corner.
    int fallback = -1;
    Barycentric fallbackWeights{};
    for (int i = 1; i < face.count - 1; ++i) {
        const Barycentric w =
            barycentricOnTriangle(face.positions[0], face.positions[i], face.positions[i + 1], p);
        if (w.degenerate)
            continue;
        if (insideTriangle(w.w))
            return fanChoice(face, i, w.w);
        if (fallback < 0) {
            fallback = i;
            fallbackWeights = w;
        }
    }
    if (fallback >= 0)
        return fanChoice(face, fallback, fallbackWeights.w);
    return fanChoice(face, 1, kCornerWeights);
}

TriangleChoice triangulationSearch(const FaceCorners& face,
                                   const int* triangleVertices,
                                   int64_t triangleVertexCount,
                                   int64_t faceOffset,
                                   int faceTriangleCount,
                                   const Vec3d& p)
{
    TriangleChoice best;
    bool haveBest = false;
    double bestScore = 0.0;
    if (faceTriangleCount > 0 && faceOffset >= 0 &&
        faceOffset + 3 * static_cast<int64_t>(faceTriangleCount) <= triangleVertexCount) {
        for (int t = 0; t < faceTriangleCount; ++t) {
            const int* corners = triangleVertices + faceOffset + 3 * static_cast<int64_t>(t);
            int local[3];
            bool complete = true;
            for (int k = 0; k < 3 && complete; ++k) {
                local[k] = localPosition(face, corners[k]);
                complete = local[k] >= 0;
            }
            if (!complete)
                continue;
            const Barycentric w = barycentricOnTriangle(face.positions[local[0]], face.positions[local[1]],
                                                        face.positions[local[2]], p);
            // A flat triangle's (1, 0, 0) says nothing about where p is; taking
            // it would snap p to its first corner.
            if (w.degenerate)
                continue;
            const double score = std::fmax(-w.w[0], 0.0) + std::fmax(-w.w[1], 0.0) + std::fmax(-w.w[2], 0.0);
            const bool inside = insideTriangle(w.w);
            if (!haveBest || score < bestScore || inside) {
                haveBest = true;
                bestScore = score;
                for (int k = 0; k < 3; ++k) {
                    best.vertexIds[k] = corners[k];
                    best.localPositions[k] = local[k];
                    best.weights[k] = w.w[k];
                }
                best.triangleIndex = static_cast<int>(faceOffset / 3 + t);
            }
            if (inside)
                break;
        }
    }
    if (haveBest)
        return best;
    return fanTriangleSearch(face, p);
}

Vec3f evaluationNormal(const float* normals, const int32_t normalIds[3], const float weights[3])
{
    if (!normals || normalIds[0] < 0 || normalIds[1] < 0 || normalIds[2] < 0)
        return {0.0f, 0.0f, 0.0f};
    const Vec3f corner[3] = {pointAt(normals, normalIds[0]), pointAt(normals, normalIds[1]),
                             pointAt(normals, normalIds[2])};
    return weightedSum(corner, weights);
}

Vec3d surfacePinBindNormal(const float* normals, int64_t normalCount, const int normalIds[3], const double weights[3])
{
    Vec3d n{0.0, 0.0, 0.0};
    if (!normals)
        return n;
    for (int k = 0; k < 3; ++k) {
        if (normalIds[k] < 0 || normalIds[k] >= normalCount)
            return {0.0, 0.0, 0.0};
        const Vec3d corner = toDouble(pointAt(normals, normalIds[k]));
        if (!hasLength(corner))
            return {0.0, 0.0, 0.0};
        n = n + weights[k] * corner;
    }
    return n;
}

Vec3d uvPinBindNormal(const float* normals, int64_t normalCount, const int normalIds[3], const double weights[3])
{
    Vec3d n{0.0, 0.0, 0.0};
    if (!normals)
        return n;
    for (int k = 0; k < 3; ++k) {
        if (normalIds[k] >= 0 && normalIds[k] < normalCount)
            n = n + weights[k] * toDouble(pointAt(normals, normalIds[k]));
    }
    return n;
}

Vec3d frameNormal(const Vec3d& n, const Vec3d& e1, const Vec3d& e2)
{
    return frameNormalT(n, e1, e2);
}

Vec3d fallbackTangent(const Vec3d& n)
{
    return fallbackTangentT(n);
}

Matrix4 surfaceFrame(const Vec3d corners[3], const double weights[3], const Vec3d& normal, double a, double b,
                     const Matrix4& g)
{
    return surfaceFrameT(corners, weights, normal, a, b, geometryBlock(g));
}

Matrix4 surfaceFrame(const Vec3f corners[3], const float weights[3], const Vec3f& normal, float a, float b,
                     const GeometryBlock& g)
{
    return surfaceFrameT(corners, weights, normal, a, b, g);
}

Matrix4 pinFrame(const float* points, const float* normals, const PinBinding& pin, const GeometryBlock& g)
{
    return pinFrameT(points, normals, pin, g);
}

Matrix4 pinFrame(const float* points, const float* normals, const UVPinBinding& pin, const GeometryBlock& g)
{
    return pinFrameT(points, normals, pin, g);
}

TangentCoefficients bindTangentCoefficients(const Matrix4& control, const Matrix4& geometryInverse, const Vec3d& n,
                                            const Vec3d& e1, const Vec3d& e2, TangentOrder order)
{
    Vec3d candidates[4];
    int candidateCount = 0;
    if (order == TangentOrder::kSurfacePin) {
        candidates[candidateCount++] = directionTimes(matrixRow(control, 0), geometryInverse);
        candidates[candidateCount++] = directionTimes(matrixRow(control, 1), geometryInverse);
        candidates[candidateCount++] = e1;
        candidates[candidateCount++] = e2;
    } else {
        candidates[candidateCount++] = directionTimes(matrixRow(control, 2), geometryInverse);
        candidates[candidateCount++] = directionTimes(matrixRow(control, 1), geometryInverse);
        candidates[candidateCount++] = e1;
    }

    Vec3d t = fallbackTangent(n);
    for (int i = 0; i < candidateCount; ++i) {
        const Vec3d projected = projectedOnPlane(candidates[i], n);
        if (hasLength(projected)) {
            t = normalised(projected);
            break;
        }
    }

    const double d11 = dot(e1, e1);
    const double d12 = dot(e1, e2);
    const double d22 = dot(e2, e2);
    const double r1 = dot(t, e1);
    const double r2 = dot(t, e2);
    const double den = d11 * d22 - d12 * d12;
    if (std::fabs(den) <= kPinEpsilon)
        return {1.0, 0.0};
    return {(r1 * d22 - r2 * d12) / den, (r2 * d11 - r1 * d12) / den};
}

UVWeights uvBarycentric(const float cornerUVs[6], float u, float v)
{
    const double u0 = cornerUVs[0], v0 = cornerUVs[1];
    const double u1 = cornerUVs[2], v1 = cornerUVs[3];
    const double u2 = cornerUVs[4], v2 = cornerUVs[5];
    const double d = (v2 - v0) * (u1 - u0) - (u2 - u0) * (v1 - v0);
    if (std::fabs(d) <= kPinEpsilon)
        return UVWeights{{1.0f, 0.0f, 0.0f}, true};
    const double b1 = ((u - u0) * (v2 - v0) - (v - v0) * (u2 - u0)) / d;
    const double b2 = ((v - v0) * (u1 - u0) - (u - u0) * (v1 - v0)) / d;
    return UVWeights{{static_cast<float>(1.0 - b1 - b2), static_cast<float>(b1), static_cast<float>(b2)}, false};
}

TangentCoefficients uvTangentCoefficients(const float cornerUVs[6], float du, float dv)
{
    const double su1 = double(cornerUVs[2]) - cornerUVs[0], sv1 = double(cornerUVs[3]) - cornerUVs[1];
    const double su2 = double(cornerUVs[4]) - cornerUVs[0], sv2 = double(cornerUVs[5]) - cornerUVs[1];
    const double det = su1 * sv2 - su2 * sv1;
    if (std::fabs(det) <= kPinEpsilon)
        return {1.0, 0.0};
    return {(du * sv2 - dv * su2) / det, (dv * su1 - du * sv1) / det};
}

void bindTangentUV(const float cornerUVs[6], double a, double b, float& du, float& dv)
{
    const double u = a * (double(cornerUVs[2]) - cornerUVs[0]) + b * (double(cornerUVs[4]) - cornerUVs[0]);
    const double v = a * (double(cornerUVs[3]) - cornerUVs[1]) + b * (double(cornerUVs[5]) - cornerUVs[1]);
    const double lengthSquared = u * u + v * v;
    if (lengthSquared <= kPinEpsilon) {
        du = 1.0f;
        dv = 0.0f;
        return;
    }
    const double r = 1.0 / std::sqrt(lengthSquared);
    du = static_cast<float>(u * r);
    dv = static_cast<float>(v * r);
}

void buildUVTriangleTable(int polygonCount, const int* triangleCounts, int64_t triangleCountsLength,
                          const int* triangleVertices, int64_t triangleVertexCount, const UVMeshAccess& mesh,
                          UVTriangleTable& table)
{
    const int64_t triangleTotal = triangleVertexCount / 3;
    table.rows.clear();
    table.rows.reserve(static_cast<size_t>(triangleTotal));
    table.triangleToRow.assign(static_cast<size_t>(triangleTotal), -1);

    std::vector<int> faceVertices;
    std::vector<int> faceNormals;
    int64_t offset = 0;
    for (int f = 0; f < polygonCount; ++f) {
        const int count = f < triangleCountsLength ? triangleCounts[f] : 0;
        if (count < 0 || offset + 3 * static_cast<int64_t>(count) > triangleVertexCount)
            break;
        // The offset moves on past a face that gives no rows, so that later
        // faces keep their global triangle indices.
        const int64_t faceOffset = offset;
        offset += 3 * static_cast<int64_t>(count);
        if (!mesh.faceVertices(f, faceVertices) || faceVertices.size() < 3)
            continue;
        if (!mesh.faceNormalIds(f, faceNormals) || faceNormals.size() != faceVertices.size())
            continue;
        const FaceCorners face{faceVertices.data(), nullptr, static_cast<int>(faceVertices.size())};
        for (int t = 0; t < count; ++t) {
            const int* corners = triangleVertices + faceOffset + 3 * static_cast<int64_t>(t);
            UVTriangle row;
            bool usable = true;
            for (int k = 0; k < 3 && usable; ++k) {
                const int local = localPosition(face, corners[k]);
                usable = local >= 0 && mesh.faceVertexUV(f, local, row.cornerUVs[2 * k], row.cornerUVs[2 * k + 1]);
                if (usable) {
                    row.vertexIds[k] = corners[k];
                    row.normalIds[k] = faceNormals[local];
                }
            }
            if (!usable)
                continue;
            row.triangleIndex = static_cast<int32_t>(faceOffset / 3 + t);
            row.uvBounds[0] = std::fmin(row.cornerUVs[0], std::fmin(row.cornerUVs[2], row.cornerUVs[4]));
            row.uvBounds[1] = std::fmin(row.cornerUVs[1], std::fmin(row.cornerUVs[3], row.cornerUVs[5]));
            row.uvBounds[2] = std::fmax(row.cornerUVs[0], std::fmax(row.cornerUVs[2], row.cornerUVs[4]));
            row.uvBounds[3] = std::fmax(row.cornerUVs[1], std::fmax(row.cornerUVs[3], row.cornerUVs[5]));
            table.triangleToRow[row.triangleIndex] = static_cast<int32_t>(table.rows.size());
            table.rows.push_back(row);
        }
    }
}

bool resolvePinUV(UVPinBinding& pin, const UVTriangleTable& table)
{
    pin = loadedUVPinBinding(pin.pinUV[0], pin.pinUV[1], pin.tangentUV[0], pin.tangentUV[1], pin.preferredTriangle);
    const float u = pin.pinUV[0];
    const float v = pin.pinUV[1];
    const int64_t rowCount = static_cast<int64_t>(table.rows.size());
    UVWeights w;

    const int32_t preferred = pin.preferredTriangle;
    if (preferred >= 0 && preferred < static_cast<int64_t>(table.triangleToRow.size())) {
        const int32_t row = table.triangleToRow[preferred];
        if (row >= 0 && row < rowCount && uvInside(table.rows[row], u, v, w)) {
            takeRow(pin, table.rows[row], w.w);
            return true;
        }
    }

    for (const UVTriangle& row : table.rows) {
        if (u < row.uvBounds[0] - kUVTolerance || u > row.uvBounds[2] + kUVTolerance ||
            v < row.uvBounds[1] - kUVTolerance || v > row.uvBounds[3] + kUVTolerance)
            continue;
        if (uvInside(row, u, v, w)) {
            takeRow(pin, row, w.w);
            return true;
        }
    }

    const UVTriangle* nearest = nullptr;
    double nearestDistance = std::numeric_limits<double>::max();
    for (const UVTriangle& row : table.rows) {
        const double cu = (double(row.cornerUVs[0]) + row.cornerUVs[2] + row.cornerUVs[4]) / 3.0;
        const double cv = (double(row.cornerUVs[1]) + row.cornerUVs[3] + row.cornerUVs[5]) / 3.0;
        const double d = (cu - u) * (cu - u) + (cv - v) * (cv - v);
        if (d < nearestDistance) {
            nearestDistance = d;
            nearest = &row;
        }
    }
    if (!nearest)
        return false;
    // Degenerate rows leave the weights at (1, 0, 0); otherwise they are kept
    // unclamped, so the pin extrapolates along the triangle.
    w = uvBarycentric(nearest->cornerUVs, u, v);
    takeRow(pin, *nearest, w.w);
    return true;
}

Matrix4 composePinOutput(const FrameInputs& eval, const PinBinding& pin, int i)
{
    return composePinOutputT(eval, pin, i);
}

Matrix4 composePinOutput(const FrameInputs& eval, const UVPinBinding& pin, int i)
{
    return composePinOutputT(eval, pin, i);
}

void composePinOutputs(const FrameInputs& eval, const PinBinding* pins, int begin, int end, Matrix4* outputs)
{
    composePinOutputsT(eval, pins, begin, end, outputs);
}

void composePinOutputs(const FrameInputs& eval, const UVPinBinding* pins, int begin, int end, Matrix4* outputs)
{
    composePinOutputsT(eval, pins, begin, end, outputs);
}

void evaluatePins(const FrameInputs& eval, const PinBinding* pins, int count, Matrix4* outputs)
{
    evaluatePinsT(eval, pins, count, outputs);
}

void evaluatePins(const FrameInputs& eval, const UVPinBinding* pins, int count, Matrix4* outputs)
{
    evaluatePinsT(eval, pins, count, outputs);
}

}  // namespace PinFrameMath
