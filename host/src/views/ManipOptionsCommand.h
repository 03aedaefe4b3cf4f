#pragma once
// manipOptions: the manipulator preferences every manipulator shares, the
// ones MFnManip3D reads: -scale (globalSize), -handleSize, -lineSize and
// -showPlaneHandles; -relative multiplies the sizes instead of setting them.
// -q queries one of them.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ManipOptionsCommand : public MPxCommand
{
public:
    static void* creator() { return new ManipOptionsCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
