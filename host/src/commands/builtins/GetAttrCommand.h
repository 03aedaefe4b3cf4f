#pragma once
// getAttr: the value of a plug, its size (-size) or lock state (-lock).

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class GetAttrCommand : public MPxCommand
{
public:
    static void* creator() { return new GetAttrCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
