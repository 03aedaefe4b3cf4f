#pragma once
// Registration of the built-in geometry: the "mesh" and "nurbsCurve" shape
// types and real empty mesh and curve data for typed attributes.

#include <maya/MStatus.h>

namespace host {

// Called once by the node-type registry on first use.
MStatus registerGeometryNodeTypes();

} // namespace host
