#pragma once
// Status checking shared by the geometry code.

#include <maya/MStatus.h>

// Returns the status of a failed host call at once.
#define GEO_CHECK(expr)                     \
    do {                                    \
        MStatus geoStatus_ = (expr);        \
        if (!geoStatus_)                    \
            return geoStatus_;              \
    } while (0)
