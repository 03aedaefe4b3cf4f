#include <maya/MPoint.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>

#include "MatrixMath.h"

#include <cmath>
#include <ostream>

const MPoint MPoint::origin(0.0, 0.0, 0.0, 1.0);

MPoint::MPoint(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z), w(src.w) {}

MPoint::MPoint(const MFloatVector& src) : x(src.x), y(src.y), z(src.z), w(1.0) {}

MVector MPoint::operator-(const MPoint& p) const
{
    return MVector(x - p.x, y - p.y, z - p.z);
}

MPoint MPoint::operator*(const MMatrix& m) const
{
    double out[4];
    host::rowTimesMatrix(x, y, z, w, m.matrix, out);
    return MPoint(out);
}

MPoint& MPoint::operator*=(const MMatrix& m)
{
    return *this = *this * m;
}

MPoint operator*(const MMatrix& m, const MPoint& p)
{
    double out[4];
    host::matrixTimesColumn(m.matrix, p.x, p.y, p.z, p.w, out);
    return MPoint(out);
}

MStatus MPoint::get(double dest[4]) const
{
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    dest[3] = w;
    return MStatus::kSuccess;
}

MStatus MPoint::get(float dest[4]) const
{
    dest[0] = static_cast<float>(x);
    dest[1] = static_cast<float>(y);
    dest[2] = static_cast<float>(z);
    dest[3] = static_cast<float>(w);
    return MStatus::kSuccess;
}

double MPoint::distanceTo(const MPoint& other) const
{
    MPoint a(*this), b(other);
    a.cartesianize();
    b.cartesianize();
    return (a - b).length();
}

bool MPoint::isEquivalent(const MPoint& other, double tolerance) const
{
    return std::fabs(x - other.x) <= tolerance && std::fabs(y - other.y) <= tolerance &&
           std::fabs(z - other.z) <= tolerance && std::fabs(w - other.w) <= tolerance;
}

MPoint& MPoint::cartesianize()
{
    if (w != 0.0 && w != 1.0) {
        x /= w;
        y /= w;
        z /= w;
        w = 1.0;
    }
    return *this;
}

MPoint& MPoint::rationalize()
{
    if (w != 0.0) {
        x /= w;
        y /= w;
        z /= w;
    }
    return *this;
}

MPoint& MPoint::homogenize()
{
    x *= w;
    y *= w;
    z *= w;
    return *this;
}

std::ostream& operator<<(std::ostream& out, const MPoint& p)
{
    return out << "[" << p.x << ", " << p.y << ", " << p.z << ", " << p.w << "]";
}
