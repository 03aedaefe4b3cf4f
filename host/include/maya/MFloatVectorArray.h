#ifndef MAYA_MFLOATVECTORARRAY_H
#define MAYA_MFLOATVECTORARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MFloatVector.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of single-precision vectors, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MFloatVectorArray
{
public:
    typedef MArrayIteratorTemplate<MFloatVectorArray, MFloatVector> Iterator;
    typedef MArrayConstIteratorTemplate<MFloatVectorArray, MFloatVector> ConstIterator;

    MFloatVectorArray();
    MFloatVectorArray(const MFloatVectorArray& other);
    MFloatVectorArray(MFloatVectorArray&& other) noexcept;
    MFloatVectorArray(const MFloatVector src[], unsigned int count);
    MFloatVectorArray(const double vectors[][3], unsigned int count);
    MFloatVectorArray(const float vectors[][3], unsigned int count);
    MFloatVectorArray(unsigned int initialSize, const MFloatVector& initialValue = MFloatVector::zero);
    ~MFloatVectorArray();
    MFloatVectorArray& operator=(const MFloatVectorArray& other);
    MFloatVectorArray& operator=(MFloatVectorArray&& other) noexcept;

    MStatus set(const MFloatVector& element, unsigned int index);
    MStatus set(double element[3], unsigned int index);
    MStatus set(float element[3], unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MFloatVector& element, unsigned int index);
    MStatus append(const MFloatVector& element);
    MStatus copy(const MFloatVectorArray& source);
    MStatus clear();
    MStatus get(double dest[][3]) const;
    MStatus get(float dest[][3]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MFloatVector& operator[](unsigned int index) { return fData[index]; }
    const MFloatVector& operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MFloatVectorArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MFloatVector> fData;
    unsigned int fSizeIncrement;
};

#endif
