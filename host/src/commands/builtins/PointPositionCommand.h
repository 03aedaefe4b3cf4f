#pragma once
// pointPosition: where one mesh vertex (".vtx[i]") or curve CV (".cv[i]") is,
// in world space (the default, -w) or in its shape's local space (-l).

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class PointPositionCommand : public MPxCommand
{
public:
    static void* creator() { return new PointPositionCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
