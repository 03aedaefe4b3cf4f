#pragma once
// Plug names: "node.attr[3].child" and the attribute-path part of it.

#include "dg/Node.h"

#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

namespace host {

// Attribute path of a plug ("input[0].inputGeom", "translateX"): levels above
// the leaf are included from the topmost array level down, or all levels when
// `fullPath` is set.
MString plugAttributePath(const MPlug& plug, bool longNames, bool fullPath);

// Finds the plug of a node named by an attribute path: "tx", "t.tx",
// "input[0].inputGeom", "weightList[2].weights[7]", "worldMatrix" (array plug).
// Missing elements are created. kInvalidParameter for malformed paths or
// unknown attributes.
MStatus parsePlugPath(Node* node, const MString& path, MPlug& plug);

} // namespace host
