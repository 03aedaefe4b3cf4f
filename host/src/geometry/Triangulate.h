#pragma once
// Polygon helpers on flat xyz point arrays.

#include <vector>

namespace host {

// Unit normal of a polygon (Newell's method); zero for a degenerate one.
void newellNormal(const float* points, const int* vertices, int count, double normal[3]);
// Angle at vertex b between the edges to a and c (radians).
double cornerAngle(const float* points, int a, int b, int c);
// Appends count-2 triangles of a face as face-relative corner triples: a fan
// from corner 0 for convex faces, ear clipping otherwise. Returns count-2.
int triangulateFace(const float* points, const int* vertices, int count, std::vector<int>& corners,
                    std::vector<int>& scratch);

} // namespace host
