#ifndef MAYA_MSELECTIONCONTEXT_H
#define MAYA_MSELECTIONCONTEXT_H

#include <maya/MSelectionMask.h>
#include <maya/MStatus.h>

namespace MHWRender
{

class MSelectionContext
{
public:
    enum SelectionLevel { kNone, kObject, kComponent };

    SelectionLevel selectionLevel(MStatus* ReturnStatus = NULL) const;
    MStatus setSelectionLevel(SelectionLevel level);

private:
    MSelectionContext();
    ~MSelectionContext();
    MSelectionContext(const MSelectionContext&) = delete;
    MSelectionContext& operator=(const MSelectionContext&) = delete;

    SelectionLevel fLevel;
};

// What a selection pass asks: its region or ray, and which kinds are selectable.
class MSelectionInfo
{
public:
    MStatus selectRect(unsigned int& x, unsigned int& y, unsigned int& width, unsigned int& height) const;
    bool singleSelection(MStatus* ReturnStatus = NULL) const;
    bool selectClosest(MStatus* ReturnStatus = NULL) const;
    bool selectable(const MSelectionMask& mask, MStatus* ReturnStatus = NULL) const;
    bool selectableComponent(bool displayed, const MSelectionMask& mask, MStatus* ReturnStatus = NULL) const;
    bool isRay(MStatus* ReturnStatus = NULL) const;
    MMatrix getAlignmentMatrix(MStatus* ReturnStatus = NULL) const;
    MStatus getLocalRay(MPoint& pt, MVector& vec) const;
    bool selectForHilite(const MSelectionMask& mask, MStatus* ReturnStatus = NULL) const;
    bool selectOnHilitedOnly(MStatus* ReturnStatus = NULL) const;

private:
    MSelectionInfo();
    ~MSelectionInfo();
    MSelectionInfo(const MSelectionInfo&) = delete;
    MSelectionInfo& operator=(const MSelectionInfo&) = delete;

    unsigned int fRect[4];
    bool fSingle;
    MSelectionMask fMask;
};

class MIntersection
{
public:
    int index(MStatus* ReturnStatus = NULL) const;
    int instanceID(MStatus* ReturnStatus = NULL) const;

private:
    MIntersection();
    ~MIntersection();

    int fIndex;
    int fInstanceId;
};

} // namespace MHWRender

#endif
