#include <maya/MQuaternion.h>
#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MVector.h>

#include <cmath>
#include <ostream>

const MQuaternion MQuaternion::identity(0.0, 0.0, 0.0, 1.0);

MQuaternion::MQuaternion(const MVector& a, const MVector& b) : MQuaternion(a, b, 1.0) {}

MQuaternion::MQuaternion(const MVector& a, const MVector& b, double angleFactor) : x(0.0), y(0.0), z(0.0), w(1.0)
{
    MVector na = a.normal();
    MVector nb = b.normal();
    if (na.length() == 0.0 || nb.length() == 0.0) return;
    MVector axis = na ^ nb;
    double angle = na.angle(nb);
    if (axis.length() < 1e-12) {
        if (na * nb > 0.0) return;
        // Opposite vectors: any axis perpendicular to a will do.
        axis = na ^ MVector::xAxis;
        if (axis.length() < 1e-6) axis = na ^ MVector::yAxis;
    }
    setAxisAngle(axis, angle * angleFactor);
}

MQuaternion::MQuaternion(double angle, const MVector& axis) : x(0.0), y(0.0), z(0.0), w(1.0)
{
    setAxisAngle(axis, angle);
}

MQuaternion& MQuaternion::operator=(const MMatrix& m)
{
    // The rotation of the upper 3x3 (row vectors), with each row made unit length to drop scale.
    double r[3][3];
    for (int row = 0; row < 3; ++row) {
        double len = std::sqrt(m.matrix[row][0] * m.matrix[row][0] + m.matrix[row][1] * m.matrix[row][1] +
                               m.matrix[row][2] * m.matrix[row][2]);
        if (len == 0.0) len = 1.0;
        for (int col = 0; col < 3; ++col) r[row][col] = m.matrix[row][col] / len;
    }
    double trace = r[0][0] + r[1][1] + r[2][2];
    if (trace > 0.0) {
        double s = std::sqrt(trace + 1.0) * 2.0;
        w = 0.25 * s;
        x = (r[1][2] - r[2][1]) / s;
        y = (r[2][0] - r[0][2]) / s;
        z = (r[0][1] - r[1][0]) / s;
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        double s = std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]) * 2.0;
        w = (r[1][2] - r[2][1]) / s;
        x = 0.25 * s;
        y = (r[1][0] + r[0][1]) / s;
        z = (r[2][0] + r[0][2]) / s;
    } else if (r[1][1] > r[2][2]) {
        double s = std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]) * 2.0;
        w = (r[2][0] - r[0][2]) / s;
        x = (r[1][0] + r[0][1]) / s;
        y = 0.25 * s;
        z = (r[2][1] + r[1][2]) / s;
    } else {
        double s = std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]) * 2.0;
        w = (r[0][1] - r[1][0]) / s;
        x = (r[2][0] + r[0][2]) / s;
        y = (r[2][1] + r[1][2]) / s;
        z = 0.25 * s;
    }
    return normalizeIt();
}

MQuaternion& MQuaternion::operator=(const MEulerRotation& euler)
{
    return *this = euler.asQuaternion();
}

MMatrix MQuaternion::asMatrix() const
{
    MQuaternion q = normal();
    double xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    double xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    double wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    MMatrix m;
    m.matrix[0][0] = 1.0 - 2.0 * (yy + zz);
    m.matrix[0][1] = 2.0 * (xy + wz);
    m.matrix[0][2] = 2.0 * (xz - wy);
    m.matrix[1][0] = 2.0 * (xy - wz);
    m.matrix[1][1] = 1.0 - 2.0 * (xx + zz);
    m.matrix[1][2] = 2.0 * (yz + wx);
    m.matrix[2][0] = 2.0 * (xz + wy);
    m.matrix[2][1] = 2.0 * (yz - wx);
    m.matrix[2][2] = 1.0 - 2.0 * (xx + yy);
    return m;
}

MEulerRotation MQuaternion::asEulerRotation() const
{
    return MEulerRotation::decompose(asMatrix(), MEulerRotation::kXYZ);
}

MQuaternion& MQuaternion::setAxisAngle(const MVector& axis, double theta)
{
    MVector n = axis.normal();
    if (n.length() == 0.0) return *this = identity;
    double s = std::sin(0.5 * theta);
    x = n.x * s;
    y = n.y * s;
    z = n.z * s;
    w = std::cos(0.5 * theta);
    return *this;
}

bool MQuaternion::getAxisAngle(MVector& axis, double& theta) const
{
    MQuaternion q = normal();
    double s = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    theta = 2.0 * std::atan2(s, q.w);
    if (s < 1e-15) {
        axis = MVector::xAxis;
        theta = 0.0;
        return false;
    }
    axis = MVector(q.x / s, q.y / s, q.z / s);
    return true;
}

