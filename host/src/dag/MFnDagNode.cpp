#include <maya/MFnDagNode.h>

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/TransformNode.h"
#include "dg/FnSet.h"
#include "dg/Node.h"
#include "geometry/CurveData.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MPlug.h>
#include <maya/MPxLocatorNode.h>

#include <algorithm>

using namespace host;

const unsigned int MFnDagNode::kNextPos = 0xffffffffu;

namespace {

// Object-space box of a DAG node: the locator's own box, a mesh's points, a curve's
// CVs, or for a transform the union of its children's boxes in its space.
MBoundingBox boxOf(Node* node, MStatus& status)
{
    MBoundingBox box;
    if (auto* locator = dynamic_cast<MPxLocatorNode*>(node->user)) {
        if (locator->isBounded())
            box = locator->boundingBox();
        return box;
    }
    if (dynamic_cast<MeshShapeNode*>(node->user)) {
        // A mesh's box holds its evaluated points in object space.
        MObject data = MPlug(node->object(), MeshShapeNode::outMesh).asMObject(&status);
        if (const MeshData* mesh = status ? meshDataOf(data) : nullptr) {
            const std::vector<float>& points = mesh->read().points;
            for (size_t i = 0; i + 2 < points.size(); i += 3)
                box.expand(MPoint(points[i], points[i + 1], points[i + 2]));
        }
        return box;
    }
    if (dynamic_cast<CurveShapeNode*>(node->user)) {
        // A curve lies within the hull of its CVs, as Maya's curve box does.
        MObject data = MPlug(node->object(), CurveShapeNode::local).asMObject(&status);
        if (const CurveData* curve = status ? curveDataOf(data) : nullptr) {
            const std::vector<double>& cvs = curve->geometry.cvs;
            for (size_t i = 0; i + 2 < cvs.size(); i += 3)
                box.expand(MPoint(cvs[i], cvs[i + 1], cvs[i + 2]));
        }
        return box;
    }
    if (!node->isTransform)
        return box;
    for (Node* child : node->children) {
        MBoundingBox childBox = boxOf(child, status);
        if (!status)
            return box;
        MMatrix local = TransformNode::localMatrixOf(child, &status);
        if (!status)
            return box;
        childBox.transformUsing(local);
        box.expand(childBox);
    }
    return box;
}

} // namespace

MFnDagNode::MFnDagNode() = default;

MFnDagNode::MFnDagNode(MObject& object, MStatus* ReturnStatus)
{
    init(object, ReturnStatus);
}

MFnDagNode::MFnDagNode(const MObject& object, MStatus* ReturnStatus)
{
    init(object, ReturnStatus);
}

MFnDagNode::MFnDagNode(const MDagPath& object, MStatus* ReturnStatus)
{
    MStatus status = setObject(object);
    setStatus(ReturnStatus, status);
}

MFnDagNode::~MFnDagNode() = default;

MFn::Type MFnDagNode::type() const
{
    return MFn::kDagNode;
}

MStatus MFnDagNode::setObject(MObject& object)
{
    return setObject(static_cast<const MObject&>(object));
}

MStatus MFnDagNode::setObject(const MObject& object)
{
    fPath = MDagPath();
    return MFnDependencyNode::setObject(object);
}

MStatus MFnDagNode::setObject(const MDagPath& path)
{
    MStatus status;
    fPath = MDagPath();
    if (!path.isValid(&status) || path.length() == 0) {
        MFnDependencyNode::setObject(MObject::kNullObj);
        return MS::kInvalidParameter;
    }
    MObject node = path.node(&status);
    DAG_CHECK(status);
    DAG_CHECK(MFnDependencyNode::setObject(node));
    fPath = path;
    return MS::kSuccess;
}

MObject MFnDagNode::create(const MTypeId& typeId, const MObject& parent, MStatus* ReturnStatus)
{
    return create(typeId, MString(), parent, ReturnStatus);
}

MObject MFnDagNode::create(const MString& type, const MObject& parent, MStatus* ReturnStatus)
{
    return create(type, MString(), parent, ReturnStatus);
}

MObject MFnDagNode::create(const MTypeId& typeId, const MString& name, const MObject& parent,
                           MStatus* ReturnStatus)
{
    MObject node, transform;
    MStatus status = instantiateDagNode(nullptr, &typeId, parent, node, transform);
    if (status)
        status = addDagNodes(node, transform, parent, name, true);
    const MObject& result = transform.isNull() ? node : transform;
    if (status)
        status = setObject(result);
    setStatus(ReturnStatus, status);
    return status ? result : MObject::kNullObj;
}

MObject MFnDagNode::create(const MString& type, const MString& name, const MObject& parent, MStatus* ReturnStatus)
{
    MObject node, transform;
    MStatus status = instantiateDagNode(&type, nullptr, parent, node, transform);
    if (status)
        status = addDagNodes(node, transform, parent, name, true);
    const MObject& result = transform.isNull() ? node : transform;
    if (status)
        status = setObject(result);
    setStatus(ReturnStatus, status);
    return status ? result : MObject::kNullObj;
}

unsigned int MFnDagNode::parentCount(MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    setStatus(ReturnStatus, node ? MS::kSuccess : MS::kInvalidParameter);
    if (!node)
        return 0;
    return node->parents.empty() ? 1u : static_cast<unsigned int>(node->parents.size());
}

