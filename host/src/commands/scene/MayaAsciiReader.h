#pragma once
// Reads a Maya ASCII scene into the current scene. The file holds command
// statements only, so it is read by a statement reader of its own (no MEL
// tree: numbers go straight into the argument list) that runs each statement
// through the command registry. A bad statement is reported as
// "<file> line N: ..." and the read goes on with the next one; the number of
// such errors is given in a warning at the end.

#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstddef>
#include <string>

namespace host {

class Node;

class MayaAsciiReader
{
public:
    // Fails only when the file cannot be read at all (missing, not Maya
    // ASCII, binary data); `errors` receives the number of statements that failed.
    static MStatus read(const MString& path, unsigned* errors = nullptr);
    // Reads scene text as if it came from `sourceName`.
    static MStatus readText(const char* text, size_t length, const MString& sourceName, unsigned* errors = nullptr);

    // Reads a referenced scene into the namespace `nameSpace`: its nodes are
    // named "nameSpace:name"; shared nodes (createNode -s) and the statements
    // about the whole file (fileInfo, relationship, references ...) are left
    // to the main scene, and the units in force are restored afterwards.
    static MStatus readReference(const MString& path, const MString& nameSpace, unsigned* errors = nullptr);
    // Whether a node came from a referenced scene (the main scene does not write it).
    static bool isReferenced(const Node* node);
    // The statements the referenced scene gave a node (as the writer words them), or null
    // for a node that did not come from one.
    static const std::string* referencedBody(const Node* node);
    // Forgets which nodes came from references (the scene is being replaced).
    static void forgetReferences();
};

} // namespace host
