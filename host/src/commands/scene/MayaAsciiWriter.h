#pragma once
// Writes the scene as Maya ASCII text: requires, currentUnit, then per node in
// creation order (parents first) createNode, addAttr for dynamic attributes
// and setAttr for stored values that differ from their defaults, then
// instances and connections. Nodes read from a referenced scene are not
// written; what was changed on them since it was read is (Maya's reference
// edits), after "select -ne" of each. The text depends only on the scene, so
// the same scene always gives the same bytes.

#include <maya/MStatus.h>
#include <maya/MString.h>

#include <string>

namespace host {

class MayaAsciiWriter
{
public:
    // `fileName` is named in the header and the closing comment.
    static MStatus write(const MString& fileName, std::string& text);
    // The statements that follow a node's createNode: its added attributes and stored values.
    static std::string nodeBody(const MObject& node);
};

} // namespace host
