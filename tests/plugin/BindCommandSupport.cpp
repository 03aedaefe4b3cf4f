#include "BindCommandSupport.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPointArray.h>

void makeMesh(const std::string& name, const std::vector<MPoint>& points, const std::vector<std::vector<int>>& faces)
{
    ASSERT_TRUE(mel("createNode transform -name " + name));
    MObject transform = nodeByName(name.c_str());
    ASSERT_FALSE(transform.isNull());
    MPointArray vertices;
    for (const MPoint& p : points)
        vertices.append(p);
    MIntArray counts;
    MIntArray connects;
    for (const std::vector<int>& face : faces) {
        counts.append(static_cast<int>(face.size()));
        for (int v : face)
            connects.append(v);
    }
    MStatus status;
    MFnMesh mesh;
    MObject shape = mesh.create(static_cast<int>(vertices.length()), static_cast<int>(counts.length()), vertices,
                                counts, connects, transform, &status);
    ASSERT_TRUE(status);
    MFnDependencyNode(shape).setName((name + "Shape").c_str(), false, &status);
    ASSERT_TRUE(status);
}

void makeDriver(const std::string& name, const DriverGrid& grid)
{
    std::vector<MPoint> points;
    for (int id = 0; id < grid.n * grid.n; ++id)
        points.push_back(grid.point(id));
    std::vector<std::vector<int>> faces;
    for (int row = 0; row + 1 < grid.n; ++row) {
        for (int column = 0; column + 1 < grid.n; ++column) {
            const int corner = row * grid.n + column;
            faces.push_back({corner, corner + grid.n, corner + grid.n + 1, corner + 1});
        }
    }
    makeMesh(name, points, faces);
}

void makePatch(const std::string& name, const DriverGrid& grid, const std::vector<int>& driverIds,
               const std::vector<std::vector<int>>& faces, const MPoint& offset)
{
    std::vector<MPoint> points;
    for (int id : driverIds) {
        const MPoint p = grid.point(id);
        points.push_back(MPoint(p.x + offset.x, p.y + offset.y, p.z + offset.z));
    }
    makeMesh(name, points, faces);
}

std::vector<std::string> messageSources(const std::string& arrayPlug, int count)
{
    std::vector<std::string> names(static_cast<size_t>(count));
    const size_t dot = arrayPlug.find('.');
    MObject node = nodeByName(arrayPlug.substr(0, dot).c_str());
    EXPECT_FALSE(node.isNull()) << arrayPlug;
    if (node.isNull())
        return names;
    MStatus status;
    const MPlug array = MFnDependencyNode(node).findPlug(arrayPlug.substr(dot + 1).c_str(), false, &status);
    EXPECT_TRUE(status) << arrayPlug;
    // Existing elements only, so that reading adds nothing to the scene.
    for (unsigned i = 0; status && i < array.numElements(); ++i) {
        const MPlug element = array.elementByPhysicalIndex(i);
        const unsigned index = element.logicalIndex();
        MPlugArray sources;
        if (index < names.size() && element.connectedTo(sources, true, false) && sources.length() > 0)
            names[index] = MFnDependencyNode(sources[0].node()).name().asChar();
    }
    return names;
}
