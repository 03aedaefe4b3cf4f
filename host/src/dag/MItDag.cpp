#include <maya/MItDag.h>

#include "dag/Dag.h"
#include "dg/FnSet.h"
#include "dg/Node.h"

using namespace host;

MItDag::MItDag(TraversalType type, MFn::Type filter, MStatus* ReturnStatus)
{
    MDagPath world;
    DagPathAccess::setWorld(world, true);
    setStatus(ReturnStatus, reset(world, type, filter));
}

MItDag::~MItDag() = default;

MStatus MItDag::reset()
{
    return reset(fRootPath, fType, fFilter);
}

MStatus MItDag::reset(const MObject& object, TraversalType type, MFn::Type filter)
{
    MDagPath path;
    DAG_CHECK(MDagPath::getAPathTo(object, path));
    return reset(path, type, filter);
}

MStatus MItDag::reset(const MDagPath& path, TraversalType type, MFn::Type filter)
{
    if (type != kDepthFirst && type != kBreadthFirst)
        return MS::kInvalidParameter;
    if (!path.isValid())
        return MS::kInvalidParameter;
    fRootPath = path;
    fType = type;
    fFilter = filter;
    fPending.clear();
    fPending.push_back(path);
    fPruned = false;
    fDone = false;
    advance();
    return MS::kSuccess;
}

bool MItDag::accepts(const MDagPath& path) const
{
    return fFilter == MFn::kInvalid || path.hasFn(fFilter);
}

void MItDag::expand(const MDagPath& path)
{
    std::vector<Node*> children;
    if (DagPathAccess::isWorld(path)) {
        worldChildren(children);
    } else {
        Node* node = nodeOf(DagPathAccess::nodes(path).back());
        if (node)
            children = node->children;
    }
    std::vector<MDagPath> paths;
    paths.reserve(children.size());
    for (Node* child : children) {
        if (!child->inScene)
            continue;
        MDagPath childPath = DagPathAccess::isWorld(path) ? MDagPath() : path;
        DagPathAccess::nodes(childPath).push_back(child->object());
        paths.push_back(childPath);
    }
    if (fType == kDepthFirst)
        fPending.insert(fPending.begin(), paths.begin(), paths.end());
    else
        fPending.insert(fPending.end(), paths.begin(), paths.end());
}

void MItDag::advance()
{
    while (!fPending.empty()) {
        MDagPath path = fPending.front();
        fPending.pop_front();
        if (path.isValid() && accepts(path)) {
            fCurrent = path;
            fPruned = false;
            return;
        }
        // Rejected items are still walked through.
        if (path.isValid())
            expand(path);
    }
    fDone = true;
    fCurrent = MDagPath();
}

bool MItDag::isDone(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MS::kSuccess);
    return fDone;
}

MStatus MItDag::next()
{
    if (fDone)
        return MS::kFailure;
    if (!fPruned && fCurrent.isValid())
        expand(fCurrent);
    advance();
    return MS::kSuccess;
}

MStatus MItDag::prune()
{
    if (fDone)
        return MS::kFailure;
    fPruned = true;
    return MS::kSuccess;
}

MObject MItDag::currentItem(MStatus* ReturnStatus)
{
    if (fDone) {
        setStatus(ReturnStatus, MS::kFailure);
        return MObject::kNullObj;
    }
    return fCurrent.node(ReturnStatus);
}

MObject MItDag::item(MStatus* ReturnStatus)
{
    return currentItem(ReturnStatus);
}

MObject MItDag::root(MStatus* ReturnStatus)
{
    return fRootPath.node(ReturnStatus);
}

unsigned int MItDag::depth(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, fDone ? MS::kFailure : MS::kSuccess);
    return fDone ? 0 : fCurrent.length();
}

MStatus MItDag::getPath(MDagPath& path) const
{
    if (fDone)
        return MS::kFailure;
    path = fCurrent;
    return MS::kSuccess;
}

MStatus MItDag::getAllPaths(MDagPathArray& paths) const
{
    if (fDone)
        return MS::kFailure;
    MStatus status;
    MObject node = fCurrent.node(&status);
    DAG_CHECK(status);
    return MDagPath::getAllPathsTo(node, paths);
}

MString MItDag::fullPathName(MStatus* ReturnStatus) const
{
    if (fDone) {
        setStatus(ReturnStatus, MS::kFailure);
        return MString();
    }
    return fCurrent.fullPathName(ReturnStatus);
}

MString MItDag::partialPathName(MStatus* ReturnStatus) const
{
    if (fDone) {
        setStatus(ReturnStatus, MS::kFailure);
        return MString();
    }
    return fCurrent.partialPathName(ReturnStatus);
}

bool MItDag::isInstanced(bool indirect, MStatus* ReturnStatus) const
{
    if (fDone || DagPathAccess::isWorld(fCurrent)) {
        setStatus(ReturnStatus, fDone ? MS::kFailure : MS::kSuccess);
        return false;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    Node* node = nodeOf(DagPathAccess::nodes(fCurrent).back());
    return indirect ? instanceCount(node) > 1 : node->parents.size() > 1;
}

void MItDag::traverseUnderWorld(bool flag)
{
    fUnderWorld = flag;
}

bool MItDag::willTraverseUnderWorld(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MS::kSuccess);
    return fUnderWorld;
}

MItDag::TraversalType MItDag::getType(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MS::kSuccess);
    return fType;
}
