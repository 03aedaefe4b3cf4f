#include "deformers/SkinClusterCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "dag/DagAttributes.h"
#include "dag/JointNode.h"
#include "dag/ObjectSetNode.h"
#include "deformers/AttributeBuilders.h"
#include "deformers/BindPose.h"
#include "deformers/BindWeights.h"
#include "deformers/GroupNodes.h"
#include "deformers/SkinClusterNode.h"
#include "deformers/TweakNode.h"
#include "dg/Data.h"
#include "dg/Scene.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/DeformerCommand.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MGlobal.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <cmath>
#include <set>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-tsb", "-toSelectedBones", CommandFlags::kNoArg},
    {"-mi", "-maximumInfluences", CommandFlags::kOneArg},
    {"-dr", "-dropoffRate", CommandFlags::kOneArg},
    {"-nw", "-normalizeWeights", CommandFlags::kOneArg},
    {"-omi", "-obeyMaxInfluences", CommandFlags::kOptionalBool},
    {"-sm", "-skinMethod", CommandFlags::kOneArg},
    {"-bm", "-bindMethod", CommandFlags::kOneArg},
    {"-n", "-name", CommandFlags::kOneArg},
    {"-inf", "-influence", CommandFlags::kNoArg},
    {"-g", "-geometry", CommandFlags::kNoArg},
    {"-uct", "-useComponentTags", CommandFlags::kOptionalBool},
};

MStatus fail(const MString& message)
{
    MGlobal::displayError("skinCluster: " + message);
    return MS::kInvalidParameter;
}

MStatus intFlag(const CommandFlags& flags, const char* flag, int low, int high, int& value)
{
    if (!flags.isSet(flag))
        return MS::kSuccess;
    double number = 0;
    DEFORMER_CHECK(flags.doubleValue(flag, number));
    if (!(number >= low && number <= high) || number != std::floor(number))
        return fail(MString(flag) + " takes a whole number from " + low + " to " + high + ".");
    value = int(number);
    return MS::kSuccess;
}

// Joints in hierarchy order: a joint, then its child joints depth first.
void addSkeleton(const MDagPath& joint, std::vector<MDagPath>& out, std::set<Node*>& seen)
{
    if (seen.insert(nodeOf(joint.node())).second)
        out.push_back(joint);
    for (unsigned i = 0; i < joint.childCount(); ++i) {
        MDagPath child = joint;
        child.push(joint.child(i));
        if (child.node().hasFn(MFn::kJoint))
            addSkeleton(child, out, seen);
    }
}

MDagPath rootJointOf(const MDagPath& joint)
{
    MDagPath root = joint, up = joint;
    while (up.length() > 1) {
        up.pop();
        if (!up.node().hasFn(MFn::kJoint))
            break;
        root = up;
    }
    return root;
}

// The skinCluster already in a shape's history, if any.
MObject boundSkin(const MDagPath& shape)
{
    MPlug input = MFnDependencyNode(shape.node()).findPlug(shape.hasFn(MFn::kMesh) ? "inMesh" : "create", false);
    for (int depth = 0; depth < 64 && !input.isNull(); ++depth) {
        const MPlug source = input.source();
        if (source.isNull())
            break;
        const MObject node = source.node();
        if (node.hasFn(MFn::kSkinClusterFilter))
            return node;
        MFnDependencyNode fn(node);
        MPlug inputs = fn.findPlug("input", false);
        if (!inputs.isNull() && source.isElement()) {
            input = inputs.elementByLogicalIndex(source.logicalIndex()).child(0);
        } else {
            input = fn.findPlug("inputGeometry", false);
        }
    }
    return MObject();
}

MObject matrixValue(const MMatrix& m)
{
    MFnMatrixData fn;
    return fn.create(m);
}

