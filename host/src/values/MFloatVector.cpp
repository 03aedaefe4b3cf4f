#include <maya/MFloatVector.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MVector.h>

#include "MatrixMath.h"

#include <algorithm>
#include <cmath>
#include <ostream>

const MFloatVector MFloatVector::zero(0.0f, 0.0f, 0.0f);
const MFloatVector MFloatVector::one(1.0f, 1.0f, 1.0f);
const MFloatVector MFloatVector::xAxis(1.0f, 0.0f, 0.0f);
const MFloatVector MFloatVector::yAxis(0.0f, 1.0f, 0.0f);
const MFloatVector MFloatVector::zAxis(0.0f, 0.0f, 1.0f);
const MFloatVector MFloatVector::xNegAxis(-1.0f, 0.0f, 0.0f);
const MFloatVector MFloatVector::yNegAxis(0.0f, -1.0f, 0.0f);
const MFloatVector MFloatVector::zNegAxis(0.0f, 0.0f, -1.0f);

MFloatVector::MFloatVector(const MVector& src)
    : x(static_cast<float>(src.x)), y(static_cast<float>(src.y)), z(static_cast<float>(src.z))
{
}

MFloatVector::MFloatVector(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z) {}

MFloatVector MFloatVector::operator*(const MFloatMatrix& m) const
{
    float out[4];
    host::rowTimesMatrix(x, y, z, 0.0f, m.matrix, out);
    return MFloatVector(out[0], out[1], out[2]);
}

MFloatVector& MFloatVector::operator*=(const MFloatMatrix& m)
{
    return *this = *this * m;
}

MFloatVector operator*(const MFloatMatrix& m, const MFloatVector& v)
{
    float out[4];
    host::matrixTimesColumn(m.matrix, v.x, v.y, v.z, 0.0f, out);
    return MFloatVector(out[0], out[1], out[2]);
}

float MFloatVector::length() const
{
    return std::sqrt(x * x + y * y + z * z);
}

MFloatVector MFloatVector::normal() const
{
    MFloatVector result(*this);
    result.normalize();
    return result;
}

MStatus MFloatVector::normalize()
{
    float len = length();
    if (len == 0.0f) return MStatus::kSuccess;
    *this /= len;
    return MStatus::kSuccess;
}

float MFloatVector::angle(const MFloatVector& other) const
{
    float lengths = length() * other.length();
    if (lengths == 0.0f) return 0.0f;
    return std::acos(std::max(-1.0f, std::min(1.0f, (*this * other) / lengths)));
}

bool MFloatVector::isEquivalent(const MFloatVector& other, float tolerance) const
{
    return (*this - other).length() <= tolerance;
}

bool MFloatVector::isParallel(const MFloatVector& other, float tolerance) const
{
    MFloatVector a = normal();
    MFloatVector b = other.normal();
    return std::fabs(std::fabs(a * b) - 1.0f) <= tolerance;
}

MFloatVector MFloatVector::transformAsNormal(const MFloatMatrix& matrix) const
{
    return (matrix.inverse().transpose() * *this).normal();
}

MStatus MFloatVector::get(float dest[3]) const
{
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    return MStatus::kSuccess;
}

std::ostream& operator<<(std::ostream& out, const MFloatVector& v)
{
    return out << "[" << v.x << ", " << v.y << ", " << v.z << "]";
}
