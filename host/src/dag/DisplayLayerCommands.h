#pragma once
// Display layers from MEL:
// - `createDisplayLayer [-n name] [-e] [-nr] [-num n] [objects]`: a new
//   "displayLayer" ("layer1" ...) holding the objects (the selection when
//   none are named, nothing with -e) and, unless -nr, their descendants.
//   Returns the layer's name.
// - `editDisplayLayerMembers layer objects [-nr]`: moves the objects (and
//   their descendants unless -nr) into the layer; returns how many were
//   added. `-q layer [-fn]` lists the members.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>
#include <maya/MObject.h>
#include <maya/MString.h>

#include <vector>

namespace host {

class CreateDisplayLayerCommand : public ModifierCommand
{
public:
    static void* creator() { return new CreateDisplayLayerCommand; }
    MStatus doIt(const MArgList& args) override;
};

class EditDisplayLayerMembersCommand : public ModifierCommand
{
public:
    static void* creator() { return new EditDisplayLayerMembersCommand; }
    MStatus doIt(const MArgList& args) override;
    bool isUndoable() const override { return !mQuery; }

private:
    bool mQuery = false;
};

} // namespace host
