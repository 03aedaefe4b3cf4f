#pragma once
// nodeType: the type name of a node; -i (-inherited) lists the types it
// derives from, ending with its own.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class NodeTypeCommand : public MPxCommand
{
public:
    static void* creator() { return new NodeTypeCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
