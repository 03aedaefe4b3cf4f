#pragma once
// `curve -d D -p x y z ... [-k k ...] [-per] [-n name]`: a transform and a
// "nurbsCurve" shape ("curve1", "curveShape1"; -n gives "<name>" and
// "<name>Shape") holding the curve, selected. Without -k the knots are
// uniform (clamped when open). A non-periodic curve whose first and last
// points meet is closed. Returns the transform's name.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>
#include <maya/MObject.h>

namespace host {

class CurveCommand : public ModifierCommand
{
public:
    static void* creator() { return new CurveCommand; }
    MStatus doIt(const MArgList& args) override;

};

} // namespace host
