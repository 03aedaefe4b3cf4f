#ifndef MAYA_MQUATERNION_H
#define MAYA_MQUATERNION_H

#include <maya/MStatus.h>
#include <iosfwd>

#define MQuaternion_kTol 1.0e-10

// Unit quaternions compose like the matrices they stand for:
// (a * b).asMatrix() == a.asMatrix() * b.asMatrix().
class MQuaternion
{
public:
    MQuaternion() : x(0.0), y(0.0), z(0.0), w(1.0) {}
    MQuaternion(const MQuaternion& src) = default;
    MQuaternion(double xx, double yy, double zz, double ww) : x(xx), y(yy), z(zz), w(ww) {}
    MQuaternion(const double q[4]) : x(q[0]), y(q[1]), z(q[2]), w(q[3]) {}
    MQuaternion(const MVector& a, const MVector& b);
    MQuaternion(const MVector& a, const MVector& b, double angleFactor);
    MQuaternion(double angle, const MVector& axis);
    MQuaternion& operator=(const MQuaternion& src) = default;
    MQuaternion& operator=(const MMatrix& matrix);
    MQuaternion& operator=(const MEulerRotation& euler);

    double operator[](unsigned int i) const { return (&x)[i]; }
    double& operator[](unsigned int i) { return (&x)[i]; }

    MMatrix asMatrix() const;
    MEulerRotation asEulerRotation() const;
    MQuaternion& setAxisAngle(const MVector& axis, double theta);
    bool getAxisAngle(MVector& axis, double& theta) const;
    MQuaternion& setToXAxis(double theta);
    MQuaternion& setToYAxis(double theta);
    MQuaternion& setToZAxis(double theta);
    MStatus get(double dest[4]) const;

    MQuaternion operator+(const MQuaternion& o) const { return MQuaternion(x + o.x, y + o.y, z + o.z, w + o.w); }
    MQuaternion operator-(const MQuaternion& o) const { return MQuaternion(x - o.x, y - o.y, z - o.z, w - o.w); }
    MQuaternion operator-() const { return MQuaternion(-x, -y, -z, -w); }
    MQuaternion operator*(const MQuaternion& right) const;
    MQuaternion& operator*=(const MQuaternion& right);
    friend MQuaternion operator*(double scale, const MQuaternion& q)
    {
        return MQuaternion(scale * q.x, scale * q.y, scale * q.z, scale * q.w);
    }
    bool operator==(const MQuaternion& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const MQuaternion& o) const { return !(*this == o); }
    bool isEquivalent(const MQuaternion& other, double tolerance = MQuaternion_kTol) const;

    MQuaternion& scaleIt(double scale);
    MQuaternion normal() const;
    MQuaternion& normalizeIt();
    MQuaternion conjugate() const;
    MQuaternion& conjugateIt();
    MQuaternion inverse() const;
    MQuaternion& invertIt();
    MQuaternion log() const;
    MQuaternion exp() const;
    MQuaternion& negateIt();

    friend std::ostream& operator<<(std::ostream& out, const MQuaternion& q);

    static const MQuaternion identity;

    double x;
    double y;
    double z;
    double w;
};

MQuaternion slerp(const MQuaternion& p, const MQuaternion& q, double t, short spin = 0);

#endif
