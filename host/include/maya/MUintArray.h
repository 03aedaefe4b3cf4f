#ifndef MAYA_MUINTARRAY_H
#define MAYA_MUINTARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of unsigned ints, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MUintArray
{
public:
    typedef MArrayIteratorTemplate<MUintArray, unsigned int> Iterator;
    typedef MArrayConstIteratorTemplate<MUintArray, unsigned int> ConstIterator;

    MUintArray();
    MUintArray(const MUintArray& other);
    MUintArray(MUintArray&& other) noexcept;
    MUintArray(const unsigned int src[], unsigned int count);
    MUintArray(unsigned int initialSize, unsigned int initialValue = 0);
    ~MUintArray();
    MUintArray& operator=(const MUintArray& other);
    MUintArray& operator=(MUintArray&& other) noexcept;

    MStatus set(unsigned int element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(unsigned int element, unsigned int index);
    MStatus append(unsigned int element);
    MStatus copy(const MUintArray& source);
    MStatus clear();
    MStatus get(unsigned int dest[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    unsigned int& operator[](unsigned int index) { return fData[index]; }
    unsigned int operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MUintArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<unsigned int> fData;
    unsigned int fSizeIncrement;
};

#endif
