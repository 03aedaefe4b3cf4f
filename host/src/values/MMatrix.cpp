#include <maya/MMatrix.h>

#include "MatrixMath.h"

#include <cmath>
#include <ostream>

const MMatrix MMatrix::identity;

MMatrix::MMatrix()
{
    host::setIdentity4(matrix);
}

MMatrix::MMatrix(const double m[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}

MMatrix::MMatrix(const float m[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] = m[r][c];
}

MStatus MMatrix::get(double dest[4][4]) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = matrix[r][c];
    return MStatus::kSuccess;
}

MStatus MMatrix::get(float dest[4][4]) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) dest[r][c] = static_cast<float>(matrix[r][c]);
    return MStatus::kSuccess;
}

MMatrix MMatrix::transpose() const
{
    MMatrix result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) result.matrix[r][c] = matrix[c][r];
    return result;
}

MMatrix& MMatrix::setToIdentity()
{
    host::setIdentity4(matrix);
    return *this;
}

MMatrix& MMatrix::setToProduct(const MMatrix& left, const MMatrix& right)
{
    host::multiply4(left.matrix, right.matrix, matrix);
    return *this;
}

MMatrix MMatrix::inverse() const
{
    MMatrix result;
    host::invert4(matrix, result.matrix);
    return result;
}

MMatrix MMatrix::adjoint() const
{
    MMatrix result;
    host::adjoint4(matrix, result.matrix);
    return result;
}

MMatrix MMatrix::homogenize() const
{
    // Scales each row so that its last element is one; rows ending in zero stay.
    MMatrix result(*this);
    for (int r = 0; r < 4; ++r) {
        double w = matrix[r][3];
        if (w == 0.0) continue;
        for (int c = 0; c < 4; ++c) result.matrix[r][c] = matrix[r][c] / w;
    }
    return result;
}

double MMatrix::det4x4() const
{
    return host::det4(matrix);
}

double MMatrix::det3x3() const
{
    return host::det3(matrix);
}

bool MMatrix::isEquivalent(const MMatrix& other, double tolerance) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!(std::fabs(matrix[r][c] - other.matrix[r][c]) <= tolerance)) return false;
    return true;
}

bool MMatrix::isSingular() const
{
    return std::fabs(det4x4()) < MMatrix_kTol;
}

MMatrix MMatrix::operator+(const MMatrix& right) const
{
    MMatrix result(*this);
    return result += right;
}

MMatrix& MMatrix::operator+=(const MMatrix& right)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] += right.matrix[r][c];
    return *this;
}

MMatrix MMatrix::operator-(const MMatrix& right) const
{
    MMatrix result(*this);
    return result -= right;
}

MMatrix& MMatrix::operator-=(const MMatrix& right)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] -= right.matrix[r][c];
    return *this;
}

MMatrix MMatrix::operator*(const MMatrix& right) const
{
    MMatrix result;
    host::multiply4(matrix, right.matrix, result.matrix);
    return result;
}

MMatrix& MMatrix::operator*=(const MMatrix& right)
{
    host::multiply4(matrix, right.matrix, matrix);
    return *this;
}

MMatrix MMatrix::operator*(double scale) const
{
    MMatrix result(*this);
    return result *= scale;
}

MMatrix& MMatrix::operator*=(double scale)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) matrix[r][c] *= scale;
    return *this;
}

bool MMatrix::operator==(const MMatrix& other) const
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (matrix[r][c] != other.matrix[r][c]) return false;
    return true;
}

bool MMatrix::operator!=(const MMatrix& other) const
{
    return !(*this == other);
}

MMatrix operator*(double scale, const MMatrix& right)
{
    return right * scale;
}

std::ostream& operator<<(std::ostream& out, const MMatrix& m)
{
    out << "[";
    for (int r = 0; r < 4; ++r) {
        out << (r ? ", [" : "[");
        for (int c = 0; c < 4; ++c) out << (c ? ", " : "") << m.matrix[r][c];
        out << "]";
    }
    return out << "]";
}
