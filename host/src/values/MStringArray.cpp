#include <maya/MStringArray.h>

MStringArray::MStringArray(const char* strings[], unsigned int count)
{
    fData.reserve(count);
    for (unsigned int i = 0; i < count; ++i) fData.emplace_back(strings ? strings[i] : nullptr);
}
