#ifndef MAYA_MEVALUATIONNODE_H
#define MAYA_MEVALUATIONNODE_H

#include <maya/MTypes.h>

#include <maya/MObject.h>

class MDataBlock;
class MEvaluationNodeIterator;

// A node as the evaluation manager schedules it. The stand-in host evaluates
// in DG mode only and hands these out only to hooks called outside of it.
namespace host { struct RendererAccess; }

class MEvaluationNode
{
public:
    MEvaluationNode(const MEvaluationNode& other);
    ~MEvaluationNode();

    bool dirtyPlugExists(const MObject& attribute, MStatus* ReturnStatus = nullptr) const;
    MPlug dirtyPlug(const MObject& attribute, MStatus* ReturnStatus = nullptr) const;
    MObject dependencyNode(MStatus* ReturnStatus = nullptr) const;
    int parentCount() const;
    MEvaluationNode parent(int index) const;
    int childCount() const;
    MEvaluationNode child(int index) const;
    void skipEvaluation(const MObject& attribute, bool allowSingleDownstreamDependency = false,
                        MStatus* ReturnStatus = nullptr) const;

private:
    friend struct host::RendererAccess;
    explicit MEvaluationNode(const MObject& node);
    MObject mNode;
};

#endif
