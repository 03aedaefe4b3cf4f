#ifndef MAYA_MTIMEARRAY_H
#define MAYA_MTIMEARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTime.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of times, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MTimeArray
{
public:
    typedef MArrayIteratorTemplate<MTimeArray, MTime> Iterator;
    typedef MArrayConstIteratorTemplate<MTimeArray, MTime> ConstIterator;

    MTimeArray();
    MTimeArray(const MTimeArray& other);
    MTimeArray(MTimeArray&& other) noexcept;
    MTimeArray(const MTime src[], unsigned int count);
    MTimeArray(unsigned int initialSize, const MTime& initialValue);
    ~MTimeArray();
    MTimeArray& operator=(const MTimeArray& other);
    MTimeArray& operator=(MTimeArray&& other) noexcept;

    MStatus set(const MTime& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MTime& element, unsigned int index);
    MStatus append(const MTime& element);
    MStatus copy(const MTimeArray& source);
    MStatus clear();
    MStatus get(MTime dest[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MTime& operator[](unsigned int index) { return fData[index]; }
    const MTime& operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MTimeArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MTime> fData;
    unsigned int fSizeIncrement;
};

#endif
