#include "geometry/PolyPrimitiveCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dg/Namespaces.h"
#include "dg/Scene.h"
#include "geometry/GeometryStatus.h"
#include "geometry/LinearUnitText.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MAngle.h>
#include <maya/MArgList.h>
#include <maya/MDistance.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace host {

namespace {

const double kMaxSubdivisions = 10000;

// What a flag sets.
enum class Target {
    kWidth, kHeight, kDepth, kRadius, kSectionRadius, kTwist,
    kSubdivisionsWidth, kSubdivisionsHeight, kSubdivisionsDepth, kSubdivisionsAxis, kSubdivisionsCap,
    kCreateUVs, kRoundCap
};

struct FlagSpec
{
    const char* shortName;
    const char* longName;
    Target target;
};

struct KindInfo
{
    const char* command;
    const char* baseName;  // "pPlane" -> "pPlane1", "pPlaneShape1"
    int createUVs;         // the command's default (-1: the primitive has no such setting)
    int minimumHeight;     // subdivisions along the height or section
    std::initializer_list<FlagSpec> flags;
};

typedef PolyPrimitiveNode N;

const KindInfo kKinds[N::kKindCount] = {
    {"polyCube", "pCube", 4, 1,
     {{"-w", "-width", Target::kWidth}, {"-h", "-height", Target::kHeight}, {"-d", "-depth", Target::kDepth},
      {"-sx", "-subdivisionsX", Target::kSubdivisionsWidth}, {"-sy", "-subdivisionsY", Target::kSubdivisionsHeight},
      {"-sz", "-subdivisionsZ", Target::kSubdivisionsDepth}, {"-sw", "-subdivisionsWidth", Target::kSubdivisionsWidth},
      {"-sh", "-subdivisionsHeight", Target::kSubdivisionsHeight},
      {"-sd", "-subdivisionsDepth", Target::kSubdivisionsDepth}, {"-cuv", "-createUVs", Target::kCreateUVs}}},
    {"polySphere", "pSphere", 2, 2,
     {{"-r", "-radius", Target::kRadius}, {"-sx", "-subdivisionsX", Target::kSubdivisionsAxis},
      {"-sy", "-subdivisionsY", Target::kSubdivisionsHeight}, {"-sa", "-subdivisionsAxis", Target::kSubdivisionsAxis},
      {"-sh", "-subdivisionsHeight", Target::kSubdivisionsHeight}, {"-cuv", "-createUVs", Target::kCreateUVs}}},
    {"polyPlane", "pPlane", 2, 1,
     {{"-w", "-width", Target::kWidth}, {"-h", "-height", Target::kHeight},
      {"-sx", "-subdivisionsX", Target::kSubdivisionsWidth}, {"-sy", "-subdivisionsY", Target::kSubdivisionsHeight},
      {"-sw", "-subdivisionsWidth", Target::kSubdivisionsWidth},
      {"-sh", "-subdivisionsHeight", Target::kSubdivisionsHeight}, {"-cuv", "-createUVs", Target::kCreateUVs}}},
    {"polyCylinder", "pCylinder", 3, 1,
     {{"-r", "-radius", Target::kRadius}, {"-h", "-height", Target::kHeight},
      {"-sx", "-subdivisionsX", Target::kSubdivisionsAxis}, {"-sy", "-subdivisionsY", Target::kSubdivisionsHeight},
      {"-sz", "-subdivisionsZ", Target::kSubdivisionsCap}, {"-sa", "-subdivisionsAxis", Target::kSubdivisionsAxis},
      {"-sh", "-subdivisionsHeight", Target::kSubdivisionsHeight}, {"-sc", "-subdivisionsCaps", Target::kSubdivisionsCap},
      {"-rcp", "-roundCap", Target::kRoundCap}, {"-cuv", "-createUVs", Target::kCreateUVs}}},
    {"polyCone", "pCone", 3, 1,
     {{"-r", "-radius", Target::kRadius}, {"-h", "-height", Target::kHeight},
      {"-sx", "-subdivisionsX", Target::kSubdivisionsAxis}, {"-sy", "-subdivisionsY", Target::kSubdivisionsHeight},
      {"-sz", "-subdivisionsZ", Target::kSubdivisionsCap}, {"-sa", "-subdivisionsAxis", Target::kSubdivisionsAxis},
      {"-sh", "-subdivisionsHeight", Target::kSubdivisionsHeight}, {"-sc", "-subdivisionsCap", Target::kSubdivisionsCap},
      {"-rcp", "-roundCap", Target::kRoundCap}, {"-cuv", "-createUVs", Target::kCreateUVs}}},
    {"polyTorus", "pTorus", -1, 3,
     {{"-r", "-radius", Target::kRadius}, {"-sr", "-sectionRadius", Target::kSectionRadius},
      {"-tw", "-twist", Target::kTwist}, {"-sx", "-subdivisionsX", Target::kSubdivisionsAxis},
      {"-sy", "-subdivisionsY", Target::kSubdivisionsHeight}, {"-sa", "-subdivisionsAxis", Target::kSubdivisionsAxis},
      {"-sh", "-subdivisionsHeight", Target::kSubdivisionsHeight}}},
};

MStatus fail(const char* command, const MString& message)
{
    MGlobal::displayError(MString(command) + ": " + message);
    return MS::kInvalidParameter;
}

bool isSize(Target t)
{
    return t == Target::kWidth || t == Target::kHeight || t == Target::kDepth || t == Target::kRadius ||
           t == Target::kSectionRadius;
}

// The attribute of the history node a target sets.
MObject attributeFor(N::Kind kind, Target t)
{
    const N::Attributes& a = N::attributesOf(kind);
    switch (t) {
    case Target::kWidth: return a.width;
    case Target::kHeight: return a.height;
    case Target::kDepth: return a.depth;
    case Target::kRadius: return a.radius;
    case Target::kSectionRadius: return a.sectionRadius;
    case Target::kTwist: return a.twist;
    case Target::kSubdivisionsWidth: return a.subdivisionsWidth;
    case Target::kSubdivisionsHeight: return a.subdivisionsHeight;
    case Target::kSubdivisionsDepth: return a.subdivisionsDepth;
    case Target::kSubdivisionsAxis: return a.subdivisionsAxis;
    case Target::kSubdivisionsCap: return a.subdivisionsCap;
    case Target::kCreateUVs: return a.createUVs;
    default: return a.roundCap;
    }
}

} // namespace

