#include "pins/PinFrameQuad.h"

#include "pins/PinFrameDetail.h"

namespace PinFrameMath {

using namespace detail;

namespace {

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
void composeFrameOutputsT(const FrameInputs& eval, const Binding* pins, int begin, int end, Matrix4* outputs)
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
void composeFrameOutputsT(const FrameInputs& eval, const Binding* pins, int begin, int end, Matrix4* outputs)
{
    for (int i = begin; i < end; ++i)
        outputs[i] = composePinOutputT(eval, pins[i], i);
}

#endif

}  // namespace

void composeFrameOutputs(const FrameInputs& eval, const PinBinding* pins, int begin, int end, Matrix4* outputs)
{
    composeFrameOutputsT(eval, pins, begin, end, outputs);
}

void composeFrameOutputs(const FrameInputs& eval, const UVPinBinding* pins, int begin, int end, Matrix4* outputs)
{
    composeFrameOutputsT(eval, pins, begin, end, outputs);
}

}  // namespace PinFrameMath
