#ifndef MAYA_MSTRINGARRAY_H
#define MAYA_MSTRINGARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

class MString;

// A growable array of strings, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MStringArray
{
public:
    typedef MArrayIteratorTemplate<MStringArray, MString> Iterator;
    typedef MArrayConstIteratorTemplate<MStringArray, MString> ConstIterator;

    MStringArray();
    MStringArray(const MStringArray& other);
    MStringArray(MStringArray&& other) noexcept;
    MStringArray(const MString src[], unsigned int count);
    MStringArray(const char* strings[], unsigned int count);
    MStringArray(unsigned int initialSize, const MString& initialValue);
    ~MStringArray();
    MStringArray& operator=(const MStringArray& other);
    MStringArray& operator=(MStringArray&& other) noexcept;

    MStatus set(const MString& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MString& element, unsigned int index);
    MStatus append(const MString& element);
    MStatus clear();
    MStatus get(MString dest[]) const;
    int indexOf(const MString& element) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MString& operator[](unsigned int index);
    MString operator[](unsigned int index) const;
    friend std::ostream& operator<<(std::ostream& os, const MStringArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MString> fData;
    unsigned int fSizeIncrement;
};

#endif
