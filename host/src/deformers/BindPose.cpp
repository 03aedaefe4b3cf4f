#include "deformers/BindPose.h"

#include "commands/builtins/SceneNames.h"
#include "dag/JointNode.h"
#include "deformers/AttributeBuilders.h"
#include "deformers/DagPoseNode.h"
#include "dg/Node.h"

#include <maya/MEulerRotation.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMatrixData.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace host {

namespace {

void readVector(const MObject& node, const MObject& attribute, double* out)
{
    const MPlug plug(node, attribute);
    for (unsigned k = 0; k < 3; ++k)
        out[k] = plug.child(k).asDouble();
}

void storeQuaternion(const MQuaternion& q, double* out)
{
    out[0] = q.x, out[1] = q.y, out[2] = q.z, out[3] = q.w;
}

MObject matrixValue(const MMatrix& m, const XformParts* parts = nullptr)
{
    MFnMatrixData fn;
    MObject data = fn.create(m);
    if (MatrixData* matrix = dataAs<MatrixData>(data, MFnData::kMatrix); matrix && parts)
        matrix->xform.reset(new XformParts(*parts));
    return data;
}

// The pose's members in the order a pose lists them: from the top of the hierarchy down.
void addInOrder(const MDagPath& path, const std::set<Node*>& wanted, std::vector<MDagPath>& ordered,
                std::set<Node*>& done)
{
    Node* node = nodeOf(path.node());
    if (wanted.count(node) && done.insert(node).second)
        ordered.push_back(path);
    for (unsigned i = 0; i < path.childCount(); ++i) {
        MDagPath child = path;
        child.push(path.child(i));
        if (child.node().hasFn(MFn::kTransform))
            addInOrder(child, wanted, ordered, done);
    }
}

// Queues a channel's new value unless it is locked or driven; false when it was kept.
bool queueChannel(MDGModifier& modifier, const MPlug& plug, double value)
{
    if (plug.isLocked() || plug.isDestination())
        return std::abs(plug.asDouble() - value) < 1e-12;
    modifier.newPlugValueDouble(plug, value);
    return true;
}

bool queueTriple(MDGModifier& modifier, const MObject& node, const MObject& attribute, const double* values)
{
    const MPlug plug(node, attribute);
    bool all = true;
    for (unsigned k = 0; k < 3; ++k)
        all = queueChannel(modifier, plug.child(k), values[k]) && all;
    return all;
}

void eulerOf(const double* quaternion, double* angles)
{
    const MEulerRotation e = MQuaternion(quaternion[0], quaternion[1], quaternion[2], quaternion[3]).asEulerRotation();
    angles[0] = e.x, angles[1] = e.y, angles[2] = e.z;
}

} // namespace

XformParts xformPartsOf(const MObject& transform)
{
    XformParts parts;
    double* v = parts.values;
    readVector(transform, TransformNode::scale, v + XformParts::kScale);
    readVector(transform, TransformNode::rotate, v + XformParts::kRotate);
    v[XformParts::kRotateOrder] = MPlug(transform, TransformNode::rotateOrder).asShort();
    readVector(transform, TransformNode::translate, v + XformParts::kTranslate);
    readVector(transform, TransformNode::shear, v + XformParts::kShear);
    readVector(transform, TransformNode::scalePivot, v + XformParts::kScalePivot);
    readVector(transform, TransformNode::scalePivotTranslate, v + XformParts::kScalePivotTranslate);
    readVector(transform, TransformNode::rotatePivot, v + XformParts::kRotatePivot);
    readVector(transform, TransformNode::rotatePivotTranslate, v + XformParts::kRotatePivotTranslate);
    double axis[3], orient[3] = {0, 0, 0}, parentScale[3] = {1, 1, 1};
    readVector(transform, TransformNode::rotateAxis, axis);
    storeQuaternion(MEulerRotation(axis[0], axis[1], axis[2]).asQuaternion(), v + XformParts::kRotateAxis);
    if (transform.hasFn(MFn::kJoint)) {
        readVector(transform, JointNode::jointOrient, orient);
        readVector(transform, JointNode::inverseScale, parentScale);
        parts.compensate = MPlug(transform, JointNode::segmentScaleCompensate).asBool();
    }
    storeQuaternion(MEulerRotation(orient[0], orient[1], orient[2]).asQuaternion(), v + XformParts::kJointOrient);
    for (int k = 0; k < 3; ++k)
        v[XformParts::kInverseScale + k] = parentScale[k] != 0.0 ? 1.0 / parentScale[k] : 1.0;
    return parts;
}

