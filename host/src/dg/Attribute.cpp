#include "dg/Attribute.h"

#include <algorithm>

namespace host {

Attribute::Attribute(AttrKind kind, MFn::Type type, const MString& longName, const MString& briefName)
    : Object(Kind::Attribute, type), attrKind(kind), name(longName), shortName(briefName)
{
}

Attribute::~Attribute()
{
    for (Attribute* child : children) {
        child->parent = nullptr;
        child->unref();
    }
}

bool Attribute::hasFn(MFn::Type type) const
{
    // Numeric compounds (double3, float3 ...) are numeric and compound at once.
    if (type == MFn::kNumericAttribute && isNumericCompound())
        return true;
    return Object::hasFn(type);
}

const Attribute* Attribute::root() const
{
    const Attribute* a = this;
    while (a->parent)
        a = a->parent;
    return a;
}

double Attribute::clamp(double value, int component) const
{
    int c = std::min(component, 2);
    if (hasMin && value < minValue[c])
        value = minValue[c];
    if (hasMax && value > maxValue[c])
        value = maxValue[c];
    return value;
}

MStatus Attribute::addChild(Attribute* child)
{
    if (!child || child == this)
        return MStatus::kInvalidParameter;
    if (added || child->added || child->parent)
        return MStatus::kInvalidParameter;  // children are fixed once the attribute is in use
    for (const Attribute* c : children)
        if (c->name == child->name)
            return MStatus::kInvalidParameter;
    std::vector<Attribute*> stack{child};
    int extra = 0;
    while (!stack.empty()) {  // deepest level below child
        Attribute* a = stack.back();
        stack.pop_back();
        extra = std::max(extra, a->depth - child->depth);
        for (Attribute* c : a->children)
            stack.push_back(c);
    }
    if (depth + 1 + extra >= kMaxAttrDepth)
        return MStatus::kInvalidParameter;
    child->ref();
    child->parent = this;
    child->childIndex = static_cast<int>(children.size());
    children.push_back(child);
    // Re-level the child's subtree.
    stack.push_back(child);
    while (!stack.empty()) {
        Attribute* a = stack.back();
        stack.pop_back();
        a->depth = a->parent->depth + 1;
        for (Attribute* c : a->children)
            stack.push_back(c);
    }
    return MStatus::kSuccess;
}

} // namespace host
