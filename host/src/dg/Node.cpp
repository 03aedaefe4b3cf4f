#include "dg/Node.h"

#include "dg/Data.h"
#include "dg/Messages.h"
#include "dg/PlugState.h"
#include "dg/Registry.h"

#include <algorithm>

namespace host {

// ---------------------------------------------------------------------------
// Numeric storage helpers (shared with Graph.cpp through Node.h's contract).

Slot::Slot(Node* owner, Attribute* attribute, Slot* parentSlot, int logicalIndex)
    : node(owner), attr(attribute), parent(parentSlot), logical(logicalIndex)
{
    num.d4[0] = num.d4[1] = num.d4[2] = num.d4[3] = 0.0;
}

Slot::~Slot()
{
    PlugState::forget(this);
}

size_t Slot::lowerBound(int logicalIndex) const
{
    // Logical indices are distinct and sorted, so an element at the position of its own
    // index ends a dense run from 0: most arrays are dense, and this spares the search.
    const size_t at = static_cast<size_t>(logicalIndex);
    if (logicalIndex >= 0 && at < elements.size() && elements[at]->logical == logicalIndex)
        return at;
    auto it = std::lower_bound(elements.begin(), elements.end(), logicalIndex,
                               [](const std::unique_ptr<Slot>& s, int i) { return s->logical < i; });
    return static_cast<size_t>(it - elements.begin());
}

Slot* Slot::element(int logicalIndex, bool create)
{
    if (logicalIndex < 0)
        return nullptr;
    size_t pos = lowerBound(logicalIndex);
    if (pos < elements.size() && elements[pos]->logical == logicalIndex)
        return elements[pos].get();
    if (!create)
        return nullptr;
    auto slot = std::make_unique<Slot>(node, attr, this, logicalIndex);
    slot->initValue();
    // A new element of a dirty (output) array must be computed before use, and so must
    // the children of a compound element, which are pulled on their own.
    slot->inheritDirtyState(dirty, pristine);
    Slot* raw = slot.get();
    elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(pos), std::move(slot));
    return raw;
}

void Slot::inheritDirtyState(bool isDirty, bool isPristine)
{
    dirty = isDirty;
    pristine = isPristine;
    for (auto& child : children)
        child->inheritDirtyState(isDirty, isPristine);
}

void Slot::initValue()
{
    if (isArray())
        return;
    switch (attr->attrKind) {
    case AttrKind::Numeric:
    case AttrKind::Enum:
    case AttrKind::Unit:
        storeNumeric(num, attr->numericType, 0, attr->defaults[0]);
        break;
    case AttrKind::Compound:
        children.reserve(attr->children.size());
        for (Attribute* child : attr->children) {
            auto slot = std::make_unique<Slot>(node, child, this, -1);
            if (!attr->isNumericCompound())
                slot->initValue();
            children.push_back(std::move(slot));
        }
        if (attr->isNumericCompound())
            for (size_t i = 0; i < attr->children.size(); ++i)
                storeNumeric(num, attr->numericType, static_cast<int>(i), attr->children[i]->defaults[0]);
        break;
    case AttrKind::Typed:
        data = cloneData(attr->defaultData);
        break;
    case AttrKind::Matrix: {
        auto* m = new MatrixData;
        m->matrix = attr->matrixDefault;
        data = ObjectAccess::make(m);
        break;
    }
    case AttrKind::Generic:
    case AttrKind::Message:
        break;
    }
}

NumericValue* Slot::numericStorage(int& component)
{
    // Children of numeric compounds live packed in the parent value.
    if (parent && attr->parent && parent->attr == attr->parent && attr->parent->isNumericCompound()) {
        component = attr->childIndex;
        return &parent->num;
    }
    component = 0;
    return &num;
}

void Slot::copyValueFrom(const Slot& other)
{
    num = other.num;
    data = cloneData(other.data);
    hasData = other.hasData;
    for (size_t i = 0; i < children.size() && i < other.children.size(); ++i)
        children[i]->copyValueFrom(*other.children[i]);
    if (attr->is(kArray) && logical < 0) {
        for (const auto& e : other.elements) {
            Slot* mine = element(e->logical, true);
            mine->copyValueFrom(*e);
        }
    }
}

