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
// Sphere: latitude rings from the bottom up, then the south and north poles;
// quads first, then the bottom and top triangle fans. Smooth edges.
MeshGeometryPtr buildSphere(double radius, int subdivisionsAxis, int subdivisionsHeight);

} // namespace host
