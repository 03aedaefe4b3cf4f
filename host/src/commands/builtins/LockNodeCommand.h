#pragma once
// lockNode: locks or unlocks nodes (named, else the selected ones) so they
// cannot be deleted or renamed; -q -l gives each node's lock state. Scene
// files write "lockNode -l 1 ;" after the node it locks.

#include <maya/MArgList.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>

#include <utility>
#include <vector>

namespace host {

class LockNodeCommand : public MPxCommand
{
public:
    static void* creator() { return new LockNodeCommand; }
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override { return !mChanges.empty(); }

private:
    std::vector<std::pair<MObject, bool>> mChanges;  // node and its state before
    bool mLock = true;
};

} // namespace host