MStatus PolyPrimitiveCommand::doIt(const MArgList& args)
{
    const KindInfo& info = kKinds[mKind];
    const char* const c = info.command;
    MArgList rest;
    bool axisGiven = false;
    N::Settings settings = N::defaults(mKind);
    GEO_CHECK(CommandFlags::takeTriple(c, args, "-ax", "-axis", rest, axisGiven, settings.axis));
    std::vector<CommandFlags::Definition> definitions = {
        {"-n", "-name", CommandFlags::kOneArg}, {"-ch", "-constructionHistory", CommandFlags::kOptionalBool}};
    for (const FlagSpec& flag : info.flags)
        definitions.push_back({flag.shortName, flag.longName,
                               flag.target == Target::kRoundCap ? CommandFlags::kOptionalBool : CommandFlags::kOneArg});
    CommandFlags flags;
    GEO_CHECK(flags.parse(c, rest, definitions.data(), definitions.size()));
    if (!flags.objects().empty())
        return fail(c, MString("unexpected argument: ") + flags.objects()[0] + ".");
    const MString name = flags.arg("-n");
    if (flags.isSet("-n") && !isValidNodeName(name))
        return fail(c, MString("\"") + name + "\" is not a valid node name.");
    if (info.createUVs >= 0)
        settings.createUVs = info.createUVs;

    // Sizes are in the UI unit (a default cube under metres is a metre wide).
    const double unit = LinearUnitText::centimetresPerUiUnit();
    const N::Settings nodeDefaults = settings;
    for (double* size : {&settings.width, &settings.height, &settings.depth, &settings.radius, &settings.sectionRadius})
        *size *= unit;
    std::vector<std::pair<Target, double>> given;
    for (const FlagSpec& flag : info.flags) {
        if (!flags.isSet(flag.shortName))
            continue;
        double value = 0;
        if (flag.target == Target::kRoundCap) {
            given.emplace_back(flag.target, flags.boolValue(flag.shortName, false) ? 1.0 : 0.0);
            continue;
        }
        GEO_CHECK(flags.doubleValue(flag.shortName, value));
        const Target t = flag.target;
        const int minimum = t == Target::kSubdivisionsAxis ? 3 : t == Target::kSubdivisionsCap || t == Target::kCreateUVs ? 0
                            : t == Target::kSubdivisionsHeight                                              ? info.minimumHeight
                                                                                                            : 1;
        const double maximum = t == Target::kCreateUVs ? (mKind == N::kCube ? 4 : 3) : kMaxSubdivisions;
        const bool whole = !isSize(t) && t != Target::kTwist;
        // Subdivisions are checked against their range before they become ints.
        const bool bad = whole ? !(value >= minimum && value <= maximum && value == std::floor(value))
                               : isSize(t) ? !(value > 0 && std::isfinite(value)) : !std::isfinite(value);
        if (bad)
            return fail(c, MString(flag.shortName) + " is out of range: " + flags.arg(flag.shortName) + ".");
        switch (t) {
        case Target::kWidth: settings.width = value * unit; continue;
        case Target::kHeight: settings.height = value * unit; continue;
        case Target::kDepth: settings.depth = value * unit; continue;
        case Target::kRadius: settings.radius = value * unit; continue;
        case Target::kSectionRadius: settings.sectionRadius = value * unit; continue;
        case Target::kTwist: settings.twist = MAngle(value, MAngle::uiUnit()).asRadians(); break;
        case Target::kSubdivisionsWidth: settings.subdivisionsWidth = int(value); break;
        case Target::kSubdivisionsHeight: settings.subdivisionsHeight = int(value); break;
        case Target::kSubdivisionsDepth: settings.subdivisionsDepth = int(value); break;
        case Target::kSubdivisionsAxis: settings.subdivisionsAxis = int(value); break;
        case Target::kSubdivisionsCap: settings.subdivisionsCap = int(value); break;
        case Target::kCreateUVs: settings.createUVs = int(value); break;
        default: break;
        }
        given.emplace_back(t, value);
    }
    const bool history = flags.boolValue("-ch", false);
    MeshGeometryPtr geometry;
    if (!history && !(geometry = N::build(mKind, settings)))
        return fail(c, "the subdivisions make a mesh too large to build.");

    MStatus status;
    MObject transform = mModifier.createNode("mesh", MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(mModifier.renameNode(transform, name.length() ? name : MString(info.baseName) + "#"));
    GEO_CHECK(execute(c));
    MFnDagNode fnTransform(transform, &status);
    GEO_CHECK(status);
    MObject shape = fnTransform.child(0, &status);
    GEO_CHECK(status);
    // The shape takes the transform's number: "pCube3" -> "pCubeShape3".
    const MString transformName = fnTransform.name();
    MString shapeName = transformName + "Shape";
    if (!name.length()) {
        shapeName = numberedShapeName(transformName, info.baseName);
    }
    GEO_CHECK(mModifier.renameNode(shape, shapeName));
    MObject node;
    if (history) {
        // The history node keeps what the flags set; the rest stays at its defaults.
        node = mModifier.MDGModifier::createNode(MString(N::typeNameOf(mKind)), &status);
        GEO_CHECK(status);
        GEO_CHECK(mModifier.renameNode(node, MString(N::typeNameOf(mKind)) + "#"));
        const N::Attributes& a = N::attributesOf(mKind);
        if (info.createUVs >= 0)
            GEO_CHECK(mModifier.newPlugValueShort(MPlug(node, a.createUVs), short(settings.createUVs)));
        // Sizes: every one that is not the node's default (all of them in another unit).
        const std::pair<Target, std::pair<double, double>> sizes[] = {
            {Target::kWidth, {settings.width, nodeDefaults.width}},
            {Target::kHeight, {settings.height, nodeDefaults.height}},
            {Target::kDepth, {settings.depth, nodeDefaults.depth}},
            {Target::kRadius, {settings.radius, nodeDefaults.radius}},
            {Target::kSectionRadius, {settings.sectionRadius, nodeDefaults.sectionRadius}}};
        for (const auto& [target, values] : sizes) {
            const MObject attribute = attributeFor(mKind, target);
            if (!attribute.isNull() && values.first != values.second)
                GEO_CHECK(mModifier.newPlugValueMDistance(MPlug(node, attribute),
                                                          MDistance(values.first, MDistance::kCentimeters)));
        }
        for (const auto& [target, value] : given) {
            const MPlug plug(node, attributeFor(mKind, target));
            if (target == Target::kTwist)
                GEO_CHECK(mModifier.newPlugValueMAngle(plug, MAngle(value, MAngle::uiUnit())));
            else if (target == Target::kRoundCap)
                GEO_CHECK(mModifier.newPlugValueBool(plug, value != 0));
            else if (target == Target::kCreateUVs)
                GEO_CHECK(mModifier.newPlugValueShort(plug, short(value)));
            else
                GEO_CHECK(mModifier.newPlugValueInt(plug, int(value)));
        }
        if (axisGiven)
            for (unsigned k = 0; k < 3; ++k)
                GEO_CHECK(mModifier.newPlugValueDouble(MPlug(node, a.axis).child(k), settings.axis[k]));
        GEO_CHECK(mModifier.connect(MPlug(node, a.output), MPlug(shape, MeshShapeNode::inMesh)));
    } else {
        MObject mesh = MeshData::make(geometry);
        GEO_CHECK(mModifier.newPlugValue(MPlug(shape, MeshShapeNode::cachedInMesh), mesh));
    }
    GEO_CHECK(execute(c));
    GEO_CHECK(selectCreated(transform));

    MStringArray result;
    result.append(SceneNames::nodeName(transform));
    result.append(SceneNames::nodeName(history ? node : shape));
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
