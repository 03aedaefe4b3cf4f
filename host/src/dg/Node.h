#pragma once
// The dependency-graph model of the stand-in host.
//
// - A Node (host::Node, an Object) is one dependency node: its type, name, the
//   user's MPxNode instance (every node has one; built-in types use internal
//   MPxNode subclasses), its attribute list (the type's static attributes, then
//   dynamic ones) and one value Slot per top-level attribute.
// - A Slot holds the value of one plug: numeric values in place, everything
//   else (typed data, matrices, strings) as a data MObject. Compound slots own
//   one child slot per child attribute; array slots own their existing
//   elements sorted by logical index (sparse). Numeric compounds (double3,
//   float3 ...) keep the packed values in the parent slot so that
//   MDataHandle::asDouble3 can hand out a reference; their child slots point
//   into that storage. Slot addresses are stable while the slot exists.
// - Connections link slots directly (source/destinations), so dirty
//   propagation and pulls never look anything up by name.
// - An MPlug is (node MObject, attribute MObject, logical indices of the array
//   levels on the attribute's path); host::resolve() walks from the node's
//   top-level slot to the plug's slot. plugOf() builds an MPlug from a slot.
// - Dirty propagation (Graph.h): a plug made dirty dirties, on its node, the
//   attributes it affects (attributeAffects) and, through MPxNode::
//   setDependentsDirty, whatever the node adds; compound parents/children and
//   array parents/elements follow; connections carry it downstream. Each
//   plug is visited once per wave and propagation stops at plugs already dirty.
// - Pulling (MPlug::asX, MDataBlock::inputValue) a dirty plug copies the value
//   from the connected source, or calls compute on its node, then marks it clean.
// - Nodes live as long as MObjects or modifiers refer to them. A deleted node
//   leaves the scene (inScene false) but keeps its values, so undo can put it
//   back; MObjectHandle::isValid tests inScene, isAlive tests existence.
// - DAG: parents/children and the dag/shape/transform flags are kept here for
//   the DAG code (src/dag), which builds paths and instancing on them.

#include "dg/Attribute.h"
#include "dg/Object.h"

#include <maya/MFloatVector.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MVector.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace host {

class Node;
struct NodeType;

// Numeric storage; the member used follows the attribute's numeric type.
// Vectors alias the packed 3-component forms (MDataHandle::asVector).
union NumericValue {
    NumericValue() : d4{0, 0, 0, 0} {}
    bool b;
    char c;
    unsigned char uc;
    short s;
    int i;
    MInt64 l;
    float f;
    double d;
    short s3[4];
    int i3[4];
    float f3[4];
    double d4[4];
    void* addr;
    MVector vec;
    MFloatVector fvec;
};

struct Slot
{
    Slot(Node* owner, Attribute* attribute, Slot* parentSlot, int logical);
    ~Slot();
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;

    Node* node;
    Attribute* attr;
    Slot* parent;     // compound parent slot, or the array slot of an element
    int logical;      // logical index when this slot is an array element, else -1
    bool dirty = false;
    bool locked = false;
    bool hasData = false;     // a value was set (typed/generic null until then)
    bool evaluating = false;  // compute/pull in progress (breaks cycles)
    bool pristine = false;    // dirty since creation, never computed: waves pass through
    uint32_t visitMark = 0;   // dirty-wave markers (Graph.cpp)
    uint32_t upMark = 0;

    NumericValue num;
    MObject data;             // typed, matrix, string, generic data

    std::vector<std::unique_ptr<Slot>> children;  // compounds (and compound elements)
    std::vector<std::unique_ptr<Slot>> elements;  // array slots: sorted by logical

    Slot* source = nullptr;       // incoming connection
    std::vector<Slot*> dests;     // outgoing connections

    bool isArray() const { return attr->is(kArray) && logical < 0; }
    bool isElement() const { return logical >= 0; }
    // Element by logical index; creates it when `create` is set.
    Slot* element(int logicalIndex, bool create);
    // Insert position of a logical index in `elements`.
    size_t lowerBound(int logicalIndex) const;
    // Creates the default value and children of a non-array slot.
    void initValue();
    // Sets the dirty and pristine flags of this slot and its children.
    void inheritDirtyState(bool isDirty, bool isPristine);
    // Packed numeric storage of this slot (its own, or its numeric-compound parent's).
    NumericValue* numericStorage(int& component);
    // Deep copy of the value (not connections) from another slot of the same attribute.
    void copyValueFrom(const Slot& other);
};

class Node : public Object
{
public:
    static constexpr Kind kKind = Kind::Node;

    Node(const NodeType* type, MPxNode* user);
    ~Node() override;
    bool hasFn(MFn::Type type) const override;
    bool isValidInModel() const override;

    const NodeType* type;
    MPxNode* user;              // owned
    MString name;
    uint64_t serial = 0;        // creation order in the scene
    bool inScene = false;       // false before creation is done and after deletion
    bool locked = false;
    bool doNotWrite = false;
    MString icon;
    unsigned dirtyCallbacks = 0;        // node-dirty callbacks registered on this node
    unsigned attrChangedCallbacks = 0;  // attribute-changed callbacks registered on this node

    std::vector<Attribute*> attrs;               // static, then dynamic; referenced
    std::vector<std::unique_ptr<Slot>> slots;    // parallel to attrs
    size_t staticCount = 0;                      // attrs[0 .. staticCount) come from the type

    // DAG hierarchy (maintained by src/dag).
    bool isDag = false;
    bool isShape = false;
    bool isTransform = false;
    std::vector<Node*> parents;    // one per direct instance
    std::vector<Node*> children;

    // Index of an attribute in attrs, or -1.
    int attributeIndex(const Attribute* attribute) const;
    // Attribute of this node (any depth) by long or short name.
    Attribute* findAttribute(const MString& name) const;
    // Whether the attribute (or the compound it belongs to) is on this node.
    bool hasAttributeInTree(const Attribute* attribute) const;
    // Top-level slot of a top-level attribute.
    Slot* slotOf(const Attribute* attribute);
    MObject object() { return ObjectAccess::make(this); }
};

inline Node* nodeOf(const MObject& object) { return objectAs<Node>(object); }

// Reads / writes one component of numeric storage as the given numeric type.
double loadNumeric(const NumericValue& value, MFnNumericData::Type type, int component);
void storeNumeric(NumericValue& value, MFnNumericData::Type type, int component, double number);

// Access to MPxNode's private link to its Node.
struct NodeAccess
{
    static Node* node(const MPxNode* user) { return user->mNode; }
    static void bind(MPxNode* user, Node* node) { user->mNode = node; }
};

// Plug <-> slot.
// The slot a plug refers to; creates missing array elements when `create` is
// set (writes), otherwise returns null for elements that do not exist.
Slot* resolve(const MPlug& plug, bool create);
// The plug of a slot.
MPlug plugOf(Slot* slot);
// Attribute, node and logical index path of a plug.
struct PlugAccess
{
    static Node* node(const MPlug& plug);
    static Attribute* attribute(const MPlug& plug);
    static const int* indices(const MPlug& plug);
    static void setIndex(MPlug& plug, int depth, int logical);
    static MPlug make(Node* node, Attribute* attribute, const int* indices);
};

} // namespace host
