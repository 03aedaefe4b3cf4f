#include "geometry/CurveData.h"

#include <algorithm>

namespace host {

bool CurveGeometry::valid() const
{
    if (degree < 1 || degree > 31 || numCVs() < degree + 1 || int(knots.size()) != numCVs() + degree - 1)
        return false;
    for (size_t i = 1; i < knots.size(); ++i)
        if (knots[i] < knots[i - 1])
            return false;
    return knots[size_t(degree - 1)] < knots[knots.size() - size_t(degree)];
}

void CurveGeometry::domain(double& start, double& end) const
{
    start = knots[size_t(degree - 1)];
    end = knots[knots.size() - size_t(degree)];
}

// de Boor on the full knot vector: Maya's knots with one more copy of the
// first and last (the outermost knots never influence the curve's domain).
void CurveGeometry::evaluate(double param, double point[3], double derivative[3]) const
{
    const int n = numCVs(), p = degree;
    auto full = [&](int i) { return knots[size_t(std::min(std::max(i - 1, 0), int(knots.size()) - 1))]; };
    double start, end;
    domain(start, end);
    const double t = std::min(std::max(param, start), end);
    // Span k with full(k) <= t < full(k+1), p <= k <= n-1.
    int k = p;
    while (k < n - 1 && full(k + 1) <= t)
        ++k;
    double d[32][3];
    double q[32][3];
    const int count = std::min(p, 31);
    for (int j = 0; j <= count; ++j)
        for (int c = 0; c < 3; ++c)
            d[j][c] = cvs[size_t(j + k - p) * 3 + c];
    // Derivative control points of the span, degree p-1.
    for (int j = 0; j < count; ++j) {
        const int i = j + k - p + 1;
        const double span = full(i + p) - full(i);
        for (int c = 0; c < 3; ++c)
            q[j][c] = span > 0 ? p * (d[j + 1][c] - d[j][c]) / span : 0.0;
    }
    for (int r = 1; r <= count; ++r)
        for (int j = count; j >= r; --j) {
            const int i = j + k - p;
            const double denom = full(i + p + 1 - r) - full(i);
            const double alpha = denom > 0 ? (t - full(i)) / denom : 0.0;
            for (int c = 0; c < 3; ++c)
                d[j][c] = (1 - alpha) * d[j - 1][c] + alpha * d[j][c];
        }
    for (int r = 1; r < count; ++r)
        for (int j = count - 1; j >= r; --j) {
            const int i = j + k - p + 1;
            const double denom = full(i + p - r) - full(i);
            const double alpha = denom > 0 ? (t - full(i)) / denom : 0.0;
            for (int c = 0; c < 3; ++c)
                q[j][c] = (1 - alpha) * q[j - 1][c] + alpha * q[j][c];
        }
    for (int c = 0; c < 3; ++c) {
        point[c] = d[count][c];
        derivative[c] = count > 0 ? q[count - 1][c] : 0.0;
    }
}

Data* CurveData::clone() const
{
    auto* d = new CurveData;
    d->geometry = geometry;
    d->matrix = matrix;
    return d;
}

bool CurveData::equals(const Data& other) const
{
    if (other.dataType != MFnData::kNurbsCurve)
        return false;
    const auto* o = dynamic_cast<const CurveData*>(&other);
    return o && o->matrix == matrix && o->geometry.cvs == geometry.cvs && o->geometry.knots == geometry.knots &&
           o->geometry.degree == geometry.degree && o->geometry.form == geometry.form;
}

MObject CurveData::make(const CurveGeometry* geometry)
{
    auto* d = new CurveData;
    if (geometry)
        d->geometry = *geometry;
    return ObjectAccess::make(d);
}

} // namespace host
