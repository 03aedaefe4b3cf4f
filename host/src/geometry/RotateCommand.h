#pragma once
// rotate X Y Z [objects]: turns transforms (default: the selection), in the
// angle unit, as Maya's rotate does: absolute (the default) sets the world
// orientation (-ws, the default) or the rotate channels (-os); relative (-r)
// turns about the world axes (-ws) or the object's own axes (-os), or with
// -euler adds to the channels. The values are read in each transform's rotate
// order (-forceOrderXYZ: in XYZ). -p X Y Z turns the transforms about that
// world point (their pivots swing around it); otherwise each turns about its
// own rotate pivot. Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class RotateCommand : public ModifierCommand
{
public:
    static void* creator() { return new RotateCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
