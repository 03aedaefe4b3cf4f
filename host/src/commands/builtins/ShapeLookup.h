#pragma once
// The shape a query command works on: a shape named directly, or the first
// non-intermediate shape of a named transform.

#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

namespace host {

// Finds the shape of `name` with function set `type` (MFn::kMesh ...). Errors,
// reported as "<command>: ...": no such object, or "<name> is not a <what>."
MStatus findShape(const char* command, const MString& name, MFn::Type type, const char* what, MDagPath& shape);
// The same for a shape path already resolved (from a selection list).
MStatus shapeOfPath(const char* command, const MDagPath& path, MFn::Type type, const char* what, MDagPath& shape);

} // namespace host
