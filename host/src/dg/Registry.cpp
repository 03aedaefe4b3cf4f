#include "dg/Registry.h"

#include "dg/Node.h"
#include "dg/Scene.h"

#include <algorithm>
#include <memory>

namespace host {

namespace {

struct Step
{
    MPxNode::Type type;
    int order;
    InheritedAttributeStep step;
};

struct RegistryState
{
    std::vector<std::unique_ptr<NodeType>> types;
    // Deregistered types, kept for nodes that undo history or handles still refer to.
    std::vector<std::unique_ptr<NodeType>> retired;
    std::vector<Step> steps;
    NodeType* initializing = nullptr;
};

// Never destroyed: nodes and plug-in statics may still refer to types at exit.
RegistryState& state()
{
    static RegistryState* s = new RegistryState;
    return *s;
}

MFn::Type defaultApiType(MPxNode::Type type)
{
    switch (type) {
    case MPxNode::kLocatorNode: return MFn::kPluginLocatorNode;
    case MPxNode::kDeformerNode: return MFn::kPluginDeformerNode;
    case MPxNode::kGeometryFilter: return MFn::kPluginGeometryFilter;
    case MPxNode::kTransformNode: return MFn::kPluginTransformNode;
    case MPxNode::kSurfaceShape: return MFn::kPluginShape;
    case MPxNode::kObjectSet: return MFn::kSet;
    default: return MFn::kPluginDependNode;
    }
}

void markAdded(Attribute* a)
{
    a->added = true;
    for (Attribute* c : a->children)
        markAdded(c);
}

void indexName(std::unordered_map<std::string_view, Attribute*>& index, Attribute* a)
{
    for (const MString* name : {&a->name, &a->shortName})
        if (name->length() > 0)
            index.emplace(std::string_view(name->asChar(), name->length()), a);  // the first keeps it
}

void indexNested(std::unordered_map<std::string_view, Attribute*>& index, Attribute* a)
{
    for (Attribute* c : a->children) {
        indexName(index, c);
        indexNested(index, c);
    }
}

// Lookups by name then cost a hash, not a walk comparing every attribute's names.
void indexNames(NodeType& type)
{
    for (Attribute* a : type.attributes)
        indexName(type.topLevelByName, a);
    for (Attribute* a : type.attributes)
        indexNested(type.nestedByName, a);
}

MStatus addBaseAttributes()
{
    MStatus status;
    for (const MObject* attr : {&MPxNode::message, &MPxNode::isHistoricallyInteresting, &MPxNode::caching,
                                &MPxNode::state, &MPxNode::frozen}) {
        status = MPxNode::addAttribute(*attr);
        if (!status)
            return status;
    }
    return MStatus::kSuccess;
}

} // namespace

void createBaseNodeAttributes();       // MPxNode.cpp
MStatus addGeometryFilterAttributes();  // MPxGeometryFilter.cpp
MStatus addDeformerWeightAttributes();  // MPxDeformerNode.cpp

namespace {
// The base-class attribute steps the dependency-graph core itself provides.
void addCoreSteps()
{
    static bool added = false;
    if (added)
        return;
    added = true;
    addInheritedAttributeStep(MPxNode::kGeometryFilter, 0, &addGeometryFilterAttributes);
    addInheritedAttributeStep(MPxNode::kDeformerNode, 0, &addGeometryFilterAttributes);
    addInheritedAttributeStep(MPxNode::kDeformerNode, 1, &addDeformerWeightAttributes);
}
} // namespace
MStatus registerDagNodeTypes();   // src/dag: "transform", "objectSet"
MStatus registerGeometryNodeTypes();  // src/geometry: "mesh", "nurbsCurve"
MStatus registerCameraNodeType();     // src/views: "camera"
MStatus registerDeformerNodeTypes();  // src/deformers: "skinCluster", "tweak", "dagPose" ...
void registerUnknownNodeTypes();      // src/dag: "unknown", "unknownDag", "unknownTransform"
MStatus registerAnimNodeTypes();      // src/anim: "time", the animation curves

namespace {
// Built-in types are registered on first use of the registry.
void ensureBuiltinTypes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    registerDagNodeTypes();
    registerGeometryNodeTypes();
    registerCameraNodeType();
    registerDeformerNodeTypes();
    registerAnimNodeTypes();
    registerUnknownNodeTypes();
}
} // namespace

