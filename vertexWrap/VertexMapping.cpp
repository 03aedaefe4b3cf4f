#include "vertexWrap/VertexMapping.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <tbb/task_group.h>

namespace VertexMapping {

namespace {

constexpr int64_t kParallelGrain = 4096;

void mapRange(const PatchMatching::DriverGrid& grid, const double* xyz, int64_t begin, int64_t end, int* map)
{
    for (int64_t k = begin; k < end; ++k)
        map[k] = grid.findDriverVertex(xyz[3 * k], xyz[3 * k + 1], xyz[3 * k + 2]);
}

}  // namespace

bool buildDriverGrid(const double* xyz, int64_t pointCount, PatchMatching::DriverGrid& grid)
{
    return grid.build(xyz, pointCount, kMatchDistance);
}

void mapTargetVertices(const PatchMatching::DriverGrid& grid, const double* xyz, int64_t vertexCount, int* map)
{
    if (vertexCount < kParallelThreshold) {
        mapRange(grid, xyz, 0, vertexCount, map);
        return;
    }
    // Lookups only read the grid, and every vertex writes its own entry.
    tbb::task_group_context context;
    tbb::parallel_for(
        tbb::blocked_range<int64_t>(0, vertexCount, kParallelGrain),
        [&](const tbb::blocked_range<int64_t>& range) { mapRange(grid, xyz, range.begin(), range.end(), map); },
        tbb::auto_partitioner(), context);
}

}  // namespace VertexMapping
