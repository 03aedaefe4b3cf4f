#pragma once
// "vertexWrap": puts a "vertexWrap" deformer on target meshes that follow a driver mesh.

#include <maya/MApiNamespace.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MIntArray.h>
#include <maya/MObjectArray.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

#include <vector>

class VertexWrapCommand : public MPxCommand
{
public:
    VertexWrapCommand();
    ~VertexWrapCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;
    MStatus redoIt() override;
    MStatus undoIt() override;
    bool isUndoable() const override;

    static const MString commandName;

private:
    // Runs the deformer's MEL, then stores the maps and connects the driver.
    MStatus wrapTargets();
    // Appends every "vertexWrap" node upstream of the target not in the list yet.
    MStatus collectDeformers(const MDagPath& target, MObjectArray& deformers) const;
    // The first "vertexWrap" node upstream of the target that was not there before this run.
    MStatus findNewDeformer(const MDagPath& target, MObject& deformer) const;

    MDagPath fDriver;
    MDagPathArray fTargets;
    std::vector<MIntArray> fMaps;  // one per target, parallel to fTargets
    MObjectArray fExistingDeformers;
    MString fName;
    MDGModifier fModifier;
};
