#pragma once
// unknownNode: what a node that stands in for a type the host lacks was
// ("unknownNode -q -realClassName n" gives the type the scene file named).

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class UnknownNodeCommand : public MPxCommand
{
public:
    static void* creator() { return new UnknownNodeCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
