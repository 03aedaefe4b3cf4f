#pragma once
// The body shared by the array data function sets (MFnIntArrayData and kin).

#include "dg/Data.h"
#include "dg/FnSet.h"

#include <type_traits>
#include <utility>

namespace host {

template <class D, MFn::Type FnType>
struct ArrayDataFnSet
{
    using Array = decltype(D::value);

    static D* payload(const MObject& object)
    {
        return object.hasFn(FnType) ? static_cast<D*>(dataOf(object)) : nullptr;
    }

    static MObject create(MObject& target, const Array& in, MStatus* status)
    {
        target = ObjectAccess::make(new D(in));
        setStatus(status, MStatus::kSuccess);
        return target;
    }

    static Array array(const MObject& object, MStatus* status)
    {
        D* d = payload(object);
        setStatus(status, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
        return d ? d->value : Array();
    }

    static unsigned int length(const MObject& object, MStatus* status)
    {
        D* d = payload(object);
        setStatus(status, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
        return d ? d->value.length() : 0;
    }

    static MStatus set(const MObject& object, const Array& in)
    {
        D* d = payload(object);
        if (!d)
            return MStatus::kInvalidParameter;
        d->value = in;
        return MStatus::kSuccess;
    }

    static MStatus copyTo(const MObject& object, Array& out)
    {
        D* d = payload(object);
        if (!d)
            return MStatus::kInvalidParameter;
        out = d->value;
        return MStatus::kSuccess;
    }

    // Element `index`, or a reset scratch value when out of range (undefined
    // in the API; this keeps a bad index from corrupting memory).
    static typename std::remove_reference<decltype(std::declval<Array&>()[0])>::type& at(const MObject& object,
                                                                                          unsigned int index)
    {
        using Element = typename std::remove_reference<decltype(std::declval<Array&>()[0])>::type;
        static thread_local Element scratch;
        D* d = payload(object);
        if (d && index < d->value.length())
            return d->value[index];
        scratch = Element();
        return scratch;
    }
};

} // namespace host
