#include <maya/MDagModifier.h>

#include "dag/Dag.h"
#include "dg/FnSet.h"
#include "dg/ModifierOp.h"
#include "dg/Node.h"

#include <memory>
#include <utility>
#include <vector>

using namespace host;

namespace {

// Creates a DAG node (and the transform holding a parentless shape).
struct CreateDagNodeOp : ModifierOp
{
    MObject node, transform, parent;
    bool done = false;
    bool firstTime = true;

    MStatus doIt() override
    {
        if (!parent.isNull() && !nodeOf(parent)->inScene)
            return MS::kInvalidParameter;
        DAG_CHECK(addDagNodes(node, transform, parent, MString(), firstTime));
        firstTime = false;
        done = true;
        return MS::kSuccess;
    }

    MStatus undoIt() override
    {
        if (!done)
            return MS::kSuccess;
        done = false;
        return removeDagNodes(node, transform);
    }
};

// Moves a node under a new parent (or the world), remembering where it was.
struct ReparentOp : ModifierOp
{
    MObject node, newParent;
    std::vector<std::pair<MObject, int>> previous;  // parents and positions before doIt
    bool done = false;

    MStatus doIt() override
    {
        Node* n = dagNodeOf(node);
        Node* target = newParent.isNull() ? nullptr : dagNodeOf(newParent);
        if (!n || !n->inScene || (!newParent.isNull() && (!target || !target->inScene)))
            return MS::kInvalidParameter;
        previous.clear();
        for (Node* parent : n->parents)
            previous.emplace_back(parent->object(), childIndex(parent, n));
        if (previous.size() == 1 && target == nodeOf(previous.front().first)) {
            done = false;  // already there: nothing to do or undo
            return MS::kSuccess;
        }
        if (previous.empty() && !target) {
            done = false;
            return MS::kSuccess;
        }
        DAG_CHECK(addChild(target, n));
        done = true;
        return MS::kSuccess;
    }

    MStatus undoIt() override
    {
        if (!done)
            return MS::kSuccess;
        done = false;
        Node* n = dagNodeOf(node);
        if (!n)
            return MS::kFailure;
        if (previous.empty())
            return addChild(nullptr, n);
        bool first = true;
        for (auto& link : previous) {
            DAG_CHECK(addChild(nodeOf(link.first), n, link.second, !first));
            first = false;
        }
        return MS::kSuccess;
    }
};

MObject queueCreate(MDagModifier& modifier, const MString* type, const MTypeId* id, const MObject& parent,
                    MStatus* ReturnStatus)
{
    auto op = std::make_unique<CreateDagNodeOp>();
    MStatus status = instantiateDagNode(type, id, parent, op->node, op->transform);
    if (!status) {
        setStatus(ReturnStatus, status);
        return MObject::kNullObj;
    }
    op->parent = parent;
    MObject result = op->transform.isNull() ? op->node : op->transform;
    ModifierAccess::queue(modifier, std::move(op));
    setStatus(ReturnStatus, MS::kSuccess);
    return result;
}

} // namespace

MDagModifier::MDagModifier() = default;
MDagModifier::~MDagModifier() = default;

MObject MDagModifier::createNode(const MTypeId& typeId, const MObject& parent, MStatus* ReturnStatus)
{
    return queueCreate(*this, nullptr, &typeId, parent, ReturnStatus);
}

MObject MDagModifier::createNode(const MString& type, const MObject& parent, MStatus* ReturnStatus)
{
    return queueCreate(*this, &type, nullptr, parent, ReturnStatus);
}

MStatus MDagModifier::reparentNode(const MObject& node, const MObject& newParent)
{
    Node* n = dagNodeOf(node);
    if (!n)
        return MS::kInvalidParameter;
    if (!newParent.isNull() && !isWorld(newParent)) {
        Node* target = dagNodeOf(newParent);
        if (!target || !target->isTransform || target == n || isAncestor(n, target))
            return MS::kInvalidParameter;
    }
    auto op = std::make_unique<ReparentOp>();
    op->node = node;
    if (!isWorld(newParent))
        op->newParent = newParent;
    ModifierAccess::queue(*this, std::move(op));
    return MS::kSuccess;
}