MStatus worldPoints(const MDagPath& shape, std::vector<double>& xyz)
{
    MPointArray points;
    MStatus status = shape.hasFn(MFn::kMesh) ? MFnMesh(shape).getPoints(points, MSpace::kWorld)
                                             : MFnNurbsCurve(shape).getCVs(points, MSpace::kWorld);
    DEFORMER_CHECK(status);
    xyz.resize(size_t(points.length()) * 3);
    for (unsigned i = 0; i < points.length(); ++i)
        for (unsigned k = 0; k < 3; ++k)
            xyz[3 * i + k] = points[i][k];
    return MS::kSuccess;
}

InfluenceShape shapeOf(const MDagPath& influence)
{
    InfluenceShape shape;
    const MMatrix world = influence.inclusiveMatrix();
    for (int k = 0; k < 3; ++k)
        shape.position[k] = world(3, k);
    for (unsigned i = 0; i < influence.childCount(); ++i) {
        MDagPath child = influence;
        child.push(influence.child(i));
        if (!child.node().hasFn(MFn::kJoint))
            continue;
        const MMatrix childWorld = child.inclusiveMatrix();
        shape.boneEnds.push_back({childWorld(3, 0), childWorld(3, 1), childWorld(3, 2)});
    }
    return shape;
}

MStatus query(const CommandFlags& flags)
{
    if (flags.objects().size() != 1)
        return fail("-query takes one skinCluster.");
    MObject skin;
    DEFORMER_CHECK(SceneNames::findNode("skinCluster", flags.objects()[0], skin));
    if (!skin.hasFn(MFn::kSkinClusterFilter))
        return fail(flags.objects()[0] + " is not a skinCluster.");
    const MFnDependencyNode fn(skin);
    if (flags.isSet("-inf")) {
        MStringArray names;
        for (const auto& influence : SkinClusterNode::influencesOf(skin))
            names.append(influence.second.partialPathName());
        MPxCommand::setResult(names);
    } else if (flags.isSet("-g")) {
        MStringArray names;
        MDagPath shape;
        if (SkinClusterNode::outputShape(skin, shape))
            names.append(shape.partialPathName());
        MPxCommand::setResult(names);
    } else if (flags.isSet("-mi")) {
        MPxCommand::setResult(MPlug(skin, SkinClusterNode::maxInfluences).asInt());
    } else if (flags.isSet("-nw")) {
        MPxCommand::setResult(int(MPlug(skin, SkinClusterNode::normalizeWeights).asShort()));
    } else if (flags.isSet("-omi")) {
        MPxCommand::setResult(MPlug(skin, SkinClusterNode::maintainMaxInfluences).asBool());
    } else if (flags.isSet("-sm")) {
        MPxCommand::setResult(int(MPlug(skin, SkinClusterNode::skinningMethod).asShort()));
    } else {
        return fail("-query needs a flag: -influence, -geometry, -maximumInfluences, -normalizeWeights, "
                    "-obeyMaxInfluences or -skinMethod.");
    }
    return MS::kSuccess;
}

} // namespace

