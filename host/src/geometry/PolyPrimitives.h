#pragma once
// Geometry of the poly primitives, laid out (vertex, face and UV order) the
// way Maya's polyPlane, polyCube and polySphere lay theirs out.

#include "geometry/MeshGeometry.h"

namespace host {

// Plane in XZ facing +Y: rows from +Z to -Z, each from -X to +X; UV ids
// equal vertex ids. Border edges are hard.
MeshGeometryPtr buildPlane(double width, double height, int subdivisionsX, int subdivisionsY);
// Cube: rings of vertex rows around X (front, top, back, bottom), then the
// interior vertices of the +X and -X caps; UVs in the cross layout. All edges hard.
MeshGeometryPtr buildCube(double width, double height, double depth, int subdivisionsX, int subdivisionsY,
                          int subdivisionsZ);
// Around the Y axis, vertex i of a ring sits at the angle 2*pi*(i + 1)/subdivisionsAxis from +X towards -Z.

// Sphere: latitude rings from the bottom up, then the south and north poles;
// quads first, then the bottom and top triangle fans. Smooth edges.
MeshGeometryPtr buildSphere(double radius, int subdivisionsAxis, int subdivisionsHeight);
// Cylinder: rings from the bottom up, then (with cap subdivisions) the inner cap rings and the
// bottom and top centres; side quads first, then the bottom cap, then the top cap. Cap rims are hard.
// `createUVs` 3 (normalize and preserve aspect ratio) lays the side and cap centres out as Maya does
// for that mode; other modes give the plain layout.
MeshGeometryPtr buildCylinder(double radius, double height, int subdivisionsAxis, int subdivisionsHeight,
                              int subdivisionsCap, int createUVs);
// Cone: rings from the base up, then (with cap subdivisions) the inner base rings and the base
// centre, then the apex; the base cap first, then the sides. The base rim is hard.
MeshGeometryPtr buildCone(double radius, double height, int subdivisionsAxis, int subdivisionsHeight,
                          int subdivisionsCap);
// Torus: section rings starting at the inner equator and going over the top, each around Y;
// quads ring after ring; UVs a grid with v = 1 on the first ring. Smooth edges.
MeshGeometryPtr buildTorus(double radius, double sectionRadius, double twist, int subdivisionsAxis,
                           int subdivisionsHeight);
// The same geometry turned so that its +Y axis lies along `axis` (the shortest turn).
MeshGeometryPtr alongAxis(const MeshGeometryPtr& geometry, const double axis[3]);
// Drops the UVs (createUVs off).
MeshGeometryPtr withoutUVs(const MeshGeometryPtr& geometry);

} // namespace host
