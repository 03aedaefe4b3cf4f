#pragma once
// A vector shared between copies until one of them is written: copying a mesh to move its
// points (what every deformer does) then copies the points alone, not the faces, edges and UVs.
// Reads go through the const members (or a const reference to the vector); any non-const
// member first takes a copy of its own when another array shares the values.

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>
#include <vector>

namespace host {

// The last large array of plain values dropped by its owners, kept (one per value type) for the
// next array written in full: a deformer writing every point each step then reuses memory already
// in use instead of taking new memory and zero-filling it first.
template <class T>
class SpareValues
{
public:
    static constexpr bool kKept = std::is_arithmetic<T>::value;
    static constexpr size_t kMinimum = size_t(1) << 16;  // smaller arrays come and go through malloc

    // Deleter of shared values: a large array becomes the spare, the spare it replaces is freed.
    struct Keep
    {
        void operator()(std::vector<T>* values) const
        {
            if (values->size() >= kMinimum) {
                std::lock_guard<std::mutex> guard(lock());
                std::swap(values, slot());
            }
            delete values;
        }
    };

    // The spare when it holds between n and 2n values (cut to n without writing any), else null.
    static std::vector<T>* take(size_t n)
    {
        if (n < kMinimum)
            return nullptr;
        std::vector<T>* spare = nullptr;
        {
            std::lock_guard<std::mutex> guard(lock());
            if (!slot() || slot()->size() < n || slot()->size() / 2 > n)
                return nullptr;
            std::swap(spare, slot());
        }
        spare->resize(n);
        return spare;
    }

private:
    // Never destroyed, so arrays dropped while the program ends still find them.
    static std::mutex& lock()
    {
        static std::mutex* const m = new std::mutex;
        return *m;
    }
    static std::vector<T>*& slot()
    {
        static std::vector<T>* spare = nullptr;
        return spare;
    }
};

template <class T>
class SharedArray
{
public:
    using value_type = T;
    using size_type = size_t;
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    SharedArray() = default;
    SharedArray(std::vector<T> values) : mValues(share(new std::vector<T>(std::move(values)))) {}
    SharedArray(std::initializer_list<T> values) : mValues(share(new std::vector<T>(values))) {}
    SharedArray& operator=(std::vector<T> values)
    {
        mValues = share(new std::vector<T>(std::move(values)));
        return *this;
    }

    // Reading.
    const std::vector<T>& get() const { return mValues ? *mValues : none(); }
    operator const std::vector<T>&() const { return get(); }
    size_t size() const { return get().size(); }
    bool empty() const { return get().empty(); }
    const T* data() const { return get().data(); }
    const T& operator[](size_t i) const { return get()[i]; }
    const T& front() const { return get().front(); }
    const T& back() const { return get().back(); }
    const_iterator begin() const { return get().begin(); }
    const_iterator end() const { return get().end(); }
    const_iterator cbegin() const { return get().begin(); }
    const_iterator cend() const { return get().end(); }
    bool operator==(const SharedArray& other) const { return mValues == other.mValues || get() == other.get(); }
    bool operator!=(const SharedArray& other) const { return !(*this == other); }
    // Whether both arrays hold the very same values (not a copy of them).
    bool shares(const SharedArray& other) const { return mValues && mValues == other.mValues; }

    // Writing: the values become this array's own first.
    std::vector<T>& edit()
    {
        if (!mValues)
            mValues = share(new std::vector<T>());
        else if (mValues.use_count() > 1)
            mValues = share(new std::vector<T>(*mValues));
        return *mValues;
    }
    T* data() { return edit().data(); }
    // For writing all `n` values: storage of this array's own without a copy of values that are
    // about to be overwritten (what it holds until written is unspecified).
    T* overwrite(size_t n)
    {
        if (mValues && mValues.use_count() == 1)
            mValues->resize(n);
        else if (std::vector<T>* spare = SpareValues<T>::kKept ? SpareValues<T>::take(n) : nullptr)
            mValues = share(spare);
        else
            mValues = share(new std::vector<T>(n));
        return mValues->data();
    }
    T& operator[](size_t i) { return edit()[i]; }
    T& front() { return edit().front(); }
    T& back() { return edit().back(); }
    iterator begin() { return edit().begin(); }
    iterator end() { return edit().end(); }
    void push_back(const T& value) { edit().push_back(value); }
    void push_back(T&& value) { edit().push_back(std::move(value)); }
    template <class... Args>
    T& emplace_back(Args&&... args)
    {
        return edit().emplace_back(std::forward<Args>(args)...);
    }
    void pop_back() { edit().pop_back(); }
    void resize(size_t n) { edit().resize(n); }
    void resize(size_t n, const T& value) { edit().resize(n, value); }
    void assign(size_t n, const T& value) { edit().assign(n, value); }
    template <class It>
    void assign(It first, It last)
    {
        edit().assign(first, last);
    }
    template <class It>
    iterator insert(const_iterator at, It first, It last)
    {
        const auto offset = at - get().begin();
        std::vector<T>& values = edit();
        return values.insert(values.begin() + offset, first, last);
    }
    void reserve(size_t n) { edit().reserve(n); }
    void clear() { mValues.reset(); }

private:
    static std::shared_ptr<std::vector<T>> share(std::vector<T>* values)
    {
        if (SpareValues<T>::kKept)
            return std::shared_ptr<std::vector<T>>(values, typename SpareValues<T>::Keep());
        return std::shared_ptr<std::vector<T>>(values);
    }

    static const std::vector<T>& none()
    {
        static const std::vector<T> values;
        return values;
    }

    std::shared_ptr<std::vector<T>> mValues;
};

} // namespace host
