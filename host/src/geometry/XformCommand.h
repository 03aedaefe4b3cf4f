#pragma once
// xform: sets (-t, -ro, -s with three values; -r adds to the current ones) or
// queries (-q with -t, -ro or -s) a transform's translation, rotation in
// degrees and scale; -t also moves and reports mesh vertices. -ws works in
// world space, -os (the default) in object space. Undoable.

#include "commands/builtins/ModifierCommand.h"

namespace host {

class XformCommand : public ModifierCommand
{
public:
    static void* creator() { return new XformCommand; }
    MStatus doIt(const MArgList& args) override;
    // Queries change nothing and stay off the undo queue.
    bool isUndoable() const override { return !mQuery; }

private:
    bool mQuery = false;
};

} // namespace host
