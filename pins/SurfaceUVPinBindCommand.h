#pragma once
// "surfaceUVPinBind": pins transform controls to a mesh by UV through a "surfaceUVPin" node,
// new or extended with "-n", in matrix mode.

#include "pins/PinBindTargets.h"

#include <maya/MApiNamespace.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MMatrixArray.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

namespace PinCommandSupport { class BindMesh; }

class SurfaceUVPinBindCommand : public MPxCommand
{
public:
    SurfaceUVPinBindCommand();
    ~SurfaceUVPinBindCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;
    MStatus redoIt() override;
    MStatus undoIt() override;
    bool isUndoable() const override;

    static const MString commandName;

private:
    MStatus readExistingSettings(bool maintainOffsetGiven, bool inverseGiven);
    MStatus bindAndQueue(PinCommandSupport::BindMesh& mesh);
    MStatus undoExecuted();

    MDGModifier fNodeModifier;
    MDGModifier fBindModifier;
    MDGModifier fControlModifier;
    PinCommandSupport::PinBindTargets fTargets;
    MMatrixArray fControlMatrices;
    MString fUVSet;  // the node's set when extending one; else the mesh's current set
    bool fCreateNew = true;
    bool fMaintainOffset = false;
    bool fUseInverse = false;
    bool fBindComputed = false;
};
