#include "commands/builtins/MeshAttributeValues.h"

#include "commands/builtins/ValueText.h"
#include "geometry/LinearUnitText.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

#include <cmath>
#include <cstdlib>

namespace host {

namespace {

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("getAttr: ") + message);
    return MS::kInvalidParameter;
}

} // namespace

bool isMeshGeometryPlug(const MPlug& plug)
{
    if (plug.isNull() || !plug.node().hasFn(MFn::kMesh))
        return false;
    const MObject attribute = plug.attribute();
    return attribute == MeshShapeNode::vrts || attribute == MeshShapeNode::face || attribute == MeshShapeNode::edge;
}

MStatus meshGeometryCount(const MPlug& plug, unsigned& count)
{
    MStatus status;
    MFnMesh mesh(plug.node(), &status);
    if (!status)
        return fail(MString("cannot read the mesh of ") + SceneNames::plugName(plug) + ".");
    const MObject attribute = plug.attribute();
    count = unsigned(attribute == MeshShapeNode::vrts ? mesh.numVertices()
                     : attribute == MeshShapeNode::face ? mesh.numPolygons()
                                                        : mesh.numEdges());
    return MS::kSuccess;
}

MStatus setMeshPositionsResult(const MPlug& plug, const SceneNames::IndexRange& range)
{
    // ".vt" holds the points before tweaks: the mesh's own geometry, or what
    // its history feeds it.
    const MObject shape = plug.node();
    MPlug input(shape, MeshShapeNode::inMesh);
    if (!input.isConnected())
        input = MPlug(shape, MeshShapeNode::cachedInMesh);
    MStatus status;
    const MObject data = input.asMObject(&status);
    const MeshData* mesh = status ? meshDataOf(data) : nullptr;
    if (!mesh)
        return fail(MString("cannot read the mesh of ") + SceneNames::plugName(plug) + ".");
    const std::vector<float>& points = mesh->read().points;
    const unsigned count = unsigned(points.size() / 3);
    unsigned first = 0, last = count == 0 ? 0 : count - 1;
    if (range.present) {
        first = range.first;
        last = range.last;
    } else if (plug.isElement()) {
        first = last = plug.logicalIndex();
    }
    if (count == 0 || last >= count || first > last)
        return fail(SceneNames::plugName(plug) + " is out of range: the mesh has " + ValueText::formatInt(count) +
                    " vertices.");
    // Positions show in the UI unit, as MEL gives all distances.
    const double scale = LinearUnitText::centimetresPerUiUnit();
    MDoubleArray values;
    for (size_t i = size_t(first) * 3; i < size_t(last + 1) * 3; ++i)
        values.append(std::isfinite(points[i]) ? LinearUnitText::uiFloatValue(points[i], scale) : double(points[i]));
    MPxCommand::setResult(values);
    return MS::kSuccess;
}

} // namespace host
