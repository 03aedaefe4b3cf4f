#pragma once
// What a scene holds besides its nodes: the file's information strings
// (fileInfo), the plug-ins it requires that this host cannot load, its
// light-link relationships, data structures and file references. They are
// read from scene files, kept with the scene and written back on save; a new
// or opened scene starts them empty.

#include <maya/MArgList.h>
#include <maya/MString.h>

#include <string>
#include <utility>
#include <vector>

namespace host {

class SceneRecords
{
public:
    // A `requires` statement of a plug-in that could not be loaded, as read.
    struct Requirement
    {
        MString plugin;
        MString version;
        std::vector<std::pair<MString, MString>> typeFlags;  // ("-nodeType", "aiOptions") in order
    };

    static void clear();

    // A command and its arguments as one statement of MEL text (no ";").
    static MString statementText(const char* command, const MArgList& args);

    // fileInfo: keys in the order first set; setting a key again replaces its value.
    static void setFileInfo(const MString& key, const MString& value);
    static bool removeFileInfo(const MString& key);
    static const std::vector<std::pair<MString, MString>>& fileInfo();

    // Keeps a requirement; a plug-in required again merges its types (and gives false).
    static bool keepRequirement(const Requirement& requirement);
    static const std::vector<Requirement>& requirements();

    // Whole statements kept as they are and written back in order, each
    // without its ";": relationships, data structures and file references.
    static void keepRelationship(const MString& statement);
    static void keepDataStructure(const MString& statement);
    static void keepReference(const MString& statement);

    // Scene-text pieces for the writer, each line ending in ";\n".
    static void writeReferences(std::string& out);
    // Skips plug-ins the writer required itself and plug-ins loaded since.
    static void writeRequirements(std::string& out, const std::vector<MString>& alreadyWritten);
    static void writeFileInfo(std::string& out);  // then the data structures
    static void writeRelationships(std::string& out);
};

} // namespace host
