#include "pins/PinFrameMath.h"

#include "pins/PinFrameDetail.h"
#include "pins/PinFrameQuad.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <tbb/task_group.h>

#include <algorithm>
#include <cmath>

namespace PinFrameMath {

using namespace detail;

namespace {

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

}  // namespace

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
    return evaluationNormalT(normals, normalIds, weights);
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
