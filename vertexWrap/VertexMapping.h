#pragma once

// Object-space vertex maps of the vertex wrap: for every target vertex, the
// driver vertex at the same position (closer than 0.0001), or -1. The driver's
// vertices are bucketed in the same cell grid that binds overlay patches, with
// a fixed cell size; its visiting order and strict-less comparison decide ties
// (lower z cell, then y, then x, then lower vertex id).

#include "overlay/PatchMatching.h"

#include <cstdint>

namespace VertexMapping {

// A target vertex follows a driver vertex closer than this, in object space.
constexpr double kMatchDistance = 0.0001;

// Targets of at least this many vertices are matched on several threads.
constexpr int64_t kParallelThreshold = 1 << 14;

// Fills the grid with the driver's points (xyz triples, indexed by vertex id),
// which must outlive it. False when the driver has too many points to bucket.
bool buildDriverGrid(const double* xyz, int64_t pointCount, PatchMatching::DriverGrid& grid);

// map[k] = the driver vertex of target vertex k (xyz triples), or -1 when no
// driver vertex is closer than kMatchDistance or the point has a non-finite coordinate.
void mapTargetVertices(const PatchMatching::DriverGrid& grid, const double* xyz, int64_t vertexCount, int* map);

}  // namespace VertexMapping
