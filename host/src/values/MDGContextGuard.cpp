#include <maya/MDGContextGuard.h>

#include <maya/MDGContext.h>

MDGContextGuard::MDGContextGuard(const MDGContext& context) : fContext(new MDGContext(context))
{
    fPrevious = MDGContext::makeCurrent(fContext.get());
}

MDGContextGuard::~MDGContextGuard()
{
    MDGContext::makeCurrent(fPrevious);
}
