#include "viewport/JointDrawing.h"

#include "dag/JointNode.h"
#include "dg/Node.h"

#include <maya/MPlug.h>
#include <maya/MVector.h>

#include <cmath>

namespace host {

namespace {

constexpr int kCircleSegments = 24;

void addPoint(std::vector<float>& points, const MVector& p)
{
    points.push_back(float(p.x));
    points.push_back(float(p.y));
    points.push_back(float(p.z));
}

void addLine(std::vector<float>& points, const MVector& a, const MVector& b)
{
    addPoint(points, a);
    addPoint(points, b);
}

// Circles of the radius and a bone to each child position (x y z in this joint's space).
void jointWireframe(double radius, const std::vector<double>& children, std::vector<float>& points)
{
    const MVector axes[3] = {MVector::xAxis, MVector::yAxis, MVector::zAxis};
    for (int plane = 0; plane < 3; ++plane) {
        const MVector& u = axes[plane];
        const MVector& v = axes[(plane + 1) % 3];
        for (int i = 0; i < kCircleSegments; ++i) {
            const double a0 = 2.0 * M_PI * i / kCircleSegments, a1 = 2.0 * M_PI * (i + 1) / kCircleSegments;
            addLine(points, radius * (std::cos(a0) * u + std::sin(a0) * v),
                    radius * (std::cos(a1) * u + std::sin(a1) * v));
        }
    }
    for (size_t c = 0; c + 2 < children.size(); c += 3) {
        const MVector tip(children[c], children[c + 1], children[c + 2]);
        const double length = tip.length();
        if (length <= radius)
            continue;  // a child inside the sphere has no bone to show
        const MVector along = tip / length;
        // Any axis not along the bone gives the base its sides.
        const MVector helper = std::fabs(along.x) < 0.9 ? MVector::xAxis : MVector::yAxis;
        const MVector side = (along ^ helper).normal() * (0.5 * radius);
        const MVector up = (along ^ side).normal() * (0.5 * radius);
        const MVector corners[4] = {side + up, up - side, -side - up, side - up};
        for (int k = 0; k < 4; ++k) {
            addLine(points, corners[k], corners[(k + 1) % 4]);
            addLine(points, corners[k], tip);
        }
    }
}

} // namespace

void jointWireframe(const MObject& joint, std::vector<float>& points)
{
    points.clear();
    if (MPlug(joint, JointNode::drawStyle).asShort() == 2)
        return;
    std::vector<double> children;
    for (Node* child : nodeOf(joint)->children) {
        if (!child->inScene || !child->object().hasFn(MFn::kJoint))
            continue;
        const MPlug translate(child->object(), TransformNode::translate);
        for (unsigned k = 0; k < 3; ++k)
            children.push_back(translate.child(k).asDouble());
    }
    jointWireframe(MPlug(joint, JointNode::radius).asDouble(), children, points);
}

} // namespace host
