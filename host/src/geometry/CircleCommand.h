#pragma once
// `circle [-nr x y z] [-c x y z] [-r radius] [-s sections] [-d degree] [-ch on|off] [-n name]`:
// a "makeNurbCircle" node feeding the "create" of a new "nurbsCurve" shape
// ("nurbsCircle1", "nurbsCircleShape1", "makeNurbCircle1"), selected.
// Returns the transform's and the makeNurbCircle node's names; with -ch off
// there is no makeNurbCircle node and the shape holds the circle itself.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>
#include <maya/MObject.h>

namespace host {

class CircleCommand : public ModifierCommand
{
public:
    static void* creator() { return new CircleCommand; }
    MStatus doIt(const MArgList& args) override;

};

} // namespace host
