#pragma once
// The type names a node inherits, as nodeType -i lists them: from the most
// general ("containerBase", "entity", "dagNode", ...) down to the node's own
// type. ls -type, listRelatives -type and objectType -isAType match against them.
// A node standing in for a type the host does not model answers with the type
// its scene file named ("skinCluster"), and also matches its stand-in type ("unknown").

#include <maya/MObject.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

namespace host {

// The type name commands report: the type the scene file named for a stand-in.
MString nodeTypeName(const MObject& node);
// Inherited type names of a node, ending with its own type.
MStringArray inheritedTypeNames(const MObject& node);
// Inherited type names of a registered type; empty when the type is unknown.
MStringArray inheritedTypeNames(const MString& typeName);
// Whether the node is of `type` or derives from it.
bool isOfType(const MObject& node, const MString& type);

} // namespace host
