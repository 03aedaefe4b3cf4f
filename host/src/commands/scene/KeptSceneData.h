#pragma once
// What a scene file holds that the host does not model, kept while the scene
// is open and written back on save: the original type of nodes that stand in
// for unknown types, the addAttr/setAttr statements of attributes a node does
// not have (as read, in order), and connections to or from such attributes.
// Only statements read from a file are kept; typed interactively they fail
// as they always did.

#include <maya/MArgList.h>
#include <maya/MObject.h>
#include <maya/MString.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace host {

class Node;

class KeptSceneData
{
public:
    // Stand-in nodes: the type the file named. Warns once per type and scene
    // unless `warn` is false (nodes every scene has).
    static void rememberRealType(const MObject& node, const MString& realType, bool warn = true);
    // The type the file named, or empty for a node of a type the host has.
    static MString realTypeOf(const MObject& node);
    // The type written in "createNode": the original type of a stand-in.
    static MString writtenTypeName(const MObject& node);
    // Nodes a file created as shared ("createNode -s"), written back so.
    static void rememberShared(const MObject& node);
    static bool isShared(const MObject& node);

    // While a file is being read: keeps the statement when it names an
    // attribute the node does not have (or, for addAttr, one the host cannot
    // make), and says so. False leaves the statement to the command.
    static bool keepSetAttr(const MArgList& args);
    static bool keepAddAttr(const MArgList& args, const MObject& node, const MString& parentName,
                            bool creatable);
    // `always` keeps a connection between existing plugs too (one the host refused to make).
    static bool keepConnectAttr(const MArgList& args, const MString& sourceText, const MString& destinationText,
                                bool always = false);

    // The node a kept connection feeds into `destination` at one of the attribute texts
    // (".i", ".inMesh"), or a null object.
    static MObject keptSourceOf(const MObject& destination, std::initializer_list<const char*> attributes);

    // The kept lines of a node (tab-indented statements relative to it).
    static void writeNodeLines(const MObject& node, std::string& out);
    // The kept connections whose two nodes are written.
    static void writeConnections(const std::function<bool(const Node*)>& written, std::string& out);
    // Whether the node holds any kept lines.
    static bool hasKeptLines(const MObject& node);

    // Drops everything (the scene is being replaced).
    static void forgetScene();
};

} // namespace host
