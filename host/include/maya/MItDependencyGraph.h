#ifndef MAYA_MITDEPENDENCYGRAPH_H
#define MAYA_MITDEPENDENCYGRAPH_H

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <unordered_set>
#include <vector>

// Walks the dependency graph from a root node or plug along connections,
// upstream or downstream, depth or breadth first, visiting each node (node
// level) or each plug (plug level) once. The root is the first item.
class MItDependencyGraph
{
public:
    enum Direction { kDownstream, kUpstream };
    enum Traversal { kDepthFirst, kBreadthFirst };
    enum Level { kNodeLevel, kPlugLevel };

    MItDependencyGraph(MObject& rootNode, MFn::Type filter = MFn::kInvalid, Direction direction = kDownstream,
                       Traversal traversal = kDepthFirst, Level level = kNodeLevel, MStatus* ReturnStatus = NULL);
    MItDependencyGraph(MPlug& rootPlug, MFn::Type filter = MFn::kInvalid, Direction direction = kDownstream,
                       Traversal traversal = kDepthFirst, Level level = kNodeLevel, MStatus* ReturnStatus = NULL);
    virtual ~MItDependencyGraph();

    bool isDone(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus prune();
    MStatus reset();

    MObject currentItem(MStatus* ReturnStatus = NULL);
    MObject currentNode(MStatus* ReturnStatus = NULL);
    MPlug thisPlug(MStatus* ReturnStatus = NULL);
    MPlug previousPlug(MStatus* ReturnStatus = NULL);
    MObject rootNode(MStatus* ReturnStatus = NULL);
    MPlug rootPlug(MStatus* ReturnStatus = NULL);

    MStatus setCurrentFilter(MFn::Type filter);
    MStatus resetFilter();
    void disablePruningOnFilter();
    void enablePruningOnFilter();

private:
    MItDependencyGraph(const MItDependencyGraph&) = delete;
    MItDependencyGraph& operator=(const MItDependencyGraph&) = delete;

    // One visit: the plug reached (null plug for a root node) and the plug it
    // was reached from.
    struct Visit
    {
        MObject node;
        MPlug plug;
        MPlug previous;
    };
    void start();
    // Moves to the next pending visit the filter accepts.
    void advance();
    // Queues what the visit leads to (unless pruned).
    void expand(const Visit& visit);
    bool accepts(const MObject& node) const;
    // Marks the visit's node (node level) or plug (plug level) as visited;
    // false when it already was.
    bool markVisited(const Visit& visit);

    MObject fRootNode;
    MPlug fRootPlug;
    bool fRootIsPlug = false;
    MFn::Type fFilter = MFn::kInvalid;
    MFn::Type fInitialFilter = MFn::kInvalid;
    Direction fDirection = kDownstream;
    Traversal fTraversal = kDepthFirst;
    Level fLevel = kNodeLevel;
    bool fPruneOnFilter = true;
    bool fDone = true;
    Visit fCurrent;
    std::vector<Visit> fPending;        // stack (depth first) or queue from fHead (breadth first)
    size_t fHead = 0;
    bool fPruned = false;               // prune() called on the current item
    std::unordered_set<const void*> fVisited;
};

#endif
