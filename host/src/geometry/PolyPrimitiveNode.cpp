#include "geometry/PolyPrimitiveNode.h"

#include "dag/DagAttributes.h"
#include "dg/Registry.h"
#include "geometry/GeometryStatus.h"
#include "geometry/MeshData.h"
#include "geometry/PolyPrimitives.h"

#include <maya/MDataHandle.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MTypeId.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace host {

namespace {

enum class Value { kDistance, kAngle, kInt, kBool };

struct Setting
{
    MObject PolyPrimitiveNode::Attributes::*member;
    const char* name;
    const char* shortName;
    Value type;
    double value;
};

typedef PolyPrimitiveNode::Attributes A;

struct KindInfo
{
    const char* typeName;
    unsigned id;
    int createUVs;  // the node's default; -1: UVs always made
    std::initializer_list<Setting> settings;
};

const KindInfo kKinds[PolyPrimitiveNode::kKindCount] = {
    {"polyCube", 0x4e504342, 3,
     {{&A::width, "width", "w", Value::kDistance, 1}, {&A::height, "height", "h", Value::kDistance, 1},
      {&A::depth, "depth", "d", Value::kDistance, 1}, {&A::subdivisionsWidth, "subdivisionsWidth", "sw", Value::kInt, 1},
      {&A::subdivisionsHeight, "subdivisionsHeight", "sh", Value::kInt, 1},
      {&A::subdivisionsDepth, "subdivisionsDepth", "sd", Value::kInt, 1}}},
    {"polySphere", 0x4e505350, 2,
     {{&A::radius, "radius", "r", Value::kDistance, 1}, {&A::subdivisionsAxis, "subdivisionsAxis", "sa", Value::kInt, 20},
      {&A::subdivisionsHeight, "subdivisionsHeight", "sh", Value::kInt, 20}}},
    {"polyPlane", 0x4e50504c, 1,
     {{&A::width, "width", "w", Value::kDistance, 1}, {&A::height, "height", "h", Value::kDistance, 1},
      {&A::subdivisionsWidth, "subdivisionsWidth", "sw", Value::kInt, 10},
      {&A::subdivisionsHeight, "subdivisionsHeight", "sh", Value::kInt, 10}}},
    {"polyCylinder", 0x4e50434c, 2,
     {{&A::radius, "radius", "r", Value::kDistance, 1}, {&A::height, "height", "h", Value::kDistance, 2},
      {&A::subdivisionsAxis, "subdivisionsAxis", "sa", Value::kInt, 20},
      {&A::subdivisionsHeight, "subdivisionsHeight", "sh", Value::kInt, 1},
      {&A::subdivisionsCap, "subdivisionsCaps", "sc", Value::kInt, 0}, {&A::roundCap, "roundCap", "rcp", Value::kBool, 0}}},
    {"polyCone", 0x4e50434f, 2,
     {{&A::radius, "radius", "r", Value::kDistance, 1}, {&A::height, "height", "h", Value::kDistance, 2},
      {&A::subdivisionsAxis, "subdivisionsAxis", "sa", Value::kInt, 20},
      {&A::subdivisionsHeight, "subdivisionsHeight", "sh", Value::kInt, 1},
      {&A::subdivisionsCap, "subdivisionsCap", "sc", Value::kInt, 0}, {&A::roundCap, "roundCap", "rcp", Value::kBool, 0}}},
    {"polyTorus", 0x4e50544f, -1,
     {{&A::radius, "radius", "r", Value::kDistance, 1}, {&A::sectionRadius, "sectionRadius", "sr", Value::kDistance, 0.5},
      {&A::twist, "twist", "tw", Value::kAngle, 0}, {&A::subdivisionsAxis, "subdivisionsAxis", "sa", Value::kInt, 20},
      {&A::subdivisionsHeight, "subdivisionsHeight", "sh", Value::kInt, 20}}},
};

A gAttributes[PolyPrimitiveNode::kKindCount];

// More vertices than this make an empty mesh instead (a typo in a subdivision count must not
// take the session's memory).
const double kMaxVertices = 4e6;

MObject createSetting(const Setting& setting, MStatus& status)
{
    if (setting.type == Value::kInt || setting.type == Value::kBool) {
        MFnNumericAttribute fn;
        MObject attribute = fn.create(setting.name, setting.shortName,
                                      setting.type == Value::kInt ? MFnNumericData::kInt : MFnNumericData::kBoolean,
                                      setting.value, &status);
        if (status)
            status = fn.setKeyable(setting.type == Value::kInt);
        return attribute;
    }
    MFnUnitAttribute fn;
    MObject attribute = fn.create(setting.name, setting.shortName,
                                  setting.type == Value::kAngle ? MFnUnitAttribute::kAngle : MFnUnitAttribute::kDistance,
                                  setting.value, &status);
    if (status)
        status = fn.setKeyable(true);
    return attribute;
}

MStatus initializeKind(PolyPrimitiveNode::Kind kind)
{
    const KindInfo& info = kKinds[kind];
    A& a = gAttributes[kind];
    MStatus status;
    MFnTypedAttribute typed;
    a.output = typed.create("output", "out", MFnData::kMesh, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setWritable(false));
    GEO_CHECK(typed.setStorable(false));
    static const char* const axisNames[3] = {"axisX", "axisY", "axisZ"};
    static const char* const axisShort[3] = {"axx", "axy", "axz"};
    a.axis = DagAttributes::createDouble3("axis", "ax", axisNames, axisShort, MFnUnitAttribute::kInvalid, 0.0, false,
                                          status);
    GEO_CHECK(status);
    MFnNumericAttribute axisY(MFnCompoundAttribute(a.axis).child(1));
    GEO_CHECK(axisY.setDefault(1.0));
    GEO_CHECK(MPxNode::addAttribute(a.output));
    GEO_CHECK(MPxNode::addAttribute(a.axis));
    std::vector<MObject> inputs = {a.axis};
    if (info.createUVs >= 0) {
        MFnEnumAttribute fn;
        a.createUVs = fn.create("createUVs", "cuv", short(info.createUVs), &status);
        GEO_CHECK(status);
        const char* const fields[] = {"No UVs", "No Normalization", "Normalize", "Normalize Collectively",
                                      "Normalize and Preserve Aspect Ratio"};
        for (short f = 0; f < (kind == PolyPrimitiveNode::kCube ? 5 : 4); ++f)
            GEO_CHECK(fn.addField(fields[f], f));
        GEO_CHECK(MPxNode::addAttribute(a.createUVs));
        inputs.push_back(a.createUVs);
    }
    for (const Setting& setting : info.settings) {
        a.*setting.member = createSetting(setting, status);
        GEO_CHECK(status);
        GEO_CHECK(MPxNode::addAttribute(a.*setting.member));
        inputs.push_back(a.*setting.member);
    }
    for (const MObject& input : inputs)
        GEO_CHECK(MPxNode::attributeAffects(input, a.output));
    return MS::kSuccess;
}

template <PolyPrimitiveNode::Kind K>
void* createKind()
{
    return new PolyPrimitiveNode(K);
}

template <PolyPrimitiveNode::Kind K>
MStatus initializeKindOf()
{
    return initializeKind(K);
}

const NodeCreatorFunction kCreators[PolyPrimitiveNode::kKindCount] = {
    &createKind<PolyPrimitiveNode::kCube>,     &createKind<PolyPrimitiveNode::kSphere>,
    &createKind<PolyPrimitiveNode::kPlane>,    &createKind<PolyPrimitiveNode::kCylinder>,
    &createKind<PolyPrimitiveNode::kCone>,     &createKind<PolyPrimitiveNode::kTorus>};
const NodeInitializeFunction kInitializers[PolyPrimitiveNode::kKindCount] = {
    &initializeKindOf<PolyPrimitiveNode::kCube>,     &initializeKindOf<PolyPrimitiveNode::kSphere>,
    &initializeKindOf<PolyPrimitiveNode::kPlane>,    &initializeKindOf<PolyPrimitiveNode::kCylinder>,
    &initializeKindOf<PolyPrimitiveNode::kCone>,     &initializeKindOf<PolyPrimitiveNode::kTorus>};

} // namespace

