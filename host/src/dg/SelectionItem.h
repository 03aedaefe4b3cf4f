#pragma once
// One entry of an MSelectionList, and the hook through which the DAG code
// resolves DAG names ("|a|b", "a|b", short names) and turns DAG nodes into paths.

#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <vector>

namespace host {

struct SelectionItem
{
    enum Kind { kNode, kDagPath, kPlug } kind = kNode;
    MObject node;       // every kind: the dependency node
    MDagPath path;      // kDagPath
    MObject component;  // kDagPath, may be null
    MPlug plug;         // kPlug
};

struct SelectionAccess
{
    static std::vector<SelectionItem>& items(MSelectionList& list) { return list.mItems; }
    static const std::vector<SelectionItem>& items(const MSelectionList& list) { return list.mItems; }
};

// Adds the DAG objects matching `pattern` (a path or a name with wildcards)
// to `list`. Returns kSuccess when it added something, kNotFound when the
// pattern names no DAG object, or an error (e.g. an ambiguous short name).
typedef MStatus (*DagNameResolver)(const MString& pattern, MSelectionList& list);
void setDagNameResolver(DagNameResolver resolver);

// Resolves a component name ("body.f[3:7]", "bodyShape.vtx[*]") to its shape and a component
// object. Returns kNotFound when `text` is not a component name (a plug, say), an error when
// it is one that names nothing (no such mesh, an index out of range).
typedef MStatus (*ComponentNameResolver)(const MString& text, MDagPath& shape, MObject& component);
void setComponentNameResolver(ComponentNameResolver resolver);

// The name components of `shape` go by: its transform when it is the transform's only
// shape that is not an intermediate object, else the shape (with `longName`, its full path).
MString componentOwnerName(const MDagPath& shape, bool longName);
// "body.f[3]", "body.f[10:40]" (or, `flat`, one name per index) for a component of `shape`.
std::vector<MString> componentStrings(const MDagPath& shape, const MObject& component, bool longName, bool flat);

} // namespace host
