#pragma once
// Read-only access to an int array's storage without copying it, for the kernels that take
// plain pointers. The API keeps an array's elements contiguous but hands out a const array's
// elements by value; the non-const element access reaches the storage and changes nothing.

#include <maya/MIntArray.h>

inline const int* intArrayData(const MIntArray& values)
{
    return values.length() > 0 ? &const_cast<MIntArray&>(values)[0] : nullptr;
}
