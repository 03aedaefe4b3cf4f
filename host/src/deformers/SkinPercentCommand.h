#pragma once
// skinPercent [-tv influence value]... [-r] [-nrm bool] [-prw limit] skinCluster points...: sets
// the skin weights of the points ("mesh.vtx[2:5]", "curve.cv[0]", or a whole shape); with
// -normalize (on unless the skinCluster's normalizeWeights is "none") the weights not given are
// scaled so each point's sum stays one, locked influences keep theirs, and with
// maintainMaxInfluences only the maxInfluences largest stay.
// skinPercent -q -v [-t influence] skinCluster points: the weights of every influence (or of the
// one given), averaged over the points; -q -t: the influences' names (with -ib, those above it).
// Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class SkinPercentCommand : public ModifierCommand
{
public:
    static void* creator() { return new SkinPercentCommand; }
    MStatus doIt(const MArgList& args) override;
    bool isUndoable() const override { return !mQuery; }

private:
    bool mQuery = false;
};

} // namespace host