MStatus SkinClusterCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    DEFORMER_CHECK(flags.parse("skinCluster", args, kFlags));
    mQuery = flags.isQuery();
    if (mQuery)
        return query(flags);

    int maxInfluences = 5, normalize = 1, method = 0, bindMethod = 0;
    double dropoff = 4.0;
    DEFORMER_CHECK(intFlag(flags, "-mi", 1, 1 << 20, maxInfluences));
    DEFORMER_CHECK(intFlag(flags, "-nw", 0, 2, normalize));
    DEFORMER_CHECK(intFlag(flags, "-sm", 0, 2, method));
    DEFORMER_CHECK(intFlag(flags, "-bm", 0, 3, bindMethod));
    if (flags.isSet("-dr")) {
        DEFORMER_CHECK(flags.doubleValue("-dr", dropoff));
        if (!(dropoff >= 0.1 && dropoff <= 10.0))
            return fail("-dropoffRate takes a value from 0.1 to 10.");
    }
    if (bindMethod != 0)
        MGlobal::displayWarning("skinCluster: only the closest distance bind method is supported; it is used.");
    const MString name = flags.isSet("-n") ? flags.arg("-n") : MString("skinCluster#");
    if (flags.isSet("-n") && !isValidNodeName(name))
        return fail("\"" + name + "\" is not a valid node name.");

    // Influences are the transforms named; the geometry is the last other object.
    MSelectionList list;
    DEFORMER_CHECK(SceneNames::namedOrSelected("skinCluster", flags.objects(), list));
    std::vector<MDagPath> named;
    MDagPath geometry;
    MStringArray geometries;
    for (unsigned i = 0; i < list.length(); ++i) {
        MDagPath path, shape;
        if (!list.getDagPath(i, path)) {
            MObject node;
            list.getDependNode(i, node);
            return fail(SceneNames::nodeName(node) + " is not a joint, transform or geometry.");
        }
        if (path.node().hasFn(MFn::kTransform) && DeformerCommand::deformableShape(path, shape) != MS::kSuccess) {
            named.push_back(path);
            continue;
        }
        if (!DeformerCommand::deformableShape(path, shape))
            return fail(path.partialPathName() + " is not a joint, transform or geometry.");
        if (!geometry.isValid() || !(geometry == shape)) {
            geometry = shape;
            geometries.append(path.partialPathName());
        }
    }
    if (geometries.length() == 0)
        return fail("name or select the geometry to bind.");
    if (geometries.length() > 1)
        return fail("one geometry is bound at a time, not " + geometries[0] + " and " + geometries[1] + ".");
    if (named.empty())
        return fail("name or select the joints to bind " + geometries[0] + " to.");
    const MObject existing = boundSkin(geometry);
    if (!existing.isNull())
        return fail(geometries[0] + " is already bound to " + MFnDependencyNode(existing).name() + ".");

    std::vector<MDagPath> influences;
    std::set<Node*> seen;
    for (const MDagPath& path : named) {
        if (flags.isSet("-tsb") || !path.node().hasFn(MFn::kJoint)) {
            if (seen.insert(nodeOf(path.node())).second)
                influences.push_back(path);
        } else {
            addSkeleton(rootJointOf(path), influences, seen);
        }
    }

    // Weights by closest distance, from where the points and influences are now.
    std::vector<double> points;
    DEFORMER_CHECK(worldPoints(geometry, points));
    std::vector<InfluenceShape> shapes;
    for (const MDagPath& influence : influences)
        shapes.push_back(shapeOf(influence));
    SkinWeightTable weights;
    closestDistanceWeights(points.data(), points.size() / 3, shapes, maxInfluences, dropoff, weights);

    MStatus status;
    MDGModifier& dg = mModifier;  // a dependency node, not a DAG node
    const MObject skin = dg.createNode(SkinClusterNode::typeName, &status);
    DEFORMER_CHECK(status);
    DEFORMER_CHECK(mModifier.renameNode(skin, name));
    DEFORMER_CHECK(execute("skinCluster"));
    status = connectSkin(skin, geometry, influences, weights, flags, maxInfluences, normalize, method, dropoff);
    if (!status) {
        // What was done so far goes again.
        mModifier.undoIt();
        return status;
    }
    MStringArray result;
    result.append(MFnDependencyNode(skin).name());
    setResult(result);
    return MS::kSuccess;
}

