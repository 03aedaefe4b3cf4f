#pragma once
// namespace: adds, sets, removes and tells of namespaces, undoably;
// namespaceInfo: the current namespace and what a namespace holds.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

#include <string>

namespace host {

class NamespaceCommand : public ModifierCommand
{
public:
    static void* creator() { return new NamespaceCommand; }
    MStatus doIt(const MArgList& args) override;
    MStatus undoIt() override;
    MStatus redoIt() override;
    bool isUndoable() const override { return mUndoable; }

private:
    MStatus remove(const std::string& name, bool mergeWithParent, bool mergeWithRoot, bool deleteContent);

    bool mUndoable = false;
    std::string mAdded;             // -add
    std::string mRemoved;           // -rm
    std::string mCurrentBefore, mCurrentAfter;
};

class NamespaceInfoCommand : public MPxCommand
{
public:
    static void* creator() { return new NamespaceInfoCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
