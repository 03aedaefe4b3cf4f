#ifndef MAYA_MVECTOR_H
#define MAYA_MVECTOR_H

#include <maya/MStatus.h>
#include <iosfwd>

#define MVector_kTol 1.0e-10

class MVector
{
public:
    enum Axis { kXaxis, kYaxis, kZaxis, kWaxis };

    MVector() : x(0.0), y(0.0), z(0.0) {}
    MVector(const MVector& src) = default;
    MVector(const MFloatVector& src);
    MVector(const MPoint& src);
    MVector(const MFloatPoint& src);
    MVector(double xx, double yy, double zz = 0.0) : x(xx), y(yy), z(zz) {}
    MVector(const double d[3]) : x(d[0]), y(d[1]), z(d[2]) {}
    MVector(const float f[3]) : x(f[0]), y(f[1]), z(f[2]) {}
    MVector& operator=(const MVector& src) = default;

    double operator()(unsigned int i) const { return (&x)[i]; }
    double operator[](unsigned int i) const { return (&x)[i]; }
    double& operator[](unsigned int i) { return (&x)[i]; }

    MVector operator+(const MVector& o) const { return MVector(x + o.x, y + o.y, z + o.z); }
    MVector operator-(const MVector& o) const { return MVector(x - o.x, y - o.y, z - o.z); }
    MVector operator-() const { return MVector(-x, -y, -z); }
    MVector operator*(int s) const { return MVector(x * s, y * s, z * s); }
    MVector operator*(double s) const { return MVector(x * s, y * s, z * s); }
    MVector operator/(double s) const { return MVector(x / s, y / s, z / s); }
    double operator*(const MVector& o) const { return x * o.x + y * o.y + z * o.z; }
    MVector operator^(const MVector& o) const
    {
        return MVector(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    MVector operator*(const MMatrix& m) const;
    MVector& operator*=(const MMatrix& m);
    friend MVector operator*(const MMatrix& m, const MVector& v);
    friend MVector operator*(int s, const MVector& v) { return v * s; }
    friend MVector operator*(double s, const MVector& v) { return v * s; }

    MVector& operator+=(const MVector& o) { x += o.x; y += o.y; z += o.z; return *this; }
    MVector& operator-=(const MVector& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    MVector& operator*=(double s) { x *= s; y *= s; z *= s; return *this; }
    MVector& operator/=(double s) { x /= s; y /= s; z /= s; return *this; }
    bool operator==(const MVector& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const MVector& o) const { return !(*this == o); }

    double length() const;
    MVector normal() const;
    MStatus normalize();
    double angle(const MVector& other) const;
    bool isEquivalent(const MVector& other, double tolerance = MVector_kTol) const;
    bool isParallel(const MVector& other, double tolerance = MVector_kTol) const;
    MVector transformAsNormal(const MMatrix& matrix) const;
    MVector rotateBy(const MQuaternion& q) const;
    MVector rotateBy(double x, double y, double z, double w) const;
    MQuaternion rotateTo(const MVector& target) const;
    MStatus get(double dest[3]) const;

    friend std::ostream& operator<<(std::ostream& out, const MVector& v);

    static const MVector zero;
    static const MVector one;
    static const MVector xAxis;
    static const MVector yAxis;
    static const MVector zAxis;
    static const MVector xNegAxis;
    static const MVector yNegAxis;
    static const MVector zNegAxis;

    double x;
    double y;
    double z;
};

#endif
