#include <maya/MDGContextGuard.h>

MDGContextGuard::MDGContextGuard(const MDGContext& context) : fContext(context)
{
    fPrevious = MDGContext::makeCurrent(&fContext);
}

MDGContextGuard::~MDGContextGuard()
{
    MDGContext::makeCurrent(fPrevious);
}
