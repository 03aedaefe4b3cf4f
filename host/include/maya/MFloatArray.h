#ifndef MAYA_MFLOATARRAY_H
#define MAYA_MFLOATARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of floats, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MFloatArray
{
public:
    typedef MArrayIteratorTemplate<MFloatArray, float> Iterator;
    typedef MArrayConstIteratorTemplate<MFloatArray, float> ConstIterator;

    MFloatArray();
    MFloatArray(const MFloatArray& other);
    MFloatArray(MFloatArray&& other) noexcept;
    MFloatArray(const float src[], unsigned int count);
    MFloatArray(const double src[], unsigned int count);
    MFloatArray(unsigned int initialSize, float initialValue = 0);
    ~MFloatArray();
    MFloatArray& operator=(const MFloatArray& other);
    MFloatArray& operator=(MFloatArray&& other) noexcept;

    MStatus set(float element, unsigned int index);
    MStatus set(double element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(float element, unsigned int index);
    MStatus append(float element);
    MStatus copy(const MFloatArray& source);
    MStatus clear();
    MStatus get(float dest[]) const;
    MStatus get(double dest[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    float& operator[](unsigned int index) { return fData[index]; }
    float operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MFloatArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<float> fData;
    unsigned int fSizeIncrement;
};

#endif
