#pragma once
// Meshes and curves in Maya ASCII files, in Maya's own form: a mesh's UV sets
// (".uvst[i].uvsn", ".uvst[i].uvsp"), current set (".cuvs"), points (".vt"),
// edges with their smooth flag (".ed") and "polyFaces" records (".fc": "f"
// with edge ids, negative for reversed edges, "h" holes of the face given the
// same way, "mu" UV lines per loop (and their older "mf"/"mh" form), "mc" and
// "fc" colour ids per loop); a curve's
// ".cc" "nurbsCurve" value. The same curve form, and Maya's "mesh" value
// ("v" points, "vn" normals, "vt" UVs, "e" edges with "smooth" or "hard",
// then one "f" record per face with its edge ids and "mu" UV ids), carry
// geometry in any other typed or generic attribute.

#include "commands/builtins/SceneNames.h"

#include <maya/MDGModifier.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <string>
#include <vector>

namespace host {

class MeshGeometry;
struct CurveGeometry;

class GeometryFileText
{
public:
    // Appends the setAttr lines of a mesh's or curve's own geometry; nothing
    // for other nodes or for shapes fed by a connection.
    static void write(const MObject& node, std::string& out);

    // setAttr on those attributes: reads the value from words[pos...]
    // (advancing pos) and queues the change on `modifier`. `handled` is false
    // (and nothing is read) for any other plug. `size` is setAttr's -size, or
    // -1: on ".fc" it announces how many faces the runs that follow hold.
    // Errors are reported as "setAttr: ...".
    static MStatus parseSetAttr(const MPlug& plug, const SceneNames::IndexRange& range, const MString& type,
                                long long size, const std::vector<MString>& words, size_t& pos,
                                MDGModifier& modifier, bool& handled);

    // Appends a setAttr value (" -type \"mesh\" ..."), ending with a line
    // break and indent so that the ";" sits on a line of its own.
    static void formatMeshValue(const MeshGeometry& mesh, std::string& out);
    static void formatCurveValue(const CurveGeometry& curve, std::string& out);
    // Reads a "mesh" or "nurbsCurve" value from words[pos...] (advancing pos)
    // into new data. Errors are reported as "<command>: bad mesh value for
    // <plugName>: ...".
    static MStatus parseMeshValue(const char* command, const MString& plugName, const std::vector<MString>& words,
                                  size_t& pos, MObject& data);
    static MStatus parseCurveValue(const char* command, const MString& plugName, const std::vector<MString>& words,
                                   size_t& pos, MObject& data);
};

} // namespace host
