#ifndef MAYA_MEULERROTATION_H
#define MAYA_MEULERROTATION_H

#include <maya/MStatus.h>
#include <iosfwd>

#define kEulerRotationEpsilon 1.0e-10

// Angles in radians. The order names the axis applied first: kXYZ rotates
// about X, then Y, then Z (matrix Rx * Ry * Rz with row vectors).
class MEulerRotation
{
public:
    enum RotationOrder { kXYZ, kYZX, kZXY, kXZY, kYXZ, kZYX };

    MEulerRotation() : x(0.0), y(0.0), z(0.0), order(kXYZ) {}
    MEulerRotation(const MEulerRotation& src) = default;
    MEulerRotation(const MVector& v, RotationOrder ord = kXYZ);
    MEulerRotation(double xx, double yy, double zz, RotationOrder ord = kXYZ)
        : x(xx), y(yy), z(zz), order(ord) {}
    MEulerRotation& operator=(const MEulerRotation& src) = default;
    MEulerRotation& operator=(const MQuaternion& q);
    MEulerRotation& operator=(const MMatrix& m);
    MEulerRotation& operator=(const MVector& v);

    MEulerRotation& setValue(double xx, double yy, double zz, RotationOrder ord = kXYZ);
    MEulerRotation& setValue(const MVector& v, RotationOrder ord = kXYZ);
    MEulerRotation& setValue(const MQuaternion& q);

    double operator[](unsigned int i) const { return (&x)[i]; }
    double& operator[](unsigned int i) { return (&x)[i]; }

    MMatrix asMatrix() const;
    MQuaternion asQuaternion() const;
    MVector asVector() const;

    MEulerRotation operator+(const MEulerRotation& o) const;
    MEulerRotation& operator+=(const MEulerRotation& o);
    MEulerRotation operator-(const MEulerRotation& o) const;
    MEulerRotation& operator-=(const MEulerRotation& o);
    MEulerRotation operator-() const;
    MEulerRotation operator*(const MEulerRotation& o) const;
    MEulerRotation operator*(const MQuaternion& q) const;
    MEulerRotation operator*(double scale) const;
    MEulerRotation& operator*=(const MEulerRotation& o);
    MEulerRotation& operator*=(const MQuaternion& q);
    MEulerRotation& operator*=(double scale);
    friend MEulerRotation operator*(double scale, const MEulerRotation& e) { return e * scale; }
    bool operator==(const MEulerRotation& o) const;
    bool operator!=(const MEulerRotation& o) const { return !(*this == o); }

    bool isEquivalent(const MEulerRotation& other, double tolerance = kEulerRotationEpsilon) const;
    bool isZero(double tolerance = kEulerRotationEpsilon) const;
    bool incrementalRotateBy(const MVector& axis, double angle);

    MEulerRotation inverse() const;
    MEulerRotation& invertIt();
    MEulerRotation reorder(RotationOrder ord) const;
    MEulerRotation& reorderIt(RotationOrder ord);
    MEulerRotation bound() const;
    MEulerRotation& boundIt(const MEulerRotation& src);
    MEulerRotation& boundIt();
    MEulerRotation alternateSolution() const;
    MEulerRotation& setToAlternateSolution(const MEulerRotation& src);
    MEulerRotation& setToAlternateSolution();
    MEulerRotation closestSolution(const MEulerRotation& dst) const;
    MEulerRotation& setToClosestSolution(const MEulerRotation& src, const MEulerRotation& dst);
    MEulerRotation& setToClosestSolution(const MEulerRotation& dst);
    MEulerRotation closestCut(const MEulerRotation& dst) const;
    MEulerRotation& setToClosestCut(const MEulerRotation& src, const MEulerRotation& dst);
    MEulerRotation& setToClosestCut(const MEulerRotation& dst);

    static MEulerRotation decompose(const MMatrix& matrix, RotationOrder ord);

    friend std::ostream& operator<<(std::ostream& out, const MEulerRotation& e);

    static const MEulerRotation identity;

    double x;
    double y;
    double z;
    RotationOrder order;
};

#endif
