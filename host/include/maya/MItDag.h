#ifndef MAYA_MITDAG_H
#define MAYA_MITDAG_H

#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <deque>

// Walks the DAG below a root (the world by default), depth or breadth first,
// visiting every instance path once.
class MItDag
{
public:
    enum TraversalType { kInvalidType, kDepthFirst, kBreadthFirst };

    MItDag(TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid, MStatus* ReturnStatus = NULL);
    ~MItDag();

    MStatus reset();
    MStatus reset(const MObject& object, TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid);
    MStatus reset(const MDagPath& path, TraversalType type = kDepthFirst, MFn::Type filter = MFn::kInvalid);

    bool isDone(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    MStatus prune();

    MObject currentItem(MStatus* ReturnStatus = NULL);
    MObject item(MStatus* ReturnStatus = NULL);
    MObject root(MStatus* ReturnStatus = NULL);
    unsigned int depth(MStatus* ReturnStatus = NULL) const;
    MStatus getPath(MDagPath& path) const;
    MStatus getAllPaths(MDagPathArray& paths) const;
    MString fullPathName(MStatus* ReturnStatus = NULL) const;
    MString partialPathName(MStatus* ReturnStatus = NULL) const;
    bool isInstanced(bool indirect = true, MStatus* ReturnStatus = NULL) const;
    void traverseUnderWorld(bool flag);
    bool willTraverseUnderWorld(MStatus* ReturnStatus = NULL) const;
    TraversalType getType(MStatus* ReturnStatus = NULL) const;

private:
    MItDag(const MItDag&) = delete;
    MItDag& operator=(const MItDag&) = delete;
    // Moves to the next pending path (and skips those the filter rejects).
    void advance();
    void expand(const MDagPath& path);
    bool accepts(const MDagPath& path) const;

    TraversalType fType = kDepthFirst;
    MFn::Type fFilter = MFn::kInvalid;
    MDagPath fRootPath;        // empty path for the world
    MDagPath fCurrent;
    bool fDone = true;
    bool fPruned = false;
    bool fUnderWorld = false;
    std::deque<MDagPath> fPending;
};

#endif
