#ifndef MAYA_MITDEPENDENCYNODES_H
#define MAYA_MITDEPENDENCYNODES_H

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <vector>

// Iterates over the nodes of the scene in creation order.
class MItDependencyNodes
{
public:
    MItDependencyNodes(MFn::Type filter = MFn::kInvalid, MStatus* ReturnStatus = NULL);
    ~MItDependencyNodes();

    MStatus reset(MFn::Type filter = MFn::kInvalid);
    MObject thisNode(MStatus* ReturnStatus = NULL) const;
    MObject item(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    bool isDone(MStatus* ReturnStatus = NULL) const;

private:
    void skipFiltered();
    std::vector<MObject> mNodes;  // snapshot, so edits while iterating are safe
    size_t mPos;
    MFn::Type mFilter;
};

#endif
