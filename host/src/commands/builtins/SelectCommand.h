#pragma once
// select: replaces, extends, toggles or clears the active selection, undoably.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MSelectionList.h>

namespace host {

class SelectCommand : public MPxCommand
{
public:
    static void* creator() { return new SelectCommand; }
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override { return true; }

private:
    MSelectionList mBefore;
    MSelectionList mAfter;
};

} // namespace host
