#pragma once
// "pellixPatchCreate": makes a patch mesh from selected faces of a driver, tags it with the
// control a click on it selects, and adds it to the driver's overlay (making the overlay when
// the driver has none); with -mirror also the patch on the other side for the other side's
// control. -q -patches lists an overlay's patches with their controls; -e -remove takes a
// patch out of its overlay and deletes its mesh.

#include "overlay/PatchAuthoring.h"

#include <maya/MApiNamespace.h>
#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFloatPointArray.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

#include <memory>
#include <string>
#include <vector>

class PellixPatchCreateCommand : public MPxCommand
{
public:
    PellixPatchCreateCommand();
    ~PellixPatchCreateCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override;

    static const MString commandName;

private:
    // One patch to make: its faces cut from the driver, its names, its control and colour.
    struct NewPatch
    {
        PatchAuthoring::ExtractedPatch mesh;
        MFloatPointArray points;  // world positions of its vertices
        std::vector<float> u;  // the UVs its faces use, and per face its corners' UVs
        std::vector<float> v;
        std::vector<int> uvCounts;
        std::vector<int> uvIds;
        MString name;
        MObject control;
        bool hasColor = false;
        double color[3] = {0.0, 0.0, 0.0};
    };

    MStatus create(const MArgDatabase& args);
    MStatus listPatches(const MArgDatabase& args);
    MStatus removePatch(const MArgDatabase& args);
    // Makes the nodes and queues the edits planned by create or remove.
    MStatus execute();
    // Makes the group of patch meshes (when missing) and a transform for each new patch.
    MStatus makeNodes();
    // Makes the patch meshes under their transforms, then tags and binds them.
    MStatus makeShapes();
    // Registry, callbacks and result once the edit is in place.
    MStatus finish();

    // The plan, kept for redo.
    bool fRemoving = false;
    MDagPath fDriver;
    MObject fOverlay;           // the driver's overlay, null when this run makes it
    MString fOverlayName;       // name for the overlay this run makes
    MString fGroupName;         // the overlay's group of patch meshes
    std::vector<NewPatch> fPatches;
    std::vector<std::vector<int>> fArrays;  // the overlay's eight arrays after the edit
    int64_t fFirstNewPatch = 0;             // stored index of the first new patch
    MObject fRemovedTransform;              // remove: the patch mesh's transform
    int64_t fRemovedIndex = -1;
    std::vector<MObject> fSources;          // remove: stored patch sources and controls before it
    std::vector<MObject> fControls;

    // What ran, undone in reverse.
    std::unique_ptr<MDagModifier> fNodes;
    std::vector<MObject> fTransforms;
    MObject fOverlayShape;
    std::vector<MObject> fShapes;
    std::unique_ptr<MDGModifier> fSettings;
    std::unique_ptr<MDagModifier> fDeletion;
    bool fDone = false;
};
