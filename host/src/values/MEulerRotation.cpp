#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MQuaternion.h>
#include <maya/MVector.h>

#include <cmath>
#include <ostream>

const MEulerRotation MEulerRotation::identity;

namespace
{

const double kPi = 3.14159265358979323846;
const double kTwoPi = 2.0 * kPi;

// The axes in the order they are applied, and whether that order is an odd permutation of XYZ.
void orderAxes(MEulerRotation::RotationOrder order, int axes[3], bool& odd)
{
    static const int table[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};
    int index = (order >= MEulerRotation::kXYZ && order <= MEulerRotation::kZYX) ? int(order) : 0;
    axes[0] = table[index][0];
    axes[1] = table[index][1];
    axes[2] = table[index][2];
    odd = index >= 3;
}

// Rotation about one axis acting on row vectors.
MMatrix axisMatrix(int axis, double angle)
{
    double c = std::cos(angle), s = std::sin(angle);
    MMatrix m;
    int a = (axis + 1) % 3, b = (axis + 2) % 3;
    m.matrix[a][a] = c;
    m.matrix[a][b] = s;
    m.matrix[b][a] = -s;
    m.matrix[b][b] = c;
    return m;
}

// The multiple of two pi that brings angle closest to target.
double nearestCut(double angle, double target)
{
    return angle + kTwoPi * std::round((target - angle) / kTwoPi);
}

double wrap(double angle)
{
    return std::remainder(angle, kTwoPi);
}

MEulerRotation::RotationOrder reversed(MEulerRotation::RotationOrder order)
{
    switch (order) {
    case MEulerRotation::kXYZ: return MEulerRotation::kZYX;
    case MEulerRotation::kYZX: return MEulerRotation::kXZY;
    case MEulerRotation::kZXY: return MEulerRotation::kYXZ;
    case MEulerRotation::kXZY: return MEulerRotation::kYZX;
    case MEulerRotation::kYXZ: return MEulerRotation::kZXY;
    case MEulerRotation::kZYX: return MEulerRotation::kXYZ;
    }
    return MEulerRotation::kXYZ;
}

double distance(const MEulerRotation& a, const MEulerRotation& b)
{
    return std::fabs(a.x - b.x) + std::fabs(a.y - b.y) + std::fabs(a.z - b.z);
}

} // namespace

MEulerRotation::MEulerRotation(const MVector& v, RotationOrder ord) : x(v.x), y(v.y), z(v.z), order(ord) {}

MVector MEulerRotation::asVector() const
{
    return MVector(x, y, z);
}

MEulerRotation& MEulerRotation::operator=(const MQuaternion& q)
{
    return *this = decompose(q.asMatrix(), order);
}

MEulerRotation& MEulerRotation::operator=(const MMatrix& m)
{
    return *this = decompose(m, order);
}

MEulerRotation& MEulerRotation::operator=(const MVector& v)
{
    x = v.x;
    y = v.y;
    z = v.z;
    return *this;
}

MEulerRotation& MEulerRotation::setValue(double xx, double yy, double zz, RotationOrder ord)
{
    x = xx;
    y = yy;
    z = zz;
    order = ord;
    return *this;
}

MEulerRotation& MEulerRotation::setValue(const MVector& v, RotationOrder ord)
{
    return setValue(v.x, v.y, v.z, ord);
}

MEulerRotation& MEulerRotation::setValue(const MQuaternion& q)
{
    return *this = q;
}

MMatrix MEulerRotation::asMatrix() const
{
    int axes[3];
    bool odd;
    orderAxes(order, axes, odd);
    const double angles[3] = {x, y, z};
    return axisMatrix(axes[0], angles[axes[0]]) * axisMatrix(axes[1], angles[axes[1]]) *
           axisMatrix(axes[2], angles[axes[2]]);
}

MQuaternion MEulerRotation::asQuaternion() const
{
    int axes[3];
    bool odd;
    orderAxes(order, axes, odd);
    const double angles[3] = {x, y, z};
    static const MVector axisVectors[3] = {MVector::xAxis, MVector::yAxis, MVector::zAxis};
    MQuaternion result;
    for (int n = 0; n < 3; ++n) result *= MQuaternion(angles[axes[n]], axisVectors[axes[n]]);
    return result;
}

MEulerRotation MEulerRotation::operator+(const MEulerRotation& o) const
{
    return MEulerRotation(x + o.x, y + o.y, z + o.z, order);
}

MEulerRotation& MEulerRotation::operator+=(const MEulerRotation& o)
{
    return *this = *this + o;
}

MEulerRotation MEulerRotation::operator-(const MEulerRotation& o) const
{
    return MEulerRotation(x - o.x, y - o.y, z - o.z, order);
}

MEulerRotation& MEulerRotation::operator-=(const MEulerRotation& o)
{
    return *this = *this - o;
}

MEulerRotation MEulerRotation::operator-() const
{
    return MEulerRotation(-x, -y, -z, order);
}

MEulerRotation MEulerRotation::operator*(const MEulerRotation& o) const
{
    return *this * o.asQuaternion();
}

MEulerRotation MEulerRotation::operator*(const MQuaternion& q) const
{
    return decompose((asQuaternion() * q).asMatrix(), order);
}

MEulerRotation MEulerRotation::operator*(double scale) const
{
    return MEulerRotation(x * scale, y * scale, z * scale, order);
}

MEulerRotation& MEulerRotation::operator*=(const MEulerRotation& o)
{
    return *this = *this * o;
}

MEulerRotation& MEulerRotation::operator*=(const MQuaternion& q)
{
    return *this = *this * q;
}

