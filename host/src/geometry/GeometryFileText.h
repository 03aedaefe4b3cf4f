#pragma once
// Meshes and curves in Maya ASCII files, in Maya's own form: a mesh's UV sets
// (".uvst[i].uvsn", ".uvst[i].uvsp"), current set (".cuvs"), points (".vt"),
// edges with their smooth flag (".ed") and "polyFaces" records (".fc": "f"
// with edge ids, negative for reversed edges, and "mu" UV lines); a curve's
// ".cc" "nurbsCurve" value.

#include "commands/builtins/SceneNames.h"

#include <maya/MDGModifier.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <string>
#include <vector>

namespace host {

class GeometryFileText
{
public:
    // Appends the setAttr lines of a mesh's or curve's own geometry; nothing
    // for other nodes or for shapes fed by a connection.
    static void write(const MObject& node, std::string& out);

    // setAttr on those attributes: reads the value from words[pos...]
    // (advancing pos) and queues the change on `modifier`. `handled` is false
    // (and nothing is read) for any other plug. Errors are reported as "setAttr: ...".
    static MStatus parseSetAttr(const MPlug& plug, const SceneNames::IndexRange& range, const MString& type,
                                const std::vector<MString>& words, size_t& pos, MDGModifier& modifier,
                                bool& handled);
};

} // namespace host
