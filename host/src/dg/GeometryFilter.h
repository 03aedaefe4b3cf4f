#pragma once
// What the host's deformer machinery (MPxGeometryFilter.cpp) offers the rest of the host.

#include <maya/MObject.h>

namespace host {

// "originalGeometry" (orggeom): every deformer's multi of undeformed input geometry.
const MObject& originalGeometryAttribute();

} // namespace host