MEulerRotation& MEulerRotation::operator*=(double scale)
{
    return *this = *this * scale;
}

bool MEulerRotation::operator==(const MEulerRotation& o) const
{
    return x == o.x && y == o.y && z == o.z && order == o.order;
}

bool MEulerRotation::isEquivalent(const MEulerRotation& other, double tolerance) const
{
    return order == other.order && std::fabs(x - other.x) <= tolerance && std::fabs(y - other.y) <= tolerance &&
           std::fabs(z - other.z) <= tolerance;
}

bool MEulerRotation::isZero(double tolerance) const
{
    return std::fabs(x) <= tolerance && std::fabs(y) <= tolerance && std::fabs(z) <= tolerance;
}

bool MEulerRotation::incrementalRotateBy(const MVector& axis, double angle)
{
    if (axis.length() == 0.0) return false;
    MEulerRotation previous(*this);
    *this = decompose((asQuaternion() * MQuaternion(angle, axis)).asMatrix(), order);
    setToClosestSolution(previous);
    return true;
}

MEulerRotation MEulerRotation::inverse() const
{
    // Undo the axes in reverse order.
    return MEulerRotation(-x, -y, -z, reversed(order));
}

MEulerRotation& MEulerRotation::invertIt()
{
    return *this = inverse();
}

MEulerRotation MEulerRotation::reorder(RotationOrder ord) const
{
    return decompose(asMatrix(), ord);
}

MEulerRotation& MEulerRotation::reorderIt(RotationOrder ord)
{
    return *this = reorder(ord);
}

MEulerRotation MEulerRotation::bound() const
{
    return MEulerRotation(wrap(x), wrap(y), wrap(z), order);
}

MEulerRotation& MEulerRotation::boundIt(const MEulerRotation& src)
{
    return *this = src.bound();
}

MEulerRotation& MEulerRotation::boundIt()
{
    return *this = bound();
}

MEulerRotation MEulerRotation::alternateSolution() const
{
    // (a, b, c) about the first, middle and last axes equals (a + pi, pi - b, c + pi).
    int axes[3];
    bool odd;
    orderAxes(order, axes, odd);
    double angles[3] = {x, y, z};
    angles[axes[0]] += kPi;
    angles[axes[1]] = kPi - angles[axes[1]];
    angles[axes[2]] += kPi;
    return MEulerRotation(angles[0], angles[1], angles[2], order).bound();
}

MEulerRotation& MEulerRotation::setToAlternateSolution(const MEulerRotation& src)
{
    return *this = src.alternateSolution();
}

MEulerRotation& MEulerRotation::setToAlternateSolution()
{
    return *this = alternateSolution();
}

MEulerRotation MEulerRotation::closestCut(const MEulerRotation& dst) const
{
    return MEulerRotation(nearestCut(x, dst.x), nearestCut(y, dst.y), nearestCut(z, dst.z), order);
}

MEulerRotation& MEulerRotation::setToClosestCut(const MEulerRotation& src, const MEulerRotation& dst)
{
    return *this = src.closestCut(dst);
}

MEulerRotation& MEulerRotation::setToClosestCut(const MEulerRotation& dst)
{
    return *this = closestCut(dst);
}

MEulerRotation MEulerRotation::closestSolution(const MEulerRotation& dst) const
{
    MEulerRotation first = closestCut(dst);
    MEulerRotation second = alternateSolution().closestCut(dst);
    return distance(second, dst) < distance(first, dst) ? second : first;
}

MEulerRotation& MEulerRotation::setToClosestSolution(const MEulerRotation& src, const MEulerRotation& dst)
{
    return *this = src.closestSolution(dst);
}

MEulerRotation& MEulerRotation::setToClosestSolution(const MEulerRotation& dst)
{
    return *this = closestSolution(dst);
}

MEulerRotation MEulerRotation::decompose(const MMatrix& matrix, RotationOrder ord)
{
    // Work on the column-vector form C (the transpose of the row-vector matrix),
    // with its rows taken unit length so that scale does not disturb the angles.
    double c[3][3];
    for (int r = 0; r < 3; ++r) {
        double len = std::sqrt(matrix.matrix[r][0] * matrix.matrix[r][0] + matrix.matrix[r][1] * matrix.matrix[r][1] +
                               matrix.matrix[r][2] * matrix.matrix[r][2]);
        if (len == 0.0) len = 1.0;
        for (int col = 0; col < 3; ++col) c[col][r] = matrix.matrix[r][col] / len;
    }
    int axes[3];
    bool odd;
    orderAxes(ord, axes, odd);
    const int i = axes[0], j = axes[1], k = axes[2];
    const double sign = odd ? -1.0 : 1.0;

    double a, b, cAngle;
    double cy = std::sqrt(c[i][i] * c[i][i] + c[j][i] * c[j][i]);
    b = std::atan2(-sign * c[k][i], cy);
    if (cy > 1e-12) {
        a = std::atan2(sign * c[k][j], c[k][k]);
        cAngle = std::atan2(sign * c[j][i], c[i][i]);
    } else {
        // Gimbal lock: only the sum of the outer angles is defined; put it all in the first.
        a = std::atan2(-sign * c[j][k], c[j][j]);
        cAngle = 0.0;
    }
    double angles[3];
    angles[i] = a;
    angles[j] = b;
    angles[k] = cAngle;
    return MEulerRotation(angles[0], angles[1], angles[2], ord);
}

std::ostream& operator<<(std::ostream& out, const MEulerRotation& e)
{
    return out << "[" << e.x << ", " << e.y << ", " << e.z << "]";
}
