#pragma once
// undo: undoes the last undoable command on the undo queue.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class UndoCommand : public MPxCommand
{
public:
    static void* creator() { return new UndoCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
