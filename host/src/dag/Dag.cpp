#include "dag/Dag.h"

#include "dag/DagAttributes.h"
#include "dag/DagMessages.h"
#include "dag/TransformNode.h"
#include "dg/Graph.h"
#include "dg/Scene.h"

#include <maya/MDataHandle.h>
#include <maya/MFnMatrixData.h>
#include <maya/MPlug.h>
#include <maya/MPxLocatorNode.h>

#include <algorithm>
#include <unordered_map>

namespace host {

namespace {

// The world node object. Never freed: MObjects to it may outlive everything.
class WorldObject : public Object
{
public:
    WorldObject() : Object(Kind::Other, MFn::kWorld) {}
};

std::vector<MString> splitPath(const MString& name, bool& absolute)
{
    std::vector<MString> parts;
    const char* s = name.asChar();
    absolute = (*s == '|');
    const char* start = s;
    for (const char* p = s;; ++p) {
        if (*p == '|' || *p == '\0') {
            if (p > start)
                parts.emplace_back(start, static_cast<int>(p - start));
            if (*p == '\0')
                break;
            start = p + 1;
        }
    }
    return parts;
}

bool hasWildcard(const MString& text)
{
    for (const char* p = text.asChar(); *p; ++p)
        if (*p == '*' || *p == '?')
            return true;
    return false;
}

bool nameMatches(const MString& pattern, const MString& name, bool wildcards)
{
    return wildcards ? matchesPattern(pattern.asChar(), name.asChar()) : pattern == name;
}

// Whether the path's last names equal `parts` (top-down).
bool endsWith(const std::vector<MObject>& chain, const std::vector<MString>& parts, bool wildcards)
{
    if (parts.size() > chain.size())
        return false;
    size_t offset = chain.size() - parts.size();
    for (size_t i = 0; i < parts.size(); ++i)
        if (!nameMatches(parts[i], nodeOf(chain[offset + i])->name, wildcards))
            return false;
    return true;
}

// Every path of the DAG nodes whose own name matches the last part and whose
// path ends with all the parts.
void pathsEndingWith(const std::vector<MString>& parts, bool absolute, bool wildcards, MDagPathArray& out)
{
    if (parts.empty())
        return;
    const MString& leaf = parts.back();
    MDagPathArray paths;
    std::vector<Node*> named;
    if (!wildcards)
        findNodesNamed(leaf, named);
    for (Node* node : wildcards ? sceneNodes() : named) {
        if (!node->isDag || !nameMatches(leaf, node->name, wildcards))
            continue;
        paths.clear();
        allPathsTo(node, paths);
        for (unsigned i = 0; i < paths.length(); ++i) {
            const std::vector<MObject>& chain = DagPathAccess::nodes(paths[i]);
            if (absolute && chain.size() != parts.size())
                continue;
            if (endsWith(chain, parts, wildcards))
                out.append(paths[i]);
        }
    }
}

// Gives the per-instance arrays of a node and its descendants one element
// per instance, so that the dirty wave that follows a hierarchy change
// reaches every instance (an element made later would start out clean).
void ensureInstanceElements(Node* node)
{
    unsigned count = instanceCount(node);
    const MObject* arrays[] = {&DagAttributes::parentMatrix, &DagAttributes::parentInverseMatrix,
                               &DagAttributes::worldMatrix, &DagAttributes::worldInverseMatrix,
                               &MPxLocatorNode::worldPosition};
    for (const MObject* attr : arrays) {
        if (attr->isNull())
            continue;  // locator attributes exist once a locator type is registered
        Slot* array = node->slotOf(attributeOf(*attr));
        if (!array)
            continue;
        for (unsigned i = 0; i < count; ++i) {
            Slot* element = array->element(static_cast<int>(i), true);
            // Children of an element born dirty must be dirty too.
            if (element->dirty)
                for (auto& child : element->children)
                    child->dirty = true;
        }
    }
    for (Node* child : node->children)
        ensureInstanceElements(child);
}

void dirtyWorldMatrices(Node* node)
{
    ensureInstanceElements(node);
    noteLocalMatrixChange(node, MDagMessage::kAll);
    Slot* slot = node->slotOf(attributeOf(DagAttributes::parentMatrix));
    if (slot)
        dirtyAndPropagate(slot);
}

MStatus firstPath(Node* node, MDagPath& path)
{
    if (!node) {
        path = MDagPath();
        DagPathAccess::setWorld(path, true);
        return MS::kSuccess;
    }
    return pathOfInstance(node, 0, path);
}

void notifyLink(Node* parent, Node* child, bool added)
{
    if (!hasDagMessageCallbacks())
        return;
    MDagPath parentPath;
    firstPath(parent, parentPath);
    // The child's path goes through the parent just linked (or unlinked).
    MDagPath childPath = parent ? parentPath : MDagPath();
    DagPathAccess::setWorld(childPath, false);
    DagPathAccess::nodes(childPath).push_back(child->object());
    fireDagMessage(added ? MDagMessage::kParentAdded : MDagMessage::kParentRemoved, childPath, parentPath);
    fireDagMessage(added ? MDagMessage::kChildAdded : MDagMessage::kChildRemoved, childPath, parentPath);
    if (parent && child->parents.size() > 1)
        fireDagMessage(added ? MDagMessage::kInstanceAdded : MDagMessage::kInstanceRemoved, childPath, parentPath);
}

MStatus pullMatrix(const MPlug& plug, MMatrix& out)
{
    MStatus status;
    MObject data = plug.asMObject(&status);
    DAG_CHECK(status);
    MFnMatrixData fn(data, &status);
    DAG_CHECK(status);
    out = fn.matrix(&status);
    return status;
}

// One instance's value of a hierarchy matrix attribute.
MStatus hierarchyMatrix(Node* node, const Attribute* attribute, unsigned instance, MMatrix& out)
{
    MStatus status;
    MObject self = node->object();
    if (attribute == attributeOf(DagAttributes::parentMatrix)) {
        Node* parent = nullptr;
        unsigned parentInstance = 0;
        if (!instanceParent(node, instance, parent, parentInstance)) {
            out = MMatrix::identity;
            return MS::kSuccess;
        }
        MPlug world(parent->object(), DagAttributes::worldMatrix);
        MPlug element = world.elementByLogicalIndex(parentInstance, &status);
        DAG_CHECK(status);
        return pullMatrix(element, out);
    }
    // The others derive from this node's own per-instance plugs, so that those
    // are clean whenever the derived value is.
    const bool inverse = attribute == attributeOf(DagAttributes::parentInverseMatrix) ||
                         attribute == attributeOf(DagAttributes::worldInverseMatrix);
    if (inverse) {
        const MObject& base = attribute == attributeOf(DagAttributes::parentInverseMatrix)
                                  ? DagAttributes::parentMatrix
                                  : DagAttributes::worldMatrix;
        MPlug element = MPlug(self, base).elementByLogicalIndex(instance, &status);
        DAG_CHECK(status);
        MMatrix m;
        DAG_CHECK(pullMatrix(element, m));
        out = m.inverse();
        return MS::kSuccess;
    }
    MMatrix parentWorld;
    MPlug parentPlug = MPlug(self, DagAttributes::parentMatrix).elementByLogicalIndex(instance, &status);
    DAG_CHECK(status);
    DAG_CHECK(pullMatrix(parentPlug, parentWorld));
    MMatrix offset;
    DAG_CHECK(pullMatrix(MPlug(self, DagAttributes::offsetParentMatrix), offset));
    MMatrix local = TransformNode::localMatrixOf(node, &status);
    DAG_CHECK(status);
    bool inherits = true;
    if (node->isTransform && !TransformNode::inheritsTransform.isNull()) {
        inherits = MPlug(self, TransformNode::inheritsTransform).asBool(&status);
        DAG_CHECK(status);
    }
    out = inherits ? local * offset * parentWorld : local * offset;
    return MS::kSuccess;
}

// Once an element is up to date its array is no longer "dirty" as a whole:
// the next change must get through it again to reach what depends on it.
void cleanArrayOf(const MPlug& element)
{
    if (Slot* array = resolve(element.array(), false))
        array->dirty = false;
}

MStatus storeInstanceMatrix(const MPlug& element, MDataBlock& block, const MMatrix& value)
{
    MStatus status;
    MDataHandle handle = block.outputValue(element, &status);
    DAG_CHECK(status);
    handle.set(value);
    DAG_CHECK(block.setClean(element));
    cleanArrayOf(element);
    return MS::kSuccess;
}

} // namespace

MObject worldObject()
{
    static Object* world = [] {
        Object* o = new WorldObject;
        o->ref();  // kept for the life of the process
        return o;
    }();
    return ObjectAccess::make(world);
}

bool isWorld(const MObject& object)
{
    Object* o = ObjectAccess::get(object);
    return o && o->apiType() == MFn::kWorld;
}

Node* dagNodeOf(const MObject& object)
{
    Node* node = nodeOf(object);
    return (node && node->isDag) ? node : nullptr;
}

unsigned instanceCount(const Node* node)
{
    if (node->parents.empty())
        return 1;
    unsigned count = 0;
    for (const Node* parent : node->parents)
        count += instanceCount(parent);
    return count;
}

bool instanceParent(const Node* node, unsigned instance, Node*& parent, unsigned& parentInstance)
{
    for (Node* p : node->parents) {
        unsigned count = instanceCount(p);
        if (instance < count) {
            parent = p;
            parentInstance = instance;
            return true;
        }
        instance -= count;
    }
    return false;
}

bool chainInstance(const std::vector<MObject>& chain, unsigned& instance)
{
    if (chain.empty())
        return false;
    const Node* top = dagNodeOf(chain.front());
    if (!top || !top->parents.empty())
        return false;
    unsigned number = 0;
    for (size_t i = 1; i < chain.size(); ++i) {
        const Node* parent = nodeOf(chain[i - 1]);
        const Node* node = dagNodeOf(chain[i]);
        if (!node)
            return false;
        unsigned before = 0;
        bool found = false;
        for (const Node* p : node->parents) {
            if (p == parent) {
                found = true;
                break;
            }
            before += instanceCount(p);
        }
        if (!found)
            return false;
        number += before;
    }
    instance = number;
    return true;
}

MStatus pathOfInstance(Node* node, unsigned instance, MDagPath& path)
{
    if (!node || !node->isDag)
        return MS::kInvalidParameter;
    std::vector<MObject>& chain = DagPathAccess::nodes(path);
    chain.clear();
    DagPathAccess::setWorld(path, false);
    Node* current = node;
    unsigned number = instance;
    if (number >= instanceCount(node))
        return MS::kInvalidParameter;
    for (;;) {
        chain.push_back(current->object());
        Node* parent = nullptr;
        unsigned parentNumber = 0;
        if (!instanceParent(current, number, parent, parentNumber))
            break;
        current = parent;
        number = parentNumber;
    }
    std::reverse(chain.begin(), chain.end());
    return MS::kSuccess;
}

void allPathsTo(Node* node, MDagPathArray& paths)
{
    if (!node || !node->isDag)
        return;
    unsigned count = instanceCount(node);
    for (unsigned i = 0; i < count; ++i) {
        MDagPath path;
        if (pathOfInstance(node, i, path))
            paths.append(path);
    }
}

bool isAncestor(const Node* ancestor, const Node* node)
{
    for (const Node* parent : node->parents)
        if (parent == ancestor || isAncestor(ancestor, parent))
            return true;
    return false;
}

int childIndex(const Node* parent, const Node* child)
{
    if (!parent) {
        if (!child->parents.empty())
            return -1;
        int index = 0;
        for (const Node* node : sceneNodes()) {
            if (node == child)
                return index;
            if (node->isDag && node->parents.empty())
                ++index;
        }
        return -1;
    }
    auto it = std::find(parent->children.begin(), parent->children.end(), child);
    return it == parent->children.end() ? -1 : static_cast<int>(it - parent->children.begin());
}

void worldChildren(std::vector<Node*>& out)
{
    for (Node* node : sceneNodes())
        if (node->isDag && node->parents.empty())
            out.push_back(node);
}

namespace {

// Drops one parent link (the caller deals with the world and the matrices).
void unlink(Node* parent, Node* child)
{
    notifyLink(parent, child, false);
    auto& siblings = parent->children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), child));
    child->parents.erase(std::find(child->parents.begin(), child->parents.end(), parent));
}

} // namespace

