#pragma once
// redo: redoes the last undone command.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class RedoCommand : public MPxCommand
{
public:
    static void* creator() { return new RedoCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
