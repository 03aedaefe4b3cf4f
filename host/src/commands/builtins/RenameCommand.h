#pragma once
// rename: renames a node (the selected one when only the new name is given), undoably.
// rename -uid sets the node's UUID instead, as scene files do after each createNode.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class RenameCommand : public ModifierCommand
{
public:
    static void* creator() { return new RenameCommand; }
    MStatus doIt(const MArgList& args) override;

private:
    MStatus setUuid(const MObject& node, const MString& uuid);
};

} // namespace host
