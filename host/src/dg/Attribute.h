#pragma once
// An attribute definition, shared by every node that has it. Created by the
// attribute function sets; the MObject they return refers to it.

#include "dg/Object.h"

#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MMatrix.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include <utility>
#include <vector>

namespace host {

// How a plug of the attribute stores its value.
enum class AttrKind {
    Numeric,   // single numeric value (bool .. double, addr)
    Compound,  // children; numeric compounds (double3, float3 ...) keep values packed in the parent
    Typed,     // a data object of one MFnData type (or plug-in data id)
    Matrix,    // a matrix data object
    Enum,      // short
    Message,   // no value, connections only
    Generic,   // numeric or any accepted data object
    Unit,      // double in internal units (cm, radians, time in seconds)
};

enum AttrFlag : unsigned {
    kReadable = 1u << 0,
    kWritable = 1u << 1,
    kConnectable = 1u << 2,
    kStorable = 1u << 3,
    kCached = 1u << 4,
    kArray = 1u << 5,
    kIndexMatters = 1u << 6,
    kKeyable = 1u << 7,
    kChannelBox = 1u << 8,
    kHidden = 1u << 9,
    kUsedAsColor = 1u << 10,
    kUsesArrayDataBuilder = 1u << 11,
    kIndeterminant = 1u << 12,
    kRenderSource = 1u << 13,
    kAffectsAppearance = 1u << 14,
    kAffectsWorldSpace = 1u << 15,
    kWorldSpace = 1u << 16,
    kInternal = 1u << 17,
    kDynamic = 1u << 18,
};

constexpr unsigned kDefaultAttrFlags = kReadable | kWritable | kConnectable | kStorable | kCached | kIndexMatters;
constexpr int kMaxAttrDepth = 4;  // nesting depth of compound children a plug path supports

class Attribute : public Object
{
public:
    static constexpr Kind kKind = Kind::Attribute;

    Attribute(AttrKind attrKind, MFn::Type type, const MString& name, const MString& shortName);
    ~Attribute() override;
    bool hasFn(MFn::Type type) const override;

    AttrKind attrKind;
    MString name;
    MString shortName;
    MString niceName;
    unsigned flags = kDefaultAttrFlags;
    MFnAttribute::DisconnectBehavior disconnectBehavior = MFnAttribute::kNothing;

    // Numeric / enum / unit: value type and defaults (up to 4 components).
    MFnNumericData::Type numericType = MFnNumericData::kInvalid;
    MFnUnitAttribute::Type unitType = MFnUnitAttribute::kInvalid;
    double defaults[4] = {0, 0, 0, 0};
    bool hasMin = false, hasMax = false, hasSoftMin = false, hasSoftMax = false;
    double minValue[3] = {0, 0, 0}, maxValue[3] = {0, 0, 0};
    double softMin = 0, softMax = 0;
    std::vector<std::pair<MString, short>> enumFields;

    // Typed / generic / matrix.
    MFnData::Type dataType = MFnData::kInvalid;
    MTypeId pluginTypeId;
    MFnMatrixAttribute::Type matrixType = MFnMatrixAttribute::kDouble;
    MMatrix matrixDefault;
    MObject defaultData;  // typed default; null means "no value"
    std::vector<MFnData::Type> acceptedData;            // generic
    std::vector<MFnNumericData::Type> acceptedNumeric;  // generic
    std::vector<MTypeId> acceptedIds;                   // generic plug-in data

    // Hierarchy. Children are owned (referenced) by the parent.
    Attribute* parent = nullptr;
    int childIndex = -1;  // position among parent's children
    int depth = 0;        // 0 for top-level attributes
    std::vector<Attribute*> children;
    bool isNumericCompound() const { return attrKind == AttrKind::Compound && numericType != MFnNumericData::kInvalid; }

    // Position in the attribute list of the node types that have it; a hint,
    // checked against the node's list before use.
    int indexHint = -1;
    // Set when added to a node type or node: children can no longer change.
    bool added = false;

    bool is(unsigned flag) const { return (flags & flag) != 0; }
    void set(unsigned flag, bool on) { flags = on ? (flags | flag) : (flags & ~flag); }
    const Attribute* root() const;
    // Whether `name` is this attribute's long or short name.
    bool matches(const MString& n) const { return n == name || n == shortName; }
    // Clamps a component to the hard limits.
    double clamp(double value, int component) const;
    MStatus addChild(Attribute* child);
};

inline Attribute* attributeOf(const MObject& object) { return objectAs<Attribute>(object); }

} // namespace host
