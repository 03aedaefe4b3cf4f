#pragma once
// print: writes its argument to the output as it stands.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class PrintCommand : public MPxCommand
{
public:
    static void* creator() { return new PrintCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
