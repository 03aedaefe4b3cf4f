#pragma once
// polyEvaluate: counts of polygonal objects, summed over the objects named or
// selected: -v vertices, -e edges, -f faces, -t triangles, -uv UVs (of the
// current set, or -uvs NAME), and -b the world bounding box as
// xmin xmax ymin ymax zmin zmax (alone: counts are ints, the box floats).
// Counts come in the order the flags are given; one flag gives a single
// value, no flag every count (v e f uv t). Without any polygonal object the
// result is Maya's text "Nothing counted : no polygonal object is selected."

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class PolyEvaluateCommand : public MPxCommand
{
public:
    static void* creator() { return new PolyEvaluateCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
