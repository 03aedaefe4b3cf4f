#ifndef MAYA_MINTARRAY_H
#define MAYA_MINTARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of ints, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MIntArray
{
public:
    typedef MArrayIteratorTemplate<MIntArray, int> Iterator;
    typedef MArrayConstIteratorTemplate<MIntArray, int> ConstIterator;

    MIntArray();
    MIntArray(const MIntArray& other);
    MIntArray(MIntArray&& other) noexcept;
    MIntArray(const int src[], unsigned int count);
    MIntArray(unsigned int initialSize, int initialValue = 0);
    ~MIntArray();
    MIntArray& operator=(const MIntArray& other);
    MIntArray& operator=(MIntArray&& other) noexcept;

    MStatus set(int element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(int element, unsigned int index);
    MStatus append(int element);
    MStatus copy(const MIntArray& source);
    MStatus clear();
    MStatus get(int dest[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    int& operator[](unsigned int index) { return fData[index]; }
    int operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MIntArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<int> fData;
    unsigned int fSizeIncrement;
};

#endif
