#ifndef MAYA_MVECTORARRAY_H
#define MAYA_MVECTORARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

#include <iosfwd>
#include <vector>

// A growable array of vectors, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MVectorArray
{
public:
    typedef MArrayIteratorTemplate<MVectorArray, MVector> Iterator;
    typedef MArrayConstIteratorTemplate<MVectorArray, MVector> ConstIterator;

    MVectorArray();
    MVectorArray(const MVectorArray& other);
    MVectorArray(MVectorArray&& other) noexcept;
    MVectorArray(const MVector src[], unsigned int count);
    MVectorArray(const double vectors[][3], unsigned int count);
    MVectorArray(const float vectors[][3], unsigned int count);
    MVectorArray(unsigned int initialSize, const MVector& initialValue = MVector::zero);
    ~MVectorArray();
    MVectorArray& operator=(const MVectorArray& other);
    MVectorArray& operator=(MVectorArray&& other) noexcept;

    MStatus set(const MVector& element, unsigned int index);
    MStatus set(double element[3], unsigned int index);
    MStatus set(float element[3], unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MVector& element, unsigned int index);
    MStatus append(const MVector& element);
    MStatus copy(const MVectorArray& source);
    MStatus clear();
    MStatus get(double dest[][3]) const;
    MStatus get(float dest[][3]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MVector& operator[](unsigned int index) { return fData[index]; }
    const MVector& operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MVectorArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MVector> fData;
    unsigned int fSizeIncrement;
};

#endif
