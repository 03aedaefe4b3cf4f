#include <maya/MItDependencyNodes.h>

#include "dg/FnSet.h"
#include "dg/Scene.h"

MItDependencyNodes::MItDependencyNodes(MFn::Type filter, MStatus* ReturnStatus) : mPos(0), mFilter(filter)
{
    host::setStatus(ReturnStatus, reset(filter));
}

MItDependencyNodes::~MItDependencyNodes() = default;

MStatus MItDependencyNodes::reset(MFn::Type filter)
{
    mFilter = filter;
    mPos = 0;
    mNodes.clear();
    for (host::Node* n : host::sceneNodes())
        mNodes.push_back(n->object());
    skipFiltered();
    return MStatus::kSuccess;
}

void MItDependencyNodes::skipFiltered()
{
    // Also skips nodes deleted since the snapshot.
    while (mPos < mNodes.size() &&
           ((mFilter != MFn::kInvalid && !mNodes[mPos].hasFn(mFilter)) || !host::nodeOf(mNodes[mPos])->inScene))
        ++mPos;
}

MObject MItDependencyNodes::thisNode(MStatus* ReturnStatus) const
{
    if (mPos >= mNodes.size()) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MObject();
    }
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mNodes[mPos];
}

MObject MItDependencyNodes::item(MStatus* ReturnStatus) const
{
    return thisNode(ReturnStatus);
}

MStatus MItDependencyNodes::next()
{
    if (mPos >= mNodes.size())
        return MStatus::kFailure;
    ++mPos;
    skipFiltered();
    return MStatus::kSuccess;
}

bool MItDependencyNodes::isDone(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mPos >= mNodes.size();
}
