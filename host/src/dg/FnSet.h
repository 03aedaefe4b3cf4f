#pragma once
// Shared plumbing of the function-set classes.

#include "dg/Attribute.h"

#include <maya/MObject.h>
#include <maya/MStatus.h>

// The constructors, destructor and type() every function set has.
#define HOST_FN_SET_BASICS(Class, FnType)                                    \
    Class::Class() = default;                                                \
    Class::Class(MObject& object, MStatus* ReturnStatus) { init(object, ReturnStatus); } \
    Class::Class(const MObject& object, MStatus* ReturnStatus) { init(object, ReturnStatus); } \
    Class::~Class() = default;                                               \
    MFn::Type Class::type() const { return FnType; }

namespace host {

inline void setStatus(MStatus* status, MStatus value)
{
    if (status)
        *status = value;
}

// Creates an attribute and returns its MObject; fails on an empty name.
MObject newAttribute(AttrKind kind, MFn::Type type, const MString& name, const MString& shortName,
                     MStatus* status);

} // namespace host
