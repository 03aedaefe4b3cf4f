#include "geometry/MakeNurbCircleNode.h"

#include "dag/DagAttributes.h"
#include "geometry/CurveBuild.h"
#include "geometry/CurveData.h"
#include "geometry/GeometryStatus.h"

#include <maya/MDataHandle.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>

namespace host {

const MTypeId MakeNurbCircleNode::id(0x4e4d4e43);  // 'NMNC'
const char* const MakeNurbCircleNode::typeName = "makeNurbCircle";

MObject MakeNurbCircleNode::normal;
MObject MakeNurbCircleNode::center;
MObject MakeNurbCircleNode::radius;
MObject MakeNurbCircleNode::sections;
MObject MakeNurbCircleNode::degree;
MObject MakeNurbCircleNode::outputCurve;

void* MakeNurbCircleNode::creator()
{
    return new MakeNurbCircleNode;
}

MStatus MakeNurbCircleNode::initialize()
{
    MStatus status;
    static const char* const nrNames[3] = {"normalX", "normalY", "normalZ"};
    static const char* const nrShort[3] = {"nrx", "nry", "nrz"};
    normal = DagAttributes::createDouble3("normal", "nr", nrNames, nrShort, MFnUnitAttribute::kInvalid, 0.0, false,
                                          status);
    GEO_CHECK(status);
    // The circle lies in the XY plane unless told otherwise.
    MFnNumericAttribute normalZ(MFnCompoundAttribute(normal).child(2));
    GEO_CHECK(normalZ.setDefault(1.0));
    static const char* const cNames[3] = {"centerX", "centerY", "centerZ"};
    static const char* const cShort[3] = {"cx", "cy", "cz"};
    center = DagAttributes::createDouble3("center", "c", cNames, cShort, MFnUnitAttribute::kDistance, 0.0, false,
                                          status);
    GEO_CHECK(status);
    MFnUnitAttribute unit;
    radius = unit.create("radius", "r", MFnUnitAttribute::kDistance, 1.0, &status);
    GEO_CHECK(status);
    MFnNumericAttribute numeric;
    sections = numeric.create("sections", "s", MFnNumericData::kInt, 8, &status);
    GEO_CHECK(status);
    degree = numeric.create("degree", "d", MFnNumericData::kInt, 3, &status);
    GEO_CHECK(status);
    MFnTypedAttribute typed;
    outputCurve = typed.create("outputCurve", "oc", MFnData::kNurbsCurve, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setWritable(false));
    GEO_CHECK(typed.setStorable(false));
    for (MObject* a : {&normal, &center, &radius, &sections, &degree, &outputCurve})
        GEO_CHECK(addAttribute(*a));
    for (MObject* a : {&normal, &center, &radius, &sections, &degree})
        GEO_CHECK(attributeAffects(*a, outputCurve));
    return MS::kSuccess;
}

MStatus MakeNurbCircleNode::compute(const MPlug& plug, MDataBlock& block)
{
    if (plug != outputCurve)
        return MS::kUnknownParameter;
    MStatus status;
    CircleSettings settings;
    const double3& n = block.inputValue(normal, &status).asDouble3();
    GEO_CHECK(status);
    const double3& c = block.inputValue(center, &status).asDouble3();
    GEO_CHECK(status);
    for (int i = 0; i < 3; ++i) {
        settings.normal[i] = n[i];
        settings.center[i] = c[i];
    }
    settings.radius = block.inputValue(radius, &status).asDouble();
    GEO_CHECK(status);
    settings.sections = block.inputValue(sections, &status).asInt();
    GEO_CHECK(status);
    settings.degree = block.inputValue(degree, &status).asInt();
    GEO_CHECK(status);
    // Settings the circle cannot be made from leave an empty curve.
    CurveGeometry g;
    g.degree = settings.degree;
    g.form = int(CurveForm::kPeriodic);
    const bool usable = settings.degree >= 1 && settings.degree <= 7 && settings.sections >= 3 &&
                        settings.sections <= 10000 && buildCircle(settings, g.cvs, g.knots) && g.valid();
    MDataHandle out = block.outputValue(outputCurve, &status);
    GEO_CHECK(status);
    GEO_CHECK(out.set(CurveData::make(usable ? &g : nullptr)));
    return block.setClean(plug);
}

} // namespace host
