#pragma once
// objExists: whether a node or plug of that name exists.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ObjExistsCommand : public MPxCommand
{
public:
    static void* creator() { return new ObjExistsCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