MStatus addChild(Node* parent, Node* child, int index, bool keepExistingParents)
{
    if (!child || !child->isDag)
        return MS::kInvalidParameter;
    if (parent) {
        if (!parent->isDag || !parent->isTransform || parent == child || isAncestor(child, parent))
            return MS::kInvalidParameter;
        if (std::find(child->parents.begin(), child->parents.end(), parent) != child->parents.end())
            return MS::kInvalidParameter;
    } else if (child->parents.empty()) {
        return MS::kInvalidParameter;  // already under the world
    }

    const bool wasAtWorld = child->parents.empty();
    if (!keepExistingParents || !parent) {
        std::vector<Node*> previous = child->parents;
        for (Node* p : previous)
            unlink(p, child);
    }
    if (parent) {
        auto& siblings = parent->children;
        if (index < 0 || index > static_cast<int>(siblings.size()))
            siblings.push_back(child);
        else
            siblings.insert(siblings.begin() + index, child);
        child->parents.push_back(parent);
        if (wasAtWorld)
            notifyLink(nullptr, child, false);
    }
    dirtyWorldMatrices(child);
    notifyLink(parent, child, true);
    return MS::kSuccess;
}

MStatus removeChild(Node* parent, Node* child)
{
    if (!child || !parent)
        return MS::kInvalidParameter;
    auto& siblings = parent->children;
    if (std::find(siblings.begin(), siblings.end(), child) == siblings.end() ||
        std::find(child->parents.begin(), child->parents.end(), parent) == child->parents.end())
        return MS::kInvalidParameter;
    unlink(parent, child);
    dirtyWorldMatrices(child);
    if (child->parents.empty())
        notifyLink(nullptr, child, true);
    return MS::kSuccess;
}

