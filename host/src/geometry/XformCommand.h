#pragma once
// xform: sets or queries (-q) a transform's translation (-t), rotation in
// degrees (-ro), scale (-s), shear (-sh), local matrix (-m, 16 values),
// rotate and scale pivots (-rp, -sp, or both with -piv), rotation order
// (-roo), and queries its bounding box (-bb: xmin ymin zmin xmax ymax zmax).
// Several channels may be set in one call ("-t 1 2 3 -ro 0 90 0"); -r adds
// to the current values (scale multiplies). -ws works in world space, -os
// (the default) in object space. -t also moves and reports mesh vertices.
// Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

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
