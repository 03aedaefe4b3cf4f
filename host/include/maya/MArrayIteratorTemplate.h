#ifndef MAYA_MARRAYITERATORTEMPLATE_H
#define MAYA_MARRAYITERATORTEMPLATE_H

#include <maya/MTypes.h>

#include <cstddef>
#include <iterator>

// The iterators of the API array classes: a position in one array, stepped one element at a
// time, enough for range-for loops and the standard algorithms that walk forward or back.
// Reading through the constant form goes through the array's modifiable element access, so
// that arrays which hand out const elements by value can still give a reference.
template <typename Array, typename Element>
class MArrayConstIteratorTemplate
{
public:
    typedef Element value_type;
    typedef Element& reference;
    typedef Element* pointer;
    typedef std::ptrdiff_t difference_type;
    typedef std::bidirectional_iterator_tag iterator_category;

    explicit MArrayConstIteratorTemplate(const Array& array, unsigned int index = 0)
        : fArray(const_cast<Array*>(&array)), fIndex(index)
    {
    }

    bool operator==(const MArrayConstIteratorTemplate& other) { return fArray == other.fArray && fIndex == other.fIndex; }
    bool operator!=(const MArrayConstIteratorTemplate& other) { return !(*this == other); }
    const Element& operator*() { return (*fArray)[fIndex]; }
    const MArrayConstIteratorTemplate& operator++()
    {
        ++fIndex;
        return *this;
    }
    const MArrayConstIteratorTemplate& operator--()
    {
        --fIndex;
        return *this;
    }

protected:
    Array* fArray;
    unsigned int fIndex;
};

template <typename Array, typename Element>
class MArrayIteratorTemplate : public MArrayConstIteratorTemplate<Array, Element>
{
public:
    typedef typename MArrayConstIteratorTemplate<Array, Element>::reference reference;

    explicit MArrayIteratorTemplate(Array& array, unsigned int index = 0)
        : MArrayConstIteratorTemplate<Array, Element>(array, index)
    {
    }

    reference operator*() const { return (*this->fArray)[this->fIndex]; }
};

#endif