// Maya's wiring without component tags: Orig -> groupParts -> tweak -> groupParts -> skinCluster,
// each deformer with a groupId naming its members on the shape and a deformer set holding them.
MStatus SkinClusterCommand::queueGroupedChain(const MObject& skin, const MDagPath& geometry)
{
    MStatus status;
    MDGModifier& dg = mModifier;
    const MObject tweak = dg.createNode(TweakNode::typeName, &status);
    DEFORMER_CHECK(status);
    DEFORMER_CHECK(mModifier.renameNode(tweak, "tweak#"));
    DEFORMER_CHECK(execute("skinCluster"));
    DEFORMER_CHECK(DeformerCommand::queueInsertion(mModifier, tweak, geometry, 0));
    DEFORMER_CHECK(execute("skinCluster"));
    DEFORMER_CHECK(DeformerCommand::queueInsertion(mModifier, skin, geometry, 0));
    DEFORMER_CHECK(execute("skinCluster"));
    const MString skinName = MFnDependencyNode(skin).name();
    const struct
    {
        const MObject& deformer;
        MString groupId, groupParts, set;
    } members[] = {{tweak, "groupId#", "groupParts#", "tweakSet#"},
                   {skin, skinName + "GroupId", skinName + "GroupParts", skinName + "Set"}};
    auto* components = new ComponentListData;
    components->components.append(geometry.hasFn(MFn::kMesh) ? "vtx[*]" : "cv[*]");
    MObject everyPoint = ObjectAccess::make(components);
    const MPlug groups = MPlug(geometry.node(), DagAttributes::instObjGroups)
                             .elementByLogicalIndex(geometry.instanceNumber())
                             .child(DagAttributes::objectGroups);
    unsigned group = groups.numElements();
    for (const auto& member : members) {
        const MObject groupId = dg.createNode(GroupIdNode::typeName, &status);
        DEFORMER_CHECK(status);
        const MObject groupParts = dg.createNode(GroupPartsNode::typeName, &status);
        DEFORMER_CHECK(status);
        const MObject set = dg.createNode(ObjectSetNode::typeName, &status);
        DEFORMER_CHECK(status);
        DEFORMER_CHECK(mModifier.renameNode(groupId, member.groupId));
        DEFORMER_CHECK(mModifier.renameNode(groupParts, member.groupParts));
        DEFORMER_CHECK(mModifier.renameNode(set, member.set));
        DEFORMER_CHECK(mModifier.newPlugValue(MPlug(groupParts, GroupPartsNode::inputComponents), everyPoint));
        DEFORMER_CHECK(mModifier.newPlugValueBool(MPlug(set, ObjectSetNode::verticesOnlySet), true));
        // The group parts go in front of the deformer's input.
        const MPlug input = MPlug(member.deformer, MPxGeometryFilter::input).elementByLogicalIndex(0);
        const MPlug geometryIn = input.child(MPxGeometryFilter::inputGeom);
        const MPlug source = geometryIn.source();
        DEFORMER_CHECK(mModifier.disconnect(source, geometryIn));
        DEFORMER_CHECK(mModifier.connect(source, MPlug(groupParts, GroupPartsNode::inputGeometry)));
        DEFORMER_CHECK(mModifier.connect(MPlug(groupParts, GroupPartsNode::outputGeometry), geometryIn));
        const MPlug id(groupId, GroupIdNode::groupId);
        const MPlug shapeGroup = groups.elementByLogicalIndex(group++);
        DEFORMER_CHECK(mModifier.connect(id, MPlug(groupParts, GroupPartsNode::groupId)));
        DEFORMER_CHECK(mModifier.connect(id, input.child(MPxGeometryFilter::groupId)));
        DEFORMER_CHECK(mModifier.connect(id, shapeGroup.child(DagAttributes::objectGroupId)));
        DEFORMER_CHECK(mModifier.connect(shapeGroup, MPlug(set, ObjectSetNode::dagSetMembers).elementByLogicalIndex(0)));
        DEFORMER_CHECK(mModifier.connect(MPlug(groupId, MPxNode::message),
                                         MPlug(set, ObjectSetNode::groupNodes).elementByLogicalIndex(0)));
        DEFORMER_CHECK(mModifier.connect(MPlug(member.deformer, MPxNode::message),
                                         MPlug(set, ObjectSetNode::usedBy).elementByLogicalIndex(0)));
    }
    return MS::kSuccess;
}

