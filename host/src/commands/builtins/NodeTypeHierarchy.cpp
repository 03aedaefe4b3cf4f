#include "commands/builtins/NodeTypeHierarchy.h"

#include "commands/scene/KeptSceneData.h"
#include "dg/Registry.h"

#include <maya/MFnDependencyNode.h>

#include <cstring>

namespace host {

namespace {

// Ancestors of Maya's own types, general first, the type itself excluded.
struct KnownLineage
{
    const char* type;
    const char* ancestors;
};
const KnownLineage kKnown[] = {
    {"transform", "containerBase entity dagNode"},
    {"joint", "containerBase entity dagNode transform"},
    {"unknownTransform", "containerBase entity dagNode transform"},
    {"unknownDag", "containerBase entity dagNode"},
    {"mesh", "containerBase entity dagNode shape geometryShape deformableShape controlPoint surfaceShape"},
    {"nurbsCurve", "containerBase entity dagNode shape geometryShape deformableShape controlPoint curveShape"},
    {"locator", "containerBase entity dagNode shape"},
    {"camera", "containerBase entity dagNode shape"},
    {"objectSet", "entity"},
    {"shadingEngine", "entity objectSet"},
    {"skinCluster", "geometryFilter"},
    {"blendShape", "geometryFilter"},
    {"tweak", "geometryFilter"},
    {"polyCube", "polyBase polyCreator polyPrimitive"},
    {"polySphere", "polyBase polyCreator polyPrimitive"},
    {"polyPlane", "polyBase polyCreator polyPrimitive"},
    {"polyCylinder", "polyBase polyCreator polyPrimitive"},
    {"polyCone", "polyBase polyCreator polyPrimitive"},
    {"polyTorus", "polyBase polyCreator polyPrimitive"},
    {"parentConstraint", "containerBase entity dagNode transform constraint"},
    {"pointConstraint", "containerBase entity dagNode transform constraint"},
    {"orientConstraint", "containerBase entity dagNode transform constraint"},
    {"scaleConstraint", "containerBase entity dagNode transform constraint"},
    {"aimConstraint", "containerBase entity dagNode transform constraint"},
    {"animCurveTL", "animCurve"},
    {"animCurveTA", "animCurve"},
    {"animCurveTU", "animCurve"},
    {"animCurveUL", "animCurve"},
    {"animCurveUA", "animCurve"},
    {"animCurveUU", "animCurve"},
};

// Ancestors of types made with the proxy classes (plug-in types), by the class they derive from.
const char* pluginAncestors(MPxNode::Type type)
{
    switch (type) {
    case MPxNode::kLocatorNode: return "containerBase entity dagNode shape locator";
    case MPxNode::kDeformerNode: return "geometryFilter weightGeometryFilter";
    case MPxNode::kGeometryFilter: return "geometryFilter";
    case MPxNode::kSkinCluster: return "geometryFilter skinCluster";
    case MPxNode::kSurfaceShape:
        return "containerBase entity dagNode shape geometryShape deformableShape controlPoint surfaceShape";
    case MPxNode::kTransformNode: return "containerBase entity dagNode transform";
    case MPxNode::kObjectSet: return "entity objectSet";
    default: return "";
    }
}

void appendWords(MStringArray& out, const char* words)
{
    MStringArray split;
    MString(words).split(' ', split);
    for (unsigned i = 0; i < split.length(); ++i)
        out.append(split[i]);
}

} // namespace

MStringArray inheritedTypeNames(const MString& typeName)
{
    MStringArray names;
    const NodeType* type = findRegisteredType(typeName);
    if (!type)
        return names;
    const char* ancestors = nullptr;
    for (const KnownLineage& known : kKnown)
        if (typeName == known.type)
            ancestors = known.ancestors;
    if (!ancestors)
        ancestors = pluginAncestors(type->info.type);  // types made with the proxy classes
    if (!*ancestors) {
        // A host type Maya's table does not list: place it by what it is.
        ancestors = type->isTransform ? "containerBase entity dagNode transform"
                    : type->isShape       ? "containerBase entity dagNode shape"
                    : type->isDag         ? "containerBase entity dagNode"
                                          : "";
    }
    if (*ancestors)
        appendWords(names, ancestors);
    names.append(typeName);
    return names;
}

MString nodeTypeName(const MObject& node)
{
    const MString real = KeptSceneData::realTypeOf(node);
    return real.length() > 0 ? real : MFnDependencyNode(node).typeName();
}

MStringArray inheritedTypeNames(const MObject& node)
{
    const MString standIn = MFnDependencyNode(node).typeName();
    const MString real = KeptSceneData::realTypeOf(node);
    if (real.length() == 0 || real == standIn)
        return inheritedTypeNames(standIn);
    MStringArray names;
    for (const KnownLineage& known : kKnown)
        if (real == known.type)
            appendWords(names, known.ancestors);
    if (names.length() == 0) {
        // Placed where its stand-in is ("unknownDag" under dagNode ...).
        names = inheritedTypeNames(standIn);
        if (names.length() > 0)
            names.remove(names.length() - 1);
    }
    names.append(real);
    return names;
}

bool isOfType(const MObject& node, const MString& type)
{
    if (MFnDependencyNode(node).typeName() == type)
        return true;
    const MStringArray names = inheritedTypeNames(node);
    for (unsigned i = 0; i < names.length(); ++i)
        if (names[i] == type)
            return true;
    return false;
}

} // namespace host
