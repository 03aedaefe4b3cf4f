#ifndef MAYA_MITSELECTIONLIST_H
#define MAYA_MITSELECTIONLIST_H

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>

class MDagPath;
class MPlug;
class MStringArray;

// Walks the items of a selection list, optionally only those of one kind
// (a DAG item that is not of that kind stands for the first shape below it that is).
class MItSelectionList
{
public:
    enum selItemType { kUnknownItem = -1, kDagSelectionItem, kAnimSelectionItem, kDNselectionItem, kPlugSelectionItem };

    bool isDone(MStatus* ReturnStatus = NULL);
    MStatus next();
    MStatus reset();
    MStatus getDependNode(MObject& depNode);
    MStatus getDagPath(MDagPath& dagPath, MObject& component);
    MStatus getDagPath(MDagPath& dagPath);
    MStatus getPlug(MPlug& plug);
    MStatus getStrings(MStringArray& array);
    selItemType itemType(MStatus* ReturnStatus = NULL);
    MStatus setFilter(MFn::Type filter);
    bool hasComponents(MStatus* ReturnStatus = NULL) const;
    MItSelectionList(const MSelectionList& list, MFn::Type = MFn::kInvalid, MStatus* ReturnStatus = NULL);
    virtual ~MItSelectionList();
    static const char* className();

private:
    // Moves to the first item from `mIndex` on that passes the filter.
    void skipFiltered();
    bool matches(unsigned index, MDagPath* path) const;
    MSelectionList mList;
    unsigned mIndex = 0;
    MFn::Type mFilter = MFn::kInvalid;
};

#endif
