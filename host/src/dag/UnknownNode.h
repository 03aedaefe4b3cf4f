#pragma once
// The node types that stand in for types the host cannot create, as Maya keeps
// nodes of missing plug-ins: "unknown" (a dependency node), "unknownDag" (a DAG
// leaf such as a light shape) and "unknownTransform" (a DAG node that may have
// children, such as a joint, with the transform's attributes so that what lies
// below it keeps its place in the world). They never compute anything of the
// original type; the scene file's data for them is kept aside (KeptSceneData).

#include <maya/MString.h>

namespace host {

struct NodeType;

class UnknownNode
{
public:
    static const char* const typeName;           // "unknown"
    static const char* const dagTypeName;        // "unknownDag"
    static const char* const transformTypeName;  // "unknownTransform"

    // Registers the three types (called with the other built-in types).
    static void registerTypes();

    // The stand-in type for a node of `realType` created at the world (no
    // parent given) or under a parent.
    static const NodeType* standInFor(const MString& realType, bool hasParent);

    // Whether a node type is one of the three stand-ins.
    static bool isStandIn(const NodeType* type);
};

void registerUnknownNodeTypes();

} // namespace host
