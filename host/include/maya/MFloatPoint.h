#ifndef MAYA_MFLOATPOINT_H
#define MAYA_MFLOATPOINT_H

#include <maya/MStatus.h>
#include <maya/MFloatVector.h>
#include <iosfwd>

#define MFloatPoint_kTol 1.0e-5F

class MFloatPoint
{
public:
    MFloatPoint() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    MFloatPoint(const MFloatPoint& src) = default;
    MFloatPoint(const MPoint& src);
    MFloatPoint(const MFloatVector& src) : x(src.x), y(src.y), z(src.z), w(1.0f) {}
    MFloatPoint(const MVector& src);
    MFloatPoint(float xx, float yy, float zz = 0.0f, float ww = 1.0f) : x(xx), y(yy), z(zz), w(ww) {}
    MFloatPoint(const float f[4]) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    MFloatPoint(const double d[4]) : x(float(d[0])), y(float(d[1])), z(float(d[2])), w(float(d[3])) {}
    MFloatPoint& operator=(const MFloatPoint& src) = default;

    MStatus setCast(const MPoint& src);
    MStatus setCast(const MVector& src);

    float operator()(unsigned int i) const { return (&x)[i]; }
    float operator[](unsigned int i) const { return (&x)[i]; }
    float& operator[](unsigned int i) { return (&x)[i]; }

    MFloatPoint operator+(const MFloatVector& v) const { return MFloatPoint(x + v.x, y + v.y, z + v.z, w); }
    MFloatPoint operator-(const MFloatVector& v) const { return MFloatPoint(x - v.x, y - v.y, z - v.z, w); }
    MFloatVector operator-(const MFloatPoint& p) const;
    MFloatPoint& operator+=(const MFloatVector& v) { x += v.x; y += v.y; z += v.z; return *this; }
    MFloatPoint& operator-=(const MFloatVector& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
    MFloatPoint operator*(float s) const { return MFloatPoint(x * s, y * s, z * s, w * s); }
    MFloatPoint operator/(float s) const { return MFloatPoint(x / s, y / s, z / s, w / s); }
    MFloatPoint operator*(const MFloatMatrix& m) const;
    MFloatPoint& operator*=(const MFloatMatrix& m);
    friend MFloatPoint operator*(const MFloatMatrix& m, const MFloatPoint& p);

    bool operator==(const MFloatPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MFloatPoint& o) const { return !(*this == o); }

    MStatus get(float dest[4]) const;
    MStatus get(double dest[4]) const;
    float distanceTo(const MFloatPoint& other) const;
    bool isEquivalent(const MFloatPoint& other, float tolerance = MFloatPoint_kTol) const;
    MFloatPoint& cartesianize();
    MFloatPoint& rationalize();
    MFloatPoint& homogenize();

    friend std::ostream& operator<<(std::ostream& out, const MFloatPoint& p);

    static const MFloatPoint origin;

    float x;
    float y;
    float z;
    float w;
};

#endif
