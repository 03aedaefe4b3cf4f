#pragma once
// requires: names a plug-in a scene file needs and loads it (by name through
// MAYA_PLUG_IN_PATH) when it is not loaded yet. A plug-in this host cannot
// find is only warned about: the statement is kept with the scene and
// written back on save, so the file loses nothing.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class RequiresCommand : public MPxCommand
{
public:
    static void* creator() { return new RequiresCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
