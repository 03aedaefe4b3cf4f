#ifndef MAYA_MFLOATMATRIX_H
#define MAYA_MFLOATMATRIX_H

#include <maya/MStatus.h>
#include <iosfwd>

#define MFloatMatrix_kTol 1.0e-5F

// Single-precision counterpart of MMatrix (row vectors, A * B applies A first).
class MFloatMatrix
{
public:
    MFloatMatrix();
    MFloatMatrix(const MFloatMatrix& src) = default;
    MFloatMatrix(const float m[4][4]);
    MFloatMatrix(const double m[4][4]);
    MFloatMatrix& operator=(const MFloatMatrix& src) = default;

    float operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    float& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    const float* operator[](unsigned int row) const { return matrix[row]; }
    float* operator[](unsigned int row) { return matrix[row]; }

    MStatus get(float dest[4][4]) const;
    MStatus get(double dest[4][4]) const;
    MFloatMatrix transpose() const;
    MFloatMatrix& setToIdentity();
    MFloatMatrix& setToProduct(const MFloatMatrix& left, const MFloatMatrix& right);
    MFloatMatrix inverse() const;
    MFloatMatrix adjoint() const;
    MFloatMatrix homogenize() const;
    float det4x4() const;
    float det3x3() const;
    bool isEquivalent(const MFloatMatrix& other, float tolerance = MFloatMatrix_kTol) const;

    MFloatMatrix operator+(const MFloatMatrix& right) const;
    MFloatMatrix& operator+=(const MFloatMatrix& right);
    MFloatMatrix operator-(const MFloatMatrix& right) const;
    MFloatMatrix& operator-=(const MFloatMatrix& right);
    MFloatMatrix operator*(const MFloatMatrix& right) const;
    MFloatMatrix& operator*=(const MFloatMatrix& right);
    MFloatMatrix operator*(float scale) const;
    MFloatMatrix& operator*=(float scale);
    bool operator==(const MFloatMatrix& other) const;
    bool operator!=(const MFloatMatrix& other) const;
    friend MFloatMatrix operator*(float scale, const MFloatMatrix& right);

    friend std::ostream& operator<<(std::ostream& out, const MFloatMatrix& m);

    float matrix[4][4];
};

#endif
