#include <maya/MFloatPoint.h>
#include <maya/MFloatMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include "MatrixMath.h"

#include <cmath>
#include <ostream>

const MFloatPoint MFloatPoint::origin(0.0f, 0.0f, 0.0f, 1.0f);

MFloatPoint::MFloatPoint(const MPoint& src)
    : x(static_cast<float>(src.x)), y(static_cast<float>(src.y)), z(static_cast<float>(src.z)),
      w(static_cast<float>(src.w))
{
}

MFloatPoint::MFloatPoint(const MVector& src)
    : x(static_cast<float>(src.x)), y(static_cast<float>(src.y)), z(static_cast<float>(src.z)), w(1.0f)
{
}

MStatus MFloatPoint::setCast(const MPoint& src)
{
    *this = MFloatPoint(src);
    return MStatus::kSuccess;
}

MStatus MFloatPoint::setCast(const MVector& src)
{
    *this = MFloatPoint(src);
    return MStatus::kSuccess;
}

MFloatVector MFloatPoint::operator-(const MFloatPoint& p) const
{
    return MFloatVector(x - p.x, y - p.y, z - p.z);
}

MFloatPoint MFloatPoint::operator*(const MFloatMatrix& m) const
{
    float out[4];
    host::rowTimesMatrix(x, y, z, w, m.matrix, out);
    return MFloatPoint(out);
}

MFloatPoint& MFloatPoint::operator*=(const MFloatMatrix& m)
{
    return *this = *this * m;
}

MFloatPoint operator*(const MFloatMatrix& m, const MFloatPoint& p)
{
    float out[4];
    host::matrixTimesColumn(m.matrix, p.x, p.y, p.z, p.w, out);
    return MFloatPoint(out);
}

MStatus MFloatPoint::get(float dest[4]) const
{
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    dest[3] = w;
    return MStatus::kSuccess;
}

MStatus MFloatPoint::get(double dest[4]) const
{
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    dest[3] = w;
    return MStatus::kSuccess;
}

float MFloatPoint::distanceTo(const MFloatPoint& other) const
{
    MFloatPoint a(*this), b(other);
    a.cartesianize();
    b.cartesianize();
    return (a - b).length();
}

bool MFloatPoint::isEquivalent(const MFloatPoint& other, float tolerance) const
{
    return std::fabs(x - other.x) <= tolerance && std::fabs(y - other.y) <= tolerance &&
           std::fabs(z - other.z) <= tolerance && std::fabs(w - other.w) <= tolerance;
}

MFloatPoint& MFloatPoint::cartesianize()
{
    if (w != 0.0f && w != 1.0f) {
        x /= w;
        y /= w;
        z /= w;
        w = 1.0f;
    }
    return *this;
}

MFloatPoint& MFloatPoint::rationalize()
{
    if (w != 0.0f) {
        x /= w;
        y /= w;
        z /= w;
    }
    return *this;
}

MFloatPoint& MFloatPoint::homogenize()
{
    x *= w;
    y *= w;
    z *= w;
    return *this;
}

std::ostream& operator<<(std::ostream& out, const MFloatPoint& p)
{
    return out << "[" << p.x << ", " << p.y << ", " << p.z << ", " << p.w << "]";
}
