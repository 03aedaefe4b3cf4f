#ifndef MAYA_MPOINTARRAY_H
#define MAYA_MPOINTARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of points, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MPointArray
{
public:
    typedef MArrayIteratorTemplate<MPointArray, MPoint> Iterator;
    typedef MArrayConstIteratorTemplate<MPointArray, MPoint> ConstIterator;

    MPointArray();
    MPointArray(const MPointArray& other);
    MPointArray(MPointArray&& other) noexcept;
    MPointArray(const MPoint src[], unsigned int count);
    MPointArray(const double points[][4], unsigned int count);
    MPointArray(const float points[][4], unsigned int count);
    MPointArray(unsigned int initialSize, const MPoint& initialValue = MPoint::origin);
    ~MPointArray();
    MPointArray& operator=(const MPointArray& other);
    MPointArray& operator=(MPointArray&& other) noexcept;

    MStatus set(const MPoint& element, unsigned int index);
    MStatus set(unsigned int index, double x, double y, double z = 0, double w = 1);
    MStatus set(double element[4], unsigned int index);
    MStatus set(float element[4], unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MPoint& element, unsigned int index);
    MStatus append(const MPoint& element);
    MStatus append(double x, double y, double z = 0, double w = 1);
    MStatus copy(const MPointArray& source);
    MStatus clear();
    MStatus get(double dest[][4]) const;
    MStatus get(float dest[][4]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MPoint& operator[](unsigned int index) { return fData[index]; }
    const MPoint& operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MPointArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MPoint> fData;
    unsigned int fSizeIncrement;
};

#endif
