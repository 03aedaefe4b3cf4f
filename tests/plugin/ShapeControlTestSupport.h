#pragma once
// Scenes for the shape-control tests: NURBS curves built through the API (as a script's
// curve tools would leave them) and readers of the geometry a control stores.

#include <maya/MFnNurbsCurve.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <string>
#include <vector>

// A transform `name` with a curve shape `name`Shape through the given CVs and knots.
void makeCurve(const std::string& name, const std::vector<MPoint>& cvs, const std::vector<double>& knots,
               unsigned degree, MFnNurbsCurve::Form form);

// A straight degree-1 curve from `from` to `to` (one span).
void makeLine(const std::string& name, const MPoint& from, const MPoint& to);

// The object-space points of the mesh or curve held by a plug ("ctrlShape.inGeometry"):
// mesh vertices or curve CVs; empty when the plug holds neither.
MPointArray storedPoints(const std::string& plug);

// Moves every vertex of a mesh shape by `factor` times its position (object space).
void scaleMeshPoints(const std::string& shape, double factor);

// "node.longAttributeName" of the plug connected into `plug`, or "" when none.
std::string connectionSource(const std::string& plug);

// The world matrix of a DAG node, by name.
MMatrix worldMatrixOf(const std::string& name);