MStatus queueBindPose(MDagModifier& modifier, const std::vector<MDagPath>& joints, MObject& pose)
{
    std::set<Node*> wanted;
    std::vector<MDagPath> roots;
    for (const MDagPath& joint : joints) {
        MDagPath path = joint;
        while (path.length() > 0) {
            wanted.insert(nodeOf(path.node()));
            if (path.length() == 1)
                roots.push_back(path);
            path.pop();
        }
    }
    std::vector<MDagPath> members;
    std::set<Node*> done;
    for (const MDagPath& root : roots)
        addInOrder(root, wanted, members, done);

    MStatus status;
    MDGModifier& dg = modifier;  // a dependency node, not a DAG node
    pose = dg.createNode(DagPoseNode::typeName, &status);
    DEFORMER_CHECK(status);
    DEFORMER_CHECK(modifier.renameNode(pose, "bindPose#"));
    const MPlug memberPlugs(pose, DagPoseNode::members), parentPlugs(pose, DagPoseNode::parents);
    for (unsigned i = 0; i < members.size(); ++i) {
        const MDagPath& member = members[i];
        const MObject node = member.node();
        DEFORMER_CHECK(modifier.connect(MPlug(node, MPxNode::message), memberPlugs.elementByLogicalIndex(i)));
        MDagPath parent = member;
        parent.pop();
        unsigned parentIndex = unsigned(members.size());
        for (unsigned k = 0; k < i; ++k)
            if (parent.length() > 0 && members[k].node() == parent.node())
                parentIndex = k;
        const MPlug parentPlug = parentPlugs.elementByLogicalIndex(i);
        if (parentIndex < members.size()) {
            DEFORMER_CHECK(modifier.connect(memberPlugs.elementByLogicalIndex(parentIndex), parentPlug));
        } else {
            DEFORMER_CHECK(modifier.connect(MPlug(pose, DagPoseNode::world), parentPlug));
            DEFORMER_CHECK(
                modifier.newPlugValueBool(MPlug(pose, DagPoseNode::global).elementByLogicalIndex(i), true));
        }
        const MMatrix world = member.inclusiveMatrix(&status);
        DEFORMER_CHECK(status);
        const MPlug worldPlug = MPlug(pose, DagPoseNode::worldMatrix).elementByLogicalIndex(i);
        MObject worldValue = matrixValue(world);
        if (node.hasFn(MFn::kJoint)) {
            DEFORMER_CHECK(modifier.newPlugValue(MPlug(node, JointNode::bindPose), worldValue));
            DEFORMER_CHECK(modifier.connect(MPlug(node, JointNode::bindPose), worldPlug));
        } else {
            DEFORMER_CHECK(modifier.newPlugValue(worldPlug, worldValue));
        }
        const XformParts parts = xformPartsOf(node);
        MObject local = matrixValue(parts.asMatrix(), &parts);
        DEFORMER_CHECK(modifier.newPlugValue(MPlug(pose, DagPoseNode::xformMatrix).elementByLogicalIndex(i), local));
    }
    return modifier.newPlugValueBool(MPlug(pose, DagPoseNode::bindPose), true);
}

MStatus queueRestore(MDGModifier& modifier, const MObject& pose, MStringArray& kept)
{
    const MPlug memberPlugs(pose, DagPoseNode::members);
    const MPlug xforms(pose, DagPoseNode::xformMatrix);
    for (unsigned i = 0; i < memberPlugs.numElements(); ++i) {
        const MPlug memberPlug = memberPlugs.elementByPhysicalIndex(i);
        const MPlug source = memberPlug.source();
        if (source.isNull() || !source.node().hasFn(MFn::kTransform))
            continue;
        const MObject node = source.node();
        const MPlug xform = xforms.elementByLogicalIndex(memberPlug.logicalIndex());
        const MObject value = xform.asMObject();  // holds the data while it is read
        const MatrixData* data = dataAs<MatrixData>(value, MFnData::kMatrix);
        if (!data)
            continue;
        XformParts parts;
        if (data->xform) {
            parts = *data->xform;
        } else {
            // A plain matrix: its translate, rotate, scale and shear, about no pivots.
            const MTransformationMatrix tm(data->matrix);
            MTransformationMatrix::RotationOrder order = MTransformationMatrix::kXYZ;
            tm.getScale(parts.values + XformParts::kScale, MSpace::kTransform);
            tm.getRotation(parts.values + XformParts::kRotate, order);
            tm.getShear(parts.values + XformParts::kShear, MSpace::kTransform);
            const MVector t = tm.getTranslation(MSpace::kTransform);
            for (int k = 0; k < 3; ++k)
                parts.values[XformParts::kTranslate + k] = t[k];
            parts.values[XformParts::kRotateAxis + 3] = 1;
            parts.values[XformParts::kJointOrient + 3] = 1;
        }
        const double* v = parts.values;
        bool all = queueTriple(modifier, node, TransformNode::translate, v + XformParts::kTranslate);
        all = queueTriple(modifier, node, TransformNode::rotate, v + XformParts::kRotate) && all;
        all = queueTriple(modifier, node, TransformNode::scale, v + XformParts::kScale) && all;
        all = queueTriple(modifier, node, TransformNode::shear, v + XformParts::kShear) && all;
        double angles[3];
        eulerOf(v + XformParts::kRotateAxis, angles);
        all = queueTriple(modifier, node, TransformNode::rotateAxis, angles) && all;
        if (node.hasFn(MFn::kJoint)) {
            eulerOf(v + XformParts::kJointOrient, angles);
            all = queueTriple(modifier, node, JointNode::jointOrient, angles) && all;
        }
        if (!all)
            kept.append(SceneNames::nodeName(node));
    }
    return MS::kSuccess;
}

} // namespace host
