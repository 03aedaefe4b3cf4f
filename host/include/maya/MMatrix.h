#ifndef MAYA_MMATRIX_H
#define MAYA_MMATRIX_H

#include <maya/MStatus.h>
#include <iosfwd>

#define MMatrix_kTol 1.0e-10

// Row-major 4x4 matrix acting on row vectors: p' = p * M, so A * B applies A first.
class MMatrix
{
public:
    MMatrix();
    MMatrix(const MMatrix& src) = default;
    MMatrix(const double m[4][4]);
    MMatrix(const float m[4][4]);
    MMatrix& operator=(const MMatrix& src) = default;

    double operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    double& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    const double* operator[](unsigned int row) const { return matrix[row]; }
    double* operator[](unsigned int row) { return matrix[row]; }

    MStatus get(double dest[4][4]) const;
    MStatus get(float dest[4][4]) const;
    MMatrix transpose() const;
    MMatrix& setToIdentity();
    MMatrix& setToProduct(const MMatrix& left, const MMatrix& right);
    MMatrix inverse() const;
    MMatrix adjoint() const;
    MMatrix homogenize() const;
    double det4x4() const;
    double det3x3() const;
    bool isEquivalent(const MMatrix& other, double tolerance = MMatrix_kTol) const;
    bool isSingular() const;

    MMatrix operator+(const MMatrix& right) const;
    MMatrix& operator+=(const MMatrix& right);
    MMatrix operator-(const MMatrix& right) const;
    MMatrix& operator-=(const MMatrix& right);
    MMatrix operator*(const MMatrix& right) const;
    MMatrix& operator*=(const MMatrix& right);
    MMatrix operator*(double scale) const;
    MMatrix& operator*=(double scale);
    bool operator==(const MMatrix& other) const;
    bool operator!=(const MMatrix& other) const;
    friend MMatrix operator*(double scale, const MMatrix& right);

    friend std::ostream& operator<<(std::ostream& out, const MMatrix& m);

    static const MMatrix identity;

    double matrix[4][4];
};

#endif
