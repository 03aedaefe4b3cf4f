#pragma once
// currentUnit: sets or queries the UI units for distances, angles and time
// ("currentUnit -l centimeter -a degree -t film", "currentUnit -q -l").

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>

namespace host {

class CurrentUnitCommand : public MPxCommand
{
public:
    static void* creator() { return new CurrentUnitCommand; }
    MStatus doIt(const MArgList& args) override;

    // The statement that restores the current units, as scene files start with.
    static MString statement();
};

} // namespace host
