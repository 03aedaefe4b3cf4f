#pragma once
// Status checking shared by the animation code (curves, time, keys, constraints).

#include <maya/MStatus.h>

// Returns the status of a failed host call at once.
#define ANIM_CHECK(expr)                    \
    do {                                    \
        MStatus animStatus_ = (expr);       \
        if (!animStatus_)                   \
            return animStatus_;             \
    } while (0)
