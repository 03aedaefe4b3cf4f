#pragma once
// Scenes for the "pellixDataBind" tests: a flat driver grid with known vertex ids and patch
// meshes built on its vertices, plus readers for what the command stores.

#include "PluginTestSupport.h"

#include <maya/MPoint.h>

#include <string>
#include <vector>

// A flat n x n grid of driver vertices one unit apart in x and z, starting at (x0, y, z0);
// vertex id = row * n + column, row along z.
struct DriverGrid
{
    int n = 5;
    double x0 = 0.0;
    double y = 0.0;
    double z0 = 0.0;

    MPoint point(int id) const { return MPoint(x0 + id % n, y, z0 + id / n); }
};

// A transform `name` with a mesh shape `name`Shape of the given points and faces (local ids).
void makeMesh(const std::string& name, const std::vector<MPoint>& points, const std::vector<std::vector<int>>& faces);

// The driver mesh of the grid, its faces the grid's quads.
void makeDriver(const std::string& name, const DriverGrid& grid);

// A patch sitting on the given driver vertices (local vertex k on driverIds[k]), each point
// moved by `offset`.
void makePatch(const std::string& name, const DriverGrid& grid, const std::vector<int>& driverIds,
               const std::vector<std::vector<int>>& faces, const MPoint& offset = MPoint(0, 0, 0));

// Source nodes connected into a message array's elements 0..count-1 ("" where none).
std::vector<std::string> messageSources(const std::string& arrayPlug, int count);
