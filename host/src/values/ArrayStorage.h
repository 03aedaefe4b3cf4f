#ifndef HOST_VALUES_ARRAYSTORAGE_H
#define HOST_VALUES_ARRAYSTORAGE_H

// What the API array classes share: each keeps its elements in a std::vector `fData` and
// grows by at least `fSizeIncrement` elements at a time. The macros define the members
// every array class declares; the functions below do the work.

#include <maya/MDagPath.h>
#include <maya/MStatus.h>

#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

class MDagPath;

namespace host
{
namespace arrays
{

template <typename T, typename U>
MStatus set(std::vector<T>& data, const U& element, unsigned int index)
{
    if (index >= data.size()) return MStatus::kFailure;
    data[index] = element;
    return MStatus::kSuccess;
}

template <typename T>
MStatus remove(std::vector<T>& data, unsigned int index)
{
    if (index >= data.size()) return MStatus::kFailure;
    data.erase(data.begin() + index);
    return MStatus::kSuccess;
}

// Inserting at length() appends; beyond that is an error.
template <typename T>
MStatus insert(std::vector<T>& data, const T& element, unsigned int index)
{
    if (index > data.size()) return MStatus::kFailure;
    data.insert(data.begin() + index, element);
    return MStatus::kSuccess;
}

// Grows by the size increment (or by half) when full. The element is copied first: it may be
// one of the array's own, which growing moves.
template <typename T>
MStatus append(std::vector<T>& data, unsigned int sizeIncrement, const T& element)
{
    if (data.size() == data.capacity() && sizeIncrement > 1) {
        T copy(element);
        data.reserve(data.size() + std::max<size_t>(sizeIncrement, data.size() / 2));
        data.push_back(std::move(copy));
    } else {
        data.push_back(element);
    }
    return MStatus::kSuccess;
}

template <typename T, typename U>
MStatus get(const std::vector<T>& data, U dest[])
{
    if (dest == nullptr && !data.empty()) return MStatus::kInvalidParameter;
    std::copy(data.begin(), data.end(), dest);
    return MStatus::kSuccess;
}

template <typename T>
void printElement(std::ostream& out, const T& element)
{
    out << element;
}
void printElement(std::ostream& out, const MDagPath& element);

// Prints "[a, b, c]".
template <typename T>
std::ostream& print(std::ostream& out, const std::vector<T>& data)
{
    out << "[";
    for (size_t i = 0; i < data.size(); ++i) {
        if (i) out << ", ";
        printElement(out, data[i]);
    }
    return out << "]";
}

} // namespace arrays
} // namespace host

#define HOST_ARRAY_COMMON_MEMBERS(Array, Element, Param)                                                 \
    Array::Array() : fSizeIncrement(1) {}                                                               \
    Array::Array(const Array& other) = default;                                                         \
    Array::Array(Array&& other) noexcept = default;                                                     \
    Array::~Array() = default;                                                                          \
    Array& Array::operator=(const Array& other) = default;                                              \
    Array& Array::operator=(Array&& other) noexcept = default;                                          \
    MStatus Array::set(Param element, unsigned int index) { return host::arrays::set(fData, element, index); } \
    MStatus Array::setLength(unsigned int length)                                                       \
    {                                                                                                   \
        fData.resize(length);                                                                           \
        return MStatus::kSuccess;                                                                       \
    }                                                                                                   \
    MStatus Array::remove(unsigned int index) { return host::arrays::remove(fData, index); }            \
    MStatus Array::insert(Param element, unsigned int index)                                            \
    {                                                                                                   \
        return host::arrays::insert<Element>(fData, element, index);                                    \
    }                                                                                                   \
    MStatus Array::append(Param element) { return host::arrays::append<Element>(fData, fSizeIncrement, element); } \
    MStatus Array::clear()                                                                              \
    {                                                                                                   \
        fData.clear();                                                                                  \
        return MStatus::kSuccess;                                                                       \
    }                                                                                                   \
    void Array::setSizeIncrement(unsigned int newIncrement) { fSizeIncrement = newIncrement; }          \
    unsigned int Array::sizeIncrement() const { return fSizeIncrement; }                                \
    Array::Iterator Array::begin() { return Iterator(*this, 0); }                                       \
    Array::Iterator Array::end() { return Iterator(*this, length()); }                                  \
    Array::ConstIterator Array::begin() const { return ConstIterator(*this, 0); }                       \
    Array::ConstIterator Array::end() const { return ConstIterator(*this, length()); }                  \
    Array::ConstIterator Array::cbegin() const { return ConstIterator(*this, 0); }                      \
    Array::ConstIterator Array::cend() const { return ConstIterator(*this, length()); }

#define HOST_ARRAY_SOURCE_CONSTRUCTOR(Array, Element)                                                    \
    Array::Array(const Element src[], unsigned int count) : fData(src, src + (src ? count : 0)), fSizeIncrement(1) {}

#define HOST_ARRAY_FILLED_CONSTRUCTOR(Array, Param)                                                      \
    Array::Array(unsigned int initialSize, Param initialValue) : fData(initialSize, initialValue), fSizeIncrement(1) {}

#define HOST_ARRAY_SIZED_CONSTRUCTOR(Array)                                                              \
    Array::Array(unsigned int initialSize) : fData(initialSize), fSizeIncrement(1) {}

#define HOST_ARRAY_COPY(Array)                                                                           \
    MStatus Array::copy(const Array& source)                                                            \
    {                                                                                                   \
        if (&source != this) fData = source.fData;                                                      \
        return MStatus::kSuccess;                                                                       \
    }

#define HOST_ARRAY_GET(Array, Element)                                                                   \
    MStatus Array::get(Element dest[]) const { return host::arrays::get(fData, dest); }

#define HOST_ARRAY_OUT_OF_LINE_ACCESS(Array, Element, ConstAccess)                                       \
    unsigned int Array::length() const { return static_cast<unsigned int>(fData.size()); }              \
    Element& Array::operator[](unsigned int index) { return fData[index]; }                             \
    ConstAccess Array::operator[](unsigned int index) const { return fData[index]; }

#define HOST_ARRAY_PRINT(Array)                                                                          \
    std::ostream& operator<<(std::ostream& os, const Array& array) { return host::arrays::print(os, array.fData); }

#endif
