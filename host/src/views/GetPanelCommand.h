#pragma once
// getPanel -type "modelPanel" | -withFocus | -all: the host's panels are its
// four model panels. In batch mode there are none.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class GetPanelCommand : public MPxCommand
{
public:
    static void* creator() { return new GetPanelCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
