#pragma once
// Namespaces: the root, the namespaces node names imply ("rig:face:ctrl" lives in
// "rig:face", itself in "rig"), those added empty by `namespace -add`, and Maya's
// own "UI" and "shared" under the root. Names are full and without the root's
// leading ":" ("rig:face"); the root is "". New node names without a namespace
// of their own go into the current namespace.

#include <maya/MString.h>

#include <string>
#include <vector>

namespace host {

const std::string& currentNamespace();
void setCurrentNamespace(const std::string& name);

// Whether the namespace is the root, Maya's own, added, or holds a node (or a namespace that does).
bool namespaceExists(const std::string& name);
// Maya's namespaces that are always there ("UI", "shared"); they cannot be removed.
bool isBuiltinNamespace(const std::string& name);
// Adds an empty namespace and any of its parents that are missing.
void addNamespace(const std::string& name);
// Forgets an added namespace and those below it (their nodes are gone or moved first).
void forgetNamespace(const std::string& name);
// The namespaces directly in `parent` ("" for the root), or all below it: "UI" and
// "shared" first under the root, then the others by name.
std::vector<std::string> namespacesIn(const std::string& parent, bool recurse);
// The namespace part of a full name ("a:b:node" -> "a:b", "node" -> "").
std::string namespaceOfName(const std::string& name);
// Whether a name is a valid namespace ("a", "a:b1"; no empty parts, none starting with a digit).
bool isValidNamespaceName(const std::string& name);

// A requested node name placed in the current namespace: a name that gives its own
// namespace (or the root's, ":name") stays as it is.
MString inCurrentNamespace(const MString& requested);

// The shape of a transform a command named by default takes the transform's number,
// in its namespace: ("ns:pCube3", "pCube") -> "ns:pCubeShape3".
MString numberedShapeName(const MString& transformName, const char* base);

// A new or opened scene: only the root and Maya's own, the root current.
void resetNamespaces();

} // namespace host
