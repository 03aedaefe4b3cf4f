#pragma once
// "surfacePinBind": pins transform controls to a mesh through a "surfacePin" node, new or
// extended with "-n".

#include "pins/PinBindTargets.h"

#include <maya/MApiNamespace.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MMatrixArray.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MSyntax.h>

namespace PinCommandSupport { class BindMesh; }

class SurfacePinBindCommand : public MPxCommand
{
public:
    SurfacePinBindCommand();
    ~SurfacePinBindCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;
    MStatus redoIt() override;
    MStatus undoIt() override;
    bool isUndoable() const override;

    static const MString commandName;

private:
    MStatus parseFlags(const MArgDatabase& args);
    MStatus readExistingSettings();
    MStatus queueNodeConnections();
    MStatus queueControlConnections(unsigned start);
    MStatus bindControls(PinCommandSupport::BindMesh& mesh);

    MDGModifier fNodeModifier;
    MDGModifier fBindModifier;
    MDGModifier fControlModifier;
    PinCommandSupport::PinBindTargets fTargets;
    MMatrixArray fControlMatrices;
    bool fMaintainOffsetGiven = false;
    bool fInverseGiven = false;
    bool fConnectGiven = false;
    bool fTranslateOnlyGiven = false;
    bool fCreateNew = true;
    bool fMaintainOffset = false;
    bool fUseInverse = false;
    bool fTranslateOnly = false;
    bool fBindComputed = false;
};
