#pragma once
// Curve building shared by the curve commands and nodes: the knot vectors Maya writes for curves made
// without explicit knots, the form a curve's CVs give it, and the CVs of a
// circle, on plain arrays.

#include <string>
#include <vector>

namespace host {

enum class CurveForm { kOpen = 1, kClosed = 2, kPeriodic = 3 };

// Knots for `numCVs` CVs of `degree` (numCVs + degree - 1 values): clamped
// and uniform for open curves (0 0 0 1 2 .. n-d n-d n-d), uniform from
// -(degree - 1) for periodic ones.
std::vector<double> uniformKnots(int numCVs, int degree, bool periodic);

// Open or closed (first and last CV coincide) for a non-periodic curve.
CurveForm formOfOpenCurve(const std::vector<double>& cvs);

// Whether the last `degree` CVs repeat the first ones, as a periodic curve's must.
bool wrapsAround(const std::vector<double>& cvs, int degree);

// Empty when the knots suit the CVs, else what is wrong with them.
std::string knotProblem(const std::vector<double>& knots, int numCVs, int degree);

struct CircleSettings
{
    double normal[3] = {0, 0, 1};
    double center[3] = {0, 0, 0};
    double firstPoint[3] = {1, 0, 0};  // gives the direction the circle starts from
    double radius = 1.0;
    int sections = 8;
    int degree = 3;
};

// A periodic curve through the circle: `sections` spans, CV i at angle
// (i + 1) * 360 / sections about the normal from the first-point direction,
// scaled so the curve meets the radius at its knots. Returns false when the
// normal is zero.
bool buildCircle(const CircleSettings& settings, std::vector<double>& cvs, std::vector<double>& knots);

} // namespace host
