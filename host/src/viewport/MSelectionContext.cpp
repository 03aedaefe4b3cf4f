#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MSelectionContext.h>
#include <maya/MVector.h>

namespace MHWRender
{

MSelectionContext::MSelectionContext() : fLevel(kObject) {}

MSelectionContext::~MSelectionContext() = default;

MSelectionContext::SelectionLevel MSelectionContext::selectionLevel(MStatus* ReturnStatus) const
{
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return fLevel;
}

MStatus MSelectionContext::setSelectionLevel(SelectionLevel level)
{
    if (level < kNone || level > kComponent) return MStatus::kInvalidParameter;
    fLevel = level;
    return MStatus::kSuccess;
}

namespace
{

void succeed(MStatus* status)
{
    if (status) *status = MStatus::kSuccess;
}

} // namespace

MSelectionInfo::MSelectionInfo() : fRect{0, 0, 0, 0}, fSingle(true) {}

MSelectionInfo::~MSelectionInfo() = default;

MStatus MSelectionInfo::selectRect(unsigned int& x, unsigned int& y, unsigned int& width, unsigned int& height) const
{
    x = fRect[0];
    y = fRect[1];
    width = fRect[2];
    height = fRect[3];
    return MStatus::kSuccess;
}

bool MSelectionInfo::singleSelection(MStatus* ReturnStatus) const
{
    succeed(ReturnStatus);
    return fSingle;
}

bool MSelectionInfo::selectClosest(MStatus* ReturnStatus) const
{
    succeed(ReturnStatus);
    return fSingle;
}

bool MSelectionInfo::selectable(const MSelectionMask& mask, MStatus* ReturnStatus) const
{
    succeed(ReturnStatus);
    MSelectionMask wanted(mask);
    return fMask.intersects(wanted);
}

bool MSelectionInfo::selectableComponent(bool, const MSelectionMask& mask, MStatus* ReturnStatus) const
{
    return selectable(mask, ReturnStatus);
}

bool MSelectionInfo::isRay(MStatus* ReturnStatus) const
{
    succeed(ReturnStatus);
    return false;
}

MMatrix MSelectionInfo::getAlignmentMatrix(MStatus* ReturnStatus) const
{
    succeed(ReturnStatus);
    return MMatrix();
}

MStatus MSelectionInfo::getLocalRay(MPoint&, MVector&) const
{
    // Region selection only: there is no ray.
    return MStatus::kFailure;
}

bool MSelectionInfo::selectForHilite(const MSelectionMask&, MStatus* ReturnStatus) const
{
    succeed(ReturnStatus);
    return false;
}

bool MSelectionInfo::selectOnHilitedOnly(MStatus* ReturnStatus) const
{
    succeed(ReturnStatus);
    return false;
}

MIntersection::MIntersection() : fIndex(-1), fInstanceId(-1) {}

MIntersection::~MIntersection() = default;

int MIntersection::index(MStatus* ReturnStatus) const
{
    succeed(ReturnStatus);
    return fIndex;
}

int MIntersection::instanceID(MStatus* ReturnStatus) const
{
    succeed(ReturnStatus);
    return fInstanceId;
}

} // namespace MHWRender