NodeType* typeBeingInitialized()
{
    return state().initializing;
}

void addInheritedAttributeStep(MPxNode::Type type, int order, InheritedAttributeStep step)
{
    auto& steps = state().steps;
    for (const Step& s : steps)
        if (s.type == type && s.step == step)
            return;
    steps.push_back({type, order, step});
    std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) { return a.order < b.order; });
}

MStatus registerNodeType(const NodeTypeInfo& info)
{
    ensureBuiltinTypes();
    RegistryState& s = state();
    if (info.name.length() == 0 || !info.creator)
        return MStatus::kInvalidParameter;
    if (findNodeType(info.name) || findNodeType(info.id))
        return MStatus::kFailure;
    if (s.initializing)
        return MStatus::kFailure;  // no registration from inside an initialiser

    createBaseNodeAttributes();
    addCoreSteps();
    auto type = std::make_unique<NodeType>();
    type->info = info;
    type->apiType = info.apiType != MFn::kInvalid ? info.apiType : defaultApiType(info.type);
    type->isDag = fnIsA(type->apiType, MFn::kDagNode);
    type->isShape = fnIsA(type->apiType, MFn::kShape);
    type->isTransform = fnIsA(type->apiType, MFn::kTransform);

    s.initializing = type.get();
    MStatus status = addBaseAttributes();
    for (const Step& step : s.steps) {
        if (!status)
            break;
        if (step.type == info.type)
            status = step.step();
    }
    if (status && info.initialize)
        status = info.initialize();
    s.initializing = nullptr;
    if (!status) {
        for (Attribute* a : type->attributes)
            a->unref();
        return status;
    }
    for (Attribute* a : type->attributes)
        markAdded(a);
    indexNames(*type);
    type->computed.assign(type->attributes.size(), false);
    for (const auto& entry : type->affects)
        for (const Attribute* target : entry.second)
            for (size_t i = 0; i < type->attributes.size(); ++i)
                if (type->attributes[i] == target->root())
                    type->computed[i] = true;
    s.types.push_back(std::move(type));
    return MStatus::kSuccess;
}

MStatus deregisterNodeType(const MTypeId& id)
{
    auto& types = state().types;
    for (auto it = types.begin(); it != types.end(); ++it) {
        if ((*it)->info.id == id) {
            // Nodes of the type must be gone (the plug-in unload checks it).
            for (Node* n : sceneNodes())
                if (n->type == it->get())
                    return MStatus::kFailure;
            // Keep the type record alive for nodes still referenced by undo
            // history or handles: it is tiny and never reused by name.
            (*it)->info.name = MString();
            state().retired.push_back(std::move(*it));
            types.erase(it);
            return MStatus::kSuccess;
        }
    }
    return MStatus::kNotFound;
}

const NodeType* findRegisteredType(const MString& name)
{
    ensureBuiltinTypes();
    for (const auto& t : state().types)
        if (t->info.name == name)
            return t.get();
    return nullptr;
}

const NodeType* findRegisteredType(const MTypeId& id)
{
    ensureBuiltinTypes();
    for (const auto& t : state().types)
        if (t->info.id == id)
            return t.get();
    return nullptr;
}

const NodeTypeInfo* findNodeType(const MString& name)
{
    const NodeType* t = findRegisteredType(name);
    return t ? &t->info : nullptr;
}

const NodeTypeInfo* findNodeType(const MTypeId& id)
{
    const NodeType* t = findRegisteredType(id);
    return t ? &t->info : nullptr;
}

std::vector<MString> nodeTypesOfPlugin(const MString& pluginName)
{
    std::vector<MString> names;
    for (const auto& t : state().types)
        if (t->info.pluginName == pluginName)
            names.push_back(t->info.name);
    return names;
}

std::vector<MString> allNodeTypeNames()
{
    ensureBuiltinTypes();
    std::vector<MString> names;
    for (const auto& t : state().types)
        names.push_back(t->info.name);
    return names;
}

unsigned liveNodeCountOfPlugin(const MString& pluginName)
{
    if (pluginName.length() == 0)
        return 0;
    unsigned count = 0;
    for (Node* n : sceneNodes())
        if (n->type->info.pluginName == pluginName)
            ++count;
    return count;
}

} // namespace host