MStatus computeHierarchyMatrix(Node* node, const MPlug& plug, MDataBlock& block)
{
    const Attribute* attribute = attributeOf(plug.attribute());
    MMatrix value;
    if (plug.isElement()) {
        DAG_CHECK(hierarchyMatrix(node, attribute, plug.logicalIndex(), value));
        return storeInstanceMatrix(plug, block, value);
    }
    MStatus status;
    unsigned count = instanceCount(node);
    for (unsigned i = 0; i < count; ++i) {
        MPlug element = plug.elementByLogicalIndex(i, &status);
        DAG_CHECK(status);
        DAG_CHECK(hierarchyMatrix(node, attribute, i, value));
        DAG_CHECK(storeInstanceMatrix(element, block, value));
    }
    return block.setClean(plug);
}

MStatus instantiateDagNode(const MString* typeName, const MTypeId* typeId, const MObject& parent, MObject& node,
                           MObject& transform)
{
    Node* parentNode = nullptr;
    if (!parent.isNull()) {
        parentNode = dagNodeOf(parent);
        if (!parentNode || !parentNode->isTransform)
            return MS::kInvalidParameter;
    }
    MObject created;
    DAG_CHECK(typeName ? instantiateNode(*typeName, created) : instantiateNode(*typeId, created));
    Node* n = nodeOf(created);
    if (!n->isDag)
        return MS::kInvalidParameter;  // not a DAG type
    MObject holder;
    if (!parentNode && !n->isTransform)
        DAG_CHECK(instantiateNode(MString(TransformNode::typeName), holder));
    node = created;
    transform = holder;
    return MS::kSuccess;
}

