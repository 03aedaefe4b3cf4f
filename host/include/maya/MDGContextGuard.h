#ifndef MAYA_MDGCONTEXTGUARD_H
#define MAYA_MDGCONTEXTGUARD_H

#include <maya/MDGContext.h>

// Makes a context current for the guard's lifetime and restores the previous one.
class MDGContextGuard
{
public:
    MDGContextGuard(const MDGContext& context);
    ~MDGContextGuard();
    MDGContextGuard(const MDGContextGuard&) = delete;
    MDGContextGuard& operator=(const MDGContextGuard&) = delete;

private:
    MDGContext fContext;
    const MDGContext* fPrevious;
};

#endif
