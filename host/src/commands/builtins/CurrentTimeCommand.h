#pragma once
// currentTime: sets the current time (in UI units, frames by default), firing
// the time-change and then the force-update messages, or queries it.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class CurrentTimeCommand : public MPxCommand
{
public:
    static void* creator() { return new CurrentTimeCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
