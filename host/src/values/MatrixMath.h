#ifndef HOST_VALUES_MATRIXMATH_H
#define HOST_VALUES_MATRIXMATH_H

// 4x4 matrix arithmetic shared by the double and float matrix classes.
// Intermediate results are computed in double.

#include <cmath>
#include <utility>

namespace host
{

template <typename T>
void setIdentity4(T m[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m[r][c] = r == c ? T(1) : T(0);
}

template <typename T>
void multiply4(const T a[4][4], const T b[4][4], T out[4][4])
{
    T result[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += double(a[r][k]) * double(b[k][c]);
            result[r][c] = T(sum);
        }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r][c] = result[r][c];
}

template <typename T>
double det3(const T m[4][4])
{
    return double(m[0][0]) * (double(m[1][1]) * m[2][2] - double(m[1][2]) * m[2][1]) -
           double(m[0][1]) * (double(m[1][0]) * m[2][2] - double(m[1][2]) * m[2][0]) +
           double(m[0][2]) * (double(m[1][0]) * m[2][1] - double(m[1][1]) * m[2][0]);
}

// Cofactor of element (row, col): signed determinant of the 3x3 minor.
template <typename T>
double cofactor4(const T m[4][4], int row, int col)
{
    double minor[3][3];
    for (int r = 0, mr = 0; r < 4; ++r) {
        if (r == row) continue;
        for (int c = 0, mc = 0; c < 4; ++c) {
            if (c == col) continue;
            minor[mr][mc++] = double(m[r][c]);
        }
        ++mr;
    }
    double d = minor[0][0] * (minor[1][1] * minor[2][2] - minor[1][2] * minor[2][1]) -
               minor[0][1] * (minor[1][0] * minor[2][2] - minor[1][2] * minor[2][0]) +
               minor[0][2] * (minor[1][0] * minor[2][1] - minor[1][1] * minor[2][0]);
    return ((row + col) % 2) ? -d : d;
}

template <typename T>
double det4(const T m[4][4])
{
    double d = 0.0;
    for (int c = 0; c < 4; ++c) d += double(m[0][c]) * cofactor4(m, 0, c);
    return d;
}

// Transposed cofactor matrix.
template <typename T>
void adjoint4(const T m[4][4], T out[4][4])
{
    T result[4][4];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) result[c][r] = T(cofactor4(m, r, c));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r][c] = result[r][c];
}

// Gauss-Jordan elimination with partial pivoting. Returns false (and leaves
// the identity in out) when the matrix is singular.
template <typename T>
bool invert4(const T m[4][4], T out[4][4])
{
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = double(m[r][c]);
            a[r][c + 4] = r == c ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-300 || !std::isfinite(a[pivot][col])) {
            setIdentity4(out);
            return false;
        }
        if (pivot != col)
            for (int c = 0; c < 8; ++c) std::swap(a[pivot][c], a[col][c]);
        double inv = 1.0 / a[col][col];
        for (int c = 0; c < 8; ++c) a[col][c] *= inv;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0) continue;
            double f = a[r][col];
            for (int c = 0; c < 8; ++c) a[r][c] -= f * a[col][c];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[r][c] = T(a[r][c + 4]);
    return true;
}

} // namespace host



namespace host
{

// Row vector times matrix: out = (x, y, z, w) * m.
template <typename T, typename M>
void rowTimesMatrix(T x, T y, T z, T w, const M m[4][4], T out[4])
{
    for (int c = 0; c < 4; ++c) out[c] = T(x * m[0][c] + y * m[1][c] + z * m[2][c] + w * m[3][c]);
}

// Matrix times column vector: out = m * (x, y, z, w).
template <typename T, typename M>
void matrixTimesColumn(const M m[4][4], T x, T y, T z, T w, T out[4])
{
    for (int r = 0; r < 4; ++r) out[r] = T(m[r][0] * x + m[r][1] * y + m[r][2] * z + m[r][3] * w);
}

} // namespace host
#endif