MStatus addDagNodes(const MObject& node, const MObject& transform, const MObject& parent, const MString& name,
                    bool firstTime)
{
    if (!transform.isNull())
        DAG_CHECK(firstTime ? addNodeToScene(transform, MString("transform#")) : restoreNodeToScene(transform));
    DAG_CHECK(firstTime ? addNodeToScene(node, name) : restoreNodeToScene(node));
    // Redo: restoring the nodes brought their links back.
    Node* holder = !transform.isNull() ? dagNodeOf(transform) : dagNodeOf(parent);
    if (firstTime && holder)
        DAG_CHECK(addChild(holder, nodeOf(node)));
    return MS::kSuccess;
}

MStatus removeDagNodes(const MObject& node, const MObject& transform)
{
    DAG_CHECK(removeNodeFromScene(node));
    if (!transform.isNull())
        DAG_CHECK(removeNodeFromScene(transform));
    return MS::kSuccess;
}

namespace {

struct SavedLinks
{
    MObject self;                                  // keeps the node's address from being reused
    std::vector<std::pair<MObject, int>> parents;  // parent and position among its children
    std::vector<MObject> children;                 // children removed with the node
    std::vector<std::pair<MObject, int>> shared;   // instanced children that stayed
    std::vector<std::pair<MPlug, MPlug>> broken;   // their connections
};

std::unordered_map<const Node*, SavedLinks>& savedLinks()
{
    // Never destroyed: node teardown at exit must not run after the rest of the host is gone.
    static auto* links = new std::unordered_map<const Node*, SavedLinks>;
    return *links;
}

// Forgets the links of deleted nodes nothing else refers to any more: no
// undo can bring those back. Forgetting a transform releases the children it
// kept, which may then be forgotten too, so this runs until nothing changes;
// the links are destroyed outside the walk because destroying them releases
// nodes.
void forgetUnreachable()
{
    auto& links = savedLinks();
    for (;;) {
        std::vector<SavedLinks> forgotten;
        for (auto it = links.begin(); it != links.end();) {
            if (ObjectAccess::get(it->second.self)->refCount() == 1) {
                forgotten.push_back(std::move(it->second));
                it = links.erase(it);
            } else {
                ++it;
            }
        }
        if (forgotten.empty())
            return;
    }
}

} // namespace

