#ifndef MAYA_MCOLORARRAY_H
#define MAYA_MCOLORARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MColor.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of colours, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MColorArray
{
public:
    typedef MArrayIteratorTemplate<MColorArray, MColor> Iterator;
    typedef MArrayConstIteratorTemplate<MColorArray, MColor> ConstIterator;

    MColorArray();
    MColorArray(const MColorArray& other);
    MColorArray(MColorArray&& other) noexcept;
    MColorArray(const MColor src[], unsigned int count);
    MColorArray(const float src[][4], unsigned int count);
    MColorArray(const double src[][4], unsigned int count);
    MColorArray(unsigned int initialSize, const MColor& initialValue = MColor::kOpaqueBlack);
    ~MColorArray();
    MColorArray& operator=(const MColorArray& other);
    MColorArray& operator=(MColorArray&& other) noexcept;

    MStatus set(const MColor& element, unsigned int index);
    MStatus set(unsigned int index, float r, float g, float b, float a = 1);
    MStatus set(float val[4], unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MColor& element, unsigned int index);
    MStatus append(const MColor& element);
    MStatus append(float r, float g, float b, float a = 1);
    MStatus copy(const MColorArray& source);
    MStatus clear();
    MStatus get(float dest[][4]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MColor& operator[](unsigned int index) { return fData[index]; }
    const MColor& operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MColorArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MColor> fData;
    unsigned int fSizeIncrement;
};

#endif
