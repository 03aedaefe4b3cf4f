#pragma once

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MSyntax.h>

namespace host {

class LoadPluginCommand : public MPxCommand
{
public:
    MStatus doIt(const MArgList& args) override;
    static void* creator();
    static MSyntax newSyntax();
};

} // namespace host
