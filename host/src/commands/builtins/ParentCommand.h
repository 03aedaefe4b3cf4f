#pragma once
// parent: moves DAG nodes under a new parent or to the world (-world), or adds
// another instance of them under it (-addObject), undoably.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>
#include <maya/MObject.h>

#include <utility>
#include <vector>

namespace host {

class ParentCommand : public ModifierCommand
{
public:
    static void* creator() { return new ParentCommand; }
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;

private:
    std::vector<std::pair<MObject, MObject>> mInstances;  // (parent, child) added by -addObject
};

} // namespace host