void releaseDeletedDagNodes()
{
    forgetUnreachable();
}

void dagNodeRemoved(Node* node)
{
    if (!node->isDag)
        return;
    forgetUnreachable();
    SavedLinks saved;
    saved.self = node->object();
    std::vector<Node*> parents = node->parents;
    for (Node* parent : parents) {
        saved.parents.emplace_back(parent->object(), childIndex(parent, node));
        removeChild(parent, node);
    }
    // removeChild sent a parentless node to the world; it is leaving instead.
    std::vector<Node*> children = node->children;
    for (Node* child : children) {
        if (child->parents.size() == 1 && child->inScene) {
            saved.children.push_back(child->object());
            removeNodeFromScene(child->object(), &saved.broken);
        } else {
            saved.shared.emplace_back(child->object(), childIndex(node, child));
            removeChild(node, child);
        }
    }
    savedLinks()[node] = std::move(saved);
}

void dagNodeRestored(Node* node)
{
    auto it = savedLinks().find(node);
    if (it == savedLinks().end())
        return;
    SavedLinks saved = std::move(it->second);
    savedLinks().erase(it);
    for (auto& link : saved.parents) {
        Node* parent = nodeOf(link.first);
        if (parent && parent->inScene)
            addChild(parent, node, link.second, true);
    }
    for (const MObject& child : saved.children)
        restoreNodeToScene(child);
    for (auto& link : saved.shared) {
        Node* child = nodeOf(link.first);
        if (child && child->inScene)
            addChild(node, child, link.second, true);
    }
    for (auto& connection : saved.broken)
        connect(connection.first, connection.second);
}

