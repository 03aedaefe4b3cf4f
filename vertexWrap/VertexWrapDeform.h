#pragma once

// The vertex wrap's per-vertex work on plain arrays: mapped target vertices
// take the position of their driver vertex, brought into the target's local
// space by one 4x4 matrix. Matrices are row-major and used with row vectors
// (p' = p·M, row 3 the translation), as MMatrix stores them; positions are
// x, y, z, w quadruples of doubles, as MPointArray stores them.

#include <cstdint>

namespace VertexWrapDeform {

// The driver's current points: float x, y, z triples (a mesh's raw points) or
// double x, y, z, w quadruples (an MPointArray); exactly one is set.
struct DriverPoints {
    const float* floatXyz = nullptr;
    const double* doubleXyzw = nullptr;
    int64_t count = 0;
};

// Full envelope and a map covering every vertex: out[i] = driver[map[i]]·toLocal
// with w = 1, for i < vertexCount, without reading any old position. Returns
// false at the first entry that is not a driver vertex id (-1, or a vertex the
// driver no longer has); out is then partly written and must be dropped.
bool deformAll(const DriverPoints& driver,
               const double toLocal[4][4],
               const int* map,
               int64_t vertexCount,
               double* outXyzw);
// The same into float x, y, z, w quadruples, as MFloatPointArray stores them
// (each coordinate computed in double, then rounded once).
bool deformAll(const DriverPoints& driver,
               const double toLocal[4][4],
               const int* map,
               int64_t vertexCount,
               float* outXyzw);

// Moves positions[i] towards q = driver[map[i]]·toLocal (q.w = 1) by the
// envelope, on all four coordinates, for i < vertexCount; an envelope of
// exactly 1 sets q. Entries that are not driver vertex ids leave their vertex
// alone. Returns how many vertices were moved.
int64_t deformMapped(const DriverPoints& driver,
                     const double toLocal[4][4],
                     const int* map,
                     int64_t vertexCount,
                     double envelope,
                     double* positionsXyzw);

}  // namespace VertexWrapDeform
