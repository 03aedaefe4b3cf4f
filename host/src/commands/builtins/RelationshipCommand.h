#pragma once
// relationship: the light links scene files write ("link", "shadowLink" and
// their "ignore" forms between a light linker, objects and lights). This host
// does no light linking: the statements are kept with the scene in order and
// written back on save.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class RelationshipCommand : public MPxCommand
{
public:
    static void* creator() { return new RelationshipCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