// ---------------------------------------------------------------------------

namespace {

int componentIndex(MFnNumericData::Type t, int component)
{
    switch (t) {
    case MFnNumericData::k2Short: case MFnNumericData::k3Short: case MFnNumericData::k2Int:
    case MFnNumericData::k3Int: case MFnNumericData::k2Float: case MFnNumericData::k3Float:
    case MFnNumericData::k2Double: case MFnNumericData::k3Double: case MFnNumericData::k4Double:
        return component;
    default:
        return 0;
    }
}

} // namespace

double loadNumeric(const NumericValue& v, MFnNumericData::Type t, int component)
{
    int c = componentIndex(t, component) & 3;
    switch (t) {
    case MFnNumericData::kBoolean: return v.b ? 1.0 : 0.0;
    case MFnNumericData::kByte: return v.uc;
    case MFnNumericData::kChar: return v.c;
    case MFnNumericData::kShort: case MFnNumericData::k2Short: case MFnNumericData::k3Short: return v.s3[c];
    case MFnNumericData::kInt: case MFnNumericData::k2Int: case MFnNumericData::k3Int: return v.i3[c];
    case MFnNumericData::kInt64: return static_cast<double>(v.l);
    case MFnNumericData::kFloat: case MFnNumericData::k2Float: case MFnNumericData::k3Float: return v.f3[c];
    case MFnNumericData::kDouble: case MFnNumericData::k2Double: case MFnNumericData::k3Double:
    case MFnNumericData::k4Double:
        return v.d4[c];
    default: return 0.0;
    }
}

