#include "dg/Scene.h"

#include "commands/Session.h"
#include "dg/Data.h"
#include "dg/Graph.h"
#include "dg/Messages.h"
#include "dg/Namespaces.h"
#include "dg/Registry.h"

#include <maya/MDGModifier.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <unordered_map>

namespace host {

namespace {

struct SceneState
{
    std::vector<Node*> nodes;  // each holds one reference
    // Nodes by name, so that naming and name lookups stay constant-time in large scenes.
    std::unordered_multimap<std::string, Node*> byName;
    uint64_t nextSerial = 1;
    NodeHook removedHook = nullptr;
    NodeHook restoredHook = nullptr;
    NameClashTest clashTest = nullptr;
    bool clearing = false;  // the whole scene is going: nothing is evaluated on the way out
};

// Never destroyed: plug-in node destructors must not run after unload at exit.
SceneState& scene()
{
    static SceneState* s = new SceneState;
    return *s;
}

bool defaultClash(const Node* candidate, const Node* existing)
{
    (void)candidate;
    (void)existing;
    return true;
}

bool clashes(const Node* candidate, const Node* existing)
{
    NameClashTest test = scene().clashTest ? scene().clashTest : defaultClash;
    return test(candidate, existing);
}

void indexName(Node* node)
{
    scene().byName.emplace(node->name.asChar(), node);
}

void unindexName(Node* node)
{
    auto& byName = scene().byName;
    auto range = byName.equal_range(node->name.asChar());
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == node) {
            byName.erase(it);
            return;
        }
}

bool nameTaken(const std::string& name, const Node* except)
{
    auto range = scene().byName.equal_range(name);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second != except && clashes(except, it->second))
            return true;
    return false;
}

// Type name with a lower-case first letter, as default node names are.
std::string defaultBaseName(const Node* node)
{
    std::string base = node->type->info.name.asChar();
    if (!base.empty())
        base[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(base[0])));
    return base;
}

MStatus makeInstance(const NodeType* type, MObject& result)
{
    if (!type)
        return MStatus::kInvalidParameter;
    void* created = type->info.creator();
    if (!created)
        return MStatus::kFailure;
    auto* user = static_cast<MPxNode*>(created);
    if (user->isAbstractClass()) {
        delete user;
        return MStatus::kInvalidParameter;
    }
    auto* node = new Node(type, user);
    NodeAccess::bind(user, node);
    result = node->object();
    return MStatus::kSuccess;
}

} // namespace

bool isValidNodeName(const MString& name)
{
    const char* s = name.asChar();
    if (*s == ':')
        ++s;  // the root namespace
    // Namespaces, each ended by ':', then the name: none empty or starting with a digit.
    const char* segment = s;
    for (;; ++s) {
        const unsigned char c = static_cast<unsigned char>(*s);
        if (c == ':' || c == '\0') {
            if (s == segment || std::isdigit(static_cast<unsigned char>(*segment)))
                return false;
            if (c == '\0')
                return true;
            segment = s + 1;
        } else if (!std::isalnum(c) && c != '_' && !(c == '#' && s[1] == '\0')) {
            return false;
        }
    }
}

MString uniqueName(const MString& requested, const Node* except)
{
    std::string name = requested.asChar();
    // Names are kept relative to the root namespace, as Maya reports them.
    if (!name.empty() && name.front() == ':')
        name.erase(0, 1);
    if (name.empty() && except)
        name = defaultBaseName(except) + "#";
    bool hash = !name.empty() && name.back() == '#';
    if (hash)
        name.pop_back();
    if (!hash && !nameTaken(name, except))
        return MString(name.c_str());
    // Split off a trailing number and count up from it (or from 1).
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
        --digits;
    std::string stem = name.substr(0, digits);
    long start = 1;
    if (!hash && digits < name.size())
        start = std::strtol(name.c_str() + digits, nullptr, 10) + 1;
    if (hash)
        stem = name;
    for (long n = start;; ++n) {
        std::string candidate = stem + std::to_string(n);
        if (!nameTaken(candidate, except))
            return MString(candidate.c_str());
    }
}