MStatus PolyPrimitiveNode::registerTypes()
{
    for (int kind = 0; kind < kKindCount; ++kind) {
        NodeTypeInfo info;
        info.name = kKinds[kind].typeName;
        info.id = MTypeId(kKinds[kind].id);
        info.creator = kCreators[kind];
        info.initialize = kInitializers[kind];
        info.apiType = MFn::kDependencyNode;
        GEO_CHECK(registerNodeType(info));
    }
    return MS::kSuccess;
}

const char* PolyPrimitiveNode::typeNameOf(Kind kind)
{
    return kKinds[kind].typeName;
}

const PolyPrimitiveNode::Attributes& PolyPrimitiveNode::attributesOf(Kind kind)
{
    return gAttributes[kind];
}

PolyPrimitiveNode::Settings PolyPrimitiveNode::defaults(Kind kind)
{
    Settings s;
    for (const Setting& setting : kKinds[kind].settings) {
        const double v = setting.value;
        const MObject A::*member = setting.member;
        if (member == &A::width) s.width = v;
        else if (member == &A::height) s.height = v;
        else if (member == &A::depth) s.depth = v;
        else if (member == &A::radius) s.radius = v;
        else if (member == &A::sectionRadius) s.sectionRadius = v;
        else if (member == &A::twist) s.twist = v;
        else if (member == &A::subdivisionsWidth) s.subdivisionsWidth = int(v);
        else if (member == &A::subdivisionsHeight) s.subdivisionsHeight = int(v);
        else if (member == &A::subdivisionsDepth) s.subdivisionsDepth = int(v);
        else if (member == &A::subdivisionsAxis) s.subdivisionsAxis = int(v);
        else if (member == &A::subdivisionsCap) s.subdivisionsCap = int(v);
    }
    s.createUVs = std::max(kKinds[kind].createUVs, 1);
    return s;
}

