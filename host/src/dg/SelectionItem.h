#pragma once
// One entry of an MSelectionList, and the hook through which the DAG code
// resolves DAG names ("|a|b", "a|b", short names) and turns DAG nodes into paths.

#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

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

} // namespace host
