#include "geometry/ExactWorldBoundingBoxCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "geometry/GeometryStatus.h"
#include "geometry/LinearUnitText.h"

#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnComponent.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItDag.h>
#include <maya/MPointArray.h>
#include <maya/MMatrix.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <vector>

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

void addPoints(const MPointArray& points, MBoundingBox& box, bool& any)
{
    for (unsigned i = 0; i < points.length(); ++i) {
        if (!any)
            box = MBoundingBox(points[i], points[i]);
        else
            box.expand(points[i]);
        any = true;
    }
}

// The world points of a mesh's vertices, edges or faces, or a curve's CVs; false for
// any other component, which the whole shape then bounds.
MStatus componentPoints(const MDagPath& shape, const MObject& component, MPointArray& points, bool& handled)
{
    MStatus status;
    MIntArray ids;
    GEO_CHECK(MFnSingleIndexedComponent(component).getElements(ids));
    MPointArray all;
    std::vector<int> vertices;
    const MFn::Type type = MFnComponent(component).componentType();
    if (type == MFn::kCurveCVComponent) {
        GEO_CHECK(MFnNurbsCurve(shape).getCVs(all, MSpace::kWorld));
        vertices.assign(ids.begin(), ids.end());
    } else if (shape.node().hasFn(MFn::kMesh)) {
        MFnMesh mesh(shape, &status);
        GEO_CHECK(status);
        GEO_CHECK(mesh.getPoints(all, MSpace::kWorld));
        for (const int id : ids) {
            if (type == MFn::kMeshVertComponent) {
                vertices.push_back(id);
            } else if (type == MFn::kMeshEdgeComponent) {
                int2 ends;
                GEO_CHECK(mesh.getEdgeVertices(id, ends));
                vertices.insert(vertices.end(), {ends[0], ends[1]});
            } else if (type == MFn::kMeshPolygonComponent) {
                MIntArray corners;
                GEO_CHECK(mesh.getPolygonVertices(id, corners));
                vertices.insert(vertices.end(), corners.begin(), corners.end());
            } else {
                return MS::kSuccess;
            }
        }
    } else {
        return MS::kSuccess;
    }
    for (const int v : vertices)
        if (v >= 0 && static_cast<unsigned>(v) < all.length())
            points.append(all[v]);
    handled = true;
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
    addPoints(points, box, any);
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
        MObject component;
        if (!objects.getDagPath(i, path, component))
            continue;  // only DAG objects have a place in the world
        if (!component.isNull()) {
            // Components are bounded by their own points, not their shape's.
            MPointArray points;
            bool handled = false;
            GEO_CHECK(componentPoints(path, component, points, handled));
            if (handled) {
                addPoints(points, box, any);
                continue;
            }
        }
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
