#pragma once
// listRelatives: children, parents, shapes and descendants of DAG nodes.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ListRelativesCommand : public MPxCommand
{
public:
    static void* creator() { return new ListRelativesCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