MString renameNode(Node* node, const MString& requested)
{
    MString previous = node->name;
    if (node->inScene)
        unindexName(node);
    node->name = uniqueName(inCurrentNamespace(requested), node);
    if (node->inScene)
        indexName(node);
    if (node->inScene && node->name != previous) {
        MObject object = node->object();
        fireNameChanged(object, previous);
    }
    return node->name;
}

MStatus instantiateNode(const MString& typeName, MObject& node)
{
    return makeInstance(findRegisteredType(typeName), node);
}

MStatus instantiateNode(const MTypeId& typeId, MObject& node)
{
    return makeInstance(findRegisteredType(typeId), node);
}

MStatus addNodeToScene(const MObject& object, const MString& name)
{
    Node* node = nodeOf(object);
    if (!node || node->inScene)
        return MStatus::kInvalidParameter;
    if (name.length() && !isValidNodeName(name))
        return MStatus::kInvalidParameter;
    SceneState& s = scene();
    // New nodes go into the current namespace, default names included.
    node->name = uniqueName(inCurrentNamespace(name.length() ? name : MString((defaultBaseName(node) + "#").c_str())),
                            node);
    bool firstTime = node->serial == 0;
    node->serial = s.nextSerial++;
    node->inScene = true;
    node->ref();
    s.nodes.push_back(node);
    indexName(node);
    if (firstTime)
        node->user->postConstructor();
    MObject o = node->object();
    fireNodeAdded(o);
    return MStatus::kSuccess;
}

MObject createNode(const MString& typeName, const MString& name, MStatus* status)
{
    MObject node;
    MStatus st = instantiateNode(typeName, node);
    if (st)
        st = addNodeToScene(node, name);
    if (status)
        *status = st;
    return st ? node : MObject();
}

MStatus removeNodeFromScene(const MObject& object, std::vector<std::pair<MPlug, MPlug>>* broken)
{
    Node* node = nodeOf(object);
    if (!node || !node->inScene)
        return MStatus::kInvalidParameter;
    if (node->locked)
        return MStatus::kFailure;
    MObject keep = object;
    MDGModifier extra;  // callbacks may queue edits that go with the deletion
    fireNodeAboutToDelete(keep, extra);
    extra.doIt();
    SceneState& s = scene();
    for (auto& slot : node->slots)
        disconnectAll(slot.get(), broken, !s.clearing);
    // Usually the newest node (undo, clearing the scene): search from the back.
    auto pos = std::find(s.nodes.rbegin(), s.nodes.rend(), node);
    if (pos != s.nodes.rend())
        s.nodes.erase(std::next(pos).base());
    unindexName(node);
    node->inScene = false;
    fireNodeRemoved(keep);
    if (s.removedHook)
        s.removedHook(node);
    node->unref();  // `keep` still holds it
    noteNodeLeftScene();
    return MStatus::kSuccess;
}

MStatus restoreNodeToScene(const MObject& object)
{
    Node* node = nodeOf(object);
    if (!node || node->inScene)
        return MStatus::kInvalidParameter;
    SceneState& s = scene();
    node->name = uniqueName(node->name, node);
    node->inScene = true;
    node->ref();
    // Back in its creation-order place.
    auto pos = std::lower_bound(s.nodes.begin(), s.nodes.end(), node,
                                [](const Node* a, const Node* b) { return a->serial < b->serial; });
    s.nodes.insert(pos, node);
    indexName(node);
    if (s.restoredHook)
        s.restoredHook(node);
    MObject o = node->object();
    fireNodeAdded(o);
    return MStatus::kSuccess;
}

const std::vector<Node*>& sceneNodes()
{
    return scene().nodes;
}

