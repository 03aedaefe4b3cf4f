#pragma once
// addAttr: adds a dynamic attribute to a node, undoably. A compound
// (-at "compound" / "double3" ... with -numberOfChildren) is added once its
// last child (-parent) has been given, as Maya builds them.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class AddAttrCommand : public ModifierCommand
{
public:
    static void* creator() { return new AddAttrCommand; }
    MStatus doIt(const MArgList& args) override;

    // Forgets compounds still waiting for children (the scene they were for is gone).
    static void discardPendingCompounds();
};

} // namespace host
