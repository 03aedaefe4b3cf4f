#include <maya/MItSelectionList.h>

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MPlug.h>
#include <maya/MStringArray.h>

#include "dg/FnSet.h"
#include "dg/Object.h"
#include "dg/SelectionItem.h"

namespace {
// With a filter, a DAG item that is not of the kind stands for the first shape below it that is.
bool pathOfKind(MDagPath& path, MFn::Type filter)
{
    if (path.hasFn(filter))
        return true;
    for (unsigned i = 0, n = path.childCount(); i < n; ++i) {
        const MObject child = path.child(i);
        if (child.hasFn(filter) && !MFnDagNode(child).isIntermediateObject())
            return path.push(child) == MStatus::kSuccess;
    }
    return false;
}
} // namespace

MItSelectionList::MItSelectionList(const MSelectionList& list, MFn::Type filter, MStatus* ReturnStatus)
    : mList(list), mFilter(filter)
{
    skipFiltered();
    host::setStatus(ReturnStatus, MStatus::kSuccess);
}

MItSelectionList::~MItSelectionList() = default;

const char* MItSelectionList::className()
{
    return "MItSelectionList";
}

bool MItSelectionList::matches(unsigned index, MDagPath* path) const
{
    const host::SelectionItem& item = host::SelectionAccess::items(mList)[index];
    if (mFilter != MFn::kInvalid && host::fnIsA(mFilter, MFn::kComponent)) {  // items with such components
        if (path)
            *path = item.path;
        return item.component.hasFn(mFilter);
    }
    if (item.kind == host::SelectionItem::kDagPath) {
        MDagPath found = item.path;
        if (mFilter != MFn::kInvalid && !pathOfKind(found, mFilter))
            return false;
        if (path)
            *path = found;
        return true;
    }
    return mFilter == MFn::kInvalid || item.node.hasFn(mFilter);
}

void MItSelectionList::skipFiltered()
{
    while (mIndex < mList.length() && !matches(mIndex, nullptr))
        ++mIndex;
}

bool MItSelectionList::isDone(MStatus* ReturnStatus)
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mIndex >= mList.length();
}

MStatus MItSelectionList::next()
{
    if (mIndex >= mList.length())
        return MStatus::kFailure;
    ++mIndex;
    skipFiltered();
    return MStatus::kSuccess;
}

MStatus MItSelectionList::reset()
{
    mIndex = 0;
    skipFiltered();
    return MStatus::kSuccess;
}

MStatus MItSelectionList::setFilter(MFn::Type filter)
{
    mFilter = filter;
    return reset();
}

MStatus MItSelectionList::getDependNode(MObject& depNode)
{
    if (mIndex >= mList.length())
        return MStatus::kFailure;
    MDagPath path;
    const host::SelectionItem& item = host::SelectionAccess::items(mList)[mIndex];
    if (item.kind == host::SelectionItem::kDagPath && matches(mIndex, &path)) {
        depNode = path.node();
        return MStatus::kSuccess;
    }
    return mList.getDependNode(mIndex, depNode);
}

MStatus MItSelectionList::getDagPath(MDagPath& dagPath, MObject& component)
{
    if (mIndex >= mList.length())
        return MStatus::kFailure;
    MDagPath path;
    MStatus status = mList.getDagPath(mIndex, path, component);
    if (!status)
        return status;
    matches(mIndex, &dagPath);
    return MStatus::kSuccess;
}

MStatus MItSelectionList::getDagPath(MDagPath& dagPath)
{
    MObject component;
    return getDagPath(dagPath, component);
}

MStatus MItSelectionList::getPlug(MPlug& plug)
{
    if (mIndex >= mList.length())
        return MStatus::kFailure;
    return mList.getPlug(mIndex, plug);
}

MStatus MItSelectionList::getStrings(MStringArray& array)
{
    if (mIndex >= mList.length())
        return MStatus::kFailure;
    return mList.getSelectionStrings(mIndex, array);
}

MItSelectionList::selItemType MItSelectionList::itemType(MStatus* ReturnStatus)
{
    host::setStatus(ReturnStatus, mIndex < mList.length() ? MStatus::kSuccess : MStatus::kFailure);
    if (mIndex >= mList.length())
        return kUnknownItem;
    switch (host::SelectionAccess::items(mList)[mIndex].kind) {
    case host::SelectionItem::kDagPath: return kDagSelectionItem;
    case host::SelectionItem::kPlug: return kPlugSelectionItem;
    default: return kDNselectionItem;
    }
}

bool MItSelectionList::hasComponents(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, mIndex < mList.length() ? MStatus::kSuccess : MStatus::kFailure);
    return mIndex < mList.length() && !host::SelectionAccess::items(mList)[mIndex].component.isNull();
}
