#include "geometry/ExactWorldBoundingBoxCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "geometry/GeometryStatus.h"
#include "geometry/LinearUnitText.h"

#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>
#include <maya/MPointArray.h>
#include <maya/MMatrix.h>
#include <maya/MSelectionList.h>

#include <algorithm>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-ii", "-ignoreInvisible", CommandFlags::kOptionalBool},
    {"-ce", "-calculateExactly", CommandFlags::kOptionalBool},
};

// Points along a curve close enough to bound it exactly: its CVs when straight, else
// samples along every span.
MStatus curvePoints(const MDagPath& shape, MPointArray& points)
{
    MStatus status;
    MFnNurbsCurve curve(shape, &status);
    GEO_CHECK(status);
    if (curve.degree() == 1)
        return curve.getCVs(points, MSpace::kWorld);
    double start = 0.0, end = 0.0;
    GEO_CHECK(curve.getKnotDomain(start, end));
    const int samples = 64 * std::max(1, curve.numSpans());
    for (int i = 0; i <= samples; ++i) {
        MPoint point;
        GEO_CHECK(curve.getPointAtParam(start + (end - start) * i / samples, point, MSpace::kWorld));
        points.append(point);
    }
    return MS::kSuccess;
}

// Adds one shape: a mesh's or curve's points, any other shape's box.
MStatus addShape(const MDagPath& shape, MBoundingBox& box, bool& any)
{
    MStatus status;
    MPointArray points;
    if (shape.node().hasFn(MFn::kMesh)) {
        GEO_CHECK(MFnMesh(shape).getPoints(points, MSpace::kWorld));
    } else if (shape.node().hasFn(MFn::kNurbsCurve)) {
        GEO_CHECK(curvePoints(shape, points));
    } else {
        MFnDagNode fn(shape, &status);
        GEO_CHECK(status);
        MBoundingBox local = fn.boundingBox(&status);
        if (!status)
            return MS::kSuccess;  // a shape without extent
        const MMatrix world = shape.inclusiveMatrix(&status);
        GEO_CHECK(status);
        local.transformUsing(world);
        points.append(local.min());
        points.append(local.max());
    }
    for (unsigned i = 0; i < points.length(); ++i) {
        if (!any)
            box = MBoundingBox(points[i], points[i]);
        else
            box.expand(points[i]);
        any = true;
    }
    return MS::kSuccess;
}

} // namespace

MStatus ExactWorldBoundingBoxCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    GEO_CHECK(flags.parse("exactWorldBoundingBox", args, kFlags));
    MSelectionList objects;
    GEO_CHECK(SceneNames::namedOrSelected("exactWorldBoundingBox", flags.objects(), objects));
    const bool ignoreInvisible = flags.boolValue("-ii", false);
    MBoundingBox box;
    bool any = false;
    for (unsigned i = 0; i < objects.length(); ++i) {
        MDagPath path;
        if (!objects.getDagPath(i, path))
            continue;  // only DAG objects have a place in the world
        MItDag below;
        GEO_CHECK(below.reset(path, MItDag::kDepthFirst));
        for (; !below.isDone(); below.next()) {
            MDagPath shape;
            GEO_CHECK(below.getPath(shape));
            if (!shape.node().hasFn(MFn::kShape) || MFnDagNode(shape).isIntermediateObject())
                continue;
            if (ignoreInvisible && !shape.isVisible())
                continue;
            GEO_CHECK(addShape(shape, box, any));
        }
    }
    MDoubleArray result;
    const double toUi = 1.0 / LinearUnitText::centimetresPerUiUnit();
    for (const MPoint& corner : {box.min(), box.max()})
        for (unsigned k = 0; k < 3; ++k)
            result.append(any ? corner[k] * toUi : 0.0);
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
