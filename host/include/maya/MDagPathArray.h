#ifndef MAYA_MDAGPATHARRAY_H
#define MAYA_MDAGPATHARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

class MDagPath;

// A growable array of DAG paths, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MDagPathArray
{
public:
    typedef MArrayIteratorTemplate<MDagPathArray, MDagPath> Iterator;
    typedef MArrayConstIteratorTemplate<MDagPathArray, MDagPath> ConstIterator;

    MDagPathArray();
    MDagPathArray(const MDagPathArray& other);
    MDagPathArray(MDagPathArray&& other) noexcept;
    MDagPathArray(unsigned int initialSize, const MDagPath& initialValue);
    ~MDagPathArray();
    MDagPathArray& operator=(const MDagPathArray& other);
    MDagPathArray& operator=(MDagPathArray&& other) noexcept;

    MStatus set(const MDagPath& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const;
    MStatus remove(unsigned int index);
    MStatus insert(const MDagPath& element, unsigned int index);
    MStatus append(const MDagPath& element);
    MStatus copy(const MDagPathArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MDagPath& operator[](unsigned int index);
    const MDagPath& operator[](unsigned int index) const;
    friend std::ostream& operator<<(std::ostream& os, const MDagPathArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MDagPath> fData;
    unsigned int fSizeIncrement;
};

#endif
