#pragma once
// requires: names a plug-in a scene file needs; loads it (by name through
// MAYA_PLUG_IN_PATH) when it is not loaded yet, and fails when it cannot.

#include <maya/MPxCommand.h>

namespace host {

class RequiresCommand : public MPxCommand
{
public:
    static void* creator() { return new RequiresCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
