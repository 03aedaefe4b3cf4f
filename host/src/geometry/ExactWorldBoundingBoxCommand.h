#pragma once
// exactWorldBoundingBox: the world-space box around the geometry of the named (or
// selected) objects and everything below them, from their points rather than
// their boxes: xmin ymin zmin xmax ymax zmax in the working unit.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ExactWorldBoundingBoxCommand : public MPxCommand
{
public:
    static void* creator() { return new ExactWorldBoundingBoxCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
