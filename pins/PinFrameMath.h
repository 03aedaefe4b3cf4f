#pragma once

// Frame math shared by the surface pin and the surface UV pin, on plain data:
// point and normal arrays, index arrays, UV pairs and 4x4 row-major matrices
// used with row vectors (p' = p·M; rows 0..2 are the axes, row 3 the
// translation). The nodes and bind commands only gather inputs from the mesh
// and write the results back. The UV side (UV weights, the UV triangle table)
// is in PinUVTable.h; the four-pin frame loop in PinFrameQuad.h.

#include "pins/PinFrameTypes.h"

#include <cstdint>
#include <vector>

namespace PinFrameMath {


// ---------------------------------------------------------------------------
// Finding the triangle of a face that holds a point.

struct Barycentric {
    double w[3];
    bool degenerate;  // then w is (1, 0, 0)
};
Barycentric barycentricOnTriangle(const Vec3d& a, const Vec3d& b, const Vec3d& c, const Vec3d& p);

struct TriangleChoice {
    int vertexIds[3];
    int localPositions[3];  // positions of the corners in the face's vertex list
    double weights[3];
    int triangleIndex;  // global triangulation index, -1 when the fan answered
};

// The fan triangle (F0, Fi, Fi+1) holding p: the first non-degenerate one whose
// weights are all >= kInsideTolerance. When none holds it, the first
// non-degenerate fan triangle with its weights as computed (possibly negative);
// when every fan triangle is degenerate, (F0, F1, F2) with weights (1, 0, 0).
// A face of fewer than three vertices gives (F0, F0, F0) with (1, 0, 0).
TriangleChoice fanTriangleSearch(const FaceCorners& face, const Vec3d& p);

// The same question on the mesh's triangulation: the face's triangles are
// faceTriangleCount vertex triples from triangleVertices[faceOffset]. Flat
// triangles are passed over. The first triangle inside the tolerance wins,
// else the one with the smallest sum of negative weights; without a usable
// triangle the fan answers.
TriangleChoice triangulationSearch(const FaceCorners& face,
                                   const int* triangleVertices,
                                   int64_t triangleVertexCount,
                                   int64_t faceOffset,
                                   int faceTriangleCount,
                                   const Vec3d& p);

// ---------------------------------------------------------------------------
// Surface frames.

// Interpolated normal at evaluation: zero unless normals exist and all three
// ids are >= 0 (the node has checked them against the normal count).
Vec3f evaluationNormal(const float* normals, const int32_t normalIds[3], const float weights[3]);

// Interpolated normal when binding a surface pin: zero unless every id lies in
// [0, normalCount) and every one of the three normals has non-zero length.
Vec3d surfacePinBindNormal(const float* normals, int64_t normalCount, const int normalIds[3], const double weights[3]);

// Interpolated normal when binding a UV pin: corners whose id is out of range
// are left out one by one.
Vec3d uvPinBindNormal(const float* normals, int64_t normalCount, const int normalIds[3], const double weights[3]);

// The frame normal: n normalised; when n is zero the triangle's normal
// e1 × e2; when that is zero too, (0, 0, 1).
Vec3d frameNormal(const Vec3d& n, const Vec3d& e1, const Vec3d& e2);

// A tangent for a normal when nothing else gives one: (-n.y, n.x, 0), else
// (0, -n.z, n.y), each normalised, else (1, 0, 0).
Vec3d fallbackTangent(const Vec3d& n);

// The frame of a pin in world space: rows tangent, binormal (n × t), normal
// and position, each taken through G (axes by its 3x3 part). The axes are
// not renormalised after G, so its scale and shear pass into the frame.
// Bind time, in double precision.
Matrix4 surfaceFrame(const Vec3d corners[3],
                     const double weights[3],
                     const Vec3d& normal,
                     double a,
                     double b,
                     const Matrix4& g);

// Evaluation, in single precision up to the transform by G; normalisation by
// the reciprocal square root estimate refined by one Newton step.
Matrix4 surfaceFrame(const Vec3f corners[3],
                     const float weights[3],
                     const Vec3f& normal,
                     float a,
                     float b,
                     const GeometryBlock& g);

// The evaluation frame of a bound pin read from the mesh's raw arrays
// (normals may be null).
Matrix4 pinFrame(const float* points, const float* normals, const PinBinding& pin, const GeometryBlock& g);
Matrix4 pinFrame(const float* points, const float* normals, const UVPinBinding& pin, const GeometryBlock& g);

// ---------------------------------------------------------------------------
// Bind tangents.

struct TangentCoefficients {
    double a;
    double b;
};

enum class TangentOrder {
    kSurfacePin,            // control X axis, control Y axis, e1, e2
    kUVPinMaintainOffset,   // control Z axis, control Y axis, e1
};

// Coefficients (a, b) with a·e1 + b·e2 closest to the control's tangent: the
// first candidate (control axes brought into object space by the 3x3 part of
// G⁻¹, then the triangle's edges) that keeps a length once projected onto the
// plane of n; fallbackTangent when none does. (1, 0) when e1 and e2 are
// parallel.
TangentCoefficients bindTangentCoefficients(const Matrix4& control,
                                            const Matrix4& geometryInverse,
                                            const Vec3d& n,
                                            const Vec3d& e1,
                                            const Vec3d& e2,
                                            TangentOrder order);

// ---------------------------------------------------------------------------
// Pin outputs.

// Output of pin i: C·S⁻¹·F for a maintain-offset pin with bind data, else F,
// then L·M with a local inverse and M·P with a parent inverse. Translate-only:
// identity axes at the pin position (through P as a point when present).
Matrix4 composePinOutput(const FrameInputs& eval, const PinBinding& pin, int i);
Matrix4 composePinOutput(const FrameInputs& eval, const UVPinBinding& pin, int i);

// Outputs of pins [begin, end) in order on the calling thread.
void composePinOutputs(const FrameInputs& eval, const PinBinding* pins, int begin, int end, Matrix4* outputs);
void composePinOutputs(const FrameInputs& eval, const UVPinBinding* pins, int begin, int end, Matrix4* outputs);

// Outputs of all pins: serially below kParallelThreshold pins, else a TBB
// parallel_for in blocks of kParallelGrain with the auto partitioner, in an
// isolated task group context, so no cancellation of the caller's task group
// can stop it. Returns when every output is written.
void evaluatePins(const FrameInputs& eval, const PinBinding* pins, int count, Matrix4* outputs);
void evaluatePins(const FrameInputs& eval, const UVPinBinding* pins, int count, Matrix4* outputs);

}  // namespace PinFrameMath
