#pragma once
// grid (the ground grid's size, spacing, divisions and what it shows), upAxis,
// toggleAxis -view (the view axis) and displayPref -displayGradient: settings of the
// views that scripts also set in batch.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class GridCommand : public MPxCommand
{
public:
    static void* creator() { return new GridCommand; }
    MStatus doIt(const MArgList& args) override;
};

class UpAxisCommand : public MPxCommand
{
public:
    static void* creator() { return new UpAxisCommand; }
    MStatus doIt(const MArgList& args) override;
};

class ToggleAxisCommand : public MPxCommand
{
public:
    static void* creator() { return new ToggleAxisCommand; }
    MStatus doIt(const MArgList& args) override;
};

class DisplayPrefCommand : public MPxCommand
{
public:
    static void* creator() { return new DisplayPrefCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
