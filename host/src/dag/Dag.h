#pragma once
// The DAG built on the dependency-graph nodes.
//
// A DAG node's `parents` has one entry per direct instance; an empty list
// means the node sits directly under the world. The instances of a node are
// numbered by walking its parents in order and, under each parent, that
// parent's own instances in order: instance i is path i of
// MDagPath::getAllPathsTo and element i of the node's worldMatrix.
//
// Hierarchy edits go through addChild/removeChild so that both sides of the
// link stay in step, the moved subtree's world matrices are dirtied and the
// DAG messages fire.

#include "dg/Node.h"

#include <maya/MDataBlock.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <vector>

// Returns the status of a failed host call at once.
#define DAG_CHECK(expr)                     \
    do {                                    \
        MStatus dagStatus_ = (expr);        \
        if (!dagStatus_)                    \
            return dagStatus_;              \
    } while (0)

namespace host {

// Access to MDagPath's private node chain.
struct DagPathAccess
{
    static std::vector<MObject>& nodes(MDagPath& path) { return path.fNodes; }
    static const std::vector<MObject>& nodes(const MDagPath& path) { return path.fNodes; }
    static bool isWorld(const MDagPath& path) { return path.fWorld; }
    static void setWorld(MDagPath& path, bool world) { path.fWorld = world; }
};

// The world: root of the DAG, returned by MItDag and path queries on it.
MObject worldObject();
bool isWorld(const MObject& object);

// Node of a DAG-node object, or null.
Node* dagNodeOf(const MObject& object);

// Number of paths from the world to the node (1 for an uninstanced node).
unsigned instanceCount(const Node* node);
// The parent and the parent's instance number on the path of `instance`;
// false for a node directly under the world or an instance out of range.
bool instanceParent(const Node* node, unsigned instance, Node*& parent, unsigned& parentInstance);
// Instance number of a top-down chain of nodes; false when the chain is not
// a path from the world.
bool chainInstance(const std::vector<MObject>& chain, unsigned& instance);
// Path of one instance of a node.
MStatus pathOfInstance(Node* node, unsigned instance, MDagPath& path);
void allPathsTo(Node* node, MDagPathArray& paths);

// Whether `ancestor` is above `node` on some path.
bool isAncestor(const Node* ancestor, const Node* node);

// Links child under parent (null: the world) at `index` among the parent's
// children (-1: last). Without keepExistingParents the child leaves its
// other parents first. Fails on cycles, on non-transform parents and on a
// child already under that parent.
MStatus addChild(Node* parent, Node* child, int index = -1, bool keepExistingParents = false);
// Unlinks child from parent (null: the world). A node that loses its last
// parent goes back under the world.
MStatus removeChild(Node* parent, Node* child);
// Position of child among parent's children (world: among the top nodes), or -1.
int childIndex(const Node* parent, const Node* child);
// DAG nodes directly under the world, in creation order.
void worldChildren(std::vector<Node*>& out);

// Computes parentMatrix, worldMatrix or their inverses of a DAG node, for
// one instance (an element plug) or all of them (the array plug).
MStatus computeHierarchyMatrix(Node* node, const MPlug& plug, MDataBlock& block);

// Creation of DAG nodes. instantiateDagNode makes a node of a DAG type (not
// yet in the scene) and, for a non-transform with no parent, the transform
// that will hold it. addDagNodes puts them into the scene and links them
// (`name` goes to the node; the parent may be null: the world);
// removeDagNodes undoes that.
MStatus instantiateDagNode(const MString* typeName, const MTypeId* typeId, const MObject& parent, MObject& node,
                           MObject& transform);
MStatus addDagNodes(const MObject& node, const MObject& transform, const MObject& parent, const MString& name,
                    bool firstTime);
MStatus removeDagNodes(const MObject& node, const MObject& transform);

// Registers the built-in DAG node types ("transform", "objectSet") and the
// DAG's hooks into the scene and selection lists. Called by the node-type
// registry on first use.
MStatus registerDagNodeTypes();

// Scene hooks: a DAG node leaving the scene is unlinked from its parents and
// takes the children that have no other parent with it; coming back it is
// linked again and brings them back, with their connections.
void dagNodeRemoved(Node* node);
void dagNodeRestored(Node* node);

// Destroys the deleted DAG nodes that no undo or handle can bring back any
// more. Run once the undo queue is flushed, before a plug-in's module closes:
// a node of its types must not outlive its code.
void releaseDeletedDagNodes();

// Computes the attributes every DAG node has (the hierarchy matrices, a
// locator's world position); kUnknownParameter for any other plug.
MStatus computeDagAttribute(Node* node, const MPlug& plug, MDataBlock& block);

// Path names.
MString fullPathName(const MDagPath& path);
MString partialPathName(const MDagPath& path);

// DAG paths matching a name: "|a|b" (from the world), "a|b" (a path ending
// in those names) or "b". Names may hold the wildcards "*" and "?".
void findDagPaths(const MString& name, MDagPathArray& out);
// Like findDagPaths but for a name that must denote exactly one path (no
// wildcards): fails with kNotFound when nothing matches and with
// kInvalidParameter when the name is ambiguous, explaining in `error`.
MStatus resolveDagPath(const MString& name, MDagPath& path, MString& error);

} // namespace host
