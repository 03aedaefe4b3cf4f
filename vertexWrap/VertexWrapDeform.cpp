#include "vertexWrap/VertexWrapDeform.h"

namespace VertexWrapDeform {

namespace {

// The matrix in locals, so the compiler keeps it in registers across stores.
struct Affine {
    double m00, m01, m02, m10, m11, m12, m20, m21, m22, m30, m31, m32;

    explicit Affine(const double m[4][4])
        : m00(m[0][0]), m01(m[0][1]), m02(m[0][2]),
          m10(m[1][0]), m11(m[1][1]), m12(m[1][2]),
          m20(m[2][0]), m21(m[2][1]), m22(m[2][2]),
          m30(m[3][0]), m31(m[3][1]), m32(m[3][2])
    {
    }

    template <class Out>
    void apply(double x, double y, double z, Out* out) const
    {
        out[0] = Out(x * m00 + y * m10 + z * m20 + m30);
        out[1] = Out(x * m01 + y * m11 + z * m21 + m31);
        out[2] = Out(x * m02 + y * m12 + z * m22 + m32);
    }
};

// Ids compare as unsigned, so -1 and every other negative entry fall out with
// the ids past the driver's end.
inline bool isDriverVertex(int id, int64_t driverCount)
{
    return static_cast<uint64_t>(static_cast<uint32_t>(id)) < static_cast<uint64_t>(driverCount);
}

template <class T, int Stride, class Out>
bool deformAllT(const T* driver, int64_t driverCount, const Affine& a, const int* map, int64_t vertexCount,
                Out* out)
{
    for (int64_t i = 0; i < vertexCount; ++i, out += 4) {
        const int id = map[i];
        if (!isDriverVertex(id, driverCount))
            return false;
        const T* p = driver + Stride * static_cast<int64_t>(id);
        a.apply(p[0], p[1], p[2], out);
        out[3] = Out(1);
    }
    return true;
}

template <class T, int Stride>
int64_t deformMappedT(const T* driver, int64_t driverCount, const Affine& a, const int* map, int64_t vertexCount,
                      double envelope, double* positions)
{
    int64_t moved = 0;
    const bool full = envelope == 1.0;
    for (int64_t i = 0; i < vertexCount; ++i) {
        const int id = map[i];
        if (!isDriverVertex(id, driverCount))
            continue;
        const T* p = driver + Stride * static_cast<int64_t>(id);
        double q[4];
        a.apply(p[0], p[1], p[2], q);
        q[3] = 1.0;
        double* v = positions + 4 * i;
        for (int c = 0; c < 4; ++c)
            v[c] = full ? q[c] : v[c] + (q[c] - v[c]) * envelope;
        ++moved;
    }
    return moved;
}

}  // namespace

template <class Out>
bool deformAllInto(const DriverPoints& driver, const double toLocal[4][4], const int* map, int64_t vertexCount,
                   Out* outXyzw)
{
    const Affine a(toLocal);
    if (driver.floatXyz)
        return deformAllT<float, 3>(driver.floatXyz, driver.count, a, map, vertexCount, outXyzw);
    if (driver.doubleXyzw)
        return deformAllT<double, 4>(driver.doubleXyzw, driver.count, a, map, vertexCount, outXyzw);
    return vertexCount <= 0;
}

bool deformAll(const DriverPoints& driver, const double toLocal[4][4], const int* map, int64_t vertexCount,
               double* outXyzw)
{
    return deformAllInto(driver, toLocal, map, vertexCount, outXyzw);
}

bool deformAll(const DriverPoints& driver, const double toLocal[4][4], const int* map, int64_t vertexCount,
               float* outXyzw)
{
    return deformAllInto(driver, toLocal, map, vertexCount, outXyzw);
}

int64_t deformMapped(const DriverPoints& driver, const double toLocal[4][4], const int* map, int64_t vertexCount,
                     double envelope, double* positionsXyzw)
{
    const Affine a(toLocal);
    if (driver.floatXyz)
        return deformMappedT<float, 3>(driver.floatXyz, driver.count, a, map, vertexCount, envelope,
                                       positionsXyzw);
    if (driver.doubleXyzw)
        return deformMappedT<double, 4>(driver.doubleXyzw, driver.count, a, map, vertexCount, envelope,
                                        positionsXyzw);
    return 0;
}

}  // namespace VertexWrapDeform
