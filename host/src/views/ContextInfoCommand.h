#pragma once
// contextInfo -class CONTEXT (the context's class, "manipMove") and
// contextInfo -exists CONTEXT. -q is accepted and changes nothing, as the
// flags only answer.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ContextInfoCommand : public MPxCommand
{
public:
    static void* creator() { return new ContextInfoCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
