#pragma once
// isolateSelect PANEL: -state on|off, -addDagObject NAME, -removeDagObject
// NAME, -addSelected, -loadSelected, -update; -q -state and -q -viewObjects
// (the name of the panel's set while it isolates, else "").

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class IsolateSelectCommand : public MPxCommand
{
public:
    static void* creator() { return new IsolateSelectCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
