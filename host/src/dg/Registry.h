#pragma once
// Node-type registry: built-in types registered by the host at start-up and
// plug-in types registered through MFnPlugin.

#include "dg/Attribute.h"

#include <maya/MFn.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include <string_view>
#include <unordered_map>
#include <vector>

namespace host {

typedef void* (*NodeCreatorFunction)();      // same shape as MCreatorFunction
typedef MStatus (*NodeInitializeFunction)(); // same shape as MInitializeFunction

struct NodeTypeInfo
{
    MString name;
    MTypeId id;
    NodeCreatorFunction creator = nullptr;     // returns a new MPxNode subclass instance
    NodeInitializeFunction initialize = nullptr;
    MPxNode::Type type = MPxNode::kDependNode;
    MString classification;
    MString pluginName;                        // empty for built-in types
    // Function-set type of the nodes; kInvalid derives it from `type`
    // (kPluginDependNode, kPluginLocatorNode, kPluginDeformerNode, ...).
    MFn::Type apiType = MFn::kInvalid;
};

// A registered type with its attributes and affects relations.
struct NodeType
{
    NodeTypeInfo info;
    MFn::Type apiType = MFn::kInvalid;
    std::vector<Attribute*> attributes;  // top-level, in addAttribute order; referenced
    // attribute -> attributes it affects (any depth; children included)
    std::unordered_map<const Attribute*, std::vector<Attribute*>> affects;
    // Top-level attributes that something affects: computed, so new nodes start with them dirty.
    std::vector<bool> computed;  // parallel to attributes
    bool isDag = false, isShape = false, isTransform = false;
    bool abstract = false;
    // The attributes by long and short name, made once the type is initialised: top-level ones,
    // and the children of compounds, each name keeping the first attribute a walk of the
    // attributes in order (children depth first) meets. Keys view the attributes' own names.
    std::unordered_map<std::string_view, Attribute*> topLevelByName, nestedByName;

    const std::vector<Attribute*>* affectedBy(const Attribute* attr) const
    {
        if (affects.empty())
            return nullptr;
        auto it = affects.find(attr);
        return it == affects.end() ? nullptr : &it->second;
    }
};

MStatus registerNodeType(const NodeTypeInfo& info);
MStatus deregisterNodeType(const MTypeId& id);
const NodeTypeInfo* findNodeType(const MString& name);
const NodeTypeInfo* findNodeType(const MTypeId& id);
const NodeType* findRegisteredType(const MString& name);
const NodeType* findRegisteredType(const MTypeId& id);
std::vector<MString> nodeTypesOfPlugin(const MString& pluginName);
std::vector<MString> allNodeTypeNames();
unsigned liveNodeCountOfPlugin(const MString& pluginName);

// Attributes every node of a base class has (DAG attributes, locator
// attributes, deformer attributes ...). Steps for a MPxNode::Type run in
// `order` before the type's own initialiser; they call MPxNode::addAttribute.
// The MPxNode attributes (message, isHistoricallyInteresting, caching,
// state, frozen) always come first.
typedef MStatus (*InheritedAttributeStep)();
void addInheritedAttributeStep(MPxNode::Type type, int order, InheritedAttributeStep step);

// Node type whose initialiser is running (target of MPxNode::addAttribute and
// attributeAffects), or null.
NodeType* typeBeingInitialized();

} // namespace host
