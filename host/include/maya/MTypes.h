#ifndef MAYA_MTYPES_H
#define MAYA_MTYPES_H

#include <cstddef>
#include <cstdint>

#include <maya/MApiNamespace.h>

#define MAYA_API_VERSION 20230300

// Entry points and exported data of a plug-in module: C linkage and visible
// even when the module is built with hidden default visibility.
#if defined(_WIN32)
#define PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#ifndef NULL
#define NULL 0
#endif

typedef int int2[2];
typedef int int3[3];
typedef short short2[2];
typedef short short3[3];
typedef float float2[2];
typedef float float3[3];
typedef double double2[2];
typedef double double3[3];
typedef double double4[4];

typedef int64_t MInt64;
typedef uint64_t MUint64;
typedef uintptr_t MUintPtrSz;

class MSpace
{
public:
    enum Space {
        kInvalid = 0,
        kTransform = 1,
        kPreTransform = 2,
        kPostTransform = 3,
        kWorld = 4,
        kObject = kPreTransform,
        kLast = 5
    };
};

#endif
