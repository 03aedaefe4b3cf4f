#include <maya/MDagPath.h>

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/DrawOverrides.h"
#include "dg/FnSet.h"
#include "dg/Node.h"

#include <maya/MDagPathArray.h>
#include <maya/MFnMatrixData.h>
#include <maya/MPlug.h>

#include <algorithm>

using namespace host;

namespace {

// The last node of a path that is still a valid path, or null.
Node* lastNode(const MDagPath& path, MStatus* status)
{
    if (!path.isValid() || DagPathAccess::nodes(path).empty()) {
        setStatus(status, MS::kInvalidParameter);
        return nullptr;
    }
    setStatus(status, MS::kSuccess);
    return nodeOf(DagPathAccess::nodes(path).back());
}

// Value of one of the per-instance matrices of the path's last node.
MMatrix instanceMatrix(const MDagPath& path, const MObject& attribute, MStatus* ReturnStatus)
{
    if (DagPathAccess::isWorld(path)) {
        setStatus(ReturnStatus, MS::kSuccess);
        return MMatrix::identity;
    }
    MStatus status;
    Node* node = lastNode(path, &status);
    unsigned instance = 0;
    if (node && !chainInstance(DagPathAccess::nodes(path), instance))
        status = MS::kInvalidParameter;
    if (!status) {
        setStatus(ReturnStatus, status);
        return MMatrix::identity;
    }
    MPlug plug = MPlug(node->object(), attribute).elementByLogicalIndex(instance, &status);
    MObject data;
    if (status)
        data = plug.asMObject(&status);
    MFnMatrixData fn;
    if (status)
        status = fn.setObject(data);
    MMatrix value = status ? fn.matrix(&status) : MMatrix::identity;
    setStatus(ReturnStatus, status);
    return value;
}

bool flagOnPath(const MDagPath& path, const MObject& attribute, bool wanted, MStatus* ReturnStatus)
{
    MStatus status;
    if (!lastNode(path, &status)) {
        setStatus(ReturnStatus, status);
        return false;
    }
    for (const MObject& object : DagPathAccess::nodes(path)) {
        bool value = MPlug(object, attribute).asBool(&status);
        if (!status) {
            setStatus(ReturnStatus, status);
            return false;
        }
        if (value == wanted) {
            setStatus(ReturnStatus, MS::kSuccess);
            return true;
        }
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return false;
}

// Shapes (non-transform DAG nodes) directly below the path's last node.
void shapesBelow(const MDagPath& path, std::vector<Node*>& shapes)
{
    Node* node = lastNode(path, nullptr);
    if (!node)
        return;
    for (Node* child : node->children)
        if (!child->isTransform)
            shapes.push_back(child);
}

} // namespace

MDagPath::MDagPath() = default;
MDagPath::MDagPath(const MDagPath& src) = default;
MDagPath::~MDagPath() = default;
MDagPath& MDagPath::operator=(const MDagPath& src) = default;

bool MDagPath::operator==(const MDagPath& other) const
{
    return fWorld == other.fWorld && fNodes == other.fNodes;
}

MStatus MDagPath::getAPathTo(const MObject& node, MDagPath& path)
{
    if (isWorld(node)) {
        path = MDagPath();
        path.fWorld = true;
        return MS::kSuccess;
    }
    Node* n = dagNodeOf(node);
    if (!n)
        return MS::kInvalidParameter;
    return pathOfInstance(n, 0, path);
}

MStatus MDagPath::getAllPathsTo(const MObject& node, MDagPathArray& paths)
{
    paths.clear();
    if (isWorld(node)) {
        MDagPath world;
        world.fWorld = true;
        paths.append(world);
        return MS::kSuccess;
    }
    Node* n = dagNodeOf(node);
    if (!n)
        return MS::kInvalidParameter;
    allPathsTo(n, paths);
    return MS::kSuccess;
}

bool MDagPath::hasFn(MFn::Type type, MStatus* ReturnStatus) const
{
    MObject object = node(ReturnStatus);
    return !object.isNull() && object.hasFn(type);
}

MFn::Type MDagPath::apiType(MStatus* ReturnStatus) const
{
    MObject object = node(ReturnStatus);
    return object.isNull() ? MFn::kInvalid : object.apiType();
}

bool MDagPath::isValid(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MS::kSuccess);
    if (fWorld)
        return true;
    if (fNodes.empty())
        return false;
    for (const MObject& object : fNodes) {
        Node* n = nodeOf(object);
        if (!n || !n->inScene || !n->isDag)
            return false;
    }
    unsigned instance = 0;
    return chainInstance(fNodes, instance);
}

