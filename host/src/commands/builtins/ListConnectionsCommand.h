#pragma once
// listConnections: the nodes or plugs connected to a node or plug.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ListConnectionsCommand : public MPxCommand
{
public:
    static void* creator() { return new ListConnectionsCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
