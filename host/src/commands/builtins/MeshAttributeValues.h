#pragma once
// getAttr answers for a mesh's geometry attributes from the mesh itself:
// ".vt[i]" and ".vt[a:b]" give vertex positions (object space, before the
// ".pnts" tweaks, flattened xyz), and -size of ".vt", ".fc" and ".ed" gives the vertex, face and edge counts.

#include "commands/builtins/SceneNames.h"

#include <maya/MPlug.h>
#include <maya/MStatus.h>

namespace host {

// Whether the plug is one of those attributes of a mesh shape.
bool isMeshGeometryPlug(const MPlug& plug);
// Count for getAttr -size of such a plug.
MStatus meshGeometryCount(const MPlug& plug, unsigned& count);
// Sets the command result to the positions the plug names (one element, a
// range, or all vertices); errors are reported as "getAttr: ...".
MStatus setMeshPositionsResult(const MPlug& plug, const SceneNames::IndexRange& range);

} // namespace host
