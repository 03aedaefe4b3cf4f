#pragma once
// The scene: live nodes in creation order, unique names, node creation and
// deletion (undoable by modifiers), and what the scene writer needs.

#include "dg/Node.h"

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <functional>
#include <vector>

namespace host {

// Creates a node of a registered type (not yet in the scene): runs the
// creator, binds the MPxNode, creates its slots. Fails for unknown or
// abstract types.
MStatus instantiateNode(const MString& typeName, MObject& node);
MStatus instantiateNode(const MTypeId& typeId, MObject& node);
// Puts an instantiated node into the scene with a unique name derived from
// `name` (empty: from the type name, "#" numbered), calls postConstructor the
// first time and fires node-added callbacks.
MStatus addNodeToScene(const MObject& node, const MString& name = MString());
// Convenience: instantiate + add.
MObject createNode(const MString& typeName, const MString& name = MString(), MStatus* status = nullptr);

// Removes a node from the scene: disconnects all its connections (fired as
// usual), fires about-to-delete/removed/destroyed callbacks. The node stays
// in memory while MObjects refer to it. `broken` receives the connections
// that were removed, as (source, destination) pairs, so undo can restore them.
MStatus removeNodeFromScene(const MObject& node, std::vector<std::pair<MPlug, MPlug>>* broken = nullptr);
// Puts a removed node back (undo of a deletion); the name is made unique again.
MStatus restoreNodeToScene(const MObject& node);

// Renames a node to a unique name: trailing "#" becomes the smallest free
// number; a taken name gets a number appended. Returns the name given.
MString renameNode(Node* node, const MString& requested);
MString uniqueName(const MString& requested, const Node* except = nullptr);
// Maya's node names: letters, digits and "_", not starting with a digit, after any
// namespaces ("ns:", or ":" for the root), with an optional trailing "#".
bool isValidNodeName(const MString& name);

const std::vector<Node*>& sceneNodes();   // creation order
Node* findNodeByName(const MString& name);
// Nodes with exactly that name (DAG nodes under different parents may share one), in creation order.
void findNodesNamed(const MString& name, std::vector<Node*>& out);
// Nodes whose names match a glob pattern ("*" and "?").
void findNodesMatching(const MString& pattern, std::vector<Node*>& out);
bool matchesPattern(const char* pattern, const char* text);

// Empties the scene (file -new / file -open).
void deleteAllNodes();

// Whether a plug's stored value equals its attribute default.
bool isAtDefault(const MPlug& plug);

// Dynamic attributes of a node, in the order they were added.
std::vector<MObject> dynamicAttributes(const MObject& node);

// Notifications for other host parts (DAG bookkeeping): called after a node
// left the scene and after it came back (undo of a deletion).
typedef void (*NodeHook)(Node* node);
void setNodeRemovedHook(NodeHook hook);
void setNodeRestoredHook(NodeHook hook);

// Name clash test used by uniqueName; the DAG code may replace it so that
// DAG nodes under different parents can share a short name.
typedef bool (*NameClashTest)(const Node* candidate, const Node* existing);
void setNameClashTest(NameClashTest test);

} // namespace host
