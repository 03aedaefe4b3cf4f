#pragma once
// viewFit [-all] [-f FRACTION] [PANEL or CAMERA]: moves a camera (the focused
// panel's by default) along its view direction so that the selection, or
// everything with -all or when nothing is selected, fills the view.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ViewFitCommand : public MPxCommand
{
public:
    static void* creator() { return new ViewFitCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
