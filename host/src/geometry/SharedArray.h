#pragma once
// A vector shared between copies until one of them is written: copying a mesh to move its
// points (what every deformer does) then copies the points alone, not the faces, edges and UVs.
// Reads go through the const members (or a const reference to the vector); any non-const
// member first takes a copy of its own when another array shares the values.

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <vector>

namespace host {

template <class T>
class SharedArray
{
public:
    using value_type = T;
    using size_type = size_t;
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    SharedArray() = default;
    SharedArray(std::vector<T> values) : mValues(std::make_shared<std::vector<T>>(std::move(values))) {}
    SharedArray(std::initializer_list<T> values) : mValues(std::make_shared<std::vector<T>>(values)) {}
    SharedArray& operator=(std::vector<T> values)
    {
        mValues = std::make_shared<std::vector<T>>(std::move(values));
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
            mValues = std::make_shared<std::vector<T>>();
        else if (mValues.use_count() > 1)
            mValues = std::make_shared<std::vector<T>>(*mValues);
        return *mValues;
    }
    T* data() { return edit().data(); }
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
    static const std::vector<T>& none()
    {
        static const std::vector<T> values;
        return values;
    }

    std::shared_ptr<std::vector<T>> mValues;
};

} // namespace host
