#include <maya/MFnNurbsCurve.h>

#include "dg/FnSet.h"
#include "geometry/CurveBuild.h"
#include "geometry/CurveData.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/GeometryStatus.h"

#include <maya/MMatrix.h>
#include <maya/MPlug.h>

#include <cmath>
#include <limits>

using host::CurveData;
using host::CurveGeometry;
using host::CurveShapeNode;

namespace {

// The curve a function set reads: curve data, or a shape's "local" curve.
// `holder` keeps the data alive while the caller reads it.
const CurveGeometry* readCurve(const MObject& object, MObject& holder, MStatus* status)
{
    if (object.hasFn(MFn::kNurbsCurveData)) {
        holder = object;
    } else if (object.hasFn(MFn::kNurbsCurve)) {
        MStatus plugStatus;
        holder = MPlug(object, CurveShapeNode::local).asMObject(&plugStatus);
        if (!plugStatus) {
            host::setStatus(status, plugStatus);
            return nullptr;
        }
    } else {
        host::setStatus(status, MS::kInvalidParameter);
        return nullptr;
    }
    const CurveData* data = host::curveDataOf(holder);
    // An empty curve has nothing to answer with.
    const bool usable = data && data->geometry.valid();
    host::setStatus(status, usable ? MS::kSuccess : MS::kFailure);
    return usable ? &data->geometry : nullptr;
}

MStatus curveWorldMatrix(const MObject& object, const MDagPath& path, MMatrix& matrix)
{
    if (const CurveData* data = host::curveDataOf(object)) {
        matrix = data->matrix;
        return MS::kSuccess;
    }
    if (!path.isValid())
        return MS::kInvalidParameter;
    MStatus status;
    matrix = path.inclusiveMatrix(&status);
    return status;
}

} // namespace

#define CURVE_READ(fail)                                               \
    MObject holder_;                                                   \
    MStatus readStatus_;                                               \
    const CurveGeometry* c = readCurve(mObject, holder_, &readStatus_); \
    if (!c)                                                            \
        return fail

#define CURVE_SPACE(space, matrix)                                     \
    MMatrix matrix;                                                    \
    if ((space) == MSpace::kWorld)                                     \
    GEO_CHECK(curveWorldMatrix(mObject, fPath, matrix))

MFnNurbsCurve::MFnNurbsCurve() = default;
MFnNurbsCurve::MFnNurbsCurve(MObject& object, MStatus* ReturnStatus) { init(object, ReturnStatus); }
MFnNurbsCurve::MFnNurbsCurve(const MObject& object, MStatus* ReturnStatus) { init(object, ReturnStatus); }
MFnNurbsCurve::MFnNurbsCurve(const MDagPath& object, MStatus* ReturnStatus)
{
    host::setStatus(ReturnStatus, setObject(object));
}
MFnNurbsCurve::~MFnNurbsCurve() = default;

MFn::Type MFnNurbsCurve::type() const
{
    return MFn::kNurbsCurve;
}

MStatus MFnNurbsCurve::setObject(MObject& object)
{
    return setObject(static_cast<const MObject&>(object));
}

MStatus MFnNurbsCurve::setObject(const MObject& object)
{
    if (object.hasFn(MFn::kNurbsCurveData)) {
        fPath = MDagPath();
        mObject = object;
        return MS::kSuccess;
    }
    return MFnDagNode::setObject(object);
}

MStatus MFnNurbsCurve::setObject(const MDagPath& path)
{
    MStatus status;
    MObject node = path.node(&status);
    if (!status || !node.hasFn(MFn::kNurbsCurve)) {
        MFnDagNode::setObject(MObject::kNullObj);
        return MS::kInvalidParameter;
    }
    return MFnDagNode::setObject(path);
}

