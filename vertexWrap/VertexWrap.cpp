#include "vertexWrap/VertexWrap.h"

#include "plugin/NodeAttributes.h"
#include "plugin/StatusCheck.h"

namespace {
const char* const kStatusSource = "vertexWrap";
} // namespace

const MTypeId VertexWrap::id(0x140544);
const MString VertexWrap::typeName("vertexWrap");

MObject VertexWrap::inMesh;
MObject VertexWrap::vertexMapping;

VertexWrap::VertexWrap() = default;
VertexWrap::~VertexWrap() = default;

void* VertexWrap::creator()
{
    return new VertexWrap();
}

MStatus VertexWrap::initialize()
{
    PELLIX_CHECK(createTypedAttribute(inMesh, "inMesh", "inMesh", MFnData::kMesh, MObject::kNullObj,
                                      kAttrNotStorable));
    PELLIX_CHECK(addAttribute(inMesh));

    // One map per deformed geometry, at the geometry's multi index.
    PELLIX_CHECK(createTypedAttribute(vertexMapping, "vertexMapping", "vm", MFnData::kIntArray, MObject::kNullObj,
                                      kAttrArray | kAttrUsesArrayDataBuilder | kAttrHidden | kAttrNotConnectable));
    PELLIX_CHECK(addAttribute(vertexMapping));

    PELLIX_CHECK(attributeAffects(inMesh, outputGeom));
    PELLIX_CHECK(attributeAffects(vertexMapping, outputGeom));
    return MS::kSuccess;
}