MStatus SkinClusterCommand::connectSkin(const MObject& skin, const MDagPath& geometry,
                                        const std::vector<MDagPath>& influences, const SkinWeightTable& weights,
                                        const CommandFlags& flags, int maxInfluences, int normalize, int method,
                                        double dropoff)
{
    MStatus status;
    const MPlug history = MPlug(geometry.node(), geometry.hasFn(MFn::kMesh) ? MeshShapeNode::inMesh
                                                                             : CurveShapeNode::create)
                              .source();
    if (flags.boolValue("-uct", true) || !history.isNull()) {
        DEFORMER_CHECK(DeformerCommand::queueInsertion(mModifier, skin, geometry, 0));
    } else {
        DEFORMER_CHECK(queueGroupedChain(skin, geometry));
    }
    const MMatrix geometryMatrix = geometry.inclusiveMatrix(&status);
    DEFORMER_CHECK(status);
    MObject geometryValue = matrixValue(geometryMatrix);
    DEFORMER_CHECK(mModifier.newPlugValue(MPlug(skin, SkinClusterNode::geomMatrix), geometryValue));
    MFnNumericAttribute lockFn;
    for (unsigned j = 0; j < influences.size(); ++j) {
        const MObject node = influences[j].node();
        const unsigned instance = influences[j].instanceNumber();
        DEFORMER_CHECK(mModifier.connect(
            MPlug(node, DagAttributes::worldMatrix).elementByLogicalIndex(instance),
            MPlug(skin, SkinClusterNode::matrix).elementByLogicalIndex(j)));
        MObject preMatrix = matrixValue(influences[j].inclusiveMatrixInverse());
        DEFORMER_CHECK(mModifier.newPlugValue(MPlug(skin, SkinClusterNode::bindPreMatrix).elementByLogicalIndex(j),
                                              preMatrix));
        DEFORMER_CHECK(mModifier.newPlugValueDouble(
            MPlug(skin, SkinClusterNode::dropoff).elementByLogicalIndex(j), dropoff));
        // Each influence gets Maya's weight lock, connected to the skinCluster's.
        MFnDependencyNode influenceFn(node);
        MPlug lock = influenceFn.findPlug("lockInfluenceWeights", false);
        if (lock.isNull()) {
            MObject attribute = lockFn.create("lockInfluenceWeights", "liw", MFnNumericData::kBoolean, 0, &status);
            DEFORMER_CHECK(status);
            DEFORMER_CHECK(mModifier.addAttribute(node, attribute));
            DEFORMER_CHECK(execute("skinCluster"));
            lock = influenceFn.findPlug("lockInfluenceWeights", false);
        }
        DEFORMER_CHECK(mModifier.connect(lock, MPlug(skin, SkinClusterNode::lockWeights).elementByLogicalIndex(j)));
    }
    DEFORMER_CHECK(mModifier.connect(MPlug(influences[0].node(), MPxNode::message),
                                     MPlug(skin, SkinClusterNode::paintTrans)));
    DEFORMER_CHECK(mModifier.newPlugValueInt(MPlug(skin, SkinClusterNode::maxInfluences), maxInfluences));
    DEFORMER_CHECK(mModifier.newPlugValueBool(MPlug(skin, SkinClusterNode::maintainMaxInfluences),
                                              flags.boolValue("-omi", false)));
    DEFORMER_CHECK(mModifier.newPlugValueShort(MPlug(skin, SkinClusterNode::normalizeWeights), short(normalize)));
    DEFORMER_CHECK(mModifier.newPlugValueShort(MPlug(skin, SkinClusterNode::skinningMethod), short(method)));
    const MPlug lists(skin, SkinClusterNode::weightList);
    for (unsigned p = 0; p < weights.pointCount(); ++p) {
        const MPlug values = lists.elementByLogicalIndex(p).child(0);
        for (uint32_t k = weights.offsets[p]; k < weights.offsets[p + 1]; ++k)
            DEFORMER_CHECK(mModifier.newPlugValueDouble(values.elementByLogicalIndex(weights.influences[k]),
                                                        weights.weights[k]));
    }

    std::vector<MDagPath> joints;
    for (const MDagPath& influence : influences)
        if (influence.node().hasFn(MFn::kJoint))
            joints.push_back(influence);
    if (!joints.empty()) {
        MObject pose;
        DEFORMER_CHECK(queueBindPose(mModifier, joints, pose));
        DEFORMER_CHECK(mModifier.connect(MPlug(pose, MPxNode::message), MPlug(skin, SkinClusterNode::bindPose)));
    }
    return execute("skinCluster");
}

} // namespace host
