#pragma once
// Small builders for the attributes of the built-in deformer nodes, which have many of them:
// each makes one attribute as Maya declares it and reports failure through the status.

#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <initializer_list>

// Returns the status of a failed host call at once.
#define DEFORMER_CHECK(expr)                \
    do {                                    \
        MStatus deformerStatus_ = (expr);   \
        if (!deformerStatus_)               \
            return deformerStatus_;         \
    } while (0)

namespace host {

enum AttributeShape { kSingle, kMulti };

MObject numericAttribute(const char* name, const char* shortName, MFnNumericData::Type type, double value,
                         AttributeShape shape, MStatus& status);
MObject float3Attribute(const char* name, const char* shortName, const char* const children[3],
                        const char* const childShortNames[3], bool distance, AttributeShape shape, MStatus& status);
MObject matrixAttribute(const char* name, const char* shortName, AttributeShape shape, MStatus& status);
MObject messageAttribute(const char* name, const char* shortName, AttributeShape shape, MStatus& status);
MObject typedAttribute(const char* name, const char* shortName, MFnData::Type type, MStatus& status);
// A mesh or curve input or output (generic geometry data).
MObject geometryAttribute(const char* name, const char* shortName, AttributeShape shape, MStatus& status);
MObject enumAttribute(const char* name, const char* shortName, short value,
                      std::initializer_list<const char*> fields, MStatus& status);
// A compound of the children, made a multi when asked.
MObject compoundAttribute(const char* name, const char* shortName, std::initializer_list<MObject> children,
                          AttributeShape shape, MStatus& status);

// Adds the attributes to the type being initialised.
MStatus addAttributes(std::initializer_list<const MObject*> attributes);
// Declares that each input affects each output.
MStatus addAffects(std::initializer_list<const MObject*> inputs, std::initializer_list<const MObject*> outputs);

} // namespace host
