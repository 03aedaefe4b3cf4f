#pragma once
// ls: lists nodes by name pattern, type and the selection, in creation order.

#include <maya/MPxCommand.h>

namespace host {

class LsCommand : public MPxCommand
{
public:
    static void* creator() { return new LsCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
