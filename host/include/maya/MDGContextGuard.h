#ifndef MAYA_MDGCONTEXTGUARD_H
#define MAYA_MDGCONTEXTGUARD_H

#include <maya/MTypes.h>

#include <memory>

// Makes a context current for the guard's lifetime and restores the previous one.
class MDGContextGuard
{
public:
    MDGContextGuard(const MDGContext& context);
    ~MDGContextGuard();
    MDGContextGuard(const MDGContextGuard&) = delete;
    MDGContextGuard& operator=(const MDGContextGuard&) = delete;

private:
    std::unique_ptr<MDGContext> fContext;  // a copy of the context made current
    const MDGContext* fPrevious;
};

#endif
