#pragma once
// The one way the plug-in checks a host call: a failed status is reported with the
// reporting file's name and the line of the call. Every source file that uses these
// macros names itself once, e.g.  static const char* const kStatusSource = "pluginMain";

#include <maya/MStatus.h>

// Reports a failed status and returns it from the enclosing function.
#define PELLIX_CHECK(expression)                                  \
    do {                                                          \
        const MStatus pellixStatus_ = (expression);               \
        if (!pellixStatus_) {                                     \
            pellixStatus_.pAPIerror(kStatusSource, __LINE__);     \
            return pellixStatus_;                                 \
        }                                                         \
    } while (false)

// Reports a failed status and carries on (for steps that must not stop a sequence).
#define PELLIX_REPORT(expression)                                 \
    do {                                                          \
        const MStatus pellixStatus_ = (expression);               \
        if (!pellixStatus_) {                                     \
            pellixStatus_.pAPIerror(kStatusSource, __LINE__);     \
        }                                                         \
    } while (false)

// Returns a failed status unreported, for helpers whose caller reports it at its own line.
#define PELLIX_PASS_ON(expression)                                \
    do {                                                          \
        const MStatus pellixStatus_ = (expression);               \
        if (!pellixStatus_) {                                     \
            return pellixStatus_;                                 \
        }                                                         \
    } while (false)
