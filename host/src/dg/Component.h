#pragma once
// Component objects: the indices of a shape's vertices, edges or faces that an
// MObject of a component type carries (MFnSingleIndexedComponent), and the set
// operations selection lists merge them with.

#include "dg/Object.h"

#include <maya/MObject.h>

#include <string>
#include <vector>

namespace host {

class Component : public Object
{
public:
    static constexpr Kind kKind = Kind::Component;
    explicit Component(MFn::Type type) : Object(Kind::Component, type) {}

    // Ascending, without repeats.
    std::vector<int> elements;
    // A complete component stands for every index below `completeCount`.
    bool complete = false;
    int completeCount = 0;

    // The indices it stands for, complete ones spelled out.
    std::vector<int> indices() const;
    void add(int element);
    void add(const int* elements, size_t count);
};

// A new component of `type` holding `indices` (ascending, without repeats).
MObject makeComponent(MFn::Type type, std::vector<int> indices);
// Whether `object` is a single-indexed component.
inline Component* componentOf(const MObject& object)
{
    return objectAs<Component>(object);
}

// The short name of the component kind in names ("vtx", "e", "f", "cv"), or null.
const char* componentKindName(MFn::Type type);
// The component type a kind name stands for, or kInvalid.
MFn::Type componentTypeOfKind(const std::string& kind);
// "i" and "a:b" ranges of ascending indices: {3, 10, 11, 12} -> "3", "10:12".
std::vector<std::string> indexRanges(const std::vector<int>& indices);

} // namespace host
