#pragma once
// refresh [-cv] [-f] [-fe png -fn FILE]: redraws the views now (the current
// one with -cv), or writes what the current view shows into an image file.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class RefreshCommand : public MPxCommand
{
public:
    static void* creator() { return new RefreshCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
