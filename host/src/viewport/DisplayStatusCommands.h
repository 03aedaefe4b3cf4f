#pragma once
// The commands that change how objects draw besides the selection:
// - `hilite [-r] [-u] [-tgl] [objects]`: adds the objects (the selection when
//   none are named) to the hilite list, replaces it (-r), takes them off (-u)
//   or toggles them (-tgl).
// - `makeLive [-n] [object]`: makes the object (or the selected one) live;
//   -n (-none) leaves nothing live.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MSelectionList.h>

namespace host {

class HiliteCommand : public MPxCommand
{
public:
    static void* creator() { return new HiliteCommand; }
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override { return true; }

private:
    MSelectionList mBefore, mAfter;
};

class MakeLiveCommand : public MPxCommand
{
public:
    static void* creator() { return new MakeLiveCommand; }
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override { return true; }

private:
    MSelectionList mBefore, mAfter;
};

} // namespace host
