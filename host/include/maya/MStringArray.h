#ifndef MAYA_MSTRINGARRAY_H
#define MAYA_MSTRINGARRAY_H

#include <maya/MArrayTemplate.h>
#include <maya/MString.h>

class MStringArray : public MArrayTemplate<MString>
{
public:
    using MArrayTemplate<MString>::MArrayTemplate;
    MStringArray() = default;
    MStringArray(const char* strings[], unsigned int count);
    MString operator[](unsigned int index) const { return fData[index]; }
    MString& operator[](unsigned int index) { return fData[index]; }
};

#endif
