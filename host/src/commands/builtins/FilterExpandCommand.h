#pragma once
// filterExpand: the selected (or named) items of the kinds the selection masks ask for
// ("-sm 34": polygon faces), components one name per index unless "-ex false".

#include <maya/MPxCommand.h>

namespace host {

class FilterExpandCommand : public MPxCommand
{
public:
    static void* creator() { return new FilterExpandCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
