#pragma once
// Names in commands: objects by name, DAG path or wildcard, plugs written as
// "node.attr[2].child" or, relative to the first selected object, ".attr",
// and the names the commands print back.

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <vector>

namespace host {

class SceneNames
{
public:
    // A "[first:last]" range on a plug's last index ("setAttr -s 4 .vt[0:3]").
    struct IndexRange
    {
        bool present = false;
        unsigned first = 0;
        unsigned last = 0;
    };

    // Adds every object matching a name, path or wildcard pattern. Fails with
    // "<command>: No object matches name: <pattern>" when nothing matches.
    static MStatus addMatches(const char* command, const MString& pattern, MSelectionList& list);
    // The objects matching every name, or the active selection when no name is given.
    static MStatus namedOrSelected(const char* command, const std::vector<MString>& names, MSelectionList& list);

    // The one node called `name` (name or DAG path).
    static MStatus findNode(const char* command, const MString& name, MObject& node);

    // The plug named by `text`. A range is accepted on the last index only
    // when `range` is given; the plug then refers to the array itself.
    static MStatus findPlug(const char* command, const MString& text, MPlug& plug,
                            IndexRange* range = nullptr);

    // Whether `text` names an existing node or plug (no messages).
    static bool exists(const MString& text);

    // The node as commands print it: the shortest unique path of a DAG node
    // (its full path with `longName`), a dependency node's name.
    static MString nodeName(const MObject& node, bool longName = false);

    // "node.attr[1].child" with short attribute names: the form scene files
    // and listConnections -plugs use.
    static MString plugName(const MPlug& plug, bool longName = false);
    // The attribute part alone, ".attr[1].child" with its leading dot.
    static MString attributePath(const MPlug& plug, bool longNames = false);
};

} // namespace host
