#ifndef MAYA_MFLOATVECTOR_H
#define MAYA_MFLOATVECTOR_H

#include <maya/MStatus.h>
#include <iosfwd>

#define MFloatVector_kTol 1.0e-5F

class MFloatVector
{
public:
    enum Axis { kXaxis, kYaxis, kZaxis, kWaxis };

    MFloatVector() : x(0.0f), y(0.0f), z(0.0f) {}
    MFloatVector(const MFloatVector& src) = default;
    MFloatVector(const MVector& src);
    MFloatVector(const MFloatPoint& src);
    MFloatVector(float xx, float yy, float zz = 0.0f) : x(xx), y(yy), z(zz) {}
    MFloatVector(const float f[3]) : x(f[0]), y(f[1]), z(f[2]) {}
    MFloatVector(const double d[3]) : x(float(d[0])), y(float(d[1])), z(float(d[2])) {}
    MFloatVector& operator=(const MFloatVector& src) = default;

    float operator()(unsigned int i) const { return (&x)[i]; }
    float operator[](unsigned int i) const { return (&x)[i]; }
    float& operator[](unsigned int i) { return (&x)[i]; }

    MFloatVector operator+(const MFloatVector& o) const { return MFloatVector(x + o.x, y + o.y, z + o.z); }
    MFloatVector operator-(const MFloatVector& o) const { return MFloatVector(x - o.x, y - o.y, z - o.z); }
    MFloatVector operator-() const { return MFloatVector(-x, -y, -z); }
    MFloatVector operator*(float s) const { return MFloatVector(x * s, y * s, z * s); }
    MFloatVector operator/(float s) const { return MFloatVector(x / s, y / s, z / s); }
    float operator*(const MFloatVector& o) const { return x * o.x + y * o.y + z * o.z; }
    MFloatVector operator^(const MFloatVector& o) const
    {
        return MFloatVector(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    MFloatVector operator*(const MFloatMatrix& m) const;
    MFloatVector& operator*=(const MFloatMatrix& m);
    friend MFloatVector operator*(const MFloatMatrix& m, const MFloatVector& v);
    friend MFloatVector operator*(float s, const MFloatVector& v) { return v * s; }

    MFloatVector& operator+=(const MFloatVector& o) { x += o.x; y += o.y; z += o.z; return *this; }
    MFloatVector& operator-=(const MFloatVector& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    MFloatVector& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    MFloatVector& operator/=(float s) { x /= s; y /= s; z /= s; return *this; }
    bool operator==(const MFloatVector& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const MFloatVector& o) const { return !(*this == o); }

    float length() const;
    MFloatVector normal() const;
    MStatus normalize();
    float angle(const MFloatVector& other) const;
    bool isEquivalent(const MFloatVector& other, float tolerance = MFloatVector_kTol) const;
    bool isParallel(const MFloatVector& other, float tolerance = MFloatVector_kTol) const;
    MFloatVector transformAsNormal(const MFloatMatrix& matrix) const;
    MStatus get(float dest[3]) const;

    friend std::ostream& operator<<(std::ostream& out, const MFloatVector& v);

    static const MFloatVector zero;
    static const MFloatVector one;
    static const MFloatVector xAxis;
    static const MFloatVector yAxis;
    static const MFloatVector zAxis;
    static const MFloatVector xNegAxis;
    static const MFloatVector yNegAxis;
    static const MFloatVector zNegAxis;

    float x;
    float y;
    float z;
};

#endif
