#pragma once
// setToolTo CONTEXT: makes a tool context current ("moveSuperContext").

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class SetToolToCommand : public MPxCommand
{
public:
    static void* creator() { return new SetToolToCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
