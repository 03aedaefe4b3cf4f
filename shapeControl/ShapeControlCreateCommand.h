#pragma once
// "shapeControlCreate": turns the selected meshes or curves into "shapeControl" shapes, each
// under a new transform placed where its source sits in the world, with the source's geometry
// baked into the control or, with -live, connected from the source.

#include <maya/MApiNamespace.h>
#include <maya/MDGModifier.h>
#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

#include <memory>
#include <vector>

class ShapeControlCreateCommand : public MPxCommand
{
public:
    ShapeControlCreateCommand();
    ~ShapeControlCreateCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;
    MStatus redoIt() override;
    MStatus undoIt() override;
    bool isUndoable() const override;

    static const MString commandName;

private:
    // One source and the control made for it.
    struct Work
    {
        MObject transform;
        MObject shape;
        MDagPath source;
        MString name;
        bool isMesh = false;
    };

    MStatus queueControlSettings(const Work& work, bool live);
    void discardCreatedNodes();

    // Node creation, then renames, values and connections; both made anew by every doIt.
    std::unique_ptr<MDagModifier> fDagModifier;
    std::unique_ptr<MDGModifier> fDgModifier;
    std::vector<Work> fWork;
    // What was selected before the command (given back on undo) and the new transforms
    // (selected again on redo).
    MSelectionList fSelectionBefore;
    MSelectionList fCreated;
};
