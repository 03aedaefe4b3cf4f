#include <maya/MEvaluationNode.h>
#include <maya/MPlug.h>

#include "dg/FnSet.h"

// The host evaluates in DG mode only: an evaluation node reports nothing dirty
// and has no graph neighbours.
MEvaluationNode::MEvaluationNode(const MObject& node) : mNode(node) {}
MEvaluationNode::MEvaluationNode(const MEvaluationNode& other) = default;
MEvaluationNode::~MEvaluationNode() = default;

bool MEvaluationNode::dirtyPlugExists(const MObject&, MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return false;
}

MPlug MEvaluationNode::dirtyPlug(const MObject&, MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kNotFound);
    return MPlug();
}

MObject MEvaluationNode::dependencyNode(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mNode;
}

int MEvaluationNode::parentCount() const
{
    return 0;
}

MEvaluationNode MEvaluationNode::parent(int) const
{
    return MEvaluationNode(MObject());
}

int MEvaluationNode::childCount() const
{
    return 0;
}

MEvaluationNode MEvaluationNode::child(int) const
{
    return MEvaluationNode(MObject());
}

void MEvaluationNode::skipEvaluation(const MObject&, bool, MStatus* ReturnStatus) const
{
    // Without an evaluation graph there is nothing to skip.
    host::setStatus(ReturnStatus, MStatus::kSuccess);
}
