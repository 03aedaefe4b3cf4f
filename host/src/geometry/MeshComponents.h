#pragma once
// Mesh components named in commands ("pPlane1.vtx[4]", "pPlaneShape1.f[3:7]")
// and the edits the commands make through them: moving vertices by their
// tweaks and moving transforms, queued on a modifier so that undo reverts them.

#include <maya/MDagPath.h>
#include <maya/MDGModifier.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MVector.h>

#include <vector>

namespace host {

struct MeshComponent
{
    MDagPath shape;            // the mesh shape
    MString kind;              // "vtx", "f" or "e"
    std::vector<int> indices;  // ascending, without repeats
};

// Whether `text` is written as a component ("node.kind[...]").
bool looksLikeComponent(const MString& text);
// Resolves "node.vtx[i]", "node.vtx[a:b]", "node.f[...]" (node: a mesh or
// its transform). Indices past the mesh's count are refused. Errors are
// reported as "<command>: ...".
MStatus findMeshComponent(const char* command, const MString& text, MeshComponent& component);

// The component a name stands for ("body.f[3:7]", "curve1.cv[*]"), quietly: kNotFound
// when `text` is no vertex, edge, face or CV name, an error when it names none that exists.
// Selection lists resolve component names through it.
MStatus resolveComponentName(const MString& text, MDagPath& shape, MObject& component);

// CVs of a NURBS curve named in commands ("curve1.cv[2]", "curveShape1.cv[0:3]",
// "curve1.cv[*]"; node: the curve or its transform). A periodic curve's CVs past
// its spans are the first ones again.
struct CurveComponent
{
    MDagPath shape;            // the nurbsCurve shape
    std::vector<int> indices;  // ascending, without repeats
};
MStatus findCurveComponent(const char* command, const MString& text, CurveComponent& component);

// What move and xform act on: vertex and CV components and transforms. Names may
// be components or DAG objects; no names means the active selection. Components of
// one shape named apart are gathered into one.
struct MoveTargets
{
    std::vector<MeshComponent> vertices;
    std::vector<CurveComponent> cvs;
    std::vector<MDagPath> transforms;
};
MStatus findMoveTargets(const char* command, const std::vector<MString>& names, MoveTargets& targets);

// Queues tweak changes moving vertices: by `value` (relative) or to it
// (absolute), in world or object space.
MStatus queueVertexMove(MDGModifier& modifier, const MeshComponent& vertices, const MVector& value, bool relative,
                        bool worldSpace);
// Current positions of vertices (object or world space), flattened xyz.
MStatus vertexPositions(const MeshComponent& vertices, bool worldSpace, std::vector<double>& xyz);

// Queues CV moves: a curve without history has its own CVs changed, one with history gets
// "controlPoints" tweaks; a periodic curve's repeated CVs move with the ones they repeat.
MStatus queueCVMove(MDGModifier& modifier, const CurveComponent& cvs, const MVector& value, bool relative,
                    bool worldSpace);
MStatus cvPositions(const CurveComponent& cvs, bool worldSpace, std::vector<double>& xyz);

// Queues the removal of mesh faces named as "name.f[...]": the faces go, and
// so do the vertices and UVs no remaining face uses; the rest keep their
// order. Tweaks are baked into the points. Meshes fed by a connection are refused.
// Every range is read against the meshes as they are before the call, so
// several ranges of one mesh go together.
MStatus queueFaceDeletion(MDGModifier& modifier, const char* command, const std::vector<MString>& texts);

// Queues a transform's translation change: by `value` (relative) or to it,
// world-space values taken through the parent's matrix.
MStatus queueTranslate(MDGModifier& modifier, const MDagPath& transform, const MVector& value, bool relative,
                       bool worldSpace);

} // namespace host
