#pragma once
// Attribute creation shared by the node initialisers. The attribute tables list only the
// flags that differ from the host's defaults for a new attribute; each helper creates one
// attribute, sets exactly those flags and leaves `attr` holding it. Helpers return the first
// failing status without reporting it, so the initialiser reports it at its own line.

#include <maya/MApiNamespace.h>
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

enum AttributeFlag : unsigned
{
    kAttrKeyable = 1u << 0,
    kAttrNotKeyable = 1u << 1,
    kAttrStorable = 1u << 2,
    kAttrNotStorable = 1u << 3,
    kAttrReadable = 1u << 4,
    kAttrNotReadable = 1u << 5,
    kAttrWritable = 1u << 6,
    kAttrNotWritable = 1u << 7,
    kAttrConnectable = 1u << 8,
    kAttrNotConnectable = 1u << 9,
    kAttrHidden = 1u << 10,
    kAttrArray = 1u << 11,
    kAttrIndexMatters = 1u << 12,
    kAttrUsesArrayDataBuilder = 1u << 13,
    kAttrUsedAsColor = 1u << 14,
    kAttrNotCached = 1u << 15,
};

// Sets every flag named in `flags` on the attribute `fn` is attached to.
MStatus applyAttributeFlags(MFnAttribute& fn, unsigned flags);

MStatus createNumericAttribute(MObject& attr, const char* name, const char* shortName, MFnNumericData::Type type,
                               double defaultValue, unsigned flags);

// A colour (three floats, used as colour) with its default.
MStatus createColorAttribute(MObject& attr, const char* name, const char* shortName, float r, float g, float b,
                             unsigned flags);

// A typed attribute; `defaultData` may be the null object for "no default".
MStatus createTypedAttribute(MObject& attr, const char* name, const char* shortName, MFnData::Type type,
                             const MObject& defaultData, unsigned flags);

// Typed int and string arrays whose default is an empty array.
MStatus createIntArrayAttribute(MObject& attr, const char* name, const char* shortName, unsigned flags);
MStatus createStringArrayAttribute(MObject& attr, const char* name, const char* shortName, unsigned flags);

MStatus createMessageAttribute(MObject& attr, const char* name, const char* shortName, unsigned flags);

// A double matrix attribute (identity default).
MStatus createMatrixAttribute(MObject& attr, const char* name, const char* shortName, unsigned flags);
