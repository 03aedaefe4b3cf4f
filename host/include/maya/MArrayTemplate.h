#ifndef MAYA_MARRAYTEMPLATE_H
#define MAYA_MARRAYTEMPLATE_H

// Shared storage and behaviour of the API array classes. Each array class is
// declared in its own header as
//     class MIntArray : public MArrayTemplate<int> { public: using MArrayTemplate<int>::MArrayTemplate; };
// Plug-in code names the array classes only, never this template.

#include <maya/MStatus.h>
#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

template <typename T>
class MArrayTemplate
{
public:
    typedef T value_type;
    typedef typename std::vector<T>::iterator iterator;
    typedef typename std::vector<T>::const_iterator const_iterator;

    MArrayTemplate() = default;
    MArrayTemplate(const T src[], unsigned int count) : fData(src, src + count) {}
    explicit MArrayTemplate(unsigned int initialSize, const T& initialValue = T())
        : fData(initialSize, initialValue) {}
    MArrayTemplate(const MArrayTemplate&) = default;
    MArrayTemplate(MArrayTemplate&&) noexcept = default;
    MArrayTemplate& operator=(const MArrayTemplate&) = default;
    MArrayTemplate& operator=(MArrayTemplate&&) noexcept = default;
    ~MArrayTemplate() = default;

    // No bounds check, as in the API: callers check against length().
    const T& operator[](unsigned int index) const { return fData[index]; }
    T& operator[](unsigned int index) { return fData[index]; }
    unsigned int length() const { return static_cast<unsigned int>(fData.size()); }

    MStatus set(const T& element, unsigned int index)
    {
        if (index >= fData.size()) return MStatus::kFailure;
        fData[index] = element;
        return MStatus::kSuccess;
    }

    MStatus setLength(unsigned int newLength)
    {
        fData.resize(newLength);
        return MStatus::kSuccess;
    }

    MStatus remove(unsigned int index)
    {
        if (index >= fData.size()) return MStatus::kFailure;
        fData.erase(fData.begin() + index);
        return MStatus::kSuccess;
    }

    // Inserting at length() appends; beyond that is an error.
    MStatus insert(const T& element, unsigned int index)
    {
        if (index > fData.size()) return MStatus::kFailure;
        fData.insert(fData.begin() + index, element);
        return MStatus::kSuccess;
    }

    MStatus append(const T& element)
    {
        if (fData.size() == fData.capacity() && fSizeIncrement > 1)
            fData.reserve(fData.size() + std::max<size_t>(fSizeIncrement, fData.size() / 2));
        fData.push_back(element);
        return MStatus::kSuccess;
    }

    MStatus copy(const MArrayTemplate& source)
    {
        if (&source != this) fData = source.fData;
        return MStatus::kSuccess;
    }

    MStatus clear()
    {
        fData.clear();
        return MStatus::kSuccess;
    }

    MStatus get(T dest[]) const
    {
        if (dest == nullptr && !fData.empty()) return MStatus::kInvalidParameter;
        std::copy(fData.begin(), fData.end(), dest);
        return MStatus::kSuccess;
    }

    void setSizeIncrement(unsigned int newIncrement) { fSizeIncrement = newIncrement; }
    unsigned int sizeIncrement() const { return fSizeIncrement; }

    iterator begin() { return fData.begin(); }
    iterator end() { return fData.end(); }
    const_iterator begin() const { return fData.begin(); }
    const_iterator end() const { return fData.end(); }
    const_iterator cbegin() const { return fData.cbegin(); }
    const_iterator cend() const { return fData.cend(); }

protected:
    std::vector<T> fData;
    unsigned int fSizeIncrement = 1;
};

// Prints "[a, b, c]".
template <typename T>
std::ostream& operator<<(std::ostream& out, const MArrayTemplate<T>& array)
{
    out << "[";
    for (unsigned int i = 0; i < array.length(); ++i) {
        if (i) out << ", ";
        out << array[i];
    }
    return out << "]";
}

#endif