MQuaternion& MQuaternion::setToXAxis(double theta)
{
    return setAxisAngle(MVector::xAxis, theta);
}

MQuaternion& MQuaternion::setToYAxis(double theta)
{
    return setAxisAngle(MVector::yAxis, theta);
}

MQuaternion& MQuaternion::setToZAxis(double theta)
{
    return setAxisAngle(MVector::zAxis, theta);
}

MStatus MQuaternion::get(double dest[4]) const
{
    dest[0] = x;
    dest[1] = y;
    dest[2] = z;
    dest[3] = w;
    return MStatus::kSuccess;
}

MQuaternion MQuaternion::operator*(const MQuaternion& right) const
{
    // Applies this rotation first, then right (as with row-vector matrices):
    // the Hamilton product right (x) this.
    const MQuaternion& p = right;
    const MQuaternion& q = *this;
    return MQuaternion(p.w * q.x + q.w * p.x + (p.y * q.z - p.z * q.y),
                       p.w * q.y + q.w * p.y + (p.z * q.x - p.x * q.z),
                       p.w * q.z + q.w * p.z + (p.x * q.y - p.y * q.x),
                       p.w * q.w - (p.x * q.x + p.y * q.y + p.z * q.z));
}

MQuaternion& MQuaternion::operator*=(const MQuaternion& right)
{
    return *this = *this * right;
}

bool MQuaternion::isEquivalent(const MQuaternion& other, double tolerance) const
{
    // q and -q stand for the same rotation.
    auto close = [tolerance](const MQuaternion& a, const MQuaternion& b) {
        return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
               std::fabs(a.z - b.z) <= tolerance && std::fabs(a.w - b.w) <= tolerance;
    };
    return close(*this, other) || close(*this, -other);
}

MQuaternion& MQuaternion::scaleIt(double scale)
{
    x *= scale;
    y *= scale;
    z *= scale;
    w *= scale;
    return *this;
}

MQuaternion MQuaternion::normal() const
{
    MQuaternion q(*this);
    return q.normalizeIt();
}

MQuaternion& MQuaternion::normalizeIt()
{
    double len = std::sqrt(x * x + y * y + z * z + w * w);
    if (len > 0.0) scaleIt(1.0 / len);
    return *this;
}

MQuaternion MQuaternion::conjugate() const
{
    return MQuaternion(-x, -y, -z, w);
}

MQuaternion& MQuaternion::conjugateIt()
{
    return *this = conjugate();
}

MQuaternion MQuaternion::inverse() const
{
    double norm2 = x * x + y * y + z * z + w * w;
    if (norm2 == 0.0) return *this;
    MQuaternion q = conjugate();
    return q.scaleIt(1.0 / norm2);
}

MQuaternion& MQuaternion::invertIt()
{
    return *this = inverse();
}

MQuaternion MQuaternion::log() const
{
    double s = std::sqrt(x * x + y * y + z * z);
    if (s < 1e-15) return MQuaternion(0.0, 0.0, 0.0, 0.0);
    double theta = std::atan2(s, w);
    double f = theta / s;
    return MQuaternion(x * f, y * f, z * f, 0.0);
}

MQuaternion MQuaternion::exp() const
{
    double theta = std::sqrt(x * x + y * y + z * z);
    if (theta < 1e-15) return MQuaternion(0.0, 0.0, 0.0, 1.0);
    double f = std::sin(theta) / theta;
    return MQuaternion(x * f, y * f, z * f, std::cos(theta));
}

MQuaternion& MQuaternion::negateIt()
{
    return scaleIt(-1.0);
}

std::ostream& operator<<(std::ostream& out, const MQuaternion& q)
{
    return out << "[" << q.x << ", " << q.y << ", " << q.z << ", " << q.w << "]";
}

MQuaternion slerp(const MQuaternion& p, const MQuaternion& q, double t, short spin)
{
    double cosOmega = p.x * q.x + p.y * q.y + p.z * q.z + p.w * q.w;
    MQuaternion target = q;
    if (cosOmega < 0.0) {
        cosOmega = -cosOmega;
        target.negateIt();
    }
    if (cosOmega > 1.0) cosOmega = 1.0;
    double omega = std::acos(cosOmega);
    double sinOmega = std::sin(omega);
    if (sinOmega < 1e-12) {
        // Nearly the same rotation: interpolate linearly.
        MQuaternion r(p.x + t * (target.x - p.x), p.y + t * (target.y - p.y), p.z + t * (target.z - p.z),
                      p.w + t * (target.w - p.w));
        return r.normalizeIt();
    }
    double phase = omega + spin * M_PI;
    double a = std::sin(omega - t * phase) / sinOmega;
    double b = std::sin(t * phase) / sinOmega;
    return MQuaternion(a * p.x + b * target.x, a * p.y + b * target.y, a * p.z + b * target.z,
                       a * p.w + b * target.w);
}
