#include "geometry/CurveShapeNode.h"

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dg/Node.h"
#include "geometry/CurveData.h"
#include "geometry/GeometryStatus.h"

#include <maya/MDataHandle.h>
#include <maya/MFnMatrixData.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MFnUnitAttribute.h>

namespace host {

const MTypeId CurveShapeNode::id(0x4e435256);  // 'NCRV'
const char* const CurveShapeNode::typeName = "nurbsCurve";

MObject CurveShapeNode::create;
MObject CurveShapeNode::local;
MObject CurveShapeNode::cached;
MObject CurveShapeNode::worldSpace;
MObject CurveShapeNode::controlPoints, CurveShapeNode::xValue, CurveShapeNode::yValue, CurveShapeNode::zValue;
MObject CurveShapeNode::degree;
MObject CurveShapeNode::spans;
MObject CurveShapeNode::form;

void* CurveShapeNode::creator()
{
    return new CurveShapeNode;
}

MPxNode::Type CurveShapeNode::type() const
{
    return MPxNode::kSurfaceShape;
}

MStatus CurveShapeNode::initialize()
{
    MStatus status;
    MFnTypedAttribute typed;
    create = typed.create("create", "cr", MFnData::kNurbsCurve, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setStorable(false));
    GEO_CHECK(typed.setHidden(true));
    local = typed.create("local", "l", MFnData::kNurbsCurve, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setWritable(false));
    GEO_CHECK(typed.setStorable(false));
    cached = typed.create("cached", "cc", MFnData::kNurbsCurve, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setHidden(true));
    worldSpace = typed.create("worldSpace", "ws", MFnData::kNurbsCurve, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setArray(true));
    GEO_CHECK(typed.setWritable(false));
    GEO_CHECK(typed.setStorable(false));
    GEO_CHECK(typed.setUsesArrayDataBuilder(true));

    MFnNumericAttribute numeric;
    // Tweaks are distances: MEL and scene files give them in the UI unit.
    static const char* const names[3] = {"xValue", "yValue", "zValue"};
    static const char* const shortNames[3] = {"xv", "yv", "zv"};
    MObject* values[3] = {&xValue, &yValue, &zValue};
    for (int k = 0; k < 3; ++k) {
        *values[k] = numeric.create(names[k], shortNames[k], MFnNumericData::kDouble, 0.0, &status);
        GEO_CHECK(status);
        attributeOf(*values[k])->unitType = MFnUnitAttribute::kDistance;
    }
    controlPoints = numeric.create("controlPoints", "cp", xValue, yValue, zValue, &status);
    GEO_CHECK(status);
    GEO_CHECK(numeric.setArray(true));
    degree = numeric.create("degree", "d", MFnNumericData::kInt, 1, &status);
    GEO_CHECK(status);
    spans = numeric.create("spans", "sp", MFnNumericData::kInt, 0, &status);
    GEO_CHECK(status);
    MFnEnumAttribute enumFn;
    form = enumFn.create("form", "f", 0, &status);
    GEO_CHECK(status);
    GEO_CHECK(enumFn.addField("Open", 0));
    GEO_CHECK(enumFn.addField("Closed", 1));
    GEO_CHECK(enumFn.addField("Periodic", 2));
    for (MObject* a : {&degree, &spans, &form}) {
        MFnAttribute fn(*a);
        GEO_CHECK(fn.setWritable(false));
        GEO_CHECK(fn.setStorable(false));
    }

    for (MObject* a : {&create, &local, &cached, &worldSpace, &controlPoints, &degree, &spans, &form})
        GEO_CHECK(addAttribute(*a));
    for (MObject* a : {&degree, &spans, &form})
        GEO_CHECK(attributeAffects(local, *a));
    for (MObject* a : {&create, &cached, &controlPoints}) {
        GEO_CHECK(attributeAffects(*a, local));
        for (MObject* fact : {&degree, &spans, &form})
            GEO_CHECK(attributeAffects(*a, *fact));
        GEO_CHECK(attributeAffects(*a, worldSpace));
    }
    GEO_CHECK(attributeAffects(DagAttributes::worldMatrix, worldSpace));
    return MS::kSuccess;
}

MStatus CurveShapeNode::compute(const MPlug& plug, MDataBlock& block)
{
    MStatus status;
    const MObject self = thisMObject();
    if (plug == local) {
        const bool connected = MPlug(self, create).isConnected(&status);
        GEO_CHECK(status);
        MDataHandle input = block.inputValue(connected ? create : cached, &status);
        GEO_CHECK(status);
        const CurveData* source = curveDataOf(input.data());
        CurveGeometry geometry;
        if (source)
            geometry = source->geometry;
        MArrayDataHandle tweaks = block.inputArrayValue(controlPoints, &status);
        GEO_CHECK(status);
        for (unsigned i = 0, n = tweaks.elementCount(); i < n; ++i, tweaks.next()) {
            const unsigned cv = tweaks.elementIndex(&status);
            GEO_CHECK(status);
            if (cv >= unsigned(geometry.numCVs()))
                continue;  // tweaks past the last CV have nothing to move
            const double3& offset = tweaks.inputValue(&status).asDouble3();
            GEO_CHECK(status);
            for (int k = 0; k < 3; ++k)
                geometry.cvs[size_t(cv) * 3 + size_t(k)] += offset[k];
        }
        MDataHandle out = block.outputValue(local, &status);
        GEO_CHECK(status);
        GEO_CHECK(out.set(CurveData::make(source ? &geometry : nullptr)));
        return block.setClean(plug);
    }
    if (plug == degree || plug == spans || plug == form) {
        MObject localData = MPlug(self, local).asMObject(&status);
        GEO_CHECK(status);
        const CurveData* source = curveDataOf(localData);
        const bool usable = source && source->geometry.valid();
        int value = 0;
        if (plug == degree)
            value = usable ? source->geometry.degree : 1;
        else if (plug == spans)
            value = usable ? source->geometry.numSpans() : 0;
        else
            value = usable ? source->geometry.form - 1 : 0;
        MDataHandle out = block.outputValue(plug, &status);
        GEO_CHECK(status);
        out.setInt(value);
        return block.setClean(plug);
    }
    if (!(plug == worldSpace || (plug.isElement() && plug.array() == worldSpace)))
        return MS::kUnknownParameter;

    MObject localData = MPlug(self, local).asMObject(&status);
    GEO_CHECK(status);
    const CurveData* source = curveDataOf(localData);
    const MPlug array(self, worldSpace);
    const MPlug matrices(self, DagAttributes::worldMatrix);
    const unsigned first = plug.isElement() ? plug.logicalIndex() : 0;
    const unsigned last = plug.isElement() ? first + 1 : instanceCount(NodeAccess::node(this));
    for (unsigned i = first; i < last; ++i) {
        MObject matrixData = matrices.elementByLogicalIndex(i, &status).asMObject(&status);
        GEO_CHECK(status);
        MFnMatrixData fnMatrix(matrixData, &status);
        GEO_CHECK(status);
        MObject data = CurveData::make(source ? &source->geometry : nullptr);
        curveDataOf(data)->matrix = fnMatrix.matrix();
        MPlug element = array.elementByLogicalIndex(i, &status);
        GEO_CHECK(status);
        MDataHandle handle = block.outputValue(element, &status);
        GEO_CHECK(status);
        GEO_CHECK(handle.set(data));
        GEO_CHECK(block.setClean(element));
    }
    return block.setClean(plug.isElement() ? plug.array() : plug);
}

} // namespace host
