#ifndef MAYA_MOBJECTARRAY_H
#define MAYA_MOBJECTARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <vector>

// A growable array of objects, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MObjectArray
{
public:
    typedef MArrayIteratorTemplate<MObjectArray, MObject> Iterator;
    typedef MArrayConstIteratorTemplate<MObjectArray, MObject> ConstIterator;

    MObjectArray();
    MObjectArray(const MObjectArray& other);
    MObjectArray(MObjectArray&& other) noexcept;
    MObjectArray(const MObject src[], unsigned int count);
    MObjectArray(unsigned int initialSize, const MObject& initialValue = MObject::kNullObj);
    ~MObjectArray();
    MObjectArray& operator=(const MObjectArray& other);
    MObjectArray& operator=(MObjectArray&& other) noexcept;

    MStatus set(const MObject& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MObject& element, unsigned int index);
    MStatus append(const MObject& element);
    MStatus copy(const MObjectArray& source);
    MStatus clear();
    MStatus get(MObject dest[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MObject& operator[](unsigned int index) { return fData[index]; }
    const MObject& operator[](unsigned int index) const { return fData[index]; }

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MObject> fData;
    unsigned int fSizeIncrement;
};

#endif
