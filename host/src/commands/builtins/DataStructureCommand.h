#pragma once
// dataStructure: structure definitions scene files declare for per-component
// data ("dataStructure -fmt \"raw\" -as \"name=...\""). This host has no use
// for them: they are kept with the scene and written back on save.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class DataStructureCommand : public MPxCommand
{
public:
    static void* creator() { return new DataStructureCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
