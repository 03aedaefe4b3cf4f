#include "geometry/CurveBuild.h"

#include "geometry/CurveData.h"

#include <algorithm>
#include <cmath>

namespace host {

std::vector<double> uniformKnots(int numCVs, int degree, bool periodic)
{
    std::vector<double> knots;
    const int count = numCVs + degree - 1;
    knots.reserve(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        if (periodic)
            knots.push_back(double(i - (degree - 1)));
        else
            knots.push_back(double(std::min(std::max(i - (degree - 1), 0), numCVs - degree)));
    }
    return knots;
}

namespace {

bool samePoint(const std::vector<double>& cvs, size_t a, size_t b)
{
    double d2 = 0, scale = 1;
    for (size_t c = 0; c < 3; ++c) {
        const double d = cvs[a * 3 + c] - cvs[b * 3 + c];
        d2 += d * d;
        scale = std::max(scale, std::fabs(cvs[a * 3 + c]));
    }
    return std::sqrt(d2) <= 1e-9 * scale;
}

} // namespace

CurveForm formOfOpenCurve(const std::vector<double>& cvs)
{
    const size_t n = cvs.size() / 3;
    return n > 1 && samePoint(cvs, 0, n - 1) ? CurveForm::kClosed : CurveForm::kOpen;
}

bool wrapsAround(const std::vector<double>& cvs, int degree)
{
    const size_t n = cvs.size() / 3, d = size_t(degree);
    if (n < 2 * d)
        return false;
    for (size_t i = 0; i < d; ++i)
        if (!samePoint(cvs, i, n - d + i))
            return false;
    return true;
}

std::string knotProblem(const std::vector<double>& knots, int numCVs, int degree)
{
    const int expected = numCVs + degree - 1;
    if (int(knots.size()) != expected)
        return "needs " + std::to_string(expected) + " knots (points + degree - 1), got " +
               std::to_string(knots.size());
    for (size_t i = 1; i < knots.size(); ++i)
        if (!(knots[i] >= knots[i - 1]))
            return "knots must not decrease";
    if (!(knots[size_t(degree - 1)] < knots[knots.size() - size_t(degree)]))
        return "knots leave the curve no parameter range";
    return std::string();
}

bool buildCircle(const CircleSettings& s, std::vector<double>& cvs, std::vector<double>& knots)
{
    double n[3] = {s.normal[0], s.normal[1], s.normal[2]};
    const double nl = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(nl > 0) || s.sections < 1 || s.degree < 1)
        return false;
    for (double& v : n)
        v /= nl;
    // Start direction: the first point's direction in the circle's plane.
    auto inPlane = [&](const double p[3], double u[3]) {
        const double along = p[0] * n[0] + p[1] * n[1] + p[2] * n[2];
        for (int c = 0; c < 3; ++c)
            u[c] = p[c] - along * n[c];
        const double ul = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
        if (!(ul > 1e-12))
            return false;
        for (int c = 0; c < 3; ++c)
            u[c] /= ul;
        return true;
    };
    double u[3];
    static const double fallbacks[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    bool found = inPlane(s.firstPoint, u);
    for (int i = 0; i < 3 && !found; ++i)
        found = inPlane(fallbacks[i], u);
    const double v[3] = {n[1] * u[2] - n[2] * u[1], n[2] * u[0] - n[0] * u[2], n[0] * u[1] - n[1] * u[0]};

    const int spans = s.sections, numCVs = spans + s.degree;
    const double step = 2 * 3.14159265358979323846 / spans;
    std::vector<double> unit;
    for (int i = 0; i < numCVs; ++i) {
        const double a = (i % spans + 1) * step;
        for (int c = 0; c < 3; ++c)
            unit.push_back(std::cos(a) * u[c] + std::sin(a) * v[c]);
    }
    knots = uniformKnots(numCVs, s.degree, true);
    // Scale so that the curve, not its hull, has the radius (at the knots).
    CurveGeometry g;
    g.cvs = unit;
    g.knots = knots;
    g.degree = s.degree;
    g.form = 3;
    double p[3], d[3];
    g.evaluate(0.0, p, d);
    const double reach = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    const double scale = reach > 1e-12 ? s.radius / reach : s.radius;
    cvs.resize(unit.size());
    for (size_t i = 0; i < unit.size(); ++i)
        cvs[i] = s.center[i % 3] + unit[i] * scale;
    return true;
}

} // namespace host
