#pragma once
// `hide [objects]` turns the visibility of the named (or selected) DAG objects off;
// `showHidden [-all] [objects]` turns it on again, for every hidden DAG object with -all.
// Both undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class HideCommand : public ModifierCommand
{
public:
    static void* creator() { return new HideCommand; }
    MStatus doIt(const MArgList& args) override;
};

class ShowHiddenCommand : public ModifierCommand
{
public:
    static void* creator() { return new ShowHiddenCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
