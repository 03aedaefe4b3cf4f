#pragma once
// setNamedPanelLayout "Four View" | "Single Perspective View": the window's two layouts,
// as Maya's procedure of that name switches them (the space bar does too); and
// hostWindowImage, a host facility Maya does not have: the whole main window as it is
// on screen, panels, command line and script output, written to a PNG file.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class SetNamedPanelLayoutCommand : public MPxCommand
{
public:
    static void* creator() { return new SetNamedPanelLayoutCommand; }
    MStatus doIt(const MArgList& args) override;
};

class HostWindowImageCommand : public MPxCommand
{
public:
    static void* creator() { return new HostWindowImageCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
