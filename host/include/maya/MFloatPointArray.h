#ifndef MAYA_MFLOATPOINTARRAY_H
#define MAYA_MFLOATPOINTARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MFloatPoint.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of single-precision points, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MFloatPointArray
{
public:
    typedef MArrayIteratorTemplate<MFloatPointArray, MFloatPoint> Iterator;
    typedef MArrayConstIteratorTemplate<MFloatPointArray, MFloatPoint> ConstIterator;

    MFloatPointArray();
    MFloatPointArray(const MFloatPointArray& other);
    MFloatPointArray(MFloatPointArray&& other) noexcept;
    MFloatPointArray(const MFloatPoint src[], unsigned int count);
    MFloatPointArray(const float points[][4], unsigned int count);
    MFloatPointArray(const double points[][4], unsigned int count);
    MFloatPointArray(unsigned int initialSize, const MFloatPoint& initialValue = MFloatPoint::origin);
    ~MFloatPointArray();
    MFloatPointArray& operator=(const MFloatPointArray& other);
    MFloatPointArray& operator=(MFloatPointArray&& other) noexcept;

    MStatus set(const MFloatPoint& element, unsigned int index);
    MStatus set(unsigned int index, float x, float y, float z = 0, float w = 1);
    MStatus set(float element[4], unsigned int index);
    MStatus set(double element[4], unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MFloatPoint& element, unsigned int index);
    MStatus append(const MFloatPoint& element);
    MStatus append(float x, float y, float z = 0, float w = 1);
    MStatus copy(const MFloatPointArray& source);
    MStatus clear();
    MStatus get(float dest[][4]) const;
    MStatus get(double dest[][4]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MFloatPoint& operator[](unsigned int index) { return fData[index]; }
    const MFloatPoint& operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MFloatPointArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MFloatPoint> fData;
    unsigned int fSizeIncrement;
};

#endif
