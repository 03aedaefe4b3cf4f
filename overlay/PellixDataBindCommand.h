#pragma once
// "pellixDataBind": binds patch meshes to a driver mesh and stores them on a "pellixDataOverlay" shape.
// Run again on a driver that has an overlay, it replaces that overlay keeping its display settings,
// name and tracked shape controls; with -partialRebind it rebinds only the given patches.

#include "overlay/PatchBinding.h"
#include "overlay/PatchMatching.h"

#include <maya/MApiNamespace.h>
#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

#include <vector>

class PellixDataBindCommand : public MPxCommand
{
public:
    PellixDataBindCommand();
    ~PellixDataBindCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override;

    static const MString commandName;

private:
    // Display settings carried from a replaced overlay to its successor.
    struct DisplaySettings
    {
        bool enable = true;
        bool liveDraw = false;
        bool drawInXray = false;
        bool drawWireframe = false;
        bool drawMarker = false;
        bool showTransformReadout = false;
        float transparency = 1.0f;
        float hoverTransparency = 0.85f;
        float selectedTransparency = 0.85f;
        float wireframeWidth = 1.0f;
        int readoutTextSize = 13;
        float color[3] = {0.2f, 0.64f, 1.0f};
        float hoverColor[3] = {1.0f, 0.92f, 0.25f};
        float selectedColor[3] = {0.056f, 1.0f, 0.366f};
    };

    // What one run binds: the patches in storage order with the object a click on each selects.
    struct BindResult
    {
        PatchBinding::PatchArrays arrays;
        std::vector<MDagPath> patchPaths;
        std::vector<MObject> controls;
        int64_t vertexTotal = 0;
    };

    // What the user asked for.
    struct Options
    {
        MSelectionList objects;  // the driver, then the patches
        MString name;
        bool hidePatches = false;
        bool partialRebind = false;
        double tolerance = 0.0001;  // the default bind tolerance
        bool driverNamedAgain = false;  // the driver's name came again among the patches
    };

    MStatus parseOptions(const MArgList& args, Options& options) const;
    // Refuses a tolerance that is not finite and positive or that the overlay cannot store.
    static MStatus checkTolerance(double tolerance);
    // The given patches resolved to meshes, in the order given, each once, never the driver.
    static MStatus collectPatches(const MSelectionList& objects, const MDagPath& driver,
                                  std::vector<MDagPath>& patches);
    // Takes over `existing` (when not null) and creates, fills and connects the new overlay.
    MStatus replaceOrCreateOverlay(const Options& options, const MDagPath& driver, const MObject& existing,
                                   const BindResult& result);
    static void reportSummary(const Options& options, int64_t givenPatches, const BindResult& result);
    MStatus buildDriverGrid(const MDagPath& driver, double tolerance);
    MStatus bindPatch(const MDagPath& patch, BindResult& result);
    MStatus bindAll(const std::vector<MDagPath>& patches, BindResult& result);
    MStatus rebindPartly(const MObject& overlay, const std::vector<MDagPath>& patches, BindResult& result);
    MStatus takeOverOverlay(const MObject& overlay, DisplaySettings& settings, std::vector<MObject>& trackedControls,
                            MString& replacedName);
    MStatus queueOverlayValues(const BindResult& result, const DisplaySettings& settings, double tolerance);
    MStatus queueConnections(const MDagPath& driver, const BindResult& result,
                             const std::vector<MObject>& trackedControls);
    MStatus queueHiddenPatches(const std::vector<MDagPath>& patches);
    MStatus createOverlay(const MString& name);
    // Runs the settings, deletion and rename steps after creation, undoing what ran when one fails.
    MStatus executeAfterCreation();
    // Undoes everything executed so far in reverse order; reports the first failure.
    MStatus undoExecuted(int executedSteps);
    // Registry, callbacks and result once the overlay is in place.
    MStatus finishExecution();
    void finishRun();

    MDagModifier fCreation;
    MDGModifier fSettings;
    MDagModifier fDeletion;
    MDGModifier fRename;
    MObject fTransform;
    MObject fShape;
    bool fReplacing = false;
    bool fDone = false;

    // Working data of one run.
    std::vector<double> fDriverPoints;
    PatchMatching::DriverGrid fGrid;
    std::vector<double> fPatchPoints;
    std::vector<int> fDriverIds;
    std::vector<int> fMatchScratch;
    std::vector<int> fEdgeVertices;
};
