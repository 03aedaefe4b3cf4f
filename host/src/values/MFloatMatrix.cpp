#include <maya/MFloatMatrix.h>

#include "MatrixMath.h"

#include <cmath>
#include <ostream>

MFloatMatrix::MFloatMatrix()
{
    host::setIdentity4(matrix);
}

MFloatMatrix::MFloatMatrix(const double m[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}

MFloatMatrix::MFloatMatrix(const float m[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}

MStatus MFloatMatrix::get(double dest[4][4]) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = matrix[r][c];
    return MStatus::kSuccess;
}

MStatus MFloatMatrix::get(float dest[4][4]) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = matrix[r][c];
    return MStatus::kSuccess;
}

MFloatMatrix MFloatMatrix::transpose() const
{
    MFloatMatrix result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) result.matrix[r][c] = matrix[c][r];
    return result;
}

MFloatMatrix& MFloatMatrix::setToIdentity()
{
    host::setIdentity4(matrix);
    return *this;
}

MFloatMatrix& MFloatMatrix::setToProduct(const MFloatMatrix& left, const MFloatMatrix& right)
{
    host::multiply4(left.matrix, right.matrix, matrix);
    return *this;
}

MFloatMatrix MFloatMatrix::inverse() const
{
    MFloatMatrix result;
    host::invert4(matrix, result.matrix);
    return result;
}

MFloatMatrix MFloatMatrix::adjoint() const
{
    MFloatMatrix result;
    host::adjoint4(matrix, result.matrix);
    return result;
}

MFloatMatrix MFloatMatrix::homogenize() const
{
    // Scales each row so that its last element is one; rows ending in zero stay.
    MFloatMatrix result(*this);
    for (int r = 0; r < 4; ++r) {
        float w = matrix[r][3];
        if (w == 0.0) continue;
        for (int c = 0; c < 4; ++c) result.matrix[r][c] = matrix[r][c] / w;
    }
    return result;
}

float MFloatMatrix::det4x4() const
{
    return static_cast<float>(host::det4(matrix));
}

float MFloatMatrix::det3x3() const
{
    return static_cast<float>(host::det3(matrix));
}

bool MFloatMatrix::isEquivalent(const MFloatMatrix& other, float tolerance) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!(std::fabs(matrix[r][c] - other.matrix[r][c]) <= tolerance)) return false;
    return true;
}

MFloatMatrix MFloatMatrix::operator+(const MFloatMatrix& right) const
{
    MFloatMatrix result(*this);
    return result += right;
}

MFloatMatrix& MFloatMatrix::operator+=(const MFloatMatrix& right)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] += right.matrix[r][c];
    return *this;
}

MFloatMatrix MFloatMatrix::operator-(const MFloatMatrix& right) const
{
    MFloatMatrix result(*this);
    return result -= right;
}

MFloatMatrix& MFloatMatrix::operator-=(const MFloatMatrix& right)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] -= right.matrix[r][c];
    return *this;
}

MFloatMatrix MFloatMatrix::operator*(const MFloatMatrix& right) const
{
    MFloatMatrix result;
    host::multiply4(matrix, right.matrix, result.matrix);
    return result;
}

MFloatMatrix& MFloatMatrix::operator*=(const MFloatMatrix& right)
{
    host::multiply4(matrix, right.matrix, matrix);
    return *this;
}

MFloatMatrix MFloatMatrix::operator*(float scale) const
{
    MFloatMatrix result(*this);
    return result *= scale;
}

MFloatMatrix& MFloatMatrix::operator*=(float scale)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] *= scale;
    return *this;
}

bool MFloatMatrix::operator==(const MFloatMatrix& other) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (matrix[r][c] != other.matrix[r][c]) return false;
    return true;
}

bool MFloatMatrix::operator!=(const MFloatMatrix& other) const
{
    return !(*this == other);
}

MFloatMatrix operator*(float scale, const MFloatMatrix& right)
{
    return right * scale;
}

std::ostream& operator<<(std::ostream& out, const MFloatMatrix& m)
{
    out << "[";
    for (int r = 0; r < 4; ++r) {
        out << (r ? ", [" : "[");
        for (int c = 0; c < 4; ++c) out << (c ? ", " : "") << m.matrix[r][c];
        out << "]";
    }
    return out << "]";
}