MObject MFnDagNode::parent(unsigned int i, MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    if (!node || i >= parentCount()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject::kNullObj;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return node->parents.empty() ? worldObject() : node->parents[i]->object();
}

unsigned int MFnDagNode::childCount(MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    setStatus(ReturnStatus, node ? MS::kSuccess : MS::kInvalidParameter);
    return node ? static_cast<unsigned int>(node->children.size()) : 0;
}

MObject MFnDagNode::child(unsigned int i, MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    if (!node || i >= node->children.size()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject::kNullObj;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return node->children[i]->object();
}

bool MFnDagNode::hasChild(const MObject& other, MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    Node* child = nodeOf(other);
    setStatus(ReturnStatus, node ? MS::kSuccess : MS::kInvalidParameter);
    return node && child && std::find(node->children.begin(), node->children.end(), child) != node->children.end();
}

bool MFnDagNode::hasParent(const MObject& other, MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    setStatus(ReturnStatus, node ? MS::kSuccess : MS::kInvalidParameter);
    if (!node)
        return false;
    if (isWorld(other))
        return node->parents.empty();
    Node* parent = nodeOf(other);
    return parent && std::find(node->parents.begin(), node->parents.end(), parent) != node->parents.end();
}

bool MFnDagNode::isChildOf(const MObject& other, MStatus* ReturnStatus) const
{
    return hasParent(other, ReturnStatus);
}

bool MFnDagNode::isParentOf(const MObject& other, MStatus* ReturnStatus) const
{
    return hasChild(other, ReturnStatus);
}

MStatus MFnDagNode::addChild(MObject& child, unsigned int index, bool keepExistingParents)
{
    Node* node = dagNodeOf(mObject);
    Node* c = dagNodeOf(child);
    if (!node || !c || !c->inScene)
        return MS::kInvalidParameter;
    int position = index == kNextPos ? -1 : static_cast<int>(index);
    return host::addChild(node, c, position, keepExistingParents);
}

MStatus MFnDagNode::removeChild(MObject& child)
{
    Node* node = dagNodeOf(mObject);
    Node* c = dagNodeOf(child);
    if (!node || !c)
        return MS::kInvalidParameter;
    return host::removeChild(node, c);
}

MStatus MFnDagNode::removeChildAt(unsigned int index)
{
    Node* node = dagNodeOf(mObject);
    if (!node || index >= node->children.size())
        return MS::kInvalidParameter;
    return host::removeChild(node, node->children[index]);
}

MStatus MFnDagNode::getPath(MDagPath& path) const
{
    if (fPath.isValid()) {
        path = fPath;
        return MS::kSuccess;
    }
    Node* node = dagNodeOf(mObject);
    if (!node)
        return MS::kInvalidParameter;
    return pathOfInstance(node, 0, path);
}

MStatus MFnDagNode::getAllPaths(MDagPathArray& paths) const
{
    paths.clear();
    Node* node = dagNodeOf(mObject);
    if (!node)
        return MS::kInvalidParameter;
    allPathsTo(node, paths);
    return MS::kSuccess;
}

MDagPath MFnDagNode::dagPath(MStatus* ReturnStatus) const
{
    MDagPath path;
    MStatus status = getPath(path);
    setStatus(ReturnStatus, status);
    return path;
}

MString MFnDagNode::fullPathName(MStatus* ReturnStatus) const
{
    MDagPath path;
    MStatus status = getPath(path);
    setStatus(ReturnStatus, status);
    return status ? path.fullPathName() : MString();
}

MString MFnDagNode::partialPathName(MStatus* ReturnStatus) const
{
    MDagPath path;
    MStatus status = getPath(path);
    setStatus(ReturnStatus, status);
    return status ? path.partialPathName() : MString();
}

bool MFnDagNode::isIntermediateObject(MStatus* ReturnStatus) const
{
    if (!dagNodeOf(mObject)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    return MPlug(mObject, DagAttributes::intermediateObject).asBool(ReturnStatus);
}

MStatus MFnDagNode::setIntermediateObject(bool isIntermediate)
{
    if (!dagNodeOf(mObject))
        return MS::kInvalidParameter;
    MPlug plug(mObject, DagAttributes::intermediateObject);
    return plug.setBool(isIntermediate);
}

bool MFnDagNode::isInstanced(bool indirect, MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    setStatus(ReturnStatus, node ? MS::kSuccess : MS::kInvalidParameter);
    if (!node)
        return false;
    return indirect ? instanceCount(node) > 1 : node->parents.size() > 1;
}

unsigned int MFnDagNode::instanceCount(bool total, MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    setStatus(ReturnStatus, node ? MS::kSuccess : MS::kInvalidParameter);
    if (!node)
        return 0;
    if (total)
        return host::instanceCount(node);
    return node->parents.empty() ? 1u : static_cast<unsigned int>(node->parents.size());
}

bool MFnDagNode::inUnderWorld(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, dagNodeOf(mObject) ? MS::kSuccess : MS::kInvalidParameter);
    return false;
}

MBoundingBox MFnDagNode::boundingBox(MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    if (!node) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MBoundingBox();
    }
    MStatus status;
    MBoundingBox box = boxOf(node, status);
    setStatus(ReturnStatus, status);
    return box;
}

MMatrix MFnDagNode::transformationMatrix(MStatus* ReturnStatus) const
{
    Node* node = dagNodeOf(mObject);
    if (!node) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MMatrix::identity;
    }
    return TransformNode::localMatrixOf(node, ReturnStatus);
}
