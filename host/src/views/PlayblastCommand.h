#pragma once
// playblast -frame F -format image -compression png -completeFilename FILE
// [-widthHeight W H] [-percent P] [-viewer 0] [-showOrnaments 0]: sets the time
// to F, then renders the current view off screen into one PNG of W x H pixels.
// Returns the file written.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class PlayblastCommand : public MPxCommand
{
public:
    static void* creator() { return new PlayblastCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
