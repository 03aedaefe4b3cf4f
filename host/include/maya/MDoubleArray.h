#ifndef MAYA_MDOUBLEARRAY_H
#define MAYA_MDOUBLEARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of doubles, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MDoubleArray
{
public:
    typedef MArrayIteratorTemplate<MDoubleArray, double> Iterator;
    typedef MArrayConstIteratorTemplate<MDoubleArray, double> ConstIterator;

    MDoubleArray();
    MDoubleArray(const MDoubleArray& other);
    MDoubleArray(MDoubleArray&& other) noexcept;
    MDoubleArray(const double src[], unsigned int count);
    MDoubleArray(const float src[], unsigned int count);
    MDoubleArray(unsigned int initialSize, double initialValue = 0);
    ~MDoubleArray();
    MDoubleArray& operator=(const MDoubleArray& other);
    MDoubleArray& operator=(MDoubleArray&& other) noexcept;

    MStatus set(double element, unsigned int index);
    MStatus set(float element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(double element, unsigned int index);
    MStatus append(double element);
    MStatus copy(const MDoubleArray& source);
    MStatus clear();
    MStatus get(double dest[]) const;
    MStatus get(float dest[]) const;
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    double& operator[](unsigned int index) { return fData[index]; }
    double operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MDoubleArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<double> fData;
    unsigned int fSizeIncrement;
};

#endif
