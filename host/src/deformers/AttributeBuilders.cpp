#include "deformers/AttributeBuilders.h"

#include "dg/Attribute.h"

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MPxNode.h>

namespace host {

namespace {

MObject shaped(const MObject& attribute, AttributeShape shape, MStatus& status)
{
    if (!status || shape == kSingle)
        return attribute;
    MFnAttribute fn(attribute);
    status = fn.setArray(true);
    if (status)
        status = fn.setUsesArrayDataBuilder(true);
    return attribute;
}

} // namespace

MObject numericAttribute(const char* name, const char* shortName, MFnNumericData::Type type, double value,
                         AttributeShape shape, MStatus& status)
{
    MFnNumericAttribute fn;
    return shaped(fn.create(name, shortName, type, value, &status), shape, status);
}

MObject float3Attribute(const char* name, const char* shortName, const char* const children[3],
                        const char* const childShortNames[3], bool distance, AttributeShape shape, MStatus& status)
{
    MFnNumericAttribute fn;
    MObject parts[3];
    for (int i = 0; i < 3 && status; ++i) {
        parts[i] = fn.create(children[i], childShortNames[i], MFnNumericData::kFloat, 0.0, &status);
        // Offsets are distances: MEL and scene files give them in the UI unit.
        if (status && distance)
            attributeOf(parts[i])->unitType = MFnUnitAttribute::kDistance;
    }
    if (!status)
        return MObject::kNullObj;
    return shaped(fn.create(name, shortName, parts[0], parts[1], parts[2], &status), shape, status);
}

MObject matrixAttribute(const char* name, const char* shortName, AttributeShape shape, MStatus& status)
{
    MFnMatrixAttribute fn;
    return shaped(fn.create(name, shortName, MFnMatrixAttribute::kDouble, &status), shape, status);
}

MObject messageAttribute(const char* name, const char* shortName, AttributeShape shape, MStatus& status)
{
    MFnMessageAttribute fn;
    return shaped(fn.create(name, shortName, &status), shape, status);
}

MObject typedAttribute(const char* name, const char* shortName, MFnData::Type type, MStatus& status)
{
    MFnTypedAttribute fn;
    return fn.create(name, shortName, type, MObject::kNullObj, &status);
}

MObject geometryAttribute(const char* name, const char* shortName, AttributeShape shape, MStatus& status)
{
    MFnGenericAttribute fn;
    MObject attribute = fn.create(name, shortName, &status);
    if (status)
        status = fn.addDataAccept(MFnData::kMesh);
    if (status)
        status = fn.addDataAccept(MFnData::kNurbsCurve);
    return shaped(attribute, shape, status);
}

MObject enumAttribute(const char* name, const char* shortName, short value,
                      std::initializer_list<const char*> fields, MStatus& status)
{
    MFnEnumAttribute fn;
    MObject attribute = fn.create(name, shortName, value, &status);
    short index = 0;
    for (const char* field : fields)
        if (status)
            status = fn.addField(field, index++);
    return attribute;
}

MObject compoundAttribute(const char* name, const char* shortName, std::initializer_list<MObject> children,
                          AttributeShape shape, MStatus& status)
{
    MFnCompoundAttribute fn;
    MObject attribute = fn.create(name, shortName, &status);
    for (const MObject& child : children)
        if (status)
            status = fn.addChild(child);
    return shaped(attribute, shape, status);
}

MStatus addAttributes(std::initializer_list<const MObject*> attributes)
{
    for (const MObject* attribute : attributes)
        DEFORMER_CHECK(MPxNode::addAttribute(*attribute));
    return MS::kSuccess;
}

MStatus addAffects(std::initializer_list<const MObject*> inputs, std::initializer_list<const MObject*> outputs)
{
    for (const MObject* input : inputs)
        for (const MObject* output : outputs)
            DEFORMER_CHECK(MPxNode::attributeAffects(*input, *output));
    return MS::kSuccess;
}

} // namespace host
