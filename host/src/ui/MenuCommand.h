#pragma once
// menu: makes a menu on the main window's menu bar, edits or queries one.
// `menu -label "Pellix" -parent $gMainWindow -tearOff true pellixMenu` answers
// "MayaWindow|pellixMenu" and makes it the menu later items go into.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class MenuCommand : public MPxCommand
{
public:
    static void* creator() { return new MenuCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
