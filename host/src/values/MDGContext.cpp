#include <maya/MDGContext.h>
#include <maya/MAnimControl.h>

MDGContext MDGContext::fsNormal;

namespace
{

// The context evaluations on this thread run in; null means the normal one.
thread_local const MDGContext* tCurrent = nullptr;

} // namespace

MDGContext::MDGContext() : fTimed(false) {}

MDGContext::MDGContext(const MTime& when) : fTimed(true), fTime(when) {}

bool MDGContext::isNormal(MStatus* ReturnStatus) const
{
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return !fTimed;
}

bool MDGContext::isCurrent(MStatus* ReturnStatus) const
{
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    const MDGContext& now = current();
    if (now.fTimed != fTimed) return false;
    return !fTimed || now.fTime == fTime;
}

MStatus MDGContext::getTime(MTime& time) const
{
    time = fTimed ? fTime : MAnimControl::currentTime();
    return MStatus::kSuccess;
}

const MDGContext MDGContext::current()
{
    return tCurrent ? *tCurrent : fsNormal;
}

const MDGContext* MDGContext::makeCurrent(const MDGContext* context)
{
    const MDGContext* previous = tCurrent;
    tCurrent = context;
    return previous;
}
