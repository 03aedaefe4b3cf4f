#pragma once
// currentCtx: the name of the current tool context.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class CurrentCtxCommand : public MPxCommand
{
public:
    static void* creator() { return new CurrentCtxCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