Node* findNodeByName(const MString& name)
{
    // The first created of the nodes with that name.
    Node* first = nullptr;
    auto range = scene().byName.equal_range(name.asChar());
    for (auto it = range.first; it != range.second; ++it)
        if (!first || it->second->serial < first->serial)
            first = it->second;
    return first;
}

void findNodesNamed(const MString& name, std::vector<Node*>& out)
{
    size_t start = out.size();
    auto range = scene().byName.equal_range(name.asChar());
    for (auto it = range.first; it != range.second; ++it)
        out.push_back(it->second);
    std::sort(out.begin() + static_cast<long>(start), out.end(),
              [](const Node* a, const Node* b) { return a->serial < b->serial; });
}

bool matchesPattern(const char* pattern, const char* text)
{
    // Iterative glob with backtracking on the last '*'.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*text) {
        if (*pattern == '*') {
            star = pattern++;
            resume = text;
        } else if (*pattern == '?' || *pattern == *text) {
            ++pattern;
            ++text;
        } else if (star) {
            pattern = star + 1;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

void findNodesMatching(const MString& pattern, std::vector<Node*>& out)
{
    for (Node* n : scene().nodes)
        if (matchesPattern(pattern.asChar(), n->name.asChar()))
            out.push_back(n);
}

void deleteAllNodes()
{
    SceneState& s = scene();
    SelectionEditScope selectionEdit;  // the selection's listeners hear of the cleared scene once
    // Newest first, so that nodes created later (which may depend on earlier ones) go first.
    s.clearing = true;
    while (!s.nodes.empty()) {
        MObject node = s.nodes.back()->object();
        Node* raw = s.nodes.back();
        raw->locked = false;
        removeNodeFromScene(node, nullptr);
    }
    s.clearing = false;
}

namespace {

bool slotAtDefault(Slot* slot)
{
    const Attribute* a = slot->attr;
    if (slot->isArray())
        return slot->elements.empty();
    switch (a->attrKind) {
    case AttrKind::Numeric:
    case AttrKind::Enum:
    case AttrKind::Unit: {
        if (a->numericType == MFnNumericData::kAddr)
            return true;
        // Compare in the stored type, so that e.g. a float default matches exactly.
        NumericValue def;
        storeNumeric(def, a->numericType, 0, a->defaults[0]);
        return getNumeric(slot) == loadNumeric(def, a->numericType, 0);
    }
    case AttrKind::Compound:
        for (auto& c : slot->children)
            if (!slotAtDefault(c.get()))
                return false;
        return true;
    case AttrKind::Typed: {
        if (slot->data.isNull())
            return true;
        if (!a->defaultData.isNull())
            return dataEquals(slot->data, a->defaultData);
        // No default: an empty value reads back the same as none.
        MObject empty = createEmptyData(a->dataType);
        return !empty.isNull() && dataEquals(slot->data, empty);
    }
    case AttrKind::Matrix: {
        MatrixData* m = dataAs<MatrixData>(slot->data, MFnData::kMatrix);
        return !m || m->matrix == a->matrixDefault;
    }
    case AttrKind::Generic:
        return slot->data.isNull();
    case AttrKind::Message:
        return true;
    }
    return true;
}

} // namespace

bool isAtDefault(const MPlug& plug)
{
    Slot* slot = resolve(plug, false);
    return !slot || slotAtDefault(slot);
}

std::vector<MObject> dynamicAttributes(const MObject& object)
{
    std::vector<MObject> result;
    if (Node* node = nodeOf(object))
        for (size_t i = node->staticCount; i < node->attrs.size(); ++i)
            result.push_back(ObjectAccess::make(node->attrs[i]));
    return result;
}

void setNodeRemovedHook(NodeHook hook)
{
    scene().removedHook = hook;
}

void setNodeRestoredHook(NodeHook hook)
{
    scene().restoredHook = hook;
}

void setNameClashTest(NameClashTest test)
{
    scene().clashTest = test;
}

} // namespace host
