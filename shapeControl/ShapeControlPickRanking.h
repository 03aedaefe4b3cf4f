#pragma once
// Host-free part of shape-control picking: the 2D distance from the mouse to a projected
// segment, the ray-triangle test of filled controls, the ranking that chooses one control
// among several under the mouse, and the handle zones of the move, rotate and scale
// manipulators that keep the hover out of the tools' way. Positions are logical pixels.

#include <cstddef>
#include <string>

namespace ShapeControlPick {

struct Point2
{
    double x = 0.0;
    double y = 0.0;
};

// The point of segment ab closest to m: its parameter along ab in [0, 1] (0 for a segment
// shorter than 1e-5) and its distance to m.
struct SegmentProximity
{
    double parameter = 0.0;
    double distance = 0.0;
};
SegmentProximity closestOnSegment(const Point2& m, const Point2& a, const Point2& b);

// Möller-Trumbore: the distance t > 1e-6 along the unit ray at which it crosses the triangle
// (p0, p1, p2), edges included. No hit for a ray parallel to the triangle's plane.
bool rayHitsTriangle(const double origin[3], const double direction[3], const double p0[3], const double p1[3],
                     const double p2[3], double& t);

// One control under the mouse: hit on its surface or near its outline.
struct Candidate
{
    bool surfaceHit = false;
    bool selected = false;
    double pixelDistance = 0.0;
    double depth = 0.0;        // along the mouse ray
    double worldRadius = 0.0;  // how far off the outline the hit may lie, world units
    std::size_t control = 0;   // the caller's index of the control
    std::string pathName;      // full DAG path, the last tie-break
};

// Whether `candidate` wins over `best`: the nearer along the ray unless the depths agree
// within 1e-5 relative; then, unless both are surface hits, the one nearer on screen when
// they differ by more than a pixel; then a surface hit, then a selected control, then the
// smaller path name.
bool beats(const Candidate& candidate, const Candidate& best);

// Keeps the best of the candidates offered (a copy is made only of a new best). A candidate
// whose depth is not positive and finite (behind the eye, or from unusable geometry) is ignored.
class Ranking
{
public:
    void offer(const Candidate& candidate);
    // Whether `offer` would keep the candidate (its world radius aside, which ranks nothing).
    bool takes(const Candidate& candidate) const;
    // Whether every candidate at `depth` or deeper loses to the best so far on depth alone.
    bool beyondReach(double depth) const;
    bool hasBest() const { return fHasBest; }
    const Candidate& best() const { return fBest; }

private:
    Candidate fBest;
    bool fHasBest = false;
};

// Pixel tolerance of a control's outline for its line width (2 when unreadable or not finite).
double outlineTolerance(double lineWidth);

// The transform tool a context name stands for; any other name is kNone.
enum class TransformTool
{
    kNone,
    kMove,
    kRotate,
    kScale,
    kTransform,
};
TransformTool transformToolNamed(const std::string& contextName);

// The transform tool a context class stands for ("manipMove", "manipRotate", "manipScale", as
// "contextInfo -class" answers for the built-in tools and for the contexts scripts make);
// any other class is kNone.
TransformTool transformToolOfClass(const std::string& contextClass);

// Whether the mouse is on the manipulator drawn at `centre`: within the rotate tool's ring
// radius, or for the other tools within the centre handle or 12 pixels of an axis line.
// `axisTips` are the projected ends of the unit world axes from the pivot; `axisValid`
// says which of them projected. `globalSize` is the manipulator scale preference.
bool isNearManipulator(TransformTool tool, const Point2& mouse, const Point2& centre, const Point2 axisTips[3],
                       const bool axisValid[3], double globalSize);

} // namespace ShapeControlPick
