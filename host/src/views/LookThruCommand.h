#pragma once
// lookThru [-q] CAMERA [PANEL]: makes a panel (the one with focus by default)
// look through a camera; -q [PANEL] gives the camera a panel looks through.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class LookThruCommand : public MPxCommand
{
public:
    static void* creator() { return new LookThruCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
