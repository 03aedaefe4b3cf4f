#ifndef MAYA_MPOINT_H
#define MAYA_MPOINT_H

#include <maya/MStatus.h>
#include <maya/MVector.h>
#include <iosfwd>

#define MPoint_kTol 1.0e-10

class MPoint
{
public:
    MPoint() : x(0.0), y(0.0), z(0.0), w(1.0) {}
    MPoint(const MPoint& src) = default;
    MPoint(const MFloatPoint& src);
    MPoint(const MVector& src) : x(src.x), y(src.y), z(src.z), w(1.0) {}
    MPoint(const MFloatVector& src);
    MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0) : x(xx), y(yy), z(zz), w(ww) {}
    MPoint(const double d[4]) : x(d[0]), y(d[1]), z(d[2]), w(d[3]) {}
    MPoint(const float f[4]) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    MPoint& operator=(const MPoint& src) = default;

    double operator()(unsigned int i) const { return (&x)[i]; }
    double operator[](unsigned int i) const { return (&x)[i]; }
    double& operator[](unsigned int i) { return (&x)[i]; }

    MPoint operator+(const MVector& v) const { return MPoint(x + v.x, y + v.y, z + v.z, w); }
    MPoint operator-(const MVector& v) const { return MPoint(x - v.x, y - v.y, z - v.z, w); }
    MVector operator-(const MPoint& p) const;
    MPoint& operator+=(const MVector& v) { x += v.x; y += v.y; z += v.z; return *this; }
    MPoint& operator-=(const MVector& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
    MPoint operator*(double s) const { return MPoint(x * s, y * s, z * s, w * s); }
    MPoint operator/(double s) const { return MPoint(x / s, y / s, z / s, w / s); }
    MPoint operator*(const MMatrix& m) const;
    MPoint& operator*=(const MMatrix& m);
    friend MPoint operator*(const MMatrix& m, const MPoint& p);
    friend MPoint operator*(double s, const MPoint& p) { return p * s; }

    bool operator==(const MPoint& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MPoint& o) const { return !(*this == o); }

    MStatus get(double dest[4]) const;
    MStatus get(float dest[4]) const;
    double distanceTo(const MPoint& other) const;
    bool isEquivalent(const MPoint& other, double tolerance = MPoint_kTol) const;
    MPoint& cartesianize();
    MPoint& rationalize();
    MPoint& homogenize();

    friend std::ostream& operator<<(std::ostream& out, const MPoint& p);

    static const MPoint origin;

    double x;
    double y;
    double z;
    double w;
};

#endif