namespace {

// worldPosition[i] of a locator: its local position through worldMatrix[i].
MStatus computeWorldPosition(Node* node, const MPlug& plug, MDataBlock& block)
{
    MStatus status;
    MPlug local(node->object(), MPxLocatorNode::localPosition);
    MPoint position;
    for (unsigned i = 0; i < 3; ++i) {
        position[i] = local.child(i, &status).asDouble(&status);
        DAG_CHECK(status);
    }
    const MPlug array = plug.isElement() ? plug.array() : plug;
    unsigned first = plug.isElement() ? plug.logicalIndex() : 0;
    unsigned last = plug.isElement() ? first + 1 : instanceCount(node);
    for (unsigned i = first; i < last; ++i) {
        MMatrix world;
        DAG_CHECK(pullMatrix(MPlug(node->object(), DagAttributes::worldMatrix).elementByLogicalIndex(i), world));
        MPoint p = position * world;
        MPlug element = array.elementByLogicalIndex(i, &status);
        DAG_CHECK(status);
        MDataHandle handle = block.outputValue(element, &status);
        DAG_CHECK(status);
        handle.set(MVector(p));
        DAG_CHECK(block.setClean(element));
        cleanArrayOf(element);
    }
    return plug.isElement() ? MStatus(MS::kSuccess) : block.setClean(plug);
}

} // namespace

MStatus computeDagAttribute(Node* node, const MPlug& plug, MDataBlock& block)
{
    const Attribute* attribute = attributeOf(plug.attribute());
    if (DagAttributes::isHierarchyMatrix(attribute))
        return computeHierarchyMatrix(node, plug, block);
    if (!MPxLocatorNode::worldPosition.isNull() && attribute == attributeOf(MPxLocatorNode::worldPosition))
        return computeWorldPosition(node, plug, block);
    return MS::kUnknownParameter;
}

MString fullPathName(const MDagPath& path)
{
    MString name;
    for (const MObject& object : DagPathAccess::nodes(path)) {
        name += "|";
        name += nodeOf(object)->name;
    }
    return name;
}

MString partialPathName(const MDagPath& path)
{
    const std::vector<MObject>& chain = DagPathAccess::nodes(path);
    if (chain.empty())
        return MString();
    // Shortest run of trailing names that no other path shares.
    std::vector<MString> parts;
    MDagPathArray matches;
    for (size_t length = 1; length <= chain.size(); ++length) {
        parts.insert(parts.begin(), nodeOf(chain[chain.size() - length])->name);
        matches.clear();
        pathsEndingWith(parts, false, false, matches);
        if (matches.length() <= 1)
            break;
    }
    MString name;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i)
            name += "|";
        name += parts[i];
    }
    if (parts.size() == chain.size() && matches.length() > 1)
        name = "|" + name;
    return name;
}

void findDagPaths(const MString& name, MDagPathArray& out)
{
    bool absolute = false;
    std::vector<MString> parts = splitPath(name, absolute);
    pathsEndingWith(parts, absolute, hasWildcard(name), out);
}

MStatus resolveDagPath(const MString& name, MDagPath& path, MString& error)
{
    bool absolute = false;
    std::vector<MString> parts = splitPath(name, absolute);
    MDagPathArray matches;
    pathsEndingWith(parts, absolute, false, matches);
    if (matches.length() == 0) {
        error = "No object matches name: " + name;
        return MS::kNotFound;
    }
    if (matches.length() > 1) {
        error = "More than one object matches name: " + name;
        return MS::kInvalidParameter;
    }
    path = matches[0];
    return MS::kSuccess;
}

} // namespace host
