#pragma once
// "surfacePinBind": pins transform controls to a mesh through a "surfacePin" node, new or
// extended with "-n".

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
    MStatus gatherNewNode(const MStringArray& names);
    MStatus gatherExistingNode(const MString& nodeName, const MStringArray& names);
    MStatus findExistingMesh();
    MStatus findExistingControls(MDagPathArray& existing, bool& denseIndices) const;
    MStatus readExistingSettings();
    MStatus queueNodeConnections();
    MStatus queueControlConnections(unsigned start);
    MStatus bindControls(PinCommandSupport::BindMesh& mesh);

    MDGModifier fNodeModifier;
    MDGModifier fBindModifier;
    MDGModifier fControlModifier;
    MObject fNode;
    MDagPath fMeshShapePath;
    MDagPath fMeshTransformPath;
    MDagPathArray fControls;
    MMatrixArray fControlMatrices;
    unsigned fExistingControlCount = 0;
    bool fExistingIndicesDense = true;
    bool fMaintainOffsetGiven = false;
    bool fInverseGiven = false;
    bool fConnectGiven = false;
    bool fTranslateOnlyGiven = false;
    bool fCreateNew = true;
    bool fMeshGiven = false;
    bool fMaintainOffset = false;
    bool fUseInverse = false;
    bool fTranslateOnly = false;
    bool fBindComputed = false;
};
