#ifndef MAYA_MMATRIXARRAY_H
#define MAYA_MMATRIXARRAY_H

#include <maya/MArrayIteratorTemplate.h>
#include <maya/MMatrix.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <iosfwd>
#include <vector>

// A growable array of matrices, kept contiguous. Element access is unchecked, as in the API:
// callers check indices against length().
class MMatrixArray
{
public:
    typedef MArrayIteratorTemplate<MMatrixArray, MMatrix> Iterator;
    typedef MArrayConstIteratorTemplate<MMatrixArray, MMatrix> ConstIterator;

    MMatrixArray();
    MMatrixArray(const MMatrixArray& other);
    MMatrixArray(MMatrixArray&& other) noexcept;
    MMatrixArray(unsigned int initialSize);
    ~MMatrixArray();
    MMatrixArray& operator=(const MMatrixArray& other);
    MMatrixArray& operator=(MMatrixArray&& other) noexcept;

    MStatus set(const MMatrix& element, unsigned int index);
    MStatus setLength(unsigned int length);
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }
    MStatus remove(unsigned int index);
    MStatus insert(const MMatrix& element, unsigned int index);
    MStatus append(const MMatrix& element);
    MStatus copy(const MMatrixArray& source);
    MStatus clear();
    void setSizeIncrement(unsigned int newIncrement);
    unsigned int sizeIncrement() const;

    MMatrix& operator[](unsigned int index) { return fData[index]; }
    const MMatrix& operator[](unsigned int index) const { return fData[index]; }
    friend std::ostream& operator<<(std::ostream& os, const MMatrixArray& array);

    Iterator begin();
    Iterator end();
    ConstIterator begin() const;
    ConstIterator end() const;
    ConstIterator cbegin() const;
    ConstIterator cend() const;

private:
    std::vector<MMatrix> fData;
    unsigned int fSizeIncrement;
};

#endif