MObject MDagPath::node(MStatus* ReturnStatus) const
{
    if (fWorld) {
        setStatus(ReturnStatus, MS::kSuccess);
        return worldObject();
    }
    if (fNodes.empty()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject::kNullObj;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return fNodes.back();
}

MObject MDagPath::transform(MStatus* ReturnStatus) const
{
    if (fWorld) {
        setStatus(ReturnStatus, MS::kSuccess);
        return worldObject();
    }
    for (auto it = fNodes.rbegin(); it != fNodes.rend(); ++it) {
        Node* n = nodeOf(*it);
        if (n && n->isTransform) {
            setStatus(ReturnStatus, MS::kSuccess);
            return *it;
        }
    }
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return MObject::kNullObj;
}

unsigned int MDagPath::length(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<unsigned int>(fNodes.size());
}

MStatus MDagPath::push(const MObject& child)
{
    Node* c = dagNodeOf(child);
    if (!c)
        return MS::kInvalidParameter;
    if (fWorld || fNodes.empty()) {
        if (!c->parents.empty())
            return MS::kInvalidParameter;
    } else {
        Node* last = nodeOf(fNodes.back());
        if (std::find(c->parents.begin(), c->parents.end(), last) == c->parents.end())
            return MS::kInvalidParameter;
    }
    fWorld = false;
    fNodes.push_back(child);
    return MS::kSuccess;
}

MStatus MDagPath::pop(unsigned int num)
{
    if (num > fNodes.size())
        return MS::kInvalidParameter;
    fNodes.resize(fNodes.size() - num);
    if (fNodes.empty())
        fWorld = true;
    return MS::kSuccess;
}

MStatus MDagPath::numberOfShapesDirectlyBelow(unsigned int& num) const
{
    MStatus status;
    if (!fWorld && !lastNode(*this, &status))
        return status;
    std::vector<Node*> shapes;
    shapesBelow(*this, shapes);
    num = static_cast<unsigned int>(shapes.size());
    return MS::kSuccess;
}

MStatus MDagPath::extendToShape()
{
    MStatus status;
    Node* node = lastNode(*this, &status);
    if (!node)
        return status;
    if (!node->isTransform)
        return MS::kSuccess;  // already a shape
    std::vector<Node*> shapes;
    shapesBelow(*this, shapes);
    if (shapes.size() != 1)
        return MS::kFailure;
    fNodes.push_back(shapes.front()->object());
    return MS::kSuccess;
}

MStatus MDagPath::extendToShapeDirectlyBelow(unsigned int index)
{
    MStatus status;
    if (!lastNode(*this, &status))
        return status;
    std::vector<Node*> shapes;
    shapesBelow(*this, shapes);
    if (index >= shapes.size())
        return MS::kInvalidParameter;
    fNodes.push_back(shapes[index]->object());
    return MS::kSuccess;
}

unsigned int MDagPath::childCount(MStatus* ReturnStatus) const
{
    if (fWorld) {
        std::vector<Node*> top;
        worldChildren(top);
        setStatus(ReturnStatus, MS::kSuccess);
        return static_cast<unsigned int>(top.size());
    }
    Node* node = lastNode(*this, ReturnStatus);
    return node ? static_cast<unsigned int>(node->children.size()) : 0;
}

MObject MDagPath::child(unsigned int i, MStatus* ReturnStatus) const
{
    if (fWorld) {
        std::vector<Node*> top;
        worldChildren(top);
        if (i >= top.size()) {
            setStatus(ReturnStatus, MS::kInvalidParameter);
            return MObject::kNullObj;
        }
        setStatus(ReturnStatus, MS::kSuccess);
        return top[i]->object();
    }
    Node* node = lastNode(*this, ReturnStatus);
    if (!node)
        return MObject::kNullObj;
    if (i >= node->children.size()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MObject::kNullObj;
    }
    return node->children[i]->object();
}

MMatrix MDagPath::inclusiveMatrix(MStatus* ReturnStatus) const
{
    return instanceMatrix(*this, DagAttributes::worldMatrix, ReturnStatus);
}

MMatrix MDagPath::exclusiveMatrix(MStatus* ReturnStatus) const
{
    return instanceMatrix(*this, DagAttributes::parentMatrix, ReturnStatus);
}

MMatrix MDagPath::inclusiveMatrixInverse(MStatus* ReturnStatus) const
{
    return instanceMatrix(*this, DagAttributes::worldInverseMatrix, ReturnStatus);
}

MMatrix MDagPath::exclusiveMatrixInverse(MStatus* ReturnStatus) const
{
    return instanceMatrix(*this, DagAttributes::parentInverseMatrix, ReturnStatus);
}

bool MDagPath::isInstanced(MStatus* ReturnStatus) const
{
    Node* node = lastNode(*this, ReturnStatus);
    return node && instanceCount(node) > 1;
}

unsigned int MDagPath::instanceNumber(MStatus* ReturnStatus) const
{
    unsigned instance = 0;
    if (fWorld) {
        setStatus(ReturnStatus, MS::kSuccess);
        return 0;
    }
    if (!chainInstance(fNodes, instance)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return 0;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return instance;
}

MString MDagPath::fullPathName(MStatus* ReturnStatus) const
{
    MStatus status;
    if (!isValid(&status) && !fNodes.empty()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MString();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return host::fullPathName(*this);
}

MString MDagPath::partialPathName(MStatus* ReturnStatus) const
{
    MStatus status;
    if (!isValid(&status) && !fNodes.empty()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MString();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return host::partialPathName(*this);
}

bool MDagPath::isVisible(MStatus* ReturnStatus) const
{
    if (fWorld) {
        setStatus(ReturnStatus, MS::kSuccess);
        return true;
    }
    MStatus status;
    bool hidden = flagOnPath(*this, DagAttributes::visibility, false, &status);
    if (status && !hidden)
        hidden = flagOnPath(*this, DagAttributes::lodVisibility, false, &status);
    if (status && !hidden)
        hidden = flagOnPath(*this, DagAttributes::intermediateObject, true, &status);
    // An enabled drawing override (own, a parent's or a display layer's) can hide it too.
    if (status && !hidden)
        hidden = !host::drawOverrideOf(*this).visible;
    setStatus(ReturnStatus, status);
    return status && !hidden;
}

bool MDagPath::isTemplated(MStatus* ReturnStatus) const
{
    if (fWorld) {
        setStatus(ReturnStatus, MS::kSuccess);
        return false;
    }
    // The template flag on the path, or a template drawing override (own,
    // inherited or from a display layer).
    const bool flagged = flagOnPath(*this, DagAttributes::templated, true, ReturnStatus);
    return flagged || host::drawOverrideOf(*this).displayType == 1;
}

MStatus MDagPath::set(const MDagPath& src)
{
    *this = src;
    return MS::kSuccess;
}