MObject MFnNurbsCurve::create(const MPointArray& controlVertices, const MDoubleArray& knotSequences,
                              unsigned int degree, Form form, bool create2D, bool createRational,
                              MObject& parentOrOwner, MStatus* ReturnStatus)
{
    CurveGeometry g;
    g.degree = int(degree);
    g.form = form;
    for (unsigned i = 0; i < controlVertices.length(); ++i)
        for (unsigned k = 0; k < 3; ++k)
            g.cvs.push_back(k == 2 && create2D ? 0.0 : controlVertices[i][k]);
    for (unsigned i = 0; i < knotSequences.length(); ++i)
        g.knots.push_back(knotSequences[i]);
    // A periodic curve's last `degree` CVs must repeat its first ones.
    const bool badWrap = form == kPeriodic && !host::wrapsAround(g.cvs, int(degree));
    if (degree > 31 || form <= kInvalid || form >= kLast || !g.valid() || badWrap) {
        host::setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    if (CurveData* data = host::curveDataOf(parentOrOwner)) {
        data->geometry = g;
        host::setStatus(ReturnStatus, setObject(parentOrOwner));
        return parentOrOwner;
    }
    if (!parentOrOwner.isNull() && !parentOrOwner.hasFn(MFn::kTransform)) {
        host::setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject();
    }
    MStatus status;
    MFnDagNode dag;
    MObject created = dag.create("nurbsCurve", parentOrOwner, &status);
    MObject shape = created;
    if (status && parentOrOwner.isNull())
        shape = dag.child(0, &status);
    if (status)
        status = MPlug(shape, CurveShapeNode::cached).setMObject(CurveData::make(&g));
    if (status)
        status = setObject(shape);
    host::setStatus(ReturnStatus, status);
    return status ? created : MObject();
}

MStatus MFnNurbsCurve::getCVs(MPointArray& array, MSpace::Space space) const
{
    CURVE_READ(readStatus_);
    CURVE_SPACE(space, world);
    array.setLength(unsigned(c->numCVs()));
    for (unsigned i = 0; i < array.length(); ++i) {
        MPoint p(c->cvs[size_t(i) * 3], c->cvs[size_t(i) * 3 + 1], c->cvs[size_t(i) * 3 + 2]);
        array[i] = space == MSpace::kWorld ? p * world : p;
    }
    return MS::kSuccess;
}

MStatus MFnNurbsCurve::getCV(unsigned int index, MPoint& pt, MSpace::Space space) const
{
    CURVE_READ(readStatus_);
    if (index >= unsigned(c->numCVs()))
        return MS::kInvalidParameter;
    CURVE_SPACE(space, world);
    pt = MPoint(c->cvs[size_t(index) * 3], c->cvs[size_t(index) * 3 + 1], c->cvs[size_t(index) * 3 + 2]);
    if (space == MSpace::kWorld)
        pt = pt * world;
    return MS::kSuccess;
}

MStatus MFnNurbsCurve::setCVs(const MPointArray& array, MSpace::Space space)
{
    CURVE_READ(readStatus_);
    if (int(array.length()) != c->numCVs())
        return MS::kInvalidParameter;
    CURVE_SPACE(space, world);
    const MMatrix toObject = world.inverse();
    CurveGeometry g = *c;
    for (unsigned i = 0; i < array.length(); ++i) {
        MPoint p = space == MSpace::kWorld ? array[i] * toObject : array[i];
        for (unsigned k = 0; k < 3; ++k)
            g.cvs[size_t(i) * 3 + k] = p[k];
    }
    if (CurveData* data = host::curveDataOf(mObject)) {
        data->geometry = g;
        return MS::kSuccess;
    }
    return MPlug(mObject, CurveShapeNode::cached).setMObject(CurveData::make(&g));
}

MStatus MFnNurbsCurve::getKnots(MDoubleArray& array) const
{
    CURVE_READ(readStatus_);
    array.setLength(unsigned(c->knots.size()));
    for (unsigned i = 0; i < array.length(); ++i)
        array[i] = c->knots[i];
    return MS::kSuccess;
}

int MFnNurbsCurve::numKnots(MStatus* ReturnStatus) const
{
    MObject holder;
    const CurveGeometry* c = readCurve(mObject, holder, ReturnStatus);
    return c ? int(c->knots.size()) : 0;
}

double MFnNurbsCurve::knot(unsigned int index, MStatus* ReturnStatus) const
{
    MObject holder;
    const CurveGeometry* c = readCurve(mObject, holder, ReturnStatus);
    if (!c)
        return 0.0;
    if (index >= c->knots.size()) {
        host::setStatus(ReturnStatus, MS::kInvalidParameter);
        return 0.0;
    }
    return c->knots[index];
}

int MFnNurbsCurve::degree(MStatus* ReturnStatus) const
{
    MObject holder;
    const CurveGeometry* c = readCurve(mObject, holder, ReturnStatus);
    return c ? c->degree : 0;
}

int MFnNurbsCurve::numCVs(MStatus* ReturnStatus) const
{
    MObject holder;
    const CurveGeometry* c = readCurve(mObject, holder, ReturnStatus);
    return c ? c->numCVs() : 0;
}

int MFnNurbsCurve::numSpans(MStatus* ReturnStatus) const
{
    MObject holder;
    const CurveGeometry* c = readCurve(mObject, holder, ReturnStatus);
    return c ? c->numSpans() : 0;
}

MFnNurbsCurve::Form MFnNurbsCurve::form(MStatus* ReturnStatus) const
{
    MObject holder;
    const CurveGeometry* c = readCurve(mObject, holder, ReturnStatus);
    return c ? Form(c->form) : kInvalid;
}

MStatus MFnNurbsCurve::getKnotDomain(double& start, double& end) const
{
    CURVE_READ(readStatus_);
    c->domain(start, end);
    return MS::kSuccess;
}

MStatus MFnNurbsCurve::getPointAtParam(double param, MPoint& point, MSpace::Space space) const
{
    CURVE_READ(readStatus_);
    double start, end;
    c->domain(start, end);
    if (!(param >= start - 1e-9 && param <= end + 1e-9))
        return MS::kInvalidParameter;
    CURVE_SPACE(space, world);
    double p[3], d[3];
    c->evaluate(param, p, d);
    point = MPoint(p[0], p[1], p[2]);
    if (space == MSpace::kWorld)
        point = point * world;
    return MS::kSuccess;
}

MVector MFnNurbsCurve::tangent(double param, MSpace::Space space, MStatus* ReturnStatus) const
{
    MObject holder;
    const CurveGeometry* c = readCurve(mObject, holder, ReturnStatus);
    if (!c)
        return MVector();
    MMatrix world;
    if (space == MSpace::kWorld) {
        MStatus status = curveWorldMatrix(mObject, fPath, world);
        if (!status) {
            host::setStatus(ReturnStatus, status);
            return MVector();
        }
    }
    double p[3], d[3];
    c->evaluate(param, p, d);
    MVector t(d[0], d[1], d[2]);
    if (space == MSpace::kWorld)
        t = t * world;
    if (t.length() > 0)
        t.normalize();
    return t;
}

// Gauss-Legendre quadrature per knot span, refined until two passes agree.
double MFnNurbsCurve::length(double tolerance, MStatus* ReturnStatus) const
{
    MObject holder;
    const CurveGeometry* c = readCurve(mObject, holder, ReturnStatus);
    if (!c)
        return 0.0;
    static const double xs[5] = {-0.9061798459386640, -0.5384693101056831, 0.0, 0.5384693101056831,
                                 0.9061798459386640};
    static const double ws[5] = {0.2369268850561891, 0.4786286704993665, 0.5688888888888889, 0.4786286704993665,
                                 0.2369268850561891};
    auto integrate = [&](int pieces) {
        double total = 0;
        for (size_t k = size_t(c->degree - 1); k + size_t(c->degree) < c->knots.size(); ++k) {
            const double a = c->knots[k], b = c->knots[k + 1];
            if (b <= a)
                continue;
            const double h = (b - a) / pieces;
            for (int piece = 0; piece < pieces; ++piece) {
                const double mid = a + h * (piece + 0.5);
                for (int q = 0; q < 5; ++q) {
                    double p[3], d[3];
                    c->evaluate(mid + xs[q] * h / 2, p, d);
                    total += ws[q] * h / 2 * std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                }
            }
        }
        return total;
    };
    double previous = integrate(1);
    for (int pieces = 2; pieces <= 256; pieces *= 2) {
        double next = integrate(pieces);
        if (std::fabs(next - previous) <= std::max(tolerance * 1e-3, 1e-12))
            return next;
        previous = next;
    }
    return previous;
}

// Dense sampling, then a golden-section search around the best sample.
MPoint MFnNurbsCurve::closestPoint(const MPoint& toThisPoint, double* paramU, double tolerance, MSpace::Space space,
                                   MStatus* ReturnStatus) const
{
    MObject holder;
    const CurveGeometry* c = readCurve(mObject, holder, ReturnStatus);
    if (!c)
        return MPoint();
    MMatrix world;
    if (space == MSpace::kWorld) {
        MStatus status = curveWorldMatrix(mObject, fPath, world);
        if (!status) {
            host::setStatus(ReturnStatus, status);
            return MPoint();
        }
    }
    const MPoint q = space == MSpace::kWorld ? toThisPoint * world.inverse() : toThisPoint;
    double start, end;
    c->domain(start, end);
    const int samples = 16 * (c->numSpans() + 1);
    double best = start, bestD2 = std::numeric_limits<double>::infinity();
    for (int i = 0; i <= samples; ++i) {
        const double t = start + (end - start) * i / samples;
        double p[3], d[3];
        c->evaluate(t, p, d);
        const double d2 = (p[0] - q.x) * (p[0] - q.x) + (p[1] - q.y) * (p[1] - q.y) + (p[2] - q.z) * (p[2] - q.z);
        if (d2 < bestD2) {
            bestD2 = d2;
            best = t;
        }
    }
    const double step = (end - start) / samples;
    double lo = std::max(start, best - step), hi = std::min(end, best + step);
    // Golden-section search in the bracketing interval.
    const double ratio = 0.6180339887498949;
    auto dist2 = [&](double t) {
        double p[3], d[3];
        c->evaluate(t, p, d);
        return (p[0] - q.x) * (p[0] - q.x) + (p[1] - q.y) * (p[1] - q.y) + (p[2] - q.z) * (p[2] - q.z);
    };
    double x1 = hi - ratio * (hi - lo), x2 = lo + ratio * (hi - lo);
    double f1 = dist2(x1), f2 = dist2(x2);
    for (int i = 0; i < 100 && hi - lo > 1e-12; ++i) {
        if (f1 < f2) {
            hi = x2;
            x2 = x1;
            f2 = f1;
            x1 = hi - ratio * (hi - lo);
            f1 = dist2(x1);
        } else {
            lo = x1;
            x1 = x2;
            f1 = f2;
            x2 = lo + ratio * (hi - lo);
            f2 = dist2(x2);
        }
    }
    double t = (lo + hi) / 2;
    if (dist2(t) > bestD2)
        t = best;
    double p[3], d[3];
    c->evaluate(t, p, d);
    if (paramU)
        *paramU = t;
    MPoint result(p[0], p[1], p[2]);
    return space == MSpace::kWorld ? result * world : result;
}

MStatus MFnNurbsCurve::updateCurve()
{
    return mObject.isNull() ? MStatus(MS::kInvalidParameter) : MStatus(MS::kSuccess);
}
