#ifndef MAYA_MPLUGARRAY_H
#define MAYA_MPLUGARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <vector>

class MPlug;

// A growable array of plugs, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MPlugArray
{
public:
    typedef MArrayIteratorTemplate<MPlugArray, MPlug> Iterator;
    typedef MArrayConstIteratorTemplate<MPlugArray, MPlug> ConstIterator;

    MPlugArray();
    MPlugArray(const MPlugArray& other);
    MPlugArray(MPlugArray&& other) noexcept;
    MPlugArray(const MPlug src[], unsigned int count);
    MPlugArray(unsigned int initialSize, const MPlug& initialValue);
    ~MPlugArray();
    MPlugArray& operator=(const MPlugArray& other);
    MPlugArray& operator=(MPlugArray&& other) noexcept;

    MStatus set(const MPlug& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MPlug& element, unsigned int index);
    MStatus append(const MPlug& element);
    MStatus copy(const MPlugArray& source);
    MStatus clear();
    MStatus get(MPlug dest[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MPlug& operator[](unsigned int index);
    const MPlug& operator[](unsigned int index) const;

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MPlug> fData;
    unsigned int fSizeIncrement;
};

#endif
