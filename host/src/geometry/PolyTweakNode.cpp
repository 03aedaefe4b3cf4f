#include "geometry/PolyTweakNode.h"

#include "dg/Attribute.h"
#include "geometry/GeometryStatus.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MPlug.h>

namespace host {

const MTypeId PolyTweakNode::id(0x50545745);  // 'PTWE'
const char* const PolyTweakNode::typeName = "polyTweak";
MObject PolyTweakNode::inputPolymesh, PolyTweakNode::output, PolyTweakNode::tweak, PolyTweakNode::inputComponents,
    PolyTweakNode::useOldPolyArchitecture;

void* PolyTweakNode::creator()
{
    return new PolyTweakNode;
}

MStatus PolyTweakNode::initialize()
{
    MStatus status;
    MFnTypedAttribute typed;
    inputPolymesh = typed.create("inputPolymesh", "ip", MFnData::kMesh, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setStorable(false));
    output = typed.create("output", "out", MFnData::kMesh, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setStorable(false));
    GEO_CHECK(typed.setWritable(false));
    inputComponents = typed.create("inputComponents", "ics", MFnData::kComponentList, MObject::kNullObj, &status);
    GEO_CHECK(status);

    MFnNumericAttribute numeric;
    MObject parts[3];
    const char* names[3] = {"tweakX", "tweakY", "tweakZ"};
    const char* shortNames[3] = {"tx", "ty", "tz"};
    for (int k = 0; k < 3; ++k) {
        parts[k] = numeric.create(names[k], shortNames[k], MFnNumericData::kFloat, 0.0, &status);
        GEO_CHECK(status);
        // Distances: scene files give them in the UI unit.
        attributeOf(parts[k])->unitType = MFnUnitAttribute::kDistance;
    }
    tweak = numeric.create("tweak", "tk", parts[0], parts[1], parts[2], &status);
    GEO_CHECK(status);
    GEO_CHECK(numeric.setArray(true));
    useOldPolyArchitecture = numeric.create("useOldPolyArchitecture", "uopa", MFnNumericData::kBoolean, 0, &status);
    GEO_CHECK(status);

    for (MObject* a : {&inputPolymesh, &output, &tweak, &inputComponents, &useOldPolyArchitecture})
        GEO_CHECK(addAttribute(*a));
    for (MObject* a : {&inputPolymesh, &tweak, &inputComponents})
        GEO_CHECK(attributeAffects(*a, output));
    return MS::kSuccess;
}

MStatus PolyTweakNode::compute(const MPlug& plug, MDataBlock& block)
{
    if (plug != output)
        return MS::kUnknownParameter;
    MStatus status;
    MDataHandle in = block.inputValue(inputPolymesh, &status);
    GEO_CHECK(status);
    const MeshData* source = meshDataOf(in.data());
    MeshGeometryPtr geometry = source ? source->shared() : std::make_shared<MeshGeometry>();
    MArrayDataHandle tweaks = block.inputArrayValue(tweak, &status);
    GEO_CHECK(status);
    GEO_CHECK(MeshShapeNode::addVertexOffsets(tweaks, geometry));
    MDataHandle out = block.outputValue(output, &status);
    GEO_CHECK(status);
    GEO_CHECK(out.set(MeshData::make(geometry)));
    return block.setClean(plug);
}

} // namespace host