MeshGeometryPtr PolyPrimitiveNode::build(Kind kind, const Settings& s)
{
    // Too few subdivisions are raised to the least the primitive can be made of.
    const int sw = std::max(s.subdivisionsWidth, 1), sh = std::max(s.subdivisionsHeight, 1);
    const int sd = std::max(s.subdivisionsDepth, 1), sa = std::max(s.subdivisionsAxis, 3);
    const int sc = std::max(s.subdivisionsCap, 0);
    double vertices = 0;
    switch (kind) {
    case kCube: vertices = 2.0 * (double(sw + 1) * (sh + 1) + double(sh + 1) * (sd + 1) + double(sd + 1) * (sw + 1)); break;
    case kSphere: vertices = double(sa) * std::max(sh, 2); break;
    case kPlane: vertices = double(sw + 1) * (sh + 1); break;
    case kCylinder:
    case kCone: vertices = double(sa) * (double(sh) + 2.0 * sc + 2); break;
    default: vertices = double(sa) * std::max(sh, 3); break;
    }
    if (vertices > kMaxVertices)
        return nullptr;
    MeshGeometryPtr geometry;
    switch (kind) {
    case kCube: geometry = buildCube(s.width, s.height, s.depth, sw, sh, sd); break;
    case kSphere: geometry = buildSphere(s.radius, sa, std::max(sh, 2)); break;
    case kPlane: geometry = buildPlane(s.width, s.height, sw, sh); break;
    case kCylinder: geometry = buildCylinder(s.radius, s.height, sa, sh, sc, s.createUVs); break;
    case kCone: geometry = buildCone(s.radius, s.height, sa, sh, sc); break;
    default: geometry = buildTorus(s.radius, s.sectionRadius, s.twist, sa, std::max(sh, 3)); break;
    }
    if (s.createUVs == 0)
        geometry = withoutUVs(geometry);
    return alongAxis(geometry, s.axis);
}

MStatus PolyPrimitiveNode::compute(const MPlug& plug, MDataBlock& block)
{
    const A& a = gAttributes[mKind];
    if (plug != a.output)
        return MS::kUnknownParameter;
    MStatus status;
    auto number = [&](const MObject& attribute, double fallback) {
        return attribute.isNull() ? fallback : block.inputValue(attribute).asDouble();
    };
    auto count = [&](const MObject& attribute, int fallback) {
        return attribute.isNull() ? fallback : block.inputValue(attribute).asInt();
    };
    Settings s = defaults(mKind);
    s.width = number(a.width, s.width);
    s.height = number(a.height, s.height);
    s.depth = number(a.depth, s.depth);
    s.radius = number(a.radius, s.radius);
    s.sectionRadius = number(a.sectionRadius, s.sectionRadius);
    s.twist = number(a.twist, s.twist);
    s.subdivisionsWidth = count(a.subdivisionsWidth, s.subdivisionsWidth);
    s.subdivisionsHeight = count(a.subdivisionsHeight, s.subdivisionsHeight);
    s.subdivisionsDepth = count(a.subdivisionsDepth, s.subdivisionsDepth);
    s.subdivisionsAxis = count(a.subdivisionsAxis, s.subdivisionsAxis);
    s.subdivisionsCap = count(a.subdivisionsCap, s.subdivisionsCap);
    if (!a.createUVs.isNull())
        s.createUVs = block.inputValue(a.createUVs).asShort();
    const double3& axis = block.inputValue(a.axis, &status).asDouble3();
    GEO_CHECK(status);
    std::copy(axis, axis + 3, s.axis);
    const MeshGeometryPtr geometry = build(mKind, s);
    MDataHandle out = block.outputValue(a.output, &status);
    GEO_CHECK(status);
    GEO_CHECK(out.set(geometry ? MeshData::make(geometry) : MeshData::make()));
    return block.setClean(plug);
}

} // namespace host
