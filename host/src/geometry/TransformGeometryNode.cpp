#include "geometry/TransformGeometryNode.h"

#include "geometry/CurveData.h"
#include "geometry/GeometryStatus.h"
#include "geometry/MeshData.h"

#include <maya/MDataHandle.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>

#include <memory>

namespace host {

const MTypeId TransformGeometryNode::id(0x4e544745);  // 'NTGE'
const char* const TransformGeometryNode::typeName = "transformGeometry";

MObject TransformGeometryNode::inputGeometry;
MObject TransformGeometryNode::transform;
MObject TransformGeometryNode::invertTransform;
MObject TransformGeometryNode::outputGeometry;

void* TransformGeometryNode::creator()
{
    return new TransformGeometryNode;
}

MStatus TransformGeometryNode::initialize()
{
    MStatus status;
    MFnGenericAttribute generic;
    inputGeometry = generic.create("inputGeometry", "ig", &status);
    GEO_CHECK(status);
    GEO_CHECK(generic.addDataAccept(MFnData::kMesh));
    GEO_CHECK(generic.addDataAccept(MFnData::kNurbsCurve));
    GEO_CHECK(generic.setStorable(false));
    outputGeometry = generic.create("outputGeometry", "og", &status);
    GEO_CHECK(status);
    GEO_CHECK(generic.addDataAccept(MFnData::kMesh));
    GEO_CHECK(generic.addDataAccept(MFnData::kNurbsCurve));
    GEO_CHECK(generic.setWritable(false));
    GEO_CHECK(generic.setStorable(false));
    MFnMatrixAttribute matrix;
    transform = matrix.create("transform", "txf", MFnMatrixAttribute::kDouble, &status);
    GEO_CHECK(status);
    MFnNumericAttribute numeric;
    invertTransform = numeric.create("invertTransform", "itf", MFnNumericData::kBoolean, 0.0, &status);
    GEO_CHECK(status);
    for (MObject* attribute : {&inputGeometry, &transform, &invertTransform, &outputGeometry})
        GEO_CHECK(addAttribute(*attribute));
    for (MObject* attribute : {&inputGeometry, &transform, &invertTransform})
        GEO_CHECK(attributeAffects(*attribute, outputGeometry));
    return MS::kSuccess;
}

MStatus TransformGeometryNode::compute(const MPlug& plug, MDataBlock& block)
{
    if (plug != outputGeometry)
        return MS::kUnknownParameter;
    MStatus status;
    MMatrix m = block.inputValue(transform, &status).asMatrix();
    GEO_CHECK(status);
    if (block.inputValue(invertTransform, &status).asBool())
        m = m.inverse();
    GEO_CHECK(status);
    const MObject input = block.inputValue(inputGeometry, &status).data();
    GEO_CHECK(status);
    MObject result;
    if (const MeshData* mesh = meshDataOf(input)) {
        auto moved = std::make_shared<MeshGeometry>(mesh->read());
        std::vector<float> points = moved->points;
        for (size_t p = 0; p + 2 < points.size(); p += 3) {
            const MPoint q = MPoint(points[p], points[p + 1], points[p + 2]) * m;
            points[p] = float(q.x), points[p + 1] = float(q.y), points[p + 2] = float(q.z);
        }
        moved->setPoints(std::move(points));
        result = MeshData::make(moved);
    } else if (const CurveData* curve = curveDataOf(input)) {
        CurveGeometry moved = curve->geometry;
        for (size_t p = 0; p + 2 < moved.cvs.size(); p += 3) {
            const MPoint q = MPoint(moved.cvs[p], moved.cvs[p + 1], moved.cvs[p + 2]) * m;
            moved.cvs[p] = q.x, moved.cvs[p + 1] = q.y, moved.cvs[p + 2] = q.z;
        }
        result = CurveData::make(&moved);
    }
    MDataHandle out = block.outputValue(outputGeometry, &status);
    GEO_CHECK(status);
    if (!result.isNull())
        GEO_CHECK(out.set(result));
    return block.setClean(plug);
}

} // namespace host
