#ifndef MAYA_MCALLBACKIDARRAY_H
#define MAYA_MCALLBACKIDARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MMessage.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of callback ids, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MCallbackIdArray
{
public:
    typedef MArrayIteratorTemplate<MCallbackIdArray, MCallbackId> Iterator;
    typedef MArrayConstIteratorTemplate<MCallbackIdArray, MCallbackId> ConstIterator;

    MCallbackIdArray();
    MCallbackIdArray(const MCallbackIdArray& other);
    MCallbackIdArray(MCallbackIdArray&& other) noexcept;
    MCallbackIdArray(const MCallbackId src[], unsigned int count);
    MCallbackIdArray(unsigned int initialSize, MCallbackId initialValue = 0);
    ~MCallbackIdArray();
    MCallbackIdArray& operator=(const MCallbackIdArray& other);
    MCallbackIdArray& operator=(MCallbackIdArray&& other) noexcept;

    MStatus set(MCallbackId element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(MCallbackId element, unsigned int index);
    MStatus append(MCallbackId element);
    MStatus copy(const MCallbackIdArray& source);
    MStatus clear();
    MStatus get(MCallbackId dest[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MCallbackId& operator[](unsigned int index) { return fData[index]; }
    MCallbackId operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MCallbackIdArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MCallbackId> fData;
    unsigned int fSizeIncrement;
};

#endif
