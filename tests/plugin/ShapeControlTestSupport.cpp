#include "ShapeControlTestSupport.h"
#include "support/TestValues.h"

#include "PluginTestSupport.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

void makeCurve(const std::string& name, const std::vector<MPoint>& cvs, const std::vector<double>& knots,
               unsigned degree, MFnNurbsCurve::Form form)
{
    ASSERT_TRUE(mel("createNode transform -n " + name));
    MObject parent = nodeByName(name.c_str());
    MPointArray cvArray;
    for (const MPoint& cv : cvs) {
        cvArray.append(cv);
    }
    MDoubleArray knotArray;
    for (double knot : knots) {
        knotArray.append(knot);
    }
    MStatus status;
    MFnNurbsCurve curve;
    curve.create(cvArray, knotArray, degree, form, false, false, parent, &status);
    ASSERT_TRUE(status) << name;
    ASSERT_TRUE(mel("rename " + std::string(curve.name().asChar()) + " " + name + "Shape"));
}

void makeLine(const std::string& name, const MPoint& from, const MPoint& to)
{
    makeCurve(name, {from, to}, {0.0, 1.0}, 1, MFnNurbsCurve::kOpen);
}

MPointArray storedPoints(const std::string& plugName)
{
    const MPlug plug = plugNamed(plugName);
    MPointArray points;
    if (plug.isNull()) {
        return points;
    }
    const MObject data = plug.asMObject();
    if (data.hasFn(MFn::kMeshData)) {
        EXPECT_TRUE(MFnMesh(data).getPoints(points, MSpace::kObject));
    } else if (data.hasFn(MFn::kNurbsCurveData)) {
        EXPECT_TRUE(MFnNurbsCurve(data).getCVs(points, MSpace::kObject));
    }
    return points;
}

void scaleMeshPoints(const std::string& shape, double factor)
{
    MFnMesh mesh(nodeByName(shape.c_str()));
    MPointArray points;
    ASSERT_TRUE(mesh.getPoints(points)) << shape;
    for (unsigned i = 0; i < points.length(); ++i) {
        points[i] = MPoint(points[i].x * factor, points[i].y * factor, points[i].z * factor);
    }
    ASSERT_TRUE(mesh.setPoints(points)) << shape;
}

std::string connectionSource(const std::string& plugName)
{
    const MPlug plug = plugNamed(plugName);
    if (plug.isNull()) {
        return std::string();
    }
    const MPlug source = plug.source();
    if (source.isNull()) {
        return std::string();
    }
    return std::string(MFnDependencyNode(source.node()).name().asChar()) + "." +
           MFnAttribute(source.attribute()).name().asChar();
}

MMatrix worldMatrixOf(const std::string& name)
{
    MSelectionList list;
    MDagPath path;
    if (!list.add(name.c_str()) || !list.getDagPath(0, path)) {
        ADD_FAILURE() << "no DAG node " << name;
        return MMatrix();
    }
    return path.inclusiveMatrix();
}