void storeNumeric(NumericValue& v, MFnNumericData::Type t, int component, double value)
{
    int c = componentIndex(t, component) & 3;
    switch (t) {
    case MFnNumericData::kBoolean: v.b = value != 0.0; break;
    case MFnNumericData::kByte: v.uc = static_cast<unsigned char>(static_cast<int>(value)); break;
    case MFnNumericData::kChar: v.c = static_cast<char>(static_cast<int>(value)); break;
    case MFnNumericData::kShort: case MFnNumericData::k2Short: case MFnNumericData::k3Short:
        v.s3[c] = static_cast<short>(value);
        break;
    case MFnNumericData::kInt: case MFnNumericData::k2Int: case MFnNumericData::k3Int:
        v.i3[c] = static_cast<int>(value);
        break;
    case MFnNumericData::kInt64: v.l = static_cast<MInt64>(value); break;
    case MFnNumericData::kFloat: case MFnNumericData::k2Float: case MFnNumericData::k3Float:
        v.f3[c] = static_cast<float>(value);
        break;
    case MFnNumericData::kDouble: case MFnNumericData::k2Double: case MFnNumericData::k3Double:
    case MFnNumericData::k4Double:
        v.d4[c] = value;
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------

namespace {
void markTreeDirty(Slot* slot)
{
    slot->dirty = true;
    slot->pristine = true;
    for (auto& c : slot->children)
        markTreeDirty(c.get());
}
} // namespace

Node::Node(const NodeType* nodeType, MPxNode* userNode)
    : Object(Kind::Node, nodeType->apiType), type(nodeType), user(userNode)
{
    isDag = nodeType->isDag;
    isShape = nodeType->isShape;
    isTransform = nodeType->isTransform;
    attrs.reserve(nodeType->attributes.size());
    slots.reserve(nodeType->attributes.size());
    for (size_t i = 0; i < nodeType->attributes.size(); ++i) {
        Attribute* a = nodeType->attributes[i];
        a->ref();
        attrs.push_back(a);
        auto slot = std::make_unique<Slot>(this, a, nullptr, -1);
        slot->initValue();
        // Computed values have not been computed yet.
        if (i < nodeType->computed.size() && nodeType->computed[i])
            markTreeDirty(slot.get());
        slots.push_back(std::move(slot));
    }
    staticCount = attrs.size();
}

Node::~Node()
{
    fireNodeDestroyed(this);
    delete user;
    slots.clear();
    for (Attribute* a : attrs)
        a->unref();
}

bool Node::hasFn(MFn::Type fnType) const
{
    return Object::hasFn(fnType);
}

bool Node::isValidInModel() const
{
    return inScene;
}

int Node::attributeIndex(const Attribute* attribute) const
{
    int hint = attribute->indexHint;
    if (hint >= 0 && static_cast<size_t>(hint) < attrs.size() && attrs[hint] == attribute)
        return hint;
    for (size_t i = 0; i < attrs.size(); ++i)
        if (attrs[i] == attribute)
            return static_cast<int>(i);
    return -1;
}

namespace {
Attribute* findIn(Attribute* a, const MString& name)
{
    if (a->matches(name))
        return a;
    for (Attribute* c : a->children)
        if (Attribute* found = findIn(c, name))
            return found;
    return nullptr;
}
} // namespace

// The type's attributes through its name index, the dynamic ones by walking them: in the same
// order as one walk of every attribute (top-level static, top-level dynamic, then the children
// of each in turn).
Attribute* Node::findAttribute(const MString& name) const
{
    const std::string_view key(name.asChar(), name.length());
    auto found = type->topLevelByName.find(key);
    if (found != type->topLevelByName.end())
        return found->second;
    for (size_t i = staticCount; i < attrs.size(); ++i)
        if (attrs[i]->matches(name))
            return attrs[i];
    found = type->nestedByName.find(key);
    if (found != type->nestedByName.end())
        return found->second;
    for (size_t i = staticCount; i < attrs.size(); ++i)
        for (Attribute* c : attrs[i]->children)
            if (Attribute* nested = findIn(c, name))
                return nested;
    return nullptr;
}

Slot* Node::slotOf(const Attribute* attribute)
{
    int index = attributeIndex(attribute);
    return index < 0 ? nullptr : slots[index].get();
}

bool Node::hasAttributeInTree(const Attribute* attribute) const
{
    if (!attribute)
        return false;
    return attributeIndex(attribute->root()) >= 0;
}

// ---------------------------------------------------------------------------
// Plugs

Node* PlugAccess::node(const MPlug& plug)
{
    return nodeOf(plug.mNode);
}

Attribute* PlugAccess::attribute(const MPlug& plug)
{
    return attributeOf(plug.mAttr);
}

const int* PlugAccess::indices(const MPlug& plug)
{
    return plug.mIndex;
}

void PlugAccess::setIndex(MPlug& plug, int depth, int logical)
{
    if (depth >= 0 && depth < kMaxAttrDepth)
        plug.mIndex[depth] = logical;
}

MPlug PlugAccess::make(Node* node, Attribute* attribute, const int* indices)
{
    MPlug plug;
    plug.mNode = ObjectAccess::make(node);
    plug.mAttr = ObjectAccess::make(attribute);
    for (int i = 0; i < kMaxAttrDepth; ++i)
        plug.mIndex[i] = indices ? indices[i] : -1;
    return plug;
}

Slot* resolve(const MPlug& plug, bool create)
{
    Node* node = PlugAccess::node(plug);
    Attribute* attr = PlugAccess::attribute(plug);
    if (!node || !attr)
        return nullptr;
    const int* indices = PlugAccess::indices(plug);
    Attribute* chain[kMaxAttrDepth];
    int depth = attr->depth;
    if (depth >= kMaxAttrDepth)
        return nullptr;
    for (Attribute* a = attr; a; a = a->parent)
        chain[a->depth] = a;
    Slot* slot = node->slotOf(chain[0]);
    for (int d = 0; slot && d <= depth; ++d) {
        if (d > 0) {
            Attribute* a = chain[d];
            if (slot->isArray() || a->childIndex < 0 || static_cast<size_t>(a->childIndex) >= slot->children.size())
                return nullptr;
            slot = slot->children[a->childIndex].get();
        }
        if (slot->attr->is(kArray)) {
            int index = indices[d];
            if (index < 0)
                return d == depth ? slot : nullptr;
            slot = slot->element(index, create);
        }
    }
    return slot;
}

MPlug plugOf(Slot* slot)
{
    int indices[kMaxAttrDepth] = {-1, -1, -1, -1};
    for (Slot* s = slot; s; s = s->parent)
        if (s->logical >= 0)
            indices[s->attr->depth] = s->logical;
    return PlugAccess::make(slot->node, slot->attr, indices);
}

} // namespace host
