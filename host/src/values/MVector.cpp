#include <maya/MVector.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>

#include "MatrixMath.h"

#include <algorithm>
#include <cmath>
#include <ostream>

const MVector MVector::zero(0.0, 0.0, 0.0);
const MVector MVector::one(1.0, 1.0, 1.0);
const MVector MVector::xAxis(1.0, 0.0, 0.0);
const MVector MVector::yAxis(0.0, 1.0, 0.0);
const MVector MVector::zAxis(0.0, 0.0, 1.0);
const MVector MVector::xNegAxis(-1.0, 0.0, 0.0);
const MVector MVector::yNegAxis(0.0, -1.0, 0.0);
const MVector MVector::zNegAxis(0.0, 0.0, -1.0);

MVector::MVector(const MFloatVector& src) : x(src.x), y(src.y), z(src.z) {}

MVector::MVector(const MPoint& src) : x(src.x), y(src.y), z(src.z) {}

MVector::MVector(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z) {}

MVector MVector::operator*(const MMatrix& m) const
{
    double out[4];
    host::rowTimesMatrix(x, y, z, 0.0, m.matrix, out);
    return MVector(out[0], out[1], out[2]);
}

MVector& MVector::operator*=(const MMatrix& m)
{
    return *this = *this * m;
}

MVector operator*(const MMatrix& m, const MVector& v)
{
    double out[4];
    host::matrixTimesColumn(m.matrix, v.x, v.y, v.z, 0.0, out);
    return MVector(out[0], out[1], out[2]);
}

double MVector::length() const
{
    return std::sqrt(x * x + y * y + z * z);
}

MVector MVector::normal() const
{
    MVector result(*this);
    result.normalize();
    return result;
}

MStatus MVector::normalize()
{
    double len = length();
    if (len == 0.0) return MStatus::kSuccess;
    *this /= len;
    return MStatus::kSuccess;
}

double MVector::angle(const MVector& other) const
{
    double lengths = length() * other.length();
    if (lengths == 0.0) return 0.0;
    return std::acos(std::max(-1.0, std::min(1.0, (*this * other) / lengths)));
}

bool MVector::isEquivalent(const MVector& other, double tolerance) const
{
    return (*this - other).length() <= tolerance;
}

bool MVector::isParallel(const MVector& other, double tolerance) const
{
    MVector a = normal();
    MVector b = other.normal();
    return std::fabs(std::fabs(a * b) - 1.0) <= tolerance;
}

MVector MVector::transformAsNormal(const MMatrix& matrix) const
{
    // Normals transform by the inverse transpose; the result is unit length.
    return (matrix.inverse().transpose() * *this).normal();
}

MVector MVector::rotateBy(const MQuaternion& q) const
{
    return *this * q.asMatrix();
}

MVector MVector::rotateBy(double qx, double qy, double qz, double qw) const
{
    return rotateBy(MQuaternion(qx, qy, qz, qw));
}

MQuaternion MVector::rotateTo(const MVector& target) const
{
    return MQuaternion(*this, target);
}

MStatus MVector::get(double dest[3]) const
{
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    return MStatus::kSuccess;
}

std::ostream& operator<<(std::ostream& out, const MVector& v)
{
    return out << "[" << v.x << ", " << v.y << ", " << v.z << "]";
}
