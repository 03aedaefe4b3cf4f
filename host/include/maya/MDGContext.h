#ifndef MAYA_MDGCONTEXT_H
#define MAYA_MDGCONTEXT_H

#include <maya/MStatus.h>
#include <maya/MTime.h>

// An evaluation context: the normal one evaluates at the current time,
// a timed one at a given time.
class MDGContext
{
public:
    MDGContext();
    MDGContext(const MTime& when);
    MDGContext(const MDGContext& src) = default;
    MDGContext& operator=(const MDGContext& src) = default;
    ~MDGContext() = default;

    bool isNormal(MStatus* ReturnStatus = NULL) const;
    bool isCurrent(MStatus* ReturnStatus = NULL) const;
    MStatus getTime(MTime& time) const;

    static const MDGContext current();
    static MDGContext fsNormal;

private:
    friend class MDGContextGuard;
    static const MDGContext* makeCurrent(const MDGContext* context);

    bool fTimed;
    MTime fTime;
};

#endif
